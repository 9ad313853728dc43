#include "detection/ink_layers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "detection/long_lines.h"

namespace {

// Marks in holes the small round holes that the given ink encloses: the
// inside of a hollow dot, but not the cells that lines enclose.
void markSmallHoles(const cv::Mat& ink, InkLayers& l, double maxDiameter, cv::Mat& holes)
{
    cv::bitwise_not(ink, l.scratch);
    const int count = cv::connectedComponentsWithStats(l.scratch, l.labels, l.stats, l.centroids, 4, CV_32S);
    const int widest = int(maxDiameter + 1);
    const double largest = 0.9 * maxDiameter * maxDiameter;
    std::vector<std::uint8_t> hole(std::size_t(count), 0);
    for (int i = 1; i < count; ++i) {
        const int left = l.stats.at<int>(i, cv::CC_STAT_LEFT), top = l.stats.at<int>(i, cv::CC_STAT_TOP);
        const int w = l.stats.at<int>(i, cv::CC_STAT_WIDTH), h = l.stats.at<int>(i, cv::CC_STAT_HEIGHT);
        const bool inside = left > 0 && top > 0 && left + w < ink.cols && top + h < ink.rows;
        const int area = l.stats.at<int>(i, cv::CC_STAT_AREA);
        // Round, or a round hole halved by a line (twice as wide as tall);
        // not a wedge between lines, nor the long narrow one a tail closes
        // with a grid line beside it.
        const bool roundish = area >= 0.6 * w * h && std::max(w, h) <= 2.2 * std::min(w, h);
        if (inside && w <= widest && h <= widest && area <= largest && roundish)
            hole[std::size_t(i)] = 255;
    }
    holes.create(ink.size(), CV_8U);
    for (int y = 0; y < ink.rows; ++y) {
        const int* label = l.labels.ptr<int>(y);
        std::uint8_t* out = holes.ptr<std::uint8_t>(y);
        for (int x = 0; x < ink.cols; ++x)
            out[x] = std::uint8_t(out[x] | hole[std::size_t(label[x])]);
    }
}

// The ink with every small enclosed hole filled, into l.filled: the inside
// of a hollow dot, but not the cells that lines enclose. The holes are
// looked for in the pale ink, so that a thin ring with a pale pixel still
// closes; where insides may be grey, in the ink itself too, so that the
// inside of a blurred or faded ring, paler than the ring but no paper, is
// filled (a second labelling of the band, which clean scans are spared).
void fillSmallHoles(InkLayers& l, double maxDiameter, bool greyInsides)
{
    l.holes.create(l.ink.size(), CV_8U);
    l.holes.setTo(0);
    markSmallHoles(l.paleInk, l, maxDiameter, l.holes);
    if (greyInsides)
        markSmallHoles(l.ink, l, maxDiameter, l.holes);
    // With the pale pixels of the rings round them, but no other pale ink.
    cv::bitwise_or(l.ink, l.holes, l.filled);
    cv::dilate(l.holes, l.scratchLines, cv::Mat());
    cv::bitwise_and(l.scratchLines, l.paleInk, l.scratchLines);
    cv::bitwise_or(l.filled, l.scratchLines, l.filled);
}

// Takes the pieces of ink smaller than smallest pixels out of l.ink and
// l.paleInk: the specks of a noisy scan, which no dot is.
void removeSpecks(InkLayers& l, int smallest)
{
    const int count = cv::connectedComponentsWithStats(l.ink, l.labels, l.stats, l.centroids, 8, CV_32S);
    std::vector<std::uint8_t> speck(std::size_t(count), 0);
    for (int i = 1; i < count; ++i)
        speck[std::size_t(i)] = l.stats.at<int>(i, cv::CC_STAT_AREA) < smallest ? 255 : 0;
    l.scratch.create(l.ink.size(), CV_8U);
    for (int y = 0; y < l.ink.rows; ++y) {
        const int* label = l.labels.ptr<int>(y);
        std::uint8_t* out = l.scratch.ptr<std::uint8_t>(y);
        for (int x = 0; x < l.ink.cols; ++x)
            out[x] = speck[std::size_t(label[x])];
    }
    l.ink.setTo(0, l.scratch);
    l.paleInk.setTo(0, l.scratch);
}

// The pieces of filled ink that are no line, and the greatest distance in
// each.
void markPieces(InkLayers& l)
{
    cv::bitwise_and(l.filled, l.scratch, l.scratchLines);  // l.scratch: off the lines
    const int count = cv::connectedComponents(l.scratchLines, l.pieces, 8, CV_32S);
    l.pieceDepth.assign(std::size_t(count), 0.0f);
    for (int y = 0; y < l.pieces.rows; ++y) {
        const int* label = l.pieces.ptr<int>(y);
        const float* dist = l.dist.ptr<float>(y);
        for (int x = 0; x < l.pieces.cols; ++x)
            l.pieceDepth[std::size_t(label[x])] = std::max(l.pieceDepth[std::size_t(label[x])], dist[x]);
    }
}

}  // namespace

void makeInkLayers(const cv::Mat& grey, const cv::Mat& thinGrey, const InkLimits& limits, InkLayers& l)
{
    l.grey = grey;
    cv::threshold(grey, l.ink, limits.threshold - 1, 255, cv::THRESH_BINARY_INV);
    cv::threshold(grey, l.paleInk, paleInkLevel(limits.threshold) - 1, 255, cv::THRESH_BINARY_INV);
    if (limits.smallestPiece > 0)
        removeSpecks(l, limits.smallestPiece);
    markLongLines(l.ink, l.runs, limits.shortestLine, int(limits.maxDiameter) + 2, l.lineScratch);
    // The fringe that a scanner leaves along a line belongs to the line.
    const int reach = 2 * limits.lineFringe + 1;
    cv::dilate(l.runs, l.lines, cv::getStructuringElement(cv::MORPH_RECT, {reach, reach}));
    cv::bitwise_and(l.lines, l.ink, l.lines);
    fillSmallHoles(l, limits.maxDiameter, limits.greyInsides);
    cv::distanceTransform(l.filled, l.dist, cv::DIST_L2, cv::DIST_MASK_5, CV_32F);
    cv::bitwise_not(l.lines, l.scratch);
    cv::bitwise_and(l.ink, l.scratch, l.strokes);
    l.tails = {grey, l.paleInk, l.strokes};
    l.thinTails = {};
    l.paleTails = {};
    // Pale strokes, without the pale fringe a line's grey edge leaves beside
    // it either. On a speckled scan too: a tail a pixel thin that the blur
    // laid across two rows is pale in each, and the cleared band keeps it so.
    cv::dilate(l.runs, l.scratchLines, cv::getStructuringElement(cv::MORPH_RECT, {reach + 2, reach + 2}));
    cv::bitwise_not(l.scratchLines, l.scratchLines);
    cv::bitwise_and(l.paleInk, l.scratchLines, l.paleStrokes);
    l.paleTails = {grey, l.paleInk, l.paleStrokes};
    if (!thinGrey.empty()) {
        cv::threshold(thinGrey, l.thinInk, limits.threshold - 1, 255, cv::THRESH_BINARY_INV);
        cv::bitwise_and(l.thinInk, l.scratch, l.thinTails.strokes);
        cv::threshold(thinGrey, l.thinTails.paleInk, paleInkLevel(limits.threshold) - 1, 255, cv::THRESH_BINARY_INV);
        l.thinTails.grey = thinGrey;
    }
    if (limits.smallestPiece > 0)
        markPieces(l);
}
