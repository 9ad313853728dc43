#include "core/dipdigitize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

void addDepthRow(ProjectState& s, double depth, double y, double minX, double maxX)
{
    s.NUMDEP++;
    s.depths[s.NUMDEP] = {depth, y, minX, maxX};
}

ProjectState trackState(int mode, int mindip, int maxdip)
{
    ProjectState s;
    s.DipScaleMode = static_cast<std::int16_t>(mode);
    s.MINDIP = static_cast<std::int16_t>(mindip);
    s.MAXDIP = static_cast<std::int16_t>(maxdip);
    addDepthRow(s, 1000, 1000, 1000, 10000);
    addDepthRow(s, 1100, 3000, 1000, 10000);
    return s;
}

double dipAt(const ProjectState& s, double x, double y = 2000)
{
    const Reading r = getdip(s, x, y);
    EXPECT_TRUE(r.has_value()) << "x=" << x;
    return r.value_or(-999);
}

}  // namespace

TEST(StartValues, MatchTheDocumentedStart)
{
    ProjectState s;
    EXPECT_EQ(s.ZoomFactor, 1);
    EXPECT_EQ(s.WorkMode, 1);
    EXPECT_EQ(s.NUMDEP, 0);
    EXPECT_EQ(s.NumPoints, 0);
    EXPECT_TRUE(s.SkipNextPlot);
    EXPECT_FALSE(s.ProjectChanged);
    EXPECT_EQ(s.QualityColorD, (Rgb{128, 0, 128}));
    EXPECT_EQ(s.interaction.LastMarkX, -1);
    EXPECT_EQ(decltype(s.depths)::size(), 201u);
    EXPECT_EQ(decltype(s.dips)::size(), 10001u);
    EXPECT_EQ(decltype(s.CustomDipTwip)::size(), 11u);
    EXPECT_THROW(s.depths[201], std::out_of_range);
    EXPECT_THROW(s.dips[-1], std::out_of_range);
    EXPECT_THROW(s.CustomDipTwip[11], std::out_of_range);
}

TEST(GetDepth, InterpolatesBetweenLinesAndRefusesOutside)
{
    ProjectState s;
    EXPECT_FALSE(getdepth(s, 0));
    addDepthRow(s, 1000, 1500, 0, 0);
    EXPECT_FALSE(getdepth(s, 1500));
    EXPECT_FALSE(getdepth(s, 1600));
    addDepthRow(s, 1010, 3000, 0, 0);
    addDepthRow(s, 1020, 4500, 0, 0);

    EXPECT_FALSE(getdepth(s, 1500));
    EXPECT_NEAR(*getdepth(s, 1501), 1000.0066666666, 1e-9);
    EXPECT_DOUBLE_EQ(*getdepth(s, 2250), 1005);
    EXPECT_DOUBLE_EQ(*getdepth(s, 3000), 1010);
    EXPECT_DOUBLE_EQ(*getdepth(s, 4500), 1020);
    EXPECT_FALSE(getdepth(s, 4501));
    EXPECT_FALSE(getdepth(s, std::nan("")));
}

TEST(GetDepth, DecreasingDepthsAndSharedLines)
{
    ProjectState s;
    addDepthRow(s, 2000, 1000, 0, 0);
    addDepthRow(s, 1900, 2000, 0, 0);
    addDepthRow(s, 1800, 3000, 0, 0);
    EXPECT_DOUBLE_EQ(*getdepth(s, 1500), 1950);
    EXPECT_DOUBLE_EQ(*getdepth(s, 2500), 1850);

    ProjectState t;
    addDepthRow(t, 1000, 1000, 0, 0);
    addDepthRow(t, 1010, 2000, 0, 0);
    addDepthRow(t, 1020, 2000, 0, 0);
    addDepthRow(t, 1030, 3000, 0, 0);
    EXPECT_DOUBLE_EQ(*getdepth(t, 2000), 1010);  // the first of the two rows on the line
    EXPECT_DOUBLE_EQ(*getdepth(t, 2500), 1025);
}

TEST(GetDip, StandardScales)
{
    const ProjectState s0 = trackState(0, 0, 90);
    EXPECT_DOUBLE_EQ(dipAt(s0, 1000), 0);
    EXPECT_DOUBLE_EQ(dipAt(s0, 3925), 20);
    EXPECT_NEAR(dipAt(s0, 5500), 20 + 15.75 * 40 / 40.5, 1e-12);
    EXPECT_DOUBLE_EQ(dipAt(s0, 7975), 60);
    EXPECT_DOUBLE_EQ(dipAt(s0, 10000), 90);

    const ProjectState s3 = trackState(3, 0, 90);
    EXPECT_DOUBLE_EQ(dipAt(s3, 5000), 20);
    EXPECT_DOUBLE_EQ(dipAt(s3, 8000), 50);
    EXPECT_DOUBLE_EQ(dipAt(s3, 9000), 70);
}

