// CSV as spreadsheets write it, and the wells file read through it.
#include <sstream>

#include <gtest/gtest.h>

#include "files/csv_text.h"
#include "files/well_table.h"

namespace {

std::vector<CsvRecord> records(const std::string& text)
{
    std::istringstream in(text);
    std::string error;
    const auto read = readCsv(in, error);
    EXPECT_TRUE(read) << error;
    return read.value_or(std::vector<CsvRecord>{});
}

std::string refusal(const std::string& text)
{
    std::istringstream in(text);
    std::string error;
    EXPECT_FALSE(readCsv(in, error));
    return error;
}

}  // namespace

// A spreadsheet's own file: a byte-order mark, CR LF, quotes doubled,
// commas and line ends within quotes, spaces kept, empty cells and lines.
TEST(CsvText, ReadsWhatASpreadsheetWrites)
{
    const auto read = records("\xEF\xBB\xBFpicture,well\r\n"
                              "\"w \"\"1\"\", east.bmp\",\" Vell 1 \"\r\n"
                              "\r\n"
                              "\"two\r\nlines.png\",\r\n"
                              "plain,\"\"\n"
                              "last,no line end");
    ASSERT_EQ(read.size(), 5u);
    EXPECT_EQ(read[0].fields, (std::vector<std::string>{"picture", "well"}));
    EXPECT_EQ(read[1].fields, (std::vector<std::string>{"w \"1\", east.bmp", " Vell 1 "}));
    EXPECT_EQ(read[2].line, 4);
    EXPECT_EQ(read[2].fields, (std::vector<std::string>{"two\r\nlines.png", ""}));
    EXPECT_EQ(read[3].line, 6);
    EXPECT_EQ(read[3].fields, (std::vector<std::string>{"plain", ""}));
    EXPECT_EQ(read[4].fields, (std::vector<std::string>{"last", "no line end"}));
    EXPECT_EQ(records("a\rb\r").size(), 2u);  // old Mac line ends
}

TEST(CsvText, RefusesBrokenQuotesWithTheirLine)
{
    EXPECT_EQ(refusal("a,b\n\"open,\nnever closed\n"), "line 2: a quoted field has no closing quote.");
    EXPECT_EQ(refusal("a\n\"closed\"then more,b\n"), "line 2: text after a quoted field's closing quote.");
}

// The wells file as a spreadsheet saves it: its mark, its quoting, and a
// picture whose name holds a quote, a comma and a line end.
TEST(WellTable, ReadsASpreadsheetsWellsFile)
{
    std::istringstream in("\xEF\xBB\xBFwell,picture,depth_unit\r\n"
                          "Vell 1,\"w \"\"1\"\", east\nscan.bmp\",ft\r\n"
                          "Vell 2,w2.bmp,\r\n");
    std::string error;
    const auto table = readWellTable(in, error);
    ASSERT_TRUE(table) << error;
    ASSERT_EQ(table->size(), 2u);
    const WellRow& first = table->at("w \"1\", east\nscan.bmp");
    EXPECT_EQ(first.details.name, "Vell 1");
    EXPECT_EQ(first.details.depthUnit, "FT");
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(table->at("w2.bmp").line, 4);
}

TEST(WellTable, RefusesWithTheLine)
{
    const auto refused = [](const std::string& text) {
        std::istringstream in(text);
        std::string error;
        EXPECT_FALSE(readWellTable(in, error)) << text;
        return error;
    };
    EXPECT_EQ(refused("picture,wel\n"), "line 1: unknown column \"wel\"; the columns are picture, well, company, field, "
                                        "location, province, service_company, uwi and depth_unit.");
    EXPECT_EQ(refused("picture,well,Well\n"), "line 1: the column \"Well\" is named twice.");
    EXPECT_EQ(refused("well\nVell\n"), "line 1: there is no column \"picture\".");
    EXPECT_EQ(refused("picture,well\na.bmp,\"Vell \"\"A\"\"\"\n"),
              "line 2: a well detail cannot hold a double quote or a line break.");
    EXPECT_EQ(refused("picture\na.bmp\na.bmp\n"), "line 3: \"a.bmp\" is named a second time.");
    EXPECT_EQ(refused("picture,depth_unit\na.bmp,yd\n"), "line 2: depth_unit takes m or ft, not \"yd\".");
    EXPECT_EQ(refused("picture\n\"a.bmp\n"), "line 2: a quoted field has no closing quote.");
}
