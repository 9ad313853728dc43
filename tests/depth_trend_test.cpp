#include <gtest/gtest.h>

#include <cmath>

#include "model/calibration_rules.h"
#include "model/depth_trend.h"

namespace {

// Labels of a log with a line every 150 rows and 10 depth units, the first
// at row 300 and depth 2400.
std::vector<DepthAtRow> labels(int count)
{
    std::vector<DepthAtRow> points;
    for (int i = 0; i < count; ++i)
        points.push_back({300.0 + 150 * i, 2400.0 + 10 * i});
    return points;
}

Work rows(std::initializer_list<std::pair<double, double>> depthAndRow)
{
    Work w;
    for (const auto& [depth, y] : depthAndRow)
        w.depthRows.push_back({depth, y, 100, 900});
    return w;
}

}  // namespace

// A third of the labels misread every way OCR and people misread them: the
// trend is still every line's, and each wrong label is told apart.
TEST(DepthTrend, OutvotesAThirdOfTheLabelsWrong)
{
    for (const int count : {7, 40, 300}) {
        std::vector<DepthAtRow> points = labels(count);
        std::vector<bool> wrong(points.size());
        for (std::size_t i = 1; i < points.size(); i += 3) {
            wrong[i] = true;
            switch (i % 4) {
            case 0: points[i].depth += 50; break;                          // a 3 read as 8
            case 1: std::swap(points[i].depth, points[i - 1].depth);       // two labels swapped
                    wrong[i - 1] = true; break;
            case 2: points[i].depth = std::floor(points[i].depth / 10); break;  // a digit lost
            default: points[i].depth *= 10; break;
            }
        }
        const auto trend = fitDepthTrend(points, 20);
        ASSERT_TRUE(trend) << count;
        for (const DepthAtRow& p : labels(count))
            EXPECT_NEAR(trend->rowOf(p.depth), p.y, 0.01) << count;
        for (std::size_t i = 0; i < points.size(); ++i)
            EXPECT_EQ(trend->agrees[i], !wrong[i]) << count << " label " << i;
    }
}

TEST(DepthTrend, NeedsTwoPointsOfDifferentRowsAndDepths)
{
    EXPECT_FALSE(fitDepthTrend({}, 5));
    EXPECT_FALSE(fitDepthTrend({{300, 2400}}, 5));
    EXPECT_FALSE(fitDepthTrend({{300, 2400}, {300, 2410}}, 5));
    EXPECT_FALSE(fitDepthTrend({{300, 2400}, {450, 2400}}, 5));
    const auto upward = fitDepthTrend({{300, 2400}, {450, 2390}}, 5);  // a log numbered upwards
    ASSERT_TRUE(upward);
    EXPECT_DOUBLE_EQ(upward->depthAt(600), 2380);
    EXPECT_EQ(upward->agreeing(), 2u);
}

TEST(DepthTrend, TheUnitTheDepthsAreWrittenIn)
{
    EXPECT_EQ(depthUnit({2400, 2410, 2420}), 10);
    EXPECT_EQ(depthUnit({2400, 2450, 2500}), 50);
    EXPECT_EQ(depthUnit({1000.5, 1001, 1001.5}), 0.5);
    EXPECT_EQ(depthUnit({1000.25, 1000.5}), 0.25);
    EXPECT_EQ(depthUnit({2413, 2427}), 1);
    EXPECT_EQ(depthUnit({0.0001}), 0.001);
}

// "Enter Depth" catches a slipped digit, a depth out of order and a step
// ten times the others, and names the depth that fits.
TEST(EnterDepth, ADepthThatBreaksTheTrendOfTheRowsIsCaught)
{
    const Work w = rows({{2380, 300}, {2390, 400}, {2400, 500}});
    EXPECT_EQ(depthThatFits(w, 600, 2041), 2410);
    EXPECT_EQ(depthThatFits(w, 600, 2395), 2410);  // out of order
    EXPECT_EQ(depthThatFits(w, 600, 2500), 2410);  // a step ten times the others
    EXPECT_EQ(depthThatFits(w, 200, 2410), 2370);  // above the others
    EXPECT_FALSE(depthThatFits(w, 600, 2410));
    EXPECT_FALSE(depthThatFits(w, 604, 2410));  // pressed a little off the line
    EXPECT_FALSE(depthThatFits(w, 650, 2415));  // between printed lines
    EXPECT_FALSE(depthThatFits(rows({{2380, 300}}), 600, 2041));  // too few to tell
    EXPECT_EQ(depthThatFits(rows({{1000.5, 300}, {1001, 400}}), 500, 1015), 1001.5);
    // One mistaken row among them does not spoil the trend.
    EXPECT_EQ(depthThatFits(rows({{2380, 300}, {2930, 400}, {2400, 500}, {2410, 600}}), 700, 2402), 2420);
    EXPECT_EQ(depthMisfitMessage(2041, 2410), "2041 does not fit the lines around it: 2410 would.");
}

TEST(DepthTrend, ARowOfACalibrationThatBreaksTheTrendIsNamed)
{
    const Work w = rows({{2380, 300}, {2390, 400}, {2041, 500}, {2410, 600}, {2420, 700}});
    const auto misfits = depthMisfits(w);
    ASSERT_EQ(misfits.size(), 1u);
    EXPECT_EQ(misfits[0].row, 2u);
    EXPECT_EQ(misfits[0].depth, 2041);
    EXPECT_EQ(misfits[0].fits, 2400);
    EXPECT_TRUE(depthMisfits(rows({{2380, 300}, {2390, 400}, {2041, 500}})).empty());  // no majority
    EXPECT_TRUE(depthMisfits(rows({{2380, 300}, {2390, 400}, {2400, 500}, {2410, 600}})).empty());
}