TEST(GetDip, LinearEndsAndOutsideTheTrack)
{
    const ProjectState s = trackState(1, 10, 50);
    EXPECT_DOUBLE_EQ(dipAt(s, 1000), 10);
    EXPECT_DOUBLE_EQ(dipAt(s, 10000), 50);
    EXPECT_FALSE(getdip(s, 999, 2000));
    EXPECT_FALSE(getdip(s, 10001, 2000));
    EXPECT_FALSE(getdip(s, 5000, 1000));  // on the first line
    EXPECT_TRUE(getdip(s, 5000, 3000));   // on the last line
    EXPECT_FALSE(getdip(s, 5000, 3001));
}

TEST(GetDip, TrackEndsAreInterpolatedBetweenRows)
{
    ProjectState s;
    s.DipScaleMode = 1;
    s.MAXDIP = 90;
    addDepthRow(s, 0, 0, 0, 9000);
    addDepthRow(s, 10, 1000, 1000, 10000);
    EXPECT_DOUBLE_EQ(dipAt(s, 500, 500), 0);
    EXPECT_DOUBLE_EQ(dipAt(s, 9500, 500), 90);
    EXPECT_DOUBLE_EQ(dipAt(s, 5000, 500), 45);
}

TEST(GetDip, SineScale)
{
    const ProjectState s = trackState(2, 0, 80);
    EXPECT_NEAR(dipAt(s, 5500), 29.4987, 1e-4);
    EXPECT_NEAR(dipAt(s, 10000), 80, 1e-9);
    EXPECT_NEAR(dipAt(trackState(2, 10, 80), 1000), 10, 1e-9);

    const ProjectState s90 = trackState(2, 0, 90);
    // sin 90 degrees with this pi stays just below 1: finite, a hair above 90.
    EXPECT_NEAR(dipAt(s90, 10000), 90, 1e-8);
    EXPECT_NEAR(dipAt(s90, 5500), 30.0000253, 1e-7);
}

TEST(GetDip, CustomScales)
{
    ProjectState s;
    s.DipScaleMode = 4;
    s.MAXDIP = 90;
    s.NCUST = 9;
    addDepthRow(s, 0, 0, 0, 9200);
    addDepthRow(s, 10, 1000, 0, 9200);
    const double wide[] = {0, 2000, 3500, 4700, 5700, 6600, 7400, 8100, 8700, 9200};
    for (int k = 0; k < 10; ++k)
        s.CustomDipTwip[k] = wide[k];
    EXPECT_NEAR(dipAt(s, 1000, 500), 5, 1e-12);
    EXPECT_NEAR(dipAt(s, 4100, 500), 25, 1e-12);
    EXPECT_NEAR(dipAt(s, 9200, 500), 90, 1e-12);

    const double narrow[] = {0, 300, 1200, 2400, 3600, 4800, 6000, 7200, 8400, 9200};
    for (int k = 0; k < 10; ++k)
        s.CustomDipTwip[k] = narrow[k];
    EXPECT_NEAR(dipAt(s, 150, 500), 5, 1e-12);
    EXPECT_NEAR(dipAt(s, 5000, 500), 51.6666666667, 1e-9);
}

TEST(GetDip, ZeroDivisorsGiveNoCal)
{
    ProjectState same = trackState(1, 0, 90);
    same.depths[1].MAXDIPTWIP = same.depths[1].MINDIPTWIP;
    same.depths[2].MAXDIPTWIP = same.depths[2].MINDIPTWIP;
    EXPECT_FALSE(getdip(same, 1000, 2000));

    EXPECT_FALSE(getdip(trackState(2, 40, 40), 5000, 2000));
    EXPECT_FALSE(getdip(trackState(4, 40, 40), 5000, 2000));

    ProjectState custom = trackState(4, 0, 90);
    custom.NCUST = 9;
    EXPECT_FALSE(getdip(custom, 5000, 2000));  // every custom position at 0
    for (int k = 0; k <= 9; ++k)
        custom.CustomDipTwip[k] = k < 2 ? 0 : 1000.0 * k;
    EXPECT_FALSE(getdip(custom, 1000, 2000));  // u = 0 falls in the empty first step
    EXPECT_TRUE(getdip(custom, 5000, 2000));

    custom.NCUST = 12;  // never produced, must not read past the table
    EXPECT_FALSE(getdip(custom, 5000, 2000));
    EXPECT_FALSE(getdip(trackState(7, 0, 90), 5000, 2000));
    ProjectState one = trackState(1, 0, 90);
    one.NUMDEP = 1;
    EXPECT_FALSE(getdip(one, 5000, 1000));
}

