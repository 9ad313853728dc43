#include "model/calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "files/dips_by_depth.h"
#include "model/work_edits.h"

namespace {

// Two depth rows at y 1000 and 3000, the track from x 1000 to 10000 on both.
Work track(DipScaleKind kind, int minDip, int maxDip)
{
    Work w;
    w.scale = DipScale{kind, std::int16_t(minDip), std::int16_t(maxDip), {}};
    w.depthRows = {{1000, 1000, 1000, 10000}, {1100, 3000, 1000, 10000}};
    return w;
}

double dipAt(const Work& w, double x, double y = 2000)
{
    const Reading r = Calibration(w).dipAt(x, y);
    EXPECT_TRUE(r) << "x=" << x;
    return r.value_or(-999);
}

Reading depthAt(const Work& w, double y) { return Calibration(w).depthAt(y); }

}  // namespace

TEST(Calibration, DepthsInterpolateBetweenRowsOnly)
{
    Work w;
    EXPECT_FALSE(depthAt(w, 0));
    w.depthRows.push_back({1000, 1500, 0, 0});
    EXPECT_FALSE(depthAt(w, 1600));  // a single row calibrates nothing
    w.depthRows.push_back({1010, 3000, 0, 0});
    w.depthRows.push_back({1020, 4500, 0, 0});
    EXPECT_FALSE(depthAt(w, 1500));
    EXPECT_NEAR(*depthAt(w, 1501), 1000.0066666666, 1e-9);
    EXPECT_DOUBLE_EQ(*depthAt(w, 2250), 1005);
    EXPECT_DOUBLE_EQ(*depthAt(w, 4500), 1020);
    EXPECT_FALSE(depthAt(w, 4501));
    EXPECT_FALSE(depthAt(w, std::nan("")));
    EXPECT_DOUBLE_EQ(*Calibration(w).rowOf(1005), 2250);
    EXPECT_FALSE(Calibration(w).rowOf(1021));

    Work shared;  // two rows on one line: the first of them counts
    shared.depthRows = {{1000, 1000, 0, 0}, {1010, 2000, 0, 0}, {1020, 2000, 0, 0}, {1030, 3000, 0, 0}};
    EXPECT_DOUBLE_EQ(*depthAt(shared, 2000), 1010);
    EXPECT_DOUBLE_EQ(*depthAt(shared, 2500), 1025);
}

TEST(Calibration, StandardLinearAndSineScales)
{
    const Work s0 = track(DipScaleKind::Standard60, 0, 90);
    EXPECT_DOUBLE_EQ(dipAt(s0, 3925), 20);
    EXPECT_NEAR(dipAt(s0, 5500), 20 + 15.75 * 40 / 40.5, 1e-12);
    EXPECT_DOUBLE_EQ(dipAt(s0, 7975), 60);
    EXPECT_DOUBLE_EQ(dipAt(s0, 10000), 90);
    const Work s3 = track(DipScaleKind::Standard50, 0, 90);
    EXPECT_DOUBLE_EQ(dipAt(s3, 5000), 20);
    EXPECT_DOUBLE_EQ(dipAt(s3, 8000), 50);
    EXPECT_DOUBLE_EQ(dipAt(s3, 9000), 70);

    const Work lin = track(DipScaleKind::Linear, 10, 50);
    const Calibration c(lin);
    EXPECT_DOUBLE_EQ(dipAt(lin, 1000), 10);
    EXPECT_DOUBLE_EQ(dipAt(lin, 10000), 50);
    EXPECT_FALSE(c.dipAt(999, 2000));
    EXPECT_FALSE(c.dipAt(5000, 1000));  // on the first row
    EXPECT_TRUE(c.dipAt(5000, 3000));   // on the last row

    EXPECT_NEAR(dipAt(track(DipScaleKind::Sine, 0, 80), 5500), 29.4987, 1e-4);
    EXPECT_NEAR(dipAt(track(DipScaleKind::Sine, 10, 80), 1000), 10, 1e-9);
    // sin 90 degrees with this pi stays just below 1: finite, a hair above 90.
    EXPECT_NEAR(dipAt(track(DipScaleKind::Sine, 0, 90), 10000), 90, 1e-8);
    EXPECT_NEAR(dipAt(track(DipScaleKind::Sine, 0, 90), 5500), 30.0000253, 1e-7);
}

TEST(Calibration, TrackEndsFollowTheRowsAndCustomStepsConvertOnce)
{
    Work w;
    w.scale = DipScale{DipScaleKind::Custom, 0, 90, {0, 300, 1200, 2400, 3600, 4800, 6000, 7200, 8400, 9200}};
    w.depthRows = {{0, 0, 0, 9200}, {10, 1000, 0, 9200}};
    EXPECT_NEAR(dipAt(w, 150, 500), 5, 1e-12);
    EXPECT_NEAR(dipAt(w, 5000, 500), 51.6666666667, 1e-9);
    EXPECT_NEAR(dipAt(w, 9200, 500), 90, 1e-12);

    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};  // track ends read between the rows
    w.depthRows = {{0, 0, 0, 9000}, {10, 1000, 1000, 10000}};
    EXPECT_DOUBLE_EQ(dipAt(w, 5000, 500), 45);
}

