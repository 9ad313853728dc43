#include "detection/ink_layers.h"

#include <algorithm>
#include <vector>

#include <opencv2/imgproc.hpp>

namespace {

// Marks in lines the runs of ink along each row that together make a line
// at least `shortest` long: runs apart by no more than `gap` (a hollow dot's
// white inside that interrupts a line) count as one line when ink fills
// most of it.
void markRowLines(const cv::Mat& ink, cv::Mat& lines, int shortest, int gap)
{
    struct Run {
        int start, end;
    };
    std::vector<Run> runs;
    for (int y = 0; y < ink.rows; ++y) {
        const std::uint8_t* row = ink.ptr<std::uint8_t>(y);
        runs.clear();
        for (int x = 0; x < ink.cols;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < ink.cols && row[x])
                ++x;
            runs.push_back({start, x});
        }
        std::uint8_t* out = lines.ptr<std::uint8_t>(y);
        for (std::size_t first = 0; first < runs.size();) {
            std::size_t last = first;
            int inked = runs[first].end - runs[first].start;
            while (last + 1 < runs.size() && runs[last + 1].start - runs[last].end <= gap) {
                ++last;
                inked += runs[last].end - runs[last].start;
            }
            const int span = runs[last].end - runs[first].start;
            if (span >= shortest && inked * 5 >= span * 4)
                for (std::size_t i = first; i <= last; ++i)
                    std::fill(out + runs[i].start, out + runs[i].end, std::uint8_t(255));
            first = last + 1;
        }
    }
}

// Long straight horizontal and vertical lines of ink.
cv::Mat longRuns(const cv::Mat& ink, int shortest, int gap)
{
    cv::Mat lines = cv::Mat::zeros(ink.size(), CV_8U);
    markRowLines(ink, lines, shortest, gap);
    cv::Mat columns, columnLines;
    cv::transpose(ink, columns);
    columnLines = cv::Mat::zeros(columns.size(), CV_8U);
    markRowLines(columns, columnLines, shortest, gap);
    cv::transpose(columnLines, columns);
    return lines | columns;
}

// The ink with every small enclosed hole filled: the inside of a hollow
// dot, but not the cells that lines enclose. The holes are looked for in
// the pale ink too, so that a thin ring with a pale pixel still closes.
cv::Mat fillSmallHoles(const cv::Mat& ink, const cv::Mat& paleInk, double maxDiameter)
{
    cv::Mat paper = ~paleInk;
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(paper, labels, stats, centroids, 4, CV_32S);
    const int widest = int(maxDiameter + 1);
    const double largest = 0.9 * maxDiameter * maxDiameter;
    std::vector<std::uint8_t> hole(std::size_t(count), 0);
    for (int i = 1; i < count; ++i) {
        const int left = stats.at<int>(i, cv::CC_STAT_LEFT), top = stats.at<int>(i, cv::CC_STAT_TOP);
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH), h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool inside = left > 0 && top > 0 && left + w < ink.cols && top + h < ink.rows;
        const int area = stats.at<int>(i, cv::CC_STAT_AREA);
        // Round, or a round hole halved by a line; not a wedge between lines.
        const bool roundish = area >= 0.6 * w * h && std::max(w, h) <= 3 * std::min(w, h);
        if (inside && w <= widest && h <= widest && area <= largest && roundish)
            hole[std::size_t(i)] = 255;
    }
    cv::Mat holes(ink.size(), CV_8U);
    for (int y = 0; y < ink.rows; ++y) {
        const int* label = labels.ptr<int>(y);
        std::uint8_t* out = holes.ptr<std::uint8_t>(y);
        for (int x = 0; x < ink.cols; ++x)
            out[x] = hole[std::size_t(label[x])];
    }
    // With the pale pixels of the rings round them, but no other pale ink.
    cv::Mat rings;
    cv::dilate(holes, rings, cv::Mat());
    return ink | holes | (rings & paleInk);
}

}  // namespace

int inkThreshold(const cv::Mat& grey)
{
    if (grey.empty())
        return 128;
    cv::Mat ignored;
    const double otsu = cv::threshold(grey, ignored, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    // A page of paper alone, or of ink alone, has no meaningful split.
    return std::clamp(int(otsu), 80, 176);
}

InkLayers inkLayers(const cv::Mat& grey, const InkLimits& limits)
{
    InkLayers l;
    l.grey = grey;
    cv::threshold(grey, l.ink, limits.threshold - 1, 255, cv::THRESH_BINARY_INV);
    // The fringe that a scanner leaves along a line belongs to the line.
    l.runs = longRuns(l.ink, limits.shortestLine, int(limits.maxDiameter) + 2);
    cv::dilate(l.runs, l.lines, cv::Mat());
    l.lines &= l.ink;
    cv::Mat paleInk;
    cv::threshold(grey, paleInk, std::min(limits.threshold + 48, 230) - 1, 255, cv::THRESH_BINARY_INV);
    l.filled = fillSmallHoles(l.ink, paleInk, limits.maxDiameter);
    cv::distanceTransform(l.filled, l.dist, cv::DIST_L2, cv::DIST_MASK_5, CV_32F);
    l.strokes = l.ink & ~l.lines;
    return l;
}
