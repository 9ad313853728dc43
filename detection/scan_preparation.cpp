#include "detection/scan_preparation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "detection/ink_layers.h"

namespace {

// Paper this far below white, or this uneven, is levelled.
constexpr int kWhitePaper = 245;
constexpr int kEvenPaper = 10;
// Ink whose dark end (its 10th percentile) is paler than this is stretched
// so that it lands at kInkDark: that of scanned black ink lies below it,
// however thin its strokes.
constexpr int kFadedInk = 60;
constexpr int kInkDark = 20;
// Specks: ink in pieces of at most this many pixels, far smaller than a dot.
constexpr int kSpeckArea = 3;
// Pixels of pale ink in a row of five that make a stroke.
constexpr int kStrokeRun = 4;
// A run of pale ink along a row or a column this long is a line of a grid:
// tails printed a pixel thin are a small dot's, far shorter.
constexpr int kGridRun = 41;
constexpr double kNoisy = 0.003;

// The paper's own level: the grey with every dark thing narrower than the
// kernel closed over, smoothed.
void paperLevel(const cv::Mat& grey, int kernel, cv::Mat& level)
{
    cv::morphologyEx(grey, level, cv::MORPH_CLOSE, cv::getStructuringElement(cv::MORPH_RECT, {kernel, kernel}));
    cv::blur(level, level, {kernel, kernel});
}

// The grey divided by the paper's level, so that paper is white.
void levelled(const cv::Mat& grey, int kernel, cv::Mat& out, cv::Mat& scratch)
{
    paperLevel(grey, kernel, scratch);
    cv::divide(grey, scratch, out, 255);
}

// Darkness stretched by a factor: 255 - (255 - g) * stretch.
cv::Mat stretchTable(double stretch)
{
    cv::Mat table(1, 256, CV_8U);
    for (int g = 0; g < 256; ++g)
        table.at<std::uint8_t>(g) = cv::saturate_cast<std::uint8_t>(255 - (255 - g) * stretch);
    return table;
}

int otsu(const cv::Mat& grey)
{
    cv::Mat ignored;
    return int(cv::threshold(grey, ignored, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU));
}

// The grey below which the share p of the picture's greys below `below`
// lie.
int percentile(const cv::Mat& grey, double p, int below)
{
    const int channels[] = {0};
    const int sizes[] = {256};
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::Mat histogram;
    cv::calcHist(&grey, 1, channels, cv::Mat(), histogram, 1, sizes, ranges);
    double all = 0;
    for (int g = 0; g < below; ++g)
        all += histogram.at<float>(g);
    double seen = 0;
    for (int g = 0; g < below; ++g)
        if ((seen += histogram.at<float>(g)) >= p * all)
            return g;
    return 0;
}

// The share of pixels that lie in specks of ink.
double speckShare(const cv::Mat& grey, int threshold)
{
    cv::Mat ink, labels, stats, centroids;
    cv::threshold(grey, ink, threshold - 1, 255, cv::THRESH_BINARY_INV);
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    double specks = 0;
    for (int i = 1; i < count; ++i)
        if (const int area = stats.at<int>(i, cv::CC_STAT_AREA); area <= kSpeckArea)
            specks += area;
    return grey.total() > 0 ? specks / double(grey.total()) : 0;
}

// Eight lines of five pixels through the middle of a 5 x 5 kernel, at every
// eighth of a half turn.
const std::vector<cv::Mat>& strokeKernels()
{
    static const std::vector<cv::Mat> kernels = [] {
        std::vector<cv::Mat> k;
        for (int i = 0; i < 8; ++i) {
            const double a = i * std::numbers::pi / 8;
            cv::Mat kernel(5, 5, CV_32F, cv::Scalar(0));
            for (int t = -2; t <= 2; ++t)
                kernel.at<float>(2 + int(std::lround(t * std::sin(a))), 2 + int(std::lround(t * std::cos(a)))) = 1;
            k.push_back(kernel);
        }
        return k;
    }();
    return kernels;
}

// A median of three clears the specks, but with them every stroke one
// pixel wide, such as a tail printed thin: the cleared grey, where pale ink
// ran on along a straight stroke of five pixels at least in any direction,
// takes the darker grey of before. Specks, even where they touch, seldom
// line up so; a grid's thin lines, longer than any thin tail, are left
// cleared.
void keepStrokes(const cv::Mat& before, const cv::Mat& cleared, int paleLevel, cv::Mat& kept)
{
    cv::Mat ink, along, onStroke(before.size(), CV_8U, cv::Scalar(0));
    cv::threshold(before, ink, paleLevel - 1, 1, cv::THRESH_BINARY_INV);
    for (const cv::Mat& kernel : strokeKernels()) {
        cv::filter2D(ink, along, CV_8U, kernel, {-1, -1}, 0, cv::BORDER_CONSTANT);
        onStroke |= along >= kStrokeRun;
    }
    onStroke &= ink;
    for (const cv::Size run : {cv::Size(kGridRun, 1), cv::Size(1, kGridRun)}) {
        cv::boxFilter(ink, along, CV_8U, run, {-1, -1}, false, cv::BORDER_CONSTANT);
        onStroke.setTo(0, along >= kGridRun - kGridRun / 8);
    }
    cleared.copyTo(kept);
    cv::Mat darker;
    cv::min(cleared, before, darker);
    darker.copyTo(kept, onStroke);
}

// The pale ink's level as it lies before the darkness is stretched.
int paleLevelBeforeStretch(const ScanTraits& t)
{
    return int(std::lround(255 - (255 - paleInkLevel(t.threshold)) / t.stretch));
}

}  // namespace

