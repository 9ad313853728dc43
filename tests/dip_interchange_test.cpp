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

std::string csv(ProjectState& s, int* trackedDip = nullptr)
{
    std::ostringstream out;
    EXPECT_TRUE(writeDipsCsv(out, s, trackedDip));
    return out.str();
}

std::string las(ProjectState& s, const std::string& unit, int* trackedDip = nullptr)
{
    std::ostringstream out;
    EXPECT_TRUE(writeDipsLas(out, s, LasWell{unit, "2000-01-01"}, trackedDip));
    return out.str();
}

}  // namespace

TEST(DipInterchange, CsvAndLasMatchTheGoldenFiles)
{
    ProjectState s = linearProjectWithDips();
    EXPECT_EQ(csv(s), golden("linear_with_dips.csv"));
    ProjectState again = linearProjectWithDips();
    EXPECT_EQ(las(again, "M"), golden("linear_with_dips.las"));
    EXPECT_EQ(dipsWithoutDepth(again), 1);  // left out of the LAS file
    const std::string feet = las(again, "FT");
    EXPECT_NE(feet.find(" STRT.FT             1000.0 : Start depth\r\n"), std::string::npos);
    EXPECT_NE(las(again, "").find(" DEPT.                      : Depth\r\n"), std::string::npos);
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

    // A dip awaiting its tail, a picture name that would break the header
    // lines, and dips outside the depth calibration.
    ProjectState s = linearProjectWithDips();
    s.FILE = "well: 7\nrun 2.bmp";
    s.dips[6] = DipPoint{-1.0, 100, -1.0, 5000, 10, "A"};
    s.NumPoints = 6;
    s.interaction.AwaitingAzimuth = true;
    s.interaction.PendingRow = 4;
    const std::string text = las(s, "FT", &s.interaction.PendingRow);
    EXPECT_EQ(lasRuleBreaches(text), std::vector<std::string>());
    EXPECT_NE(text.find(" WELL.        well  7 run 2 : Well\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nPicture: well: 7 run 2.bmp\r\n"), std::string::npos);
    EXPECT_EQ(dipsWithoutDepth(s), 2);

    ProjectState none = linearProjectWithDips();
    none.NUMDEP = 0;  // no depth calibration: no dip has a depth
    std::ostringstream out;
    EXPECT_FALSE(writeDipsLas(out, none, LasWell{"M", "2000-01-01"}));
    EXPECT_EQ(out.str(), "");
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
