#pragma once

#include <random>
#include <string>

#include "model/work.h"

// A linear dip scale 0 to 90 and two depth rows, depth 1000 at row top and
// lastDepth at row bottom, across the dip track from trackLeft to
// trackRight: digitizing made possible.
inline Work twoRowCalibration(double top, double bottom, double lastDepth, double trackLeft, double trackRight)
{
    Work w;
    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    w.depthRows = {{1000, top, trackLeft, trackRight}, {lastDepth, bottom, trackLeft, trackRight}};
    return w;
}

// The tables' sizes the benchmarks' figures were first measured at, kept so
// that the figures stay comparable: 200 depth rows and 10000 dips.
inline constexpr int kBenchRows = 200;
inline constexpr int kBenchDips = 10000;

// A fully calibrated log: kBenchRows depth rows spacing pixels apart from
// spacing down, the dip track from trackLeft to trackRight, and the given
// number of dips spread over it.
inline Work fullyCalibratedLog(double spacing, double trackLeft, double trackRight, int dips = kBenchDips)
{
    Work w;
    w.scale = DipScale{DipScaleKind::Standard60, 0, 90, {}};
    for (int i = 1; i <= kBenchRows; ++i)
        w.depthRows.push_back({1000.0 + 10 * i, spacing * i, trackLeft, trackRight});
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> y(spacing, spacing * kBenchRows);
    std::uniform_real_distribution<double> x(trackLeft, trackRight);
    std::uniform_real_distribution<double> az(0, 360);
    for (int i = 1; i <= dips; ++i) {
        const double dy = y(rng), dx = x(rng);
        w.dips.push_back(Dip{dx, dy, az(rng), std::string(1, char('A' + i % 4))});
    }
    w.marks[std::size_t(Mark::HeaderTop)] = 40;
    w.marks[std::size_t(Mark::LeftEdge)] = trackLeft - 50;
    w.marks[std::size_t(Mark::RightEdge)] = trackRight + 50;
    return w;
}
