#include "detection/tadpole_measure.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <numbers>
#include <vector>

#include "core/dipdigitize.h"

namespace {

constexpr int kAngles = 180;
constexpr double kTwoPi = 2 * std::numbers::pi;

// Unit steps in n directions clockwise from up, image rows growing down.
struct Step {
    double x, y;
};
template <int n>
const std::array<Step, n>& steps()
{
    static const std::array<Step, n> table = [] {
        std::array<Step, n> t{};
        for (int a = 0; a < n; ++a)
            t[std::size_t(a)] = {std::sin(a * kTwoPi / n), -std::cos(a * kTwoPi / n)};
        return t;
    }();
    return table;
}

bool inside(const cv::Mat& m, int x, int y) { return x >= 0 && y >= 0 && x < m.cols && y < m.rows; }

std::uint8_t at(const cv::Mat& m, int x, int y) { return inside(m, x, y) ? m.at<std::uint8_t>(y, x) : 0; }

// How far ink runs out from the dot along one direction, a pixel either
// side of it counting too and the gap of a crossed line bridged: the
// distance from the dot's edge where it stops. A stretch hidden on a line
// counts only a gap's worth, so that a run bridged through a line to
// something else loses to a tail in the open.
struct Run {
    double length = 0;
    float endsInDot = 0;  // the distance peak of a dot the run ran into; 0 none
};

Run runLength(const InkLayers& l, double cx, double cy, Step step, double edge, double to)
{
    const double sx = step.x, sy = step.y;
    auto inkIn = [&](const cv::Mat& layer, double s) {
        for (int side = -1; side <= 1; ++side)
            if (at(layer, int(std::floor(cx + s * sx - side * sy)), int(std::floor(cy + s * sy + side * sx))))
                return true;
        return false;
    };
    auto ink = [&](double s) { return inkIn(l.strokes, s); };
    // A tail leaves the dot's edge itself, maybe across a line: ink only
    // beyond a gap there belongs to something else, such as a neighbour's dot.
    if (!inkIn(l.ink, edge + 1) || !inkIn(l.ink, edge + 2))
        return {};
    // On a line the tail may hide for a while, as when it leaves the dot
    // along a line: the run goes on if the tail shows again soon enough.
    constexpr int kLongestGap = 4;
    const int longestHidden = std::max(12, int(3 * edge));
    // A tail is at most 3 pixels wide: where the ink is thicker, another dot
    // begins.
    const double thick = 2.2;
    auto thickness = [&](double s) {
        const int x = int(std::floor(cx + s * sx)), y = int(std::floor(cy + s * sy));
        return inside(l.dist, x, y) ? l.dist.at<float>(y, x) : 0.0f;
    };
    double inked = 2;
    int gap = 0, hidden = 0;
    for (double s = edge + 2; s <= to; s += 1) {
        if (const float t = thickness(s); t >= thick)
            return {inked, t};
        if (ink(s)) {
            inked += 1 + gap + std::min(hidden, kLongestGap);
            gap = hidden = 0;
        } else if (inkIn(l.lines, s) ? ++hidden > longestHidden : ++gap > kLongestGap) {
            break;
        }
    }
    return {inked, 0};
}

// The dot's radius: the median distance from its centre to where the filled
// ink ends, over all directions, so that a tail or a line through the dot
// does not count; and how much that distance varies, which is little for a
// round dot.
struct DotEdge {
    double radius = 0;
    double spread = 0;  // between the 10th and the 60th percentile
};

DotEdge dotEdge(const InkLayers& l, double cx, double cy, double peak)
{
    std::array<double, kAngles / 4> edge{};
    for (std::size_t a = 0; a < edge.size(); ++a) {
        const auto [sx, sy] = steps<kAngles / 4>()[a];
        double s = 0.5;
        while (s < 2 * peak + 2 && at(l.filled, int(std::floor(cx + s * sx)), int(std::floor(cy + s * sy))))
            s += 0.25;
        edge[a] = s;
    }
    std::sort(edge.begin(), edge.end());
    const std::size_t n = edge.size();
    // Tails and lines lengthen a few directions: the spread is read below them.
    return {edge[n / 2], edge[6 * n / 10] - edge[n / 10]};
}

// Whether the paper inside a hollow dot is round, as a printed ring's is and
// a letter's (an "0", an "e") mostly is not: the distances from the centre
// to the ink all round, leaving out where a line crosses.
bool roundHole(const InkLayers& l, double cx, double cy, double radius)
{
    std::array<double, kAngles / 4> edge{};
    std::size_t n = 0;
    for (std::size_t a = 0; a < edge.size(); ++a) {
        const auto [sx, sy] = steps<kAngles / 4>()[a];
        for (double s = 0; s < radius + 1; s += 0.25) {
            const int x = int(std::floor(cx + s * sx)), y = int(std::floor(cy + s * sy));
            if (at(l.ink, x, y)) {
                if (!at(l.lines, x, y))
                    edge[n++] = s;
                break;
            }
        }
    }
    if (n < edge.size() / 2)
        return true;  // too little to tell
    std::sort(edge.begin(), edge.begin() + std::ptrdiff_t(n));
    return edge[n * 8 / 10] - edge[n / 5] <= std::max(1.5, 0.25 * radius);
}

struct Tail {
    double angle = 0;  // radians clockwise from up
    Step unit{0, 0};   // along it
    double length = 0; // beyond the dot's edge
    bool doubtful = false;
    bool throughStroke = false;  // as long the other way: a point on a thick stroke, not a dot
    float endsInDot = 0;
};

std::optional<Tail> findTail(const InkLayers& l, double cx, double cy, double radius, double longest)
{
    std::array<double, kAngles> run{};
    std::array<float, kAngles> endsInDot{};
    const double from = radius + 0.5, to = radius + longest;
    for (int a = 0; a < kAngles; ++a) {
        const Run r = runLength(l, cx, cy, steps<kAngles>()[std::size_t(a)], from, to);
        run[std::size_t(a)] = r.length;
        endsInDot[std::size_t(a)] = r.endsInDot;
    }
    // A line straight through the dot runs out on both sides: no tail.
    const double full = to - from - 1;
    for (int a = 0; a < kAngles / 2; ++a)
        if (run[std::size_t(a)] >= full && run[std::size_t(a + kAngles / 2)] >= full)
            run[std::size_t(a)] = run[std::size_t(a + kAngles / 2)] = 0;
    const auto best = std::max_element(run.begin(), run.end());
    const double shortest = std::max(0.8 * radius, 3.0);
    if (*best < shortest)
        return std::nullopt;
    // The middle of the directions that run nearly as far is the tail's axis.
    const int b = int(best - run.begin());
    int lo = b, hi = b;
    while (hi - b < kAngles / 8 && run[std::size_t((hi + 1) % kAngles)] >= 0.9 * *best)
        ++hi;
    while (b - lo < kAngles / 8 && run[std::size_t((lo - 1 + kAngles) % kAngles)] >= 0.9 * *best)
        --lo;
    const double angle = (lo + hi) / 2.0 * kTwoPi / kAngles;
    Tail tail{angle, {std::sin(angle), -std::cos(angle)}, *best, false, false, endsInDot[std::size_t(b)]};
    for (int a = 0; a < kAngles; ++a) {
        const int apart = std::min(std::abs(a - b), kAngles - std::abs(a - b));
        if (apart > kAngles / 9 && run[std::size_t(a)] >= std::max(shortest, 0.7 * *best))
            tail.doubtful = true;
        if (apart > kAngles * 5 / 12 && run[std::size_t(a)] >= std::max(shortest, 0.8 * *best)
            && endsInDot[std::size_t(a)] == 0)
            tail.throughStroke = true;
    }
    return tail;
}

// The tail's direction fitted through the centre to the darkness of the
// pixels along it, so that a tail a pixel wide still gives a fraction of a
// degree; and how far its ink lies from that axis (the root mean square),
// which for a straight tail is below a pixel.
struct TailFit {
    double angle = 0;
    double spread = 0;
    double width = 0;  // the ink's darkness along the axis, as a width of black
};

TailFit fitTail(const InkLayers& l, double cx, double cy, double radius, const Tail& tail)
{
    struct Pixel {
        double vx, vy, along, across, w;
    };
    const double first = radius + 1.5, end = radius + 0.5 + tail.length;
    const int bins = std::max(1, int(end - first) + 1);
    TailFit fit{tail.angle, 0, 0};
    double halfWidth = 2.5;
    std::vector<Pixel> pixels;
    std::vector<double> binWeight, binOffset;
    for (int pass = 0; pass < 3; ++pass) {
        const double ux = std::sin(fit.angle), uy = -std::cos(fit.angle);
        pixels.clear();
        const int x0 = int(std::floor(cx + std::min(0.0, ux * end))) - 3, x1 = int(std::ceil(cx + std::max(0.0, ux * end))) + 3;
        const int y0 = int(std::floor(cy + std::min(0.0, uy * end))) - 3, y1 = int(std::ceil(cy + std::max(0.0, uy * end))) + 3;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                if (!inside(l.grey, x, y) || at(l.lines, x, y))
                    continue;
                const double vx = x + 0.5 - cx, vy = y + 0.5 - cy;
                const double along = vx * ux + vy * uy, across = -vx * uy + vy * ux;
                // Wide enough for a tail of 3 pixels at first; then as wide
                // as the tail, so that little else lies in the way.
                if (along >= first && along <= end && std::abs(across) <= halfWidth)
                    if (const int w = 230 - int(l.grey.at<std::uint8_t>(y, x)); w > 0)
                        pixels.push_back({vx, vy, along, across, double(w)});
            }
        // Where the ink of each pixel's length of the axis lies across it: on
        // the axis all along a straight tail, off it where something crosses.
        binWeight.assign(std::size_t(bins), 0);
        binOffset.assign(std::size_t(bins), 0);
        for (const Pixel& p : pixels) {
            const auto b = std::size_t(std::clamp(int(p.along - first), 0, bins - 1));
            binWeight[b] += p.w;
            binOffset[b] += p.w * p.across;
        }
        double total = 0;
        for (std::size_t b = 0; b < binWeight.size(); ++b)
            if (binWeight[b] > 0) {
                binOffset[b] /= binWeight[b];
                total += binWeight[b];
            }
        fit.width = total / 230 / std::max(1.0, end - first);
        halfWidth = std::clamp(fit.width / 2 + 1, 1.5, 2.5);

        // The principal axis of the weighted pixels, crossings left out,
        // turned towards the tail.
        double sw = 0, sxx = 0, sxy = 0, syy = 0;
        for (const Pixel& p : pixels)
            if (std::abs(binOffset[std::size_t(std::clamp(int(p.along - first), 0, bins - 1))]) <= 1.5) {
                sw += p.w;
                sxx += p.w * p.vx * p.vx;
                sxy += p.w * p.vx * p.vy;
                syy += p.w * p.vy * p.vy;
            }
        if (sxx + syy <= 0)
            break;
        fit.spread = std::sqrt(std::max(0.0, (sxx + syy) / 2 - std::hypot((sxx - syy) / 2, sxy)) / sw);
        const double theta = 0.5 * std::atan2(2 * sxy, sxx - syy);
        double dx = std::cos(theta), dy = std::sin(theta);
        if (dx * ux + dy * uy < 0) {
            dx = -dx;
            dy = -dy;
        }
        fit.angle = std::atan2(dx, -dy);
    }
    return fit;
}

