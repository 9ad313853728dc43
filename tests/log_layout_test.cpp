// The search for what a printed log shows of its calibration: depth lines,
// the dip track and its grid, each difficulty on a small drawn log.
#include <gtest/gtest.h>

#include <cmath>

#include <opencv2/imgproc.hpp>

#include "detection/log_layout.h"

namespace {

// A log 700 wide: depth lines every 100 rows from row 100 across the whole
// width, and a dip track from x 200 to 650 with its 10-degree grid grey.
class DrawnLog {
public:
    static constexpr double kLeft = 200, kRight = 650;

    explicit DrawnLog(int height = 1300, DipScaleKind kind = DipScaleKind::Linear, bool greyGrid = true)
        : grey_(height, 700, CV_8U, cv::Scalar(255))
    {
        const DipScale scale{kind, 0, 90, {}};
        for (int d = 10; d < 90; d += 10) {
            const int x = int(std::lround(kLeft + dipFraction(scale, d) * (kRight - kLeft)));
            cv::line(grey_, {x, 100}, {x, height - 100}, cv::Scalar(greyGrid ? 170 : 0), 1);
        }
        for (int y = 100; y <= height - 100; y += 100)
            cv::line(grey_, {0, y}, {699, y}, cv::Scalar(0), 2);
        for (const double x : {kLeft, kRight})
            cv::line(grey_, {int(x), 100}, {int(x), height - 100}, cv::Scalar(0), 2);
        cv::putText(grey_, "DIPMETER LOG", {200, 50}, cv::FONT_HERSHEY_SIMPLEX, 1, cv::Scalar(0), 2);
    }

    void tadpole(double x, double y, double azimuth)
    {
        const double a = azimuth * CV_PI / 180;
        cv::line(grey_, {int(x), int(y)}, {int(x + 30 * std::sin(a)), int(y - 30 * std::cos(a))}, cv::Scalar(0), 2);
        cv::circle(grey_, {int(x), int(y)}, 5, cv::Scalar(0), cv::FILLED);
    }
    // Turned clockwise about the middle by the degrees given, as a sheet fed askew.
    void turn(double degrees)
    {
        const cv::Mat m = cv::getRotationMatrix2D({350, grey_.rows / 2.0f}, -degrees, 1);
        cv::warpAffine(grey_, grey_, m, grey_.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(255));
    }
    void erase(int top, int bottom) { grey_.rowRange(top, bottom).setTo(255); }
    cv::Mat& grey() { return grey_; }

    FoundLayout find() const
    {
        return findLayout(GreyPicture{grey_.data, grey_.cols, grey_.rows, std::ptrdiff_t(grey_.step), 0, 0});
    }

private:
    cv::Mat grey_;
};

}  // namespace

TEST(LogLayout, FindsEveryDepthLineTheTrackAndItsScale)
{
    DrawnLog log;
    log.tadpole(400, 305, 80);  // a tail across a depth line
    log.tadpole(500, 600, 270);  // a tail along one
    const FoundLayout found = log.find();
    ASSERT_EQ(found.failure, "");
    ASSERT_TRUE(found.scale);
    EXPECT_EQ(found.scale->kind, DipScaleKind::Linear);
    ASSERT_EQ(found.lines.size(), 12u);
    for (std::size_t i = 0; i < found.lines.size(); ++i) {
        EXPECT_NEAR(found.lines[i].y, 100.5 + 100 * i, 0.2) << i;
        EXPECT_NEAR(found.lines[i].minDipX, DrawnLog::kLeft + 0.5, 0.3) << i;
        EXPECT_NEAR(found.lines[i].maxDipX, DrawnLog::kRight + 0.5, 0.3) << i;
    }
    EXPECT_NEAR(found.skewDegrees, 0, 0.05);
}

TEST(LogLayout, ASkewedSheetsLinesAndEdgesAreReadWhereTheyCrossTheTrack)
{
    DrawnLog log(2600);  // more than two bands
    log.turn(0.8);
    const FoundLayout found = log.find();
    ASSERT_EQ(found.failure, "");
    ASSERT_EQ(found.lines.size(), 25u);
    const double a = 0.8 * CV_PI / 180;
    for (std::size_t i = 0; i < found.lines.size(); ++i) {
        // The middle of the unturned track, (425.5, y), turned about (350, 1300).
        const double y0 = 100.5 + 100 * i, dx = 425.5 - 350, dy = y0 - 1300;
        EXPECT_NEAR(found.lines[i].y, 1300 + dx * std::sin(a) + dy * std::cos(a), 1) << i;
        const double leftX = 350 + (DrawnLog::kLeft + 0.5 - 350) * std::cos(a) - dy * std::sin(a);
        EXPECT_NEAR(found.lines[i].minDipX, leftX, 1.5) << i;
    }
    EXPECT_NEAR(found.skewDegrees, 0.8, 0.05);
}

// Lines a pixel thin on a sheet turned either way, grey where they step
// from row to row, and sent as a 1-bit fax, whose steps leave a column out.
TEST(LogLayout, ThinLinesOfASheetTurnedEitherWayAreFoundWhole)
{
    for (const double degrees : {1.5, -1.5})
        for (const bool fax : {false, true}) {
            DrawnLog log(2600);
            for (int y = 150; y <= 2450; y += 100)
                cv::line(log.grey(), {0, y}, {699, y}, cv::Scalar(0), 1, cv::LINE_AA);
            log.turn(degrees);
            if (fax)
                cv::threshold(log.grey(), log.grey(), 127, 255, cv::THRESH_BINARY);
            const FoundLayout found = log.find();
            ASSERT_EQ(found.failure, "") << degrees << (fax ? " fax" : "");
            EXPECT_EQ(found.lines.size(), 49u) << degrees << (fax ? " fax" : "");
            EXPECT_NEAR(found.skewDegrees, degrees, 0.1) << degrees << (fax ? " fax" : "");
        }
}

