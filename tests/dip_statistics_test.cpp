#include "model/dip_statistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A linear 0-90 track from x 0 to 9000 between depths 1000 (y 0) and 1100
// (y 10000): a dip's x is 100 pixels a degree, its y 100 pixels a depth unit.
Work track()
{
    Work w;
    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    w.depthRows = {{1000, 0, 0, 9000}, {1100, 10000, 0, 9000}};
    return w;
}

void addDip(Work& w, double depth, double dip, double azimuth, const char* grade = "A")
{
    w.dips.push_back(Dip{dip * 100, (depth - 1000) * 100, azimuth, grade});
}

}  // namespace

TEST(DipStatistics, MeansAndVarianceOfSmallSets)
{
    Work s = track();
    addDip(s, 1010, 30, 90);
    DipStatistics one = dipStatistics(s, {});
    ASSERT_EQ(one.counted, 1);
    EXPECT_NEAR(*one.meanDip, 30, 1e-9);
    EXPECT_NEAR(*one.meanAzimuth, 90, 1e-9);
    EXPECT_NEAR(one.sphericalVariance, 0, 1e-12);
    EXPECT_EQ(one.sectors[9], 1);

    addDip(s, 1020, 30, 270);  // opposite azimuths: the mean bed is flat
    const DipStatistics opposite = dipStatistics(s, {});
    EXPECT_NEAR(*opposite.meanDip, 0, 1e-6);
    EXPECT_NEAR(opposite.sphericalVariance, 1 - std::sqrt(3.0) / 2, 1e-9);

    Work beds = track();
    addDip(beds, 1010, 90, 0);  // vertical: its pole on the rim, due south
    addDip(beds, 1020, 0, 200);  // flat: its pole in the centre
    const DipStatistics two = dipStatistics(beds, {});
    EXPECT_DOUBLE_EQ(two.poles[0].plunge, 0);
    EXPECT_DOUBLE_EQ(two.poles[0].trend, 180);
    EXPECT_DOUBLE_EQ(two.poles[1].plunge, 90);
    EXPECT_NEAR(*two.meanDip, 45, 1e-6);  // halfway between the two poles
    EXPECT_NEAR(*two.meanAzimuth, 0, 1e-6);
    EXPECT_EQ(two.sectors[0], 1);
    EXPECT_EQ(two.sectors[20], 1);
    EXPECT_FALSE(dipStatistics(Work(), {}).meanDip);
}

TEST(DipStatistics, GradesDepthsAndWhatIsLeftOut)
{
    Work s = track();
    addDip(s, 1010, 20, 10, "A");
    addDip(s, 1050, 40, 20, "B");
    addDip(s, 1090, 60, 30, "C");
    addDip(s, 1095, 60, 30, "a");   // no box stands for it
    addDip(s, 1060, 95, 30, "D");   // beyond the dip scale: "NO CAL"
    addDip(s, 1120, 10, 30, "D");   // below the last depth line: "NO CAL"
    addDip(s, 1070, 10, 0, "");     // saved before its tail was placed, by an earlier version
    addDip(s, 1080, 10, 0, "");

    const DipStatistics all = dipStatistics(s, {});
    EXPECT_EQ(all.counted, 3);
    EXPECT_EQ(all.leftOut, 4);

    DipSelection some;
    some.grades = {true, false, true, false};
    some.from = 1085;  // the ends in either order
    some.to = 1005;
    const DipStatistics picked = dipStatistics(s, some);
    EXPECT_EQ(picked.counted, 1);
    EXPECT_EQ(picked.poles[0].grade, 0);
    EXPECT_EQ(picked.leftOut, 2);  // the two without a tail; the "NO CAL" depth is outside any interval
}