// Whether the tail along angle leaves the dot's edge itself, with no paper
// between them: a letter beside a round letter has some.
bool attached(const InkLayers& l, double cx, double cy, double radius, double angle, int paleLevel)
{
    const double sx = std::sin(angle), sy = -std::cos(angle);
    // The darkest of the pixels on the axis and 0.7 either side, so that a
    // jagged line a pixel wide shows no gap.
    auto grey = [&](double x, double y) {
        const int px = int(std::floor(x)), py = int(std::floor(y));
        return inside(l.grey, px, py) ? int(l.grey.at<std::uint8_t>(py, px)) : 255;
    };
    // A pixel's gap is allowed: a thin tail on a fax scan is broken so.
    int paper = 0;
    for (double s = radius - 1; s <= radius + 3; s += 0.5) {
        const double x = cx + s * sx, y = cy + s * sy;
        const bool pale = std::min({grey(x, y), grey(x + 0.7 * sy, y - 0.7 * sx), grey(x - 0.7 * sy, y + 0.7 * sx)}) > paleLevel;
        paper = pale ? paper + 1 : 0;
        if (paper > 2)
            return false;
    }
    return true;
}

// A tail that lies along a depth or grid line from the dot shows only as the
// line grown darker next to the dot. Looked for along each of the four
// directions where a line leaves the dot: the darkness across the line near
// the dot, less the line's own further on, is the tail's; where that extra
// darkness lies across the line gives the tail's small angle to it. The
// tail's angle and length beyond the dot's edge; nothing without one.
std::optional<std::pair<double, double>> tailAlongLine(const InkLayers& l, double cx, double cy, double radius,
                                                       double longest)
{
    const int half = int(std::ceil(radius)) + 3;
    const double first = radius + 1.5, shortest = std::max(0.8 * radius, 3.0);
    std::optional<std::pair<double, double>> best;
    double bestExtra = 0;
    for (int a = 0; a < 4; ++a) {
        const Step u = steps<4>()[std::size_t(a)], n{-u.y, u.x};  // n: a right angle clockwise
        auto column = [&](double s, double& dark, double& moment, bool& line) {
            dark = moment = 0;
            line = false;
            for (int j = -half; j <= half; ++j) {
                const int x = int(std::floor(cx + s * u.x + j * n.x)), y = int(std::floor(cy + s * u.y + j * n.y));
                if (!inside(l.grey, x, y))
                    continue;
                const double w = (255 - l.grey.at<std::uint8_t>(y, x)) / 255.0;
                dark += w;
                moment += w * j;
                line = line || at(l.runs, x, y);
            }
        };
        double dark = 0, moment = 0;
        bool line = false;
        // The line on its own, beyond the longest tail: the middle of its
        // columns, since lines across it darken a few.
        std::vector<std::pair<double, double>> alone;
        for (double s = radius + longest + 4; s < radius + longest + 24; s += 1) {
            column(s, dark, moment, line);
            if (line)
                alone.emplace_back(dark, moment);
        }
        column(first, dark, moment, line);
        if (alone.size() < 10 || !line)
            continue;
        std::nth_element(alone.begin(), alone.begin() + std::ptrdiff_t(alone.size() / 2), alone.end());
        const auto [lineDark, lineMoment] = alone[alone.size() / 2];
        // The extra darkness near the dot, and where it lies across the line;
        // a column darker than any tail makes is a line across, passed over.
        double sxy = 0, sxx = 0, end = first;
        int gap = 0;
        std::vector<double> nearExtras;
        for (double s = first; s < radius + longest; s += 1) {
            column(s, dark, moment, line);
            const double extra = dark - lineDark;
            if (extra > 3.5)
                continue;
            if (s < first + std::max(radius, 4.0))
                nearExtras.push_back(extra);
            if (extra < 0.4) {
                if (++gap > 3)
                    break;
                continue;
            }
            gap = 0;
            end = s;
            const double across = (moment - lineMoment) / extra;
            sxy += extra * s * across;
            sxx += extra * s * s;
        }
        if (nearExtras.empty())
            continue;
        std::nth_element(nearExtras.begin(), nearExtras.begin() + std::ptrdiff_t(nearExtras.size() / 2), nearExtras.end());
        const double nearExtra = nearExtras[nearExtras.size() / 2];
        if (nearExtra < 0.6 || end - first + 1 < shortest || sxx <= 0 || nearExtra <= bestExtra)
            continue;
        bestExtra = nearExtra;
        best = std::pair{a * kTwoPi / 4 + std::atan(sxy / sxx), end - first + 1};
    }
    return best;
}

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
