#include "detection/tadpole_measure.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/work.h"
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

// Half the width of the widest line through a dot whose distance peak is
// at (px, py): measured across each line beyond the dot, as the dot itself
// widens it where they meet.
double lineHalfWidth(const InkLayers& l, int px, int py, double peak)
{
    const int off = int(std::ceil(peak)) + 3;
    const auto extent = [&](int x, int y, int sx, int sy) {
        if (!at(l.runs, x, y))
            return 0;
        int n = 1;
        for (int s = 1; s < 16 && at(l.runs, x + s * sx, y + s * sy); ++s)
            ++n;
        for (int s = 1; s < 16 && at(l.runs, x - s * sx, y - s * sy); ++s)
            ++n;
        return n;
    };
    // Measured a few times out along each line, so that another line
    // crossing it there does not count.
    const auto across = [&](int dx, int dy) {
        int least = 16;
        for (int s = off; s <= off + 6; s += 3)
            least = std::min(least, extent(px + s * dx, py + s * dy, dy != 0, dx != 0));
        return least;
    };
    return std::max({across(1, 0), across(-1, 0), across(0, 1), across(0, -1)}) / 2.0;
}

// The share of other ink round a dot: pixels of strokes from 1.5 to 3 radii
// (and 2 pixels more) from its centre, its own tail and the lines aside.
// Specks, letters and scribbles crowd a false dot; a printed one stands in
// clear paper, or beside another printed dot: the body of ink round a peak
// as deep as the dot's own is a neighbour, not clutter.
double clutterRound(const InkLayers& l, double cx, double cy, double radius, const Tail* tail)
{
    const double inner = 1.5 * radius + 1, outer = 3 * radius + 2;
    const int reach = int(std::ceil(outer));
    const int px = int(std::floor(cx)), py = int(std::floor(cy));
    std::vector<std::pair<int, int>> neighbours;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (const int x = px + dx, y = py + dy; inside(l.dist, x, y) && std::hypot(dx, dy) >= 1.5 * radius) {
                const float depth = l.dist.at<float>(y, x);
                if (depth >= 0.8 * radius && depth >= l.peaks.at<float>(y, x))
                    neighbours.emplace_back(x, y);
            }
    const auto ofNeighbour = [&](int x, int y) {
        return std::any_of(neighbours.begin(), neighbours.end(), [&](const auto& n) {
            return std::hypot(x - n.first, y - n.second) <= 1.2 * radius;
        });
    };
    int around = 0, inked = 0;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double vx = px + dx + 0.5 - cx, vy = py + dy + 0.5 - cy, d = std::hypot(vx, vy);
            if (d < inner || d > outer || (tail && onTail(vx, vy, *tail, 3.5)) || at(l.lines, px + dx, py + dy))
                continue;
            ++around;
            inked += at(l.strokes, px + dx, py + dy) && !ofNeighbour(px + dx, py + dy) ? 1 : 0;
        }
    return around > 0 ? double(inked) / around : 0;
}

