#pragma once

#include <algorithm>

#include <opencv2/core.hpp>

#include "detection/long_lines.h"

// Where a tail is read: the greys, the ink paler than pale ink's level, and
// the strokes (ink that is no long line).
struct TailInk {
    cv::Mat grey, paleInk, strokes;
};

// The binary layers the tadpole search reads, made once for a band of the
// picture. Every layer has the band's size; 255 marks a set pixel. A search
// keeps one for all its bands, so that their memory is taken once.
struct InkLayers {
    cv::Mat grey;    // the band itself (a view)
    cv::Mat ink;     // darker than the threshold
    cv::Mat runs;    // long straight horizontal and vertical runs: depth lines, grid lines
    cv::Mat lines;   // those runs with the ink along their sides
    cv::Mat filled;  // ink with the small enclosed holes filled, so hollow dots are solid
    cv::Mat dist;    // 32-bit float: each filled pixel's distance to the nearest unfilled one
    cv::Mat strokes; // ink that is no long line: where tails are followed
    // Where tails are read: the band's own greys, pale ink and strokes; and
    // where that shows none, on a speckled scan the band that kept its
    // strokes a pixel thin, then the pale ink itself, where a tail a pixel
    // thin, blurred, prints too grey to be ink.
    TailInk tails, thinTails, paleTails;
    cv::Mat peaks;   // 32-bit float: the greatest distance round each pixel
    // The pieces of filled ink off the lines (32-bit labels), and the
    // greatest distance in each: a tadpole's dot is the thickest of its piece.
    // Made only where specks are cleared, where clumps of them need telling
    // from dots.
    cv::Mat pieces;
    std::vector<float> pieceDepth;

    // Working space of the making, and of the band's preparation.
    LineScratch lineScratch;
    cv::Mat paleInk, holes, scratch, scratchLines, labels, stats, centroids, prepared, preparedScratch, thinPrepared,
        thinInk, paleStrokes;
};

// The largest dot looked for when the settings give no range, in pixels.
inline constexpr double kDefaultMaxDiameter = 17;

// Pale ink, which tails and faint dots are followed through: up to
// kPaleInkMargin grey levels paler than the ink's threshold, never paler
// than kPalestInk, where the paper begins on every scan.
inline constexpr int kPaleInkMargin = 48;
inline constexpr int kPalestInk = 230;
inline int paleInkLevel(int threshold) { return std::min(threshold + kPaleInkMargin, kPalestInk); }

struct InkLimits {
    int threshold = 128;        // grey levels below it are ink
    double maxDiameter = kDefaultMaxDiameter;  // no enclosed hole wider than this is a hollow dot
    int shortestLine = 136;     // runs this long are lines, never tails
    int smallestPiece = 0;      // pieces of ink smaller than this many pixels are specks, not ink
    int lineFringe = 1;         // ink this far beside a line belongs to it (specks stuck to it too)
    double inkContrast = 1;     // the scan's ink against its paper: what a dot's contrast is measured by
    double raggedness = 1;      // how much rougher than printed a dot's edge may be: more on a noisy scan
    bool greyInsides = false;   // a hollow dot's inside may be grey, not paper: on copied, faded or uneven scans
};

// The layers of a band: its dots looked for in grey, their tails read there
// and, where given, in thinGrey (the band that kept its thin strokes).
void makeInkLayers(const cv::Mat& grey, const cv::Mat& thinGrey, const InkLimits& limits, InkLayers& layers);

