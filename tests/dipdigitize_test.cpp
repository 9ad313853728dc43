#include "core/dipdigitize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void addDepthRow(ProjectState& s, double depth, double y, double minX = 0, double maxX = 0)
{
    s.depths[++s.NUMDEP] = {depth, y, minX, maxX};
}

// Two depth lines at Y 1000 and 3000, the track from X 1000 to 10000 on both.
ProjectState track(int mode, int mindip, int maxdip)
{
    ProjectState s;
    s.DipScaleMode = std::int16_t(mode);
    s.MINDIP = std::int16_t(mindip);
    s.MAXDIP = std::int16_t(maxdip);
    addDepthRow(s, 1000, 1000, 1000, 10000);
    addDepthRow(s, 1100, 3000, 1000, 10000);
    return s;
}

double dipAt(const ProjectState& s, double x, double y = 2000)
{
    const Reading r = getdip(s, x, y);
    EXPECT_TRUE(r) << "x=" << x;
    return r.value_or(-999);
}

}  // namespace

TEST(Tables, HoldTheirCapacitiesAndRefuseIndicesBeyond)
{
    ProjectState s;
    EXPECT_NO_THROW(s.dips[10000]);
    EXPECT_THROW(s.depths[201], std::out_of_range);
    EXPECT_THROW(s.dips[-1], std::out_of_range);
    EXPECT_THROW(s.CustomDipTwip[11], std::out_of_range);
}

TEST(GetDepth, InterpolatesBetweenLinesOnly)
{
    ProjectState s;
    EXPECT_FALSE(getdepth(s, 0));
    addDepthRow(s, 1000, 1500);
    EXPECT_FALSE(getdepth(s, 1600));  // a single line calibrates nothing
    addDepthRow(s, 1010, 3000);
    addDepthRow(s, 1020, 4500);
    EXPECT_FALSE(getdepth(s, 1500));
    EXPECT_NEAR(*getdepth(s, 1501), 1000.0066666666, 1e-9);
    EXPECT_DOUBLE_EQ(*getdepth(s, 2250), 1005);
    EXPECT_DOUBLE_EQ(*getdepth(s, 4500), 1020);
    EXPECT_FALSE(getdepth(s, 4501));
    EXPECT_FALSE(getdepth(s, std::nan("")));

    ProjectState shared;  // two rows on one line, the first of them counts
    addDepthRow(shared, 1000, 1000);
    addDepthRow(shared, 1010, 2000);
    addDepthRow(shared, 1020, 2000);
    addDepthRow(shared, 1030, 3000);
    EXPECT_DOUBLE_EQ(*getdepth(shared, 2000), 1010);
    EXPECT_DOUBLE_EQ(*getdepth(shared, 2500), 1025);
}

TEST(GetDip, StandardLinearAndSineScales)
{
    const ProjectState s0 = track(0, 0, 90);
    EXPECT_DOUBLE_EQ(dipAt(s0, 3925), 20);
    EXPECT_NEAR(dipAt(s0, 5500), 20 + 15.75 * 40 / 40.5, 1e-12);
    EXPECT_DOUBLE_EQ(dipAt(s0, 7975), 60);
    EXPECT_DOUBLE_EQ(dipAt(s0, 10000), 90);
    const ProjectState s3 = track(3, 0, 90);
    EXPECT_DOUBLE_EQ(dipAt(s3, 5000), 20);
    EXPECT_DOUBLE_EQ(dipAt(s3, 8000), 50);
    EXPECT_DOUBLE_EQ(dipAt(s3, 9000), 70);

    const ProjectState lin = track(1, 10, 50);
    EXPECT_DOUBLE_EQ(dipAt(lin, 1000), 10);
    EXPECT_DOUBLE_EQ(dipAt(lin, 10000), 50);
    EXPECT_FALSE(getdip(lin, 999, 2000));
    EXPECT_FALSE(getdip(lin, 5000, 1000));  // on the first line
    EXPECT_TRUE(getdip(lin, 5000, 3000));   // on the last line

    EXPECT_NEAR(dipAt(track(2, 0, 80), 5500), 29.4987, 1e-4);
    EXPECT_NEAR(dipAt(track(2, 10, 80), 1000), 10, 1e-9);
    // sin 90 degrees with this pi stays just below 1: finite, a hair above 90.
    EXPECT_NEAR(dipAt(track(2, 0, 90), 10000), 90, 1e-8);
    EXPECT_NEAR(dipAt(track(2, 0, 90), 5500), 30.0000253, 1e-7);
}