// A dip typed in the dip table goes where reading it back gives it, on
// every kind of scale and with the track's ends moving between the rows.
TEST(Calibration, TheWayBackFromADipToItsPlaceReadsTheSameDip)
{
    for (const DipScaleKind kind : {DipScaleKind::Linear, DipScaleKind::Sine, DipScaleKind::Standard60,
                                    DipScaleKind::Standard50}) {
        Work w = track(kind, 0, 90);
        w.depthRows[1].minDipX = 1500;
        w.depthRows[1].maxDipX = 9000;
        const Calibration c(w);
        for (const double dip : {0.0, 5.0, 20.0, 37.5, 60.0, 89.0, 90.0})
            for (const double y : {1500.0, 2999.0}) {
                const std::optional<double> x = c.xOfDip(dip, y);
                ASSERT_TRUE(x) << int(kind) << " " << dip;
                EXPECT_NEAR(*c.dipAt(*x, y), dip, 1e-6) << int(kind) << " " << dip << " at " << y;
            }
        EXPECT_FALSE(c.xOfDip(45, 500));  // above the first row
    }
}

TEST(Calibration, ZeroDivisorsGiveNoCal)
{
    Work same = track(DipScaleKind::Linear, 0, 90);
    same.depthRows[0].maxDipX = same.depthRows[1].maxDipX = 1000;
    EXPECT_FALSE(Calibration(same).dipAt(1000, 2000));
    EXPECT_FALSE(Calibration(track(DipScaleKind::Sine, 40, 40)).dipAt(5000, 2000));
    EXPECT_FALSE(Calibration(track(DipScaleKind::Custom, 40, 40)).dipAt(5000, 2000));

    Work custom = track(DipScaleKind::Custom, 0, 90);
    custom.scale->customSteps.assign(10, 0);
    EXPECT_FALSE(Calibration(custom).dipAt(5000, 2000));  // every custom position at 0
    for (int k = 0; k <= 9; ++k)
        custom.scale->customSteps[std::size_t(k)] = k < 2 ? 0 : 1000.0 * k;
    EXPECT_FALSE(Calibration(custom).dipAt(1000, 2000));  // u = 0 falls in the empty first step
    EXPECT_TRUE(Calibration(custom).dipAt(5000, 2000));
    Work noScale = track(DipScaleKind::Linear, 0, 90);
    noScale.scale.reset();
    EXPECT_FALSE(Calibration(noScale).dipAt(5000, 2000));
    EXPECT_TRUE(Calibration(noScale).depthAt(2000));
}

TEST(DipFraction, FractionsTheGridDoesNotShowAndUndefinedPositions)
{
    EXPECT_NEAR(dipFraction(DipScale{DipScaleKind::Standard50, 0, 90, {}}, 60), 0.75 / 0.9, 1e-12);
    EXPECT_NEAR(dipFraction(DipScale{DipScaleKind::Sine, 0, 80, {}}, 30),
                std::sin(30 * kPi / 180) / std::sin(80 * kPi / 180), 1e-12);
    DipScale custom{DipScaleKind::Custom, 0, 90, std::vector<double>(10, 0)};
    EXPECT_TRUE(std::isnan(dipFraction(custom, 30)));  // all custom positions equal
    for (int k = 0; k <= 9; ++k)
        custom.customSteps[std::size_t(k)] = 100 + 200.0 * k;
    EXPECT_TRUE(std::isnan(dipFraction(custom, 35)));
    EXPECT_TRUE(std::isnan(dipFraction(custom, 100)));
}

TEST(Order, DepthRowsByTheirRowAndDipsByDepthWithNoCalLast)
{
    Work w;
    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    applyEdit(w, AddDepthRows{{{1010, 3000, 1, 2}, {1020, 1500, 3, 4}, {900, 100, 5, 6}}});
    EXPECT_EQ(w.depthRows[0], (DepthRow{900, 100, 5, 6}));
    EXPECT_EQ(w.depthRows[1], (DepthRow{1020, 1500, 3, 4}));  // the depth left as entered

    std::mt19937 rng(7);
    for (int n = 1; n <= 500; ++n)  // every thirteenth outside the rows: "NO CAL"
        w.dips.push_back(Dip{3.0 * n, n % 13 ? 101 + double(rng() % 2800) : 5000.0, 0, ""});
    const auto rows = dipsByDepth(w);
    ASSERT_EQ(rows.size(), 500u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const Reading& prev = rows[i - 1].depth;
        EXPECT_TRUE(!rows[i].depth || (prev && *prev <= *rows[i].depth)) << "row " << i;
    }
    EXPECT_FALSE(rows.back().depth);
    EXPECT_EQ(w.dips[0].x, 3);  // the work keeps its order
}