TEST(LogLayout, AMissingLineIsLeftOutAndTheOthersKept)
{
    DrawnLog log;
    log.erase(495, 506);  // the line at 500 with the grid across it
    const FoundLayout found = log.find();
    ASSERT_EQ(found.failure, "");
    ASSERT_EQ(found.lines.size(), 11u);
    EXPECT_NEAR(found.lines[3].y, 400.5, 0.2);
    EXPECT_NEAR(found.lines[4].y, 600.5, 0.2);
}

TEST(LogLayout, TheTracksOwnHorizontalGridIsNoDepthLine)
{
    DrawnLog log(1300, DipScaleKind::Sine, false);
    for (int y = 120; y < 1200; y += 20)
        if (y % 100 != 0)
            cv::line(log.grey(), {int(DrawnLog::kLeft), y}, {int(DrawnLog::kRight), y}, cv::Scalar(0), 1);
    const FoundLayout found = log.find();
    ASSERT_EQ(found.failure, "");
    EXPECT_EQ(found.scale->kind, DipScaleKind::Sine);
    EXPECT_EQ(found.lines.size(), 12u);
}

TEST(LogLayout, APageWithoutLinesSaysSo)
{
    cv::Mat blank(800, 600, CV_8U, cv::Scalar(255));
    cv::putText(blank, "NOTES 2410", {50, 300}, cv::FONT_HERSHEY_SIMPLEX, 1, cv::Scalar(0), 2);
    const FoundLayout found = findLayout(GreyPicture{blank.data, blank.cols, blank.rows, std::ptrdiff_t(blank.step), 0, 0});
    EXPECT_TRUE(found.lines.empty());
    EXPECT_EQ(found.failure, "No dip track was found: no vertical lines on the log are spaced as a dip scale's grid.");

    DrawnLog log;
    for (int y = 100; y <= 1200; y += 100)
        cv::line(log.grey(), {0, y}, {699, y}, cv::Scalar(255), 4);
    EXPECT_EQ(log.find().failure, "No depth lines were found across the dip track.");
}

// Each kind of scale is told by where its 10-degree lines stand; a curve's
// axis or a missing line does not hide it.
TEST(LogLayout, TheGridsSpacingTellsTheScale)
{
    for (const DipScaleKind kind :
         {DipScaleKind::Linear, DipScaleKind::Sine, DipScaleKind::Standard60, DipScaleKind::Standard50}) {
        const DipScale scale{kind, 0, 90, {}};
        std::vector<double> xs{40, 760};  // lines beyond the track
        for (int d = 0; d <= 90; d += 10)
            if (d != 40)
                xs.push_back(100 + 600 * dipFraction(scale, d) + (d % 20 == 0 ? 0.8 : -0.8));
        const auto match = matchTrack(xs, 120);
        ASSERT_TRUE(match) << int(kind);
        EXPECT_EQ(match->kind, kind);
        EXPECT_NEAR(match->left, 100.8, 1e-9);
        EXPECT_NEAR(match->right, 699.2, 1e-9);
        EXPECT_GE(match->matched, 7);
    }
    EXPECT_FALSE(matchTrack({100, 250, 400, 700}, 120));  // too few lines for any scale
}

TEST(LogLayout, AGridOfNoKnownScaleIsACustomScaleWithItsTenPositions)
{
    // 0 to 90 at positions no linear, sine or standard scale has.
    const double fractions[] = {0, 0.04, 0.1, 0.18, 0.28, 0.4, 0.54, 0.7, 0.85, 1};
    std::vector<double> xs{40};  // a line beyond the track
    for (const double f : fractions)
        xs.push_back(100 + 600 * f);
    const auto match = matchTrack(xs, 120);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->kind, DipScaleKind::Custom);
    EXPECT_EQ(match->left, 100);
    EXPECT_EQ(match->right, 700);
    ASSERT_EQ(match->steps.size(), 10u);
    EXPECT_NEAR(match->steps[4], 100 + 600 * 0.28, 1e-9);

    // Drawn, the whole layout takes it as the scale.
    DrawnLog log(1300);
    cv::Mat& grey = log.grey();
    grey.colRange(201, 650).rowRange(100, 1201).setTo(255);
    for (int y = 100; y <= 1200; y += 100)
        cv::line(grey, {0, y}, {699, y}, cv::Scalar(0), 2);
    for (const double f : fractions)
        cv::line(grey, {int(std::lround(200 + 450 * f)), 100}, {int(std::lround(200 + 450 * f)), 1200},
                 cv::Scalar(f == 0 || f == 1 ? 0 : 170), f == 0 || f == 1 ? 2 : 1);
    const FoundLayout layout = log.find();
    ASSERT_TRUE(layout.scale) << layout.failure;
    EXPECT_EQ(layout.scale->kind, DipScaleKind::Custom);
    ASSERT_EQ(layout.scale->customSteps.size(), 10u);
    const std::vector<double>& steps = layout.scale->customSteps;
    for (std::size_t k = 0; k < 10; ++k)
        EXPECT_NEAR((steps[k] - steps[0]) / (steps[9] - steps[0]), fractions[k], 0.01) << k;

    // Too few lines for ten positions, and none like a known scale: no track.
    EXPECT_FALSE(matchTrack({100, 124, 160, 208, 268, 340}, 120));
}