TEST(GetDip, TrackEndsFollowTheRowsAndCustomStepsConvertOnce)
{
    ProjectState s;
    s.DipScaleMode = 4;
    s.MAXDIP = 90;
    s.NCUST = 9;
    addDepthRow(s, 0, 0, 0, 9200);
    addDepthRow(s, 10, 1000, 0, 9200);
    const double narrow[] = {0, 300, 1200, 2400, 3600, 4800, 6000, 7200, 8400, 9200};
    for (int k = 0; k < 10; ++k)
        s.CustomDipTwip[k] = narrow[k];
    EXPECT_NEAR(dipAt(s, 150, 500), 5, 1e-12);
    EXPECT_NEAR(dipAt(s, 5000, 500), 51.6666666667, 1e-9);
    EXPECT_NEAR(dipAt(s, 9200, 500), 90, 1e-12);

    s.DipScaleMode = 1;  // track ends read between the rows
    s.depths[1] = {0, 0, 0, 9000};
    s.depths[2] = {10, 1000, 1000, 10000};
    EXPECT_DOUBLE_EQ(dipAt(s, 5000, 500), 45);
}

TEST(GetDip, ZeroDivisorsAndImpossibleStatesGiveNoCal)
{
    ProjectState same = track(1, 0, 90);
    same.depths[1].MAXDIPTWIP = same.depths[2].MAXDIPTWIP = 1000;
    EXPECT_FALSE(getdip(same, 1000, 2000));
    EXPECT_FALSE(getdip(track(2, 40, 40), 5000, 2000));
    EXPECT_FALSE(getdip(track(4, 40, 40), 5000, 2000));

    ProjectState custom = track(4, 0, 90);
    custom.NCUST = 9;
    EXPECT_FALSE(getdip(custom, 5000, 2000));  // every custom position at 0
    for (int k = 0; k <= 9; ++k)
        custom.CustomDipTwip[k] = k < 2 ? 0 : 1000.0 * k;
    EXPECT_FALSE(getdip(custom, 1000, 2000));  // u = 0 falls in the empty first step
    EXPECT_TRUE(getdip(custom, 5000, 2000));
    custom.NCUST = 12;
    EXPECT_FALSE(getdip(custom, 5000, 2000));
    EXPECT_FALSE(getdip(track(7, 0, 90), 5000, 2000));
}

TEST(DipFraction, FractionsTheGridDoesNotShowAndUndefinedPositions)
{
    ProjectState s = track(3, 0, 90);
    EXPECT_NEAR(dipfraction(s, 60), 0.75 / 0.9, 1e-12);
    s.DipScaleMode = 2;
    s.MAXDIP = 80;
    EXPECT_NEAR(dipfraction(s, 30), std::sin(30 * kPi / 180) / std::sin(80 * kPi / 180), 1e-12);
    s.DipScaleMode = 4;
    s.NCUST = 9;
    EXPECT_TRUE(std::isnan(dipfraction(s, 30)));  // all custom positions equal
    for (int k = 0; k <= 9; ++k)
        s.CustomDipTwip[k] = 100 + 200.0 * k;
    EXPECT_TRUE(std::isnan(dipfraction(s, 35)));
    EXPECT_TRUE(std::isnan(dipfraction(s, 100)));
}

TEST(Sort, DepthRowsByLineAndDipsByDepthWithNoCalLast)
{
    ProjectState s;
    addDepthRow(s, 1010, 3000, 1, 2);
    addDepthRow(s, 1020, 1500, 3, 4);
    addDepthRow(s, 900, 100, 5, 6);
    sortdepths(s);
    EXPECT_EQ(s.depths[1], (DepthCalibrationPoint{900, 100, 5, 6}));
    EXPECT_EQ(s.depths[2], (DepthCalibrationPoint{1020, 1500, 3, 4}));  // DEPTH left as entered

    std::mt19937 rng(7);
    for (int n = 1; n <= 500; ++n)
        s.dips[n] = DipPoint{n % 13 ? Reading(double(rng() % 50)) : Reading(), double(n), 0.0, 3.0 * n, 0, ""};
    s.NumPoints = 500;
    sortdips(s);
    for (int i = 1; i <= 500; ++i) {
        const DipPoint& d = s.dips[i];
        EXPECT_EQ(d.DIPPIX, 3 * d.YPIX);  // rows move whole
        if (i > 1) {
            const Reading& prev = s.dips[i - 1].Depth;
            EXPECT_TRUE(!d.Depth || (prev && *prev <= *d.Depth)) << "row " << i;
        }
    }
    EXPECT_FALSE(s.dips[500].Depth);
}

TEST(Sort, FollowsOneDipToItsNewRow)
{
    std::mt19937 rng(11);
    for (int count : {1, 2, 3, 64, 500}) {
        for (int trackedRow = 1; trackedRow <= count; trackedRow += 1 + count / 7) {
            ProjectState s;
            for (int n = 1; n <= count; ++n)  // many equal depths: the sort moves them at will
                s.dips[n] = DipPoint{Reading(double(rng() % 5)), double(n), 0.0, 0, 0, ""};
            s.NumPoints = std::int16_t(count);
            const double yOfTracked = s.dips[trackedRow].YPIX;
            int tracked = trackedRow;
            sortdips(s, &tracked);
            EXPECT_EQ(s.dips[tracked].YPIX, yOfTracked) << count << " rows, row " << trackedRow;
        }
    }
    ProjectState s;
    int outside = 5;  // beyond the table: left alone
    sortdips(s, &outside);
    EXPECT_EQ(outside, 5);
}
