#include "files/dip_interchange.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "golden.h"
#include "las_rules.h"
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

std::string csv(const Work& w)
{
    std::ostringstream out;
    EXPECT_TRUE(writeDipsCsv(out, w));
    return out.str();
}

std::string las(const Work& w, const std::string& unit, const std::string& picture = "well7.bmp")
{
    std::ostringstream out;
    EXPECT_TRUE(writeDipsLas(out, w, LasWell{picture, unit, "2000-01-01"}));
    return out.str();
}

}  // namespace

TEST(DipInterchange, CsvAndLasMatchTheGoldenFiles)
{
    const Work w = linearProjectWithDips().work;
    EXPECT_EQ(csv(w), golden("linear_with_dips.csv"));
    EXPECT_EQ(las(w, "M"), golden("linear_with_dips.las"));
    EXPECT_EQ(lasCoverage(w).withoutDepth, 1);  // left out of the LAS file
    const std::string feet = las(w, "FT");
    EXPECT_NE(feet.find(" STRT.FT             1000.0 : Start depth\r\n"), std::string::npos);
    EXPECT_NE(las(w, "").find(" DEPT.                      : Depth\r\n"), std::string::npos);
}

TEST(DipInterchange, LasKeepsTheRulesOfVersion2)
{
    for (const char* name : {"linear_with_dips.las", "session.las"})
        EXPECT_EQ(lasRuleBreaches(golden(name)), std::vector<std::string>()) << name;
    // The rules catch what the export once did: a NULL index sorted last,
    // the required well mnemonics missing.
    std::string old = golden("linear_with_dips.las");
    old.erase(old.find(" COMP."), old.find(" WELL.") - old.find(" COMP."));
    old += "     -999.25     -999.25         0.0     -999.25\r\n";
    EXPECT_EQ(lasRuleBreaches(old), (std::vector<std::string>{"~W lacks COMP", "row 5 has a NULL index",
                                                               "STRT and STOP are not the first and last index"}));

    // A picture name that would break the header lines, and dips outside the
    // depth calibration.
    Work w = linearProjectWithDips().work;
    w.dips.push_back(Dip{px(5000), px(100), 10, "A"});
    const std::string text = las(w, "FT", "well: 7\nrun 2.bmp");
    EXPECT_EQ(lasRuleBreaches(text), std::vector<std::string>());
    EXPECT_NE(text.find(" WELL.        well  7 run 2 : Well\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nPicture: well: 7 run 2.bmp\r\n"), std::string::npos);
    EXPECT_EQ(lasCoverage(w).leftOut(), "2 of the 6 dips lie outside the depth calibration and have no depth: they "
                                        "were left out of the LAS file.");
    EXPECT_EQ(lasCoverage(w).refusal(), "");

    Work none = linearProjectWithDips().work;
    none.depthRows.clear();  // no depth calibration: no dip has a depth
    EXPECT_EQ(lasCoverage(none).refusal(), "No dip has a depth: there is nothing to export as LAS.");
    EXPECT_EQ(lasCoverage(none).leftOut(), "");
    std::ostringstream out;
    EXPECT_FALSE(writeDipsLas(out, none, LasWell{"well7.bmp", "M", "2000-01-01"}));
    EXPECT_EQ(out.str(), "");
}

TEST(DipInterchange, CsvReadsBackFieldForFieldWithEveryPlaceToTwoDecimals)
{
    Work w = linearProjectWithDips().work;
    w.dips.at(0).grade = "B, \"top\"";  // a grade from a file may hold anything but a line end
    w.dips.push_back(Dip{px(2000), px(1600), 30, "C"});  // placed by hand, on whole pixels
    const auto records = readCsv(csv(w));
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"Depth", "Dip", "Azimuth", "Quality", "X", "Y"}));
    for (const auto& r : records)
        EXPECT_EQ(r.size(), 6u);
    EXPECT_EQ(records[1], (std::vector<std::string>{"1000.0", "0.0", "360.0", "A", "66.67", "100.07"}));
    EXPECT_EQ(records[2], (std::vector<std::string>{"1000.7", "10.0", "30.0", "C", "133.33", "106.67"}));
    EXPECT_EQ(records[3][3], "B, \"top\"");
}

TEST(DipInterchange, LasWellSectionGivesTheWellDetails)
{
    Work w = linearProjectWithDips().work;
    w.well = {"Vell 7", "Vellwick: Oil", "North", "", "Alberta", "Logs Inc", "100/12", "M"};
    const std::string text = las(w, "M");
    EXPECT_EQ(lasRuleBreaches(text), std::vector<std::string>());
    for (const char* line : {" COMP.        Vellwick  Oil : Company\r\n", " WELL.               Vell 7 : Well\r\n",
                             " FLD.                 North : Field\r\n", " LOC.                       : Location\r\n",
                             " PROV.              Alberta : Province\r\n", " SRVC.             Logs Inc : Service company\r\n",
                             " UWI.                100/12 : Unique well identifier\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
}