TEST(DipFraction, FractionsOfEachScale)
{
    const double f0[] = {0, 0.1625, 0.325, 0.4375, 0.55, 0.6625, 0.775, 0.85, 0.925, 1};
    const double f3[] = {0, 0.2 / 0.9, 0.4 / 0.9, 0.5 / 0.9, 0.6 / 0.9, 0.7 / 0.9, 0.75 / 0.9, 0.8 / 0.9, 0.85 / 0.9, 1};
    ProjectState s = trackState(0, 0, 90);
    for (int k = 0; k <= 9; ++k)
        EXPECT_NEAR(dipfraction(s, 10 * k), f0[k], 1e-12) << k;
    s.DipScaleMode = 3;
    for (int k = 0; k <= 9; ++k)
        EXPECT_NEAR(dipfraction(s, 10 * k), f3[k], 1e-12) << k;

    s.DipScaleMode = 1;
    s.MINDIP = 5;
    EXPECT_DOUBLE_EQ(dipfraction(s, 5), 0);
    EXPECT_DOUBLE_EQ(dipfraction(s, 47.5), 0.5);
    s.MAXDIP = 5;
    EXPECT_TRUE(std::isnan(dipfraction(s, 5)));

    s.DipScaleMode = 2;
    s.MINDIP = 0;
    s.MAXDIP = 80;
    EXPECT_NEAR(dipfraction(s, 80), 1, 1e-12);
    EXPECT_NEAR(dipfraction(s, 30), std::sin(30 * kPi / 180) / std::sin(80 * kPi / 180), 1e-12);

    s.DipScaleMode = 4;
    s.MAXDIP = 90;
    s.NCUST = 9;
    EXPECT_TRUE(std::isnan(dipfraction(s, 0)));
    for (int k = 0; k <= 9; ++k)
        s.CustomDipTwip[k] = 100 + 200.0 * k;
    EXPECT_DOUBLE_EQ(dipfraction(s, 30), 3.0 / 9);
    EXPECT_TRUE(std::isnan(dipfraction(s, 35)));
    EXPECT_TRUE(std::isnan(dipfraction(s, 100)));
}

TEST(Sort, DepthTableByLineAndTinyTables)
{
    ProjectState s;
    sortdepths(s);
    addDepthRow(s, 1010, 3000, 1, 2);
    sortdepths(s);
    EXPECT_EQ(s.depths[1].DEPTH, 1010);
    addDepthRow(s, 1020, 1500, 3, 4);
    sortdepths(s);
    EXPECT_EQ(s.depths[1], (DepthCalibrationPoint{1020, 1500, 3, 4}));
    EXPECT_EQ(s.depths[2], (DepthCalibrationPoint{1010, 3000, 1, 2}));
    addDepthRow(s, 900, 100, 5, 6);  // a new line above all others
    sortdepths(s);
    EXPECT_EQ(s.depths[1].DEPTH, 900);
    EXPECT_EQ(s.depths[3].DEPTH, 1010);  // DEPTH left as entered
}

TEST(Sort, DipsByDepthWithNoCalLastAndAllColumnsTogether)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> depth(0, 50);
    ProjectState s;
    for (int n = 1; n <= 500; ++n) {
        DipPoint d;
        d.Depth = (n % 13 == 0) ? Reading() : Reading(depth(rng));
        d.YPIX = n;
        d.Dip = n * 2.0;
        d.DIPPIX = n * 3.0;
        d.Azimuth = n * 4.0;
        d.Quality = std::string(1, static_cast<char>('A' + n % 4));
        s.dips[n] = d;
    }
    s.NumPoints = 500;
    sortdips(s);
    std::vector<double> seen;
    for (int i = 1; i <= 500; ++i) {
        const DipPoint& d = s.dips[i];
        const double n = d.YPIX;
        EXPECT_EQ(d.DIPPIX, n * 3);
        EXPECT_EQ(d.Azimuth, n * 4);
        EXPECT_EQ(d.Quality, std::string(1, static_cast<char>('A' + static_cast<int>(n) % 4)));
        if (i > 1) {
            EXPECT_FALSE(!s.dips[i - 1].Depth && d.Depth) << "NO CAL before a number at row " << i;
        }
        if (d.Depth)
            seen.push_back(*d.Depth);
    }
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.size(), 500u - 500 / 13);
}