ScanTraits studyScan(const std::vector<cv::Mat>& samples, double maxDiameter)
{
    ScanTraits t;
    t.paperKernel = 2 * int(std::ceil(maxDiameter)) + 1;
    cv::Mat all;
    for (const cv::Mat& s : samples)
        all.push_back(s.reshape(1, 1).t());
    if (all.empty())
        return t;
    cv::Mat grey = all.reshape(1, 1);
    const int greyOnly = cv::countNonZero((grey > 0) & (grey < 255));
    t.bilevel = greyOnly == 0;
    if (t.bilevel) {
        t.threshold = 128;
        t.noise = speckShare(grey, 128);
        return t;
    }
    // The paper's level and its range, over every sample.
    std::vector<cv::Mat> prepared;
    double lowest = 255, highest = 0;
    for (const cv::Mat& s : samples) {
        cv::Mat level;
        paperLevel(s, t.paperKernel, level);
        double low = 0, high = 0;
        cv::minMaxLoc(level, &low, &high);
        lowest = std::min(lowest, low);
        highest = std::max(highest, high);
    }
    t.levelPaper = lowest < kWhitePaper || highest - lowest > kEvenPaper;
    cv::Mat scratch;
    for (const cv::Mat& s : samples) {
        cv::Mat out;
        if (t.levelPaper)
            levelled(s, t.paperKernel, out, scratch);
        else
            out = s;
        prepared.push_back(out);
    }
    const auto together = [](const std::vector<cv::Mat>& parts) {
        cv::Mat joined;
        for (const cv::Mat& p : parts)
            joined.push_back(p.reshape(1, 1).t());
        return joined;
    };
    // Specks first: they would pass for faded ink.
    double specks = 0, total = 0;
    for (const cv::Mat& p : prepared) {
        specks += speckShare(p, std::clamp(otsu(p), kDarkestThreshold, kPalestThreshold)) * double(p.total());
        total += double(p.total());
    }
    t.noise = total > 0 ? specks / total : 0;
    t.despeckle = t.noise > kNoisy;
    if (t.despeckle)
        for (cv::Mat& p : prepared)
            cv::medianBlur(p, p, 3);
    cv::Mat joined = together(prepared);
    if (const int dark = percentile(joined, 0.1, otsu(joined)); dark > kFadedInk) {
        t.stretch = std::min((255.0 - kInkDark) / (255 - dark), 4.0);
        const cv::Mat table = stretchTable(t.stretch);
        for (cv::Mat& p : prepared)
            cv::LUT(p, table, p);
    }
    // On a noisy page, the grain and what is left of the specks pull Otsu's split
    // towards the paper: there the split lies halfway between the paper's
    // middle and the ink's dark end (its 15th percentile), which the grain
    // barely reaches.
    joined = together(prepared);
    const int split = otsu(joined), paper = percentile(joined, 0.5, 256), inkDark = percentile(joined, 0.15, split);
    t.threshold = std::clamp(t.despeckle ? (paper + inkDark) / 2 : split, kDarkestThreshold, kPalestThreshold);
    t.inkContrast = std::clamp((paper - inkDark) / 255.0, 0.2, 1.0);
    return t;
}

const cv::Mat& prepareBand(const cv::Mat& grey, const ScanTraits& t, cv::Mat& prepared, cv::Mat& scratch,
                           cv::Mat* strokesKept)
{
    if (!t.levelPaper && t.stretch == 1 && !t.despeckle)
        return grey;
    if (t.levelPaper)
        levelled(grey, t.paperKernel, prepared, scratch);
    else
        grey.copyTo(prepared);
    if (t.despeckle) {
        cv::medianBlur(prepared, scratch, 3);
        if (strokesKept)
            keepStrokes(prepared, scratch, paleLevelBeforeStretch(t), *strokesKept);
        std::swap(prepared, scratch);
    }
    if (t.stretch != 1) {
        const cv::Mat table = stretchTable(t.stretch);
        cv::LUT(prepared, table, prepared);
        if (t.despeckle && strokesKept)
            cv::LUT(*strokesKept, table, *strokesKept);
    }
    return prepared;
}
