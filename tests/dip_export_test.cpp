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

TEST(DipExport, OneDecimalRecomputesAndSorts)
{
    ProjectState s = linearProjectWithDips();
    EXPECT_EQ(exported(s, false), golden("linear_with_dips.dip"));
    EXPECT_DOUBLE_EQ(*s.dips[1].Depth, 1000 + 1.0 / 150);
    EXPECT_FALSE(s.dips[5].Depth);
}

TEST(DipExport, NearestIntegerUsesTheStoredDepths)
{
    ProjectState s = linearProjectWithDips();
    exported(s, false);
    EXPECT_EQ(exported(s, true), golden("linear_with_dips_integer.dip"));

    // Stored depths are used as they stand, not recomputed.
    ProjectState stale = linearProjectWithDips();
    exported(stale, false);
    stale.NUMDEP = 0;
    EXPECT_EQ(exported(stale, true), golden("linear_with_dips_integer.dip"));
}

TEST(DipExport, NearestIntegerRoundsHalvesUpAndSorts)
{
    ProjectState s;
    const double depths[] = {10.5, 100.4, -0.5, 10.51, 99.6, -2.5, 10.49};
    const int order[] = {4, 7, 2, 5, 6, 1, 3};  // rank of each depth
    for (int i = 0; i < 7; ++i) {
        DipPoint& d = s.dips[i + 1];
        d.Depth = depths[i];
        d.Dip = order[i];
        d.Azimuth = 10.0 * order[i];
        d.Quality = std::string(1, static_cast<char>('A' + (order[i] - 1) % 4));
    }
    s.NumPoints = 7;
    EXPECT_EQ(exported(s, true), golden("rounding_integer.dip"));
}

TEST(DipExport, EmptyTablesAndWideFields)
{
    ProjectState empty;
    EXPECT_EQ(exported(empty, false), "");
    EXPECT_EQ(exported(empty, true), "");

    ProjectState wide;
    wide.NumPoints = 1;
    wide.dips[1].Depth = 12345678901234.5;
    wide.dips[1].Dip = 1.0;
    wide.dips[1].Azimuth = 1234567890123.25;
    wide.dips[1].Quality = "D";
    EXPECT_EQ(exported(wide, true), " 12345678901235  1.0           1234567890123.3 D\r\n");
}

TEST(DipExport, FailingStreamIsReported)
{
    ProjectState s = linearProjectWithDips();
    std::ostringstream out;
    out.setstate(std::ios::failbit);
    EXPECT_FALSE(writeDips(out, s));
    EXPECT_FALSE(writeDipsAtNearestInteger(out, s));
}
