// How a speckled band is prepared: the specks cleared, the dots kept, and
// beside it the band that keeps its strokes a pixel thin for the tails.
#include <gtest/gtest.h>

#include <random>

#include <opencv2/imgproc.hpp>

#include "detection/scan_preparation.h"

namespace {

// Specks a pixel or two, a filled dot, a tail a pixel thin leaving it along
// the row, and a grid line a pixel thin down the whole band.
cv::Mat speckledBand()
{
    cv::Mat grey(200, 300, CV_8U, cv::Scalar(240));
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> x(0, 298), y(0, 198);
    for (int i = 0; i < 3000; ++i)
        grey(cv::Rect(x(rng), y(rng), 1 + i % 5 / 4, 1)).setTo(40);
    cv::circle(grey, {100, 100}, 5, cv::Scalar(20), cv::FILLED);
    cv::line(grey, {105, 100}, {135, 100}, cv::Scalar(60), 1);
    cv::line(grey, {250, 0}, {250, 199}, cv::Scalar(60), 1);
    return grey;
}

ScanTraits speckled()
{
    ScanTraits t;
    t.despeckle = true;
    t.threshold = 140;
    return t;
}

int darkIn(const cv::Mat& grey, cv::Rect area)
{
    return cv::countNonZero(grey(area) < 140);
}

}  // namespace

TEST(ScanPreparation, TheClearedBandLosesSpecksAndThinStrokesTheStrokeBandKeepsTheTail)
{
    const cv::Mat grey = speckledBand();
    cv::Mat prepared, scratch, thin;
    const cv::Mat cleared = prepareBand(grey, speckled(), prepared, scratch, &thin).clone();
    ASSERT_EQ(thin.size(), grey.size());
    const cv::Rect tail(110, 99, 24, 3), grid(249, 20, 3, 160), paper(10, 10, 60, 60);
    EXPECT_GT(darkIn(grey, paper), 40);   // specks...
    EXPECT_LT(darkIn(cleared, paper), 5);  // ...cleared
    EXPECT_LT(darkIn(thin, paper), 10);    // and scarcely kept as strokes
    EXPECT_GT(darkIn(cleared, {97, 97, 7, 7}), 40);  // the dot stays
    EXPECT_LT(darkIn(cleared, tail), 10);  // the median takes most of the tail
    EXPECT_GE(darkIn(thin, tail), 18);     // the stroke band keeps it
    EXPECT_LT(darkIn(thin, grid), 40);     // but not a grid's long line (160 long)
}

TEST(ScanPreparation, AClearScanIsReadAsItIs)
{
    const cv::Mat grey = speckledBand();
    cv::Mat prepared, scratch, thin;
    const cv::Mat& band = prepareBand(grey, ScanTraits{}, prepared, scratch, &thin);
    EXPECT_EQ(band.data, grey.data);
    EXPECT_TRUE(thin.empty());
}
