#include "files/dip_interchange.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "golden.h"
#include "project_fixtures.h"

namespace {

// Records and fields as a spreadsheet reads comma-separated values: quoted
// fields may hold commas, line ends and doubled quotes.
std::vector<std::vector<std::string>> readCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else {
            field += c;
        }
    }
    records.pop_back();  // after the last line end
    return records;
}

std::string csv(ProjectState& s, int* trackedDip = nullptr)
{
    std::ostringstream out;
    EXPECT_TRUE(writeDipsCsv(out, s, trackedDip));
    return out.str();
}

std::string las(ProjectState& s, const std::string& unit)
{
    std::ostringstream out;
    EXPECT_TRUE(writeDipsLas(out, s, unit));
    return out.str();
}

}  // namespace

TEST(DipInterchange, CsvAndLasMatchTheGoldenFiles)
{
    ProjectState s = linearProjectWithDips();
    EXPECT_EQ(csv(s), golden("linear_with_dips.csv"));
    ProjectState again = linearProjectWithDips();
    EXPECT_EQ(las(again, "M"), golden("linear_with_dips.las"));
    const std::string feet = las(again, "FT");
    EXPECT_NE(feet.find(" STRT.FT             1000.0 : Start depth\r\n"), std::string::npos);
    EXPECT_NE(las(again, "").find(" DEPT.                      : Depth\r\n"), std::string::npos);
}

TEST(DipInterchange, CsvReadsBackFieldForField)
{
    ProjectState s = linearProjectWithDips();
    s.dips[1].Quality = "B, \"top\"";  // a grade from a file may hold anything but a line end
    s.interaction.AwaitingAzimuth = true;
    s.interaction.PendingRow = 2;  // at depth 1000: no azimuth, no grade yet
    const auto records = readCsv(csv(s, &s.interaction.PendingRow));
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"Depth", "Dip", "Azimuth", "Quality", "X", "Y"}));
    for (const auto& r : records)
        EXPECT_EQ(r.size(), 6u);
    EXPECT_EQ(records[1], (std::vector<std::string>{"1000.0", "0.0", "", "", "66.6666666666667",
                                                    "100.066666666667"}));
    EXPECT_EQ(records[2][3], "B, \"top\"");
    EXPECT_EQ(s.interaction.PendingRow, 1);  // followed through the sort
}
