#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// Depth against row on a printed log: its depth lines are printed at one
// depth step and one spacing, so every depth read or typed at a line lies on
// one straight line of depth against row, save the mistaken ones.

// A depth read or typed at the row y of the picture.
struct DepthAtRow {
    double y = 0;
    double depth = 0;
};

struct DepthTrend {
    double depthAtTop = 0;  // at row 0
    double depthPerRow = 0;  // never 0
    std::vector<bool> agrees;  // each point's, in the order given

    double depthAt(double y) const { return depthAtTop + depthPerRow * y; }
    double rowOf(double depth) const { return (depth - depthAtTop) / depthPerRow; }
    std::size_t agreeing() const;
};

// The line the most points lie on, measured in rows: of the lines through
// two points (every pair when there are few, pairs spread over all of them
// when there are many), the one with the most points within tolerance rows
// of it, and of those the one whose median point lies nearest. Those points
// agree, and the trend is then fitted to them alone by least squares. So
// the wrong points, misread in any way, outvote the right ones only where
// more of them agree on one other line. Nothing without two points of
// different rows and depths.
std::optional<DepthTrend> fitDepthTrend(const std::vector<DepthAtRow>& points, double tolerance);

// The coarsest step of the form 1, 2, 2.5 or 5 times a power of ten (0.001
// to 100000) that every depth is a whole multiple of: how finely the depths
// are written. 0.001 when none is coarser.
double depthUnit(const std::vector<double>& depths);
