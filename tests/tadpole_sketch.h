#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

// Tadpoles drawn for the tests as a scanner sees them: each pixel inked by
// the share of its 4 x 4 sample points that the figure covers. Positions are
// picture units, pixel (i, j) covering [i, i + 1) x [j, j + 1).
struct TadpoleSketch {
    double x = 0;
    double y = 0;
    double diameter = 10;
    double azimuth = 0;
    double tailLength = 25;  // from the centre
    double tailWidth = 2;
    bool filled = true;
};

// ink(px, py, share) darkens pixel (px, py) by share (0 to 1); paper(px, py,
// share) lightens it, for the white inside of a hollow dot.
template <typename Ink, typename Paper>
void sketchFigure(double left, double top, double right, double bottom, auto inside, Ink mark, Paper)
{
    for (int py = int(std::floor(top)) - 1; py <= int(std::ceil(bottom)) + 1; ++py)
        for (int px = int(std::floor(left)) - 1; px <= int(std::ceil(right)) + 1; ++px) {
            int in = 0;
            for (int i = 0; i < 16; ++i)
                in += inside(px + (i % 4 + 0.5) / 4, py + (i / 4 + 0.5) / 4) ? 1 : 0;
            if (in > 0)
                mark(px, py, in / 16.0);
        }
}

template <typename Ink>
void sketchLine(double x0, double y0, double x1, double y1, double width, Ink ink)
{
    const double dx = x1 - x0, dy = y1 - y0, length = std::hypot(dx, dy);
    sketchFigure(std::min(x0, x1) - width, std::min(y0, y1) - width, std::max(x0, x1) + width,
                 std::max(y0, y1) + width,
                 [&](double px, double py) {
                     const double along = ((px - x0) * dx + (py - y0) * dy) / length;
                     const double across = std::abs((px - x0) * dy - (py - y0) * dx) / length;
                     return along >= 0 && along <= length && across <= width / 2;
                 },
                 ink, ink);
}

template <typename Ink, typename Paper>
void sketchTadpole(const TadpoleSketch& t, Ink ink, Paper paper)
{
    const double a = t.azimuth * std::numbers::pi / 180;
    sketchLine(t.x, t.y, t.x + t.tailLength * std::sin(a), t.y - t.tailLength * std::cos(a), t.tailWidth, ink);
    const double r = t.diameter / 2, ring = t.diameter >= 9 ? 2 : 1.5;
    const auto near = [&](double px, double py) { return std::hypot(px - t.x, py - t.y); };
    if (!t.filled)  // the white inside covers the tail's start
        sketchFigure(t.x - r, t.y - r, t.x + r, t.y + r, [&](double px, double py) { return near(px, py) < r - ring; },
                     paper, paper);
    sketchFigure(t.x - r, t.y - r, t.x + r, t.y + r,
                 [&](double px, double py) {
                     const double d = near(px, py);
                     return d <= r && (t.filled || d >= r - ring);
                 },
                 ink, ink);
}
