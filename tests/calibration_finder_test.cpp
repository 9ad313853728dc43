// The calibration a drawn log shows of itself, found as the batch and the
// window find it: lines, track, printed depths read by Tesseract, the fit.
#include <gtest/gtest.h>

#include <cmath>

#include "labelled_log.h"
#include "session/calibration_finder.h"
#include "labelled_log_drawing.h"
#include "scan_spoiling.h"

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
    EXPECT_EQ(found.failure.rfind("The depths printed beside the lines could not be read as round steps apart", 0), 0u)
        << found.failure;
    EXPECT_TRUE(found.calibration.rows.empty());
    EXPECT_EQ(found.labelsRead, 0);
}

namespace {

// A short log printed as archives hold them, 700 by 1900 pixels.
LabelledLogStyle shortLog()
{
    LabelledLogStyle s;
    s.width = 700;
    s.height = 1900;
    s.firstRow = 180;
    s.spacing = 50;
    s.pixelSize = 14;
    s.tadpoles = 20;
    return s;
}

// Every printed line that the found rows span is given its printed depth,
// within a pixel of where it lies.
void expectPrintedDepths(const FoundCalibration& found, const std::vector<PrintedLine>& truth)
{
    ASSERT_EQ(found.failure, "");
    const std::vector<DepthRow>& rows = found.calibration.rows;
    ASSERT_GE(rows.size(), truth.size() - 1);
    std::size_t matched = 0;
    for (const PrintedLine& line : truth)
        for (const DepthRow& row : rows)
            if (std::abs(row.y - line.row) < 1) {
                EXPECT_EQ(row.depth, line.depth) << "row " << row.y;
                ++matched;
            }
    EXPECT_GE(matched + 1, truth.size());
}

}  // namespace

// Paper stretched by 1.2 % along the log: its rows would give a step of
// 9.99 and depths of 2449.98; the lines counted give 2400, 2410, ...
TEST(FindCalibration, StretchedPaperMovesNoDepthOffItsPrintedValue)
{
    LabelledLogStyle style = shortLog();
    style.stretch = 0.012;
    style.labelEvery = 2;
    std::vector<PrintedLine> truth;
    const cv::Mat grey = drawLabelledLog(style, &truth);
    const FoundCalibration found = findCalibration(rowsOf(grey));
    expectPrintedDepths(found, truth);
    EXPECT_EQ(found.depthStep, 10);
    EXPECT_TRUE(found.limitsRead);  // the scale's numbers over its grid, 10 to 80
}

TEST(FindCalibration, ACalibrationOnFewAgreeingLabelsIsRefusedWithItsReason)
{
    LabelledLogStyle style = shortLog();
    style.labelEvery = 3;  // 11 labels, 8 of them misprinted
    style.pixelSize = 16;
    style.misprints = {{3, "7315"}, {6, "1862"}, {9, "5123"}, {12, "3391"}, {18, "6604"}, {21, "8176"},
                       {24, "4238"}, {27, "9950"}};
    const FoundCalibration found = findCalibration(rowsOf(drawLabelledLog(style)));
    EXPECT_NE(found.failure.find("at least half of them must"), std::string::npos) << found.failure;
    EXPECT_EQ(found.labelsAgreeing, 3);
    EXPECT_GE(found.labelsRead, 10);
    EXPECT_GE(found.disagreeing.size(), 7u);
    EXPECT_TRUE(found.calibration.rows.empty());
}

// Monospaced digits set wide apart are one number, not four.
TEST(FindCalibration, AMonospacedLabelWithWideGapsIsReadWhole)
{
    LabelledLogStyle style = shortLog();
    style.family = "Liberation Mono";
    style.pixelSize = 13;
    style.firstDepth = 9100;
    style.labelEvery = 5;
    std::vector<PrintedLine> truth;
    const FoundCalibration found = findCalibration(rowsOf(drawLabelledLog(style, &truth)));
    expectPrintedDepths(found, truth);
    EXPECT_EQ(found.labelsAgreeing, found.labelsRead);
}

TEST(FindCalibration, ALightSerifLabelInAGapIsRead)
{
    LabelledLogStyle style = shortLog();
    style.family = "Linux Libertine O";
    style.pixelSize = 13;
    style.inGap = true;
    style.step = 2;
    style.firstDepth = 620;
    std::vector<PrintedLine> truth;
    const FoundCalibration found = findCalibration(rowsOf(drawLabelledLog(style, &truth)));
    expectPrintedDepths(found, truth);
    EXPECT_GE(found.labelsAgreeing, 10);
}

TEST(FindCalibration, ASheetTurnedAgainstTheClockIsFollowedAlongItsLines)
{
    LabelledLogStyle style = shortLog();
    style.skewDegrees = -1.5;
    style.inGap = true;
    style.scale = DipScaleKind::Sine;
    std::vector<PrintedLine> truth;
    const FoundCalibration found = findCalibration(rowsOf(drawLabelledLog(style, &truth)));
    expectPrintedDepths(found, truth);
    EXPECT_NEAR(found.skewDegrees, -1.5, 0.1);
    ASSERT_TRUE(found.calibration.scale);
    EXPECT_EQ(found.calibration.scale->kind, DipScaleKind::Sine);
}

TEST(FindCalibration, ALineMissedBetweenFoundOnesIsPlacedAndTold)
{
    LabelledLogStyle style = shortLog();
    style.undrawnLines = {7};  // printed too faint to be found
    std::vector<PrintedLine> truth;
    const FoundCalibration found = findCalibration(rowsOf(drawLabelledLog(style, &truth)));
    expectPrintedDepths(found, truth);
    ASSERT_EQ(found.missed.size(), 1u);
    EXPECT_NEAR(found.missed[0].y, truth[7].row, 1);
    EXPECT_EQ(found.missed[0].depth, 2470);
    EXPECT_EQ(missedLinesNote(found.missed),
              "1 printed line was not found and was placed from the spacing: near row " +
                  std::to_string(int(std::round(found.missed[0].y))) + ".");
}

// A copy of a copy: dense dark specks on and between the digits, blurred,
// grainy. The specks are taken out of the labels before they are read.
TEST(FindCalibration, LabelsUnderDenseSpecksAreReadWithTheSpecksTakenOut)
{
    LabelledLogStyle style = shortLog();
    style.family = "DejaVu Sans Condensed";
    style.weight = 700;
    std::vector<PrintedLine> truth;
    cv::Mat grey = drawLabelledLog(style, &truth);
    std::mt19937 rng(7);
    speckle(grey, Copying{.blur = 1.0, .darkShare = 0.08, .darkLow = 20, .darkHigh = 80, .whiteShare = 0.03, .grain = 25},
            rng);
    const FoundCalibration found = findCalibration(rowsOf(grey));
    expectPrintedDepths(found, truth);
    EXPECT_GE(found.labelsAgreeing, 6);
}
