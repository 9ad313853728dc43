#include "files/dip_export.h"

#include <gtest/gtest.h>

#include <sstream>

#include "golden.h"
#include "project_fixtures.h"

namespace {

std::string exported(const Work& w, bool nearestInteger)
{
    std::ostringstream out;
    EXPECT_TRUE(nearestInteger ? writeDipsAtNearestInteger(out, w) : writeDips(out, w));
    return out.str();
}

// A log whose depth and dip read as the row and the column themselves, from
// -span to span: a dip at (d, z) lies at depth z with dip d.
Work identityLog(double span)
{
    Work w;
    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    w.depthRows = {{-span, -span, 0, 90}, {span, span, 0, 90}};
    return w;
}

}  // namespace

TEST(DipExport, BothReadTheDepthsUnderTheCalibrationInForce)
{
    Work w = linearProjectWithDips().work;
    EXPECT_EQ(exported(w, false), golden("linear_with_dips.dip"));
    EXPECT_EQ(exported(w, true), golden("linear_with_dips_integer.dip"));
    // A depth row gone: both write the dips at their new depths.
    w.depthRows.pop_back();
    EXPECT_NE(exported(w, false), golden("linear_with_dips.dip"));
    EXPECT_NE(exported(w, true).find("NO CAL        NO CAL        270.3         D"), std::string::npos);
}

TEST(DipExport, NearestIntegerRoundsHalvesUpAndSorts)
{
    Work w = identityLog(1024);
    const double depths[] = {10.5, 100.4, -0.5, 10.51, 99.6, -2.5, 10.49};
    const int rank[] = {4, 7, 2, 5, 6, 1, 3};
    for (int i = 0; i < 7; ++i)
        w.dips.push_back(Dip{double(rank[i]), depths[i], 10.0 * rank[i], std::string(1, char('A' + (rank[i] - 1) % 4))});
    EXPECT_EQ(exported(w, true), golden("rounding_integer.dip"));
}

TEST(DipExport, EmptyTablesWideFieldsAndFailingStreams)
{
    const Work empty;
    EXPECT_EQ(exported(empty, false), "");
    EXPECT_EQ(exported(empty, true), "");

    Work wide = identityLog(1125899906842624);  // a power of two: the depths read exactly
    wide.dips.push_back(Dip{1, 12345678901234.5, 1234567890123.25, "D"});
    EXPECT_EQ(exported(wide, true), " 12345678901235  1.0           1234567890123.3 D\r\n");

    std::ostringstream out;
    out.setstate(std::ios::failbit);
    EXPECT_FALSE(writeDips(out, wide));
}
