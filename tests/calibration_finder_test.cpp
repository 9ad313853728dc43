// The calibration a drawn log shows of itself, found as the batch and the
// window find it: lines, track, printed depths read by Tesseract, the fit.
#include <gtest/gtest.h>

#include "labelled_log.h"
#include "session/calibration_finder.h"

namespace {

GreyRows rowsOf(const cv::Mat& grey)
{
    return {0, 0, grey.cols, grey.rows, [&grey](int left, int top, int width, int height, std::uint8_t* out,
                                                std::ptrdiff_t stride) {
                for (int y = 0; y < height; ++y)
                    std::copy_n(grey.ptr<std::uint8_t>(top + y) + left, width, out + y * stride);
            }};
}

// Every drawn line, 100 rows apart from row 100, at its depth 2400, 2410, ...
void expectEveryLine(const FoundCalibration& found, std::size_t lines)
{
    ASSERT_EQ(found.failure, "");
    ASSERT_EQ(found.calibration.rows.size(), lines);
    for (std::size_t i = 0; i < lines; ++i) {
        const DepthRow& r = found.calibration.rows[i];
        EXPECT_EQ(r.depth, 2400 + 10.0 * double(i)) << i;
        EXPECT_NEAR(r.y, 100.5 + 100.0 * double(i), 0.2) << i;
        EXPECT_NEAR(r.minDipX, 150.5, 0.3) << i;
        EXPECT_NEAR(r.maxDipX, 550.5, 0.3) << i;
    }
    ASSERT_TRUE(found.calibration.scale);
    EXPECT_EQ(*found.calibration.scale, (DipScale{DipScaleKind::Linear, 0, 90, {}}));
    EXPECT_FALSE(found.scaleAssumed);
    EXPECT_EQ(found.depthStep, 10);
}

}  // namespace

// Only every fifth line printed with its depth: the lines between take theirs
// from the labels' trend.
TEST(FindCalibration, LabelsOnEveryFifthLineGiveEveryLineItsDepth)
{
    const cv::Mat grey = labelledLogGrey(3100, Labels{{}, 5});  // 30 lines, 6 labelled
    const FoundCalibration found = findCalibration(rowsOf(grey));
    expectEveryLine(found, 30);
    EXPECT_EQ(found.labelsRead, 6);
    EXPECT_EQ(found.labelsAgreeing, 6);
}

TEST(FindCalibration, LabelsInAGapCutIntoTheLineAreRead)
{
    const cv::Mat grey = labelledLogGrey(1500, Labels{{}, 1, true});
    const FoundCalibration found = findCalibration(rowsOf(grey));
    expectEveryLine(found, 14);
    EXPECT_EQ(found.labelsAgreeing, found.labelsRead);
}

TEST(FindCalibration, LabelsThatReadAsWordsGiveNoCalibration)
{
    const cv::Mat grey = labelledLogGrey(1500, Labels{{}, 1, false, true});
    const FoundCalibration found = findCalibration(rowsOf(grey));
    EXPECT_EQ(found.failure.rfind("Fewer than two of the depths printed beside the lines could be read and agree", 0),
              0u)
        << found.failure;
    EXPECT_TRUE(found.calibration.rows.empty());
}