// Puts a hollow dot's centre on that of its hole, the paper its ring
// encloses: the darkness round it is pulled aside where fading broke the
// ring. False, and the centre unchanged, where a line runs through or no
// round hole as wide as a ring's inside was found: the paper between a tail
// and the lines it crosses is no ring's inside, nor a letter's.
bool centreOnHole(const InkLayers& l, int px, int py, double radius, FoundTadpole& t)
{
    const int within = int(radius);
    int n = 0;
    double sx = 0, sy = 0, sxx = 0, syy = 0;
    for (int dy = -within; dy <= within; ++dy)
        for (int dx = -within; dx <= within; ++dx) {
            if (std::hypot(dx, dy) > radius)
                continue;
            if (at(l.lines, px + dx, py + dy))
                return false;
            if (at(l.holes, px + dx, py + dy)) {
                ++n;
                sx += dx;
                sy += dy;
                sxx += dx * dx;
                syy += dy * dy;
            }
        }
    const double inside = std::max(1.0, radius - 2);
    if (n < 0.5 * M_PI * inside * inside)
        return false;
    const double mx = sx / n, my = sy / n;
    // As wide as it is tall, as a ring's inside is and a letter's is not.
    const double wide = sxx / n - mx * mx, tall = syy / n - my * my;
    if (wide < 0.7 * tall || tall < 0.7 * wide)
        return false;
    t.x = px + 0.5 + mx;
    t.y = py + 0.5 + my;
    return true;
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
    // On a line, a dot stands well out of it; a speck stuck to it does not,
    // nor a clump of them on a noisy scan.
    if (at(l.runs, px, py) && peak < lineHalfWidth(l, px, py, peak) + limits.lineFringe + 0.5)
        return std::nullopt;
    const DotEdge edge = dotEdge(l, px + 0.5, py + 0.5, peak);
    const double radius = edge.radius;
    // A dot is as wide inside as it reaches out, and as far all round; a
    // filled wedge between lines is not.
    if (peak < 0.72 * radius || edge.spread > limits.raggedness * std::max(1.5, 0.3 * radius))
        return std::nullopt;
    const int reach = int(std::ceil(radius + 3));
    const double pcx = px + 0.5, pcy = py + 0.5;

    // The confidence's weights were fitted to tails read in the cleared
    // band: a tail is read where the band kept its thin strokes only when the
    // cleared band shows none.
    const TailInk* tails = &l.tails;
    const auto tailFrom = [&](double x, double y) {
        const double longest = 13 * radius + 2;
        const cv::Mat bodies = dotsBeside(l, x, y, radius, longest);
        tails = &l.tails;
        auto found = findTail(l, *tails, bodies, x, y, radius, longest);
        for (const TailInk* other : {&l.thinTails, &l.paleTails})
            if (!found && !other->grey.empty()) {
                tails = other;
                found = findTail(l, *tails, bodies, x, y, radius, longest);
            }
        return found;
    };
    auto tail = tailFrom(pcx, pcy);
    // A point on a thick stroke: the stroke runs on both ways, or into a
    // dot bigger than the point itself.
    if (tail && (tail->throughStroke || tail->endsInDot > peak))
        return std::nullopt;

    // The centre: the darkness centroid around the peak, taking each pixel
    // only with its mirror image, so that a tail or a line leaning on the
    // dot pulls no way.
    double sw = 0, sx = 0, sy = 0, paper = 0, ink = 0;
    int ring = 0, ringInk = 0, dotInk = 0;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double d = std::hypot(dx, dy);
            const int x = px + dx, y = py + dy, mx = px - dx, my = py - dy;
            if (!inside(l.grey, x, y) || !inside(l.grey, mx, my))
                return std::nullopt;
            const bool tailSide = tail && onTail(dx, dy, *tail, 2.5);
            if (d > radius + 0.8 && d <= radius + 2.5 && !tailSide && !at(l.lines, x, y)) {
                ++ring;
                const bool inked = at(l.ink, x, y);  // holes filled beside lines are no ink
                ringInk += inked ? 1 : 0;
                paper += inked ? 0 : l.grey.at<std::uint8_t>(y, x);
            }
            if (d <= radius && at(l.ink, x, y) && !at(l.lines, x, y)) {
                ++dotInk;
                ink += l.grey.at<std::uint8_t>(y, x);
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
    if (ringShare > 0.2 * limits.raggedness)
        return std::nullopt;  // not round: text, a blot, a crossing of lines

    FoundTadpole t;
    t.x = pcx + sx / sw;
    t.y = pcy + sy / sw;
    t.diameter = 2 * radius;
    if (t.diameter > limits.maxDiameter + 1)
        return std::nullopt;

    // Filled: the middle of the dot is about as dark as its ring, lines
    // through it aside. Measured against the ring rather than the threshold,
    // so that the blurred inside of a small or faded ring is no ink.
    // The ring's greys counted by level: no allocation for every candidate.
    int middle = 0, ringPixels = 0;
    double middleGrey = 0;
    std::array<int, 256> ringGreys{};
    const double inner = std::max(1.0, 0.45 * radius);
    for (int dy = -int(radius); dy <= int(radius); ++dy)
        for (int dx = -int(radius); dx <= int(radius); ++dx) {
            const double d = std::hypot(dx, dy);
            if (at(l.lines, px + dx, py + dy) || d > radius)
                continue;
            const int grey = l.grey.at<std::uint8_t>(py + dy, px + dx);
            if (d <= inner) {
                ++middle;
                middleGrey += grey;
            } else if (d >= 0.6 * radius) {
                ++ringGreys[std::size_t(grey)];
                ++ringPixels;
            }
        }
    if (middle == 0 || ringPixels == 0 || ring == ringInk) {
        t.filled = true;
    } else {
        // The ring's darker quarter: the grey of its ink.
        int ringDark = 0;
        for (int below = 0; (below += ringGreys[std::size_t(ringDark)]) <= ringPixels / 4;)
            ++ringDark;
        const double paperLevel = paper / (ring - ringInk);
        t.filled = middleGrey / middle <= paperLevel - 0.6 * (paperLevel - ringDark);
    }
    // A ring broken by fading reads round only round its hole's centre.
    if (!t.filled && !roundHole(l, t.x, t.y, radius, limits.raggedness)
        && !(centreOnHole(l, px, py, radius, t) && roundHole(l, t.x, t.y, radius, limits.raggedness)))
        return std::nullopt;

    TadpoleEvidence& e = t.evidence;
    e.roundness = std::clamp(1 - (ringShare - 0.05) / 0.15, 0.0, 1.0);
    const int paperPixels = ring - ringInk;
    e.contrast = paperPixels > 0 && dotInk > 0
                     ? std::clamp((paper / paperPixels - ink / dotInk) / 255 / limits.inkContrast, 0.0, 1.2)
                     : 0;
    // Without a tail in the open: maybe one along a line, else a dot alone
    // (a letter's strokes, a smudge), which is no tadpole.
    auto alongLine = [&] {
        e.clutter = clutterRound(l, t.x, t.y, radius, nullptr);
        if (const auto hidden = tailAlongLine(l, l.tails, t.x, t.y, radius, 13 * radius + 2)) {
            t.azimuth = azimuthTowards(std::sin(hidden->first), std::cos(hidden->first));
            e.alongLine = true;
            e.tailLength = hidden->second / t.diameter;
            e.straightness = 1;
        }
        t.confidence = confidenceOf(e);
        return t;
    };
    // A thin tail of a small dot may leave it just aside of where the peak
    // looks from: looked for again from the dot's centre.
    if (!tail)
        tail = tailFrom(t.x, t.y);
    if (!tail || tail->throughStroke || tail->endsInDot > peak)
        return alongLine();
    const int paleLevel = paleInkLevel(limits.threshold);
    const TailFit fit = fitTail(l, *tails, t.x, t.y, radius, *tail);
    // A straight bar of the tail's width, a little blurred, spreads so far
    // round its axis; the strokes of a letter spread further.
    const double straight = std::sqrt(fit.width * fit.width / 12 + 0.25) + 0.35;
    if (fit.spread > straight || !attached(*tails, t.x, t.y, radius, fit.angle, paleLevel))
        return alongLine();
    t.azimuth = azimuthTowards(std::sin(fit.angle), std::cos(fit.angle));
    e.tailLength = tail->length / t.diameter;
    e.straightness = std::clamp(1 - fit.wander, 0.0, 1.0);
    e.tailWidth = fit.width / t.diameter;
    e.tailInk = fit.width / limits.inkContrast;
    e.doubtful = tail->doubtful;
    e.endless = tail->endless;
    const Tail along{fit.angle, {std::sin(fit.angle), -std::cos(fit.angle)}};
    e.clutter = clutterRound(l, t.x, t.y, radius, &along);
    t.confidence = confidenceOf(e);
    return t;
}
