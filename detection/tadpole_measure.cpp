#include "detection/tadpole_measure.h"

#include <algorithm>
#include <cmath>

#include "core/dipdigitize.h"
#include "detection/dot_shape.h"
#include "detection/tail_reading.h"

using namespace tadpole_geometry;

namespace {

// Whether a pixel offset from the dot's centre lies on its tail.
bool onTail(double vx, double vy, const Tail& tail, double halfWidth)
{
    const double ux = tail.unit.x, uy = tail.unit.y;
    return vx * ux + vy * uy > 0 && std::abs(-vx * uy + vy * ux) <= halfWidth;
}

}  // namespace

std::optional<FoundTadpole> measureTadpole(const InkLayers& l, int px, int py, const InkLimits& limits)
{
    const double peak = l.dist.at<float>(py, px);
    // A thick line, or a crossing of lines, is no dot: a dot is mostly ink
    // that is no line. Looked at first, as it is cheap and lines are long.
    int disk = 0, ownInk = 0;
    for (int dy = -int(peak); dy <= int(peak); ++dy)
        for (int dx = -int(peak); dx <= int(peak); ++dx)
            if (std::hypot(dx, dy) <= peak) {
                ++disk;
                ownInk += at(l.filled, px + dx, py + dy) && !at(l.runs, px + dx, py + dy) ? 1 : 0;
            }
    if (4 * ownInk < disk)
        return std::nullopt;
    const DotEdge edge = dotEdge(l, px + 0.5, py + 0.5, peak);
    const double radius = edge.radius;
    // A dot is as wide inside as it reaches out, and as far all round; a
    // filled wedge between lines is not.
    if (peak < 0.72 * radius || edge.spread > std::max(1.5, 0.3 * radius))
        return std::nullopt;
    const int reach = int(std::ceil(radius + 3));
    const double pcx = px + 0.5, pcy = py + 0.5;

    const auto tail = findTail(l, pcx, pcy, radius, 13 * radius + 2);
    // A point on a thick stroke: the stroke runs on both ways, or into a
    // dot bigger than the point itself.
    if (tail && (tail->throughStroke || tail->endsInDot > peak))
        return std::nullopt;

    // The centre: the darkness centroid around the peak, taking each pixel
    // only with its mirror image, so that a tail or a line leaning on the
    // dot pulls no way.
    double sw = 0, sx = 0, sy = 0;
    int ring = 0, ringInk = 0;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double d = std::hypot(dx, dy);
            const int x = px + dx, y = py + dy, mx = px - dx, my = py - dy;
            if (!inside(l.grey, x, y) || !inside(l.grey, mx, my))
                return std::nullopt;
            const bool tailSide = tail && onTail(dx, dy, *tail, 2.5);
            if (d > radius + 0.8 && d <= radius + 2.5 && !tailSide && !at(l.lines, x, y)) {
                ++ring;
                ringInk += at(l.ink, x, y) ? 1 : 0;  // holes filled beside lines are no ink
            }
            if (d > radius + 1.5)
                continue;
            const bool excluded = d > radius - 1.5
                                  && (tailSide || (tail && onTail(-dx, -dy, *tail, 2.5)) || at(l.lines, x, y)
                                      || at(l.lines, mx, my));
            if (excluded)
                continue;
            const double w = 255 - l.grey.at<std::uint8_t>(y, x);
            sw += w;
            sx += w * dx;
            sy += w * dy;
        }
    if (sw <= 0 || ring == 0)
        return std::nullopt;
    const double ringShare = double(ringInk) / ring;
    if (ringShare > 0.2)
        return std::nullopt;  // not round: text, a blot, a crossing of lines

    FoundTadpole t;
    t.x = pcx + sx / sw;
    t.y = pcy + sy / sw;
    t.diameter = 2 * radius;
    if (t.diameter > limits.maxDiameter + 1)
        return std::nullopt;

    // Filled: the middle of the dot is ink, lines through it aside.
    int middle = 0, middleInk = 0;
    const double inner = std::max(1.0, 0.45 * radius);
    for (int dy = -int(inner); dy <= int(inner); ++dy)
        for (int dx = -int(inner); dx <= int(inner); ++dx)
            if (std::hypot(dx, dy) <= inner && !at(l.lines, px + dx, py + dy)) {
                ++middle;
                middleInk += at(l.ink, px + dx, py + dy) ? 1 : 0;
            }
    t.filled = middle == 0 || 2 * middleInk >= middle;
    if (!t.filled && !roundHole(l, t.x, t.y, radius))
        return std::nullopt;

    const double roundness = std::clamp(1 - (ringShare - 0.05) / 0.15, 0.0, 1.0);
    // Without a tail in the open: maybe one along a line, else a dot alone
    // (a letter's strokes, a smudge), which is no tadpole.
    auto alongLine = [&] {
        if (const auto hidden = tailAlongLine(l, t.x, t.y, radius, 13 * radius + 2)) {
            t.azimuth = azimuthTowards(std::sin(hidden->first), std::cos(hidden->first));
            t.confidence = 0.7 * roundness * std::sqrt(std::min(1.0, hidden->second / (2 * radius)));
        } else {
            t.confidence = 0.3 * roundness;
        }
        return t;
    };
    if (!tail)
        return alongLine();
    const int paleLevel = std::min(limits.threshold + 48, 230);
    const TailFit fit = fitTail(l, t.x, t.y, radius, *tail);
    // A straight bar of the tail's width, a little blurred, spreads so far
    // round its axis; the strokes of a letter spread further.
    const double straight = std::sqrt(fit.width * fit.width / 12 + 0.25) + 0.35;
    if (fit.spread > straight || !attached(l, t.x, t.y, radius, fit.angle, paleLevel))
        return alongLine();
    t.azimuth = azimuthTowards(std::sin(fit.angle), std::cos(fit.angle));
    t.confidence = roundness * std::sqrt(std::min(1.0, tail->length / (2 * radius))) * (tail->doubtful ? 0.6 : 1);
    return t;
}
