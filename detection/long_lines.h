#pragma once

#include <opencv2/core.hpp>

// The long straight lines of a log: its depth lines, the dip track's edges
// and its grid. Both the tadpole search and the search for the calibration
// tell lines from the rest by these.

// Marks in lines the runs of ink along each row that together make a line
// at least `shortest` long: runs apart by no more than `gap` (a hollow dot's
// white inside that interrupts a line) count as one line when ink fills
// most of it.
void markRowLines(const cv::Mat& ink, cv::Mat& lines, int shortest, int gap);

// Adds to lines the near-horizontal lines of a sheet scanned a little askew,
// which break into short runs row by row: chains of ink followed column by
// column, a row up or down where the row runs out, across gaps up to `gap`.
// A chain as long as a line, mostly ink and straight within a few degrees is
// one; its pixels close to the straight line fitted to it are marked, so a
// tail that leaves it is not. visited is working space.
void markSkewedRowLines(const cv::Mat& ink, cv::Mat& lines, cv::Mat& visited, int shortest, int gap);

// Working space of markLongLines, kept from one band to the next.
struct LineScratch {
    cv::Mat across, acrossLines, visited;
};

// Every long straight line of the 8-bit ink, horizontal or vertical, askew
// or not, marked 255 in lines (made the ink's size).
void markLongLines(const cv::Mat& ink, cv::Mat& lines, int shortest, int gap, LineScratch& scratch);
