#include "files/dip_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include "golden.h"
#include "project_fixtures.h"

namespace {

std::string exported(ProjectState& s, bool nearestInteger)
{
    std::ostringstream out;
    EXPECT_TRUE(nearestInteger ? writeDipsAtNearestInteger(out, s) : writeDips(out, s));
    return out.str();
}

}  // namespace

TEST(DipExport, OneDecimalRecomputesAndNearestIntegerUsesStoredDepths)
{
    ProjectState s = linearProjectWithDips();
    EXPECT_EQ(exported(s, false), golden("linear_with_dips.dip"));
    s.NUMDEP = 0;  // the calibration gone: the stored depths still stand
    EXPECT_EQ(exported(s, true), golden("linear_with_dips_integer.dip"));
}

TEST(DipExport, NearestIntegerRoundsHalvesUpAndSorts)
{
    ProjectState s;
    const double depths[] = {10.5, 100.4, -0.5, 10.51, 99.6, -2.5, 10.49};
    const int rank[] = {4, 7, 2, 5, 6, 1, 3};
    for (int i = 0; i < 7; ++i)
        s.dips[i + 1] = DipPoint{depths[i], 0, double(rank[i]), 0, 10.0 * rank[i],
                                 std::string(1, char('A' + (rank[i] - 1) % 4))};
    s.NumPoints = 7;
    EXPECT_EQ(exported(s, true), golden("rounding_integer.dip"));
}

TEST(DipExport, EmptyTablesWideFieldsAndFailingStreams)
{
    ProjectState empty;
    EXPECT_EQ(exported(empty, false), "");
    EXPECT_EQ(exported(empty, true), "");

    ProjectState wide;
    wide.NumPoints = 1;
    wide.dips[1] = DipPoint{12345678901234.5, 0, 1.0, 0, 1234567890123.25, "D"};
    EXPECT_EQ(exported(wide, true), " 12345678901235  1.0           1234567890123.3 D\r\n");

    std::ostringstream out;
    out.setstate(std::ios::failbit);
    EXPECT_FALSE(writeDips(out, wide));
}
