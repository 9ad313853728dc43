#include "detection/tail_reading.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace tadpole_geometry;

namespace {

// How far ink runs out from the dot along one direction, a pixel either
// side of it counting too and the gap of a crossed line bridged: the
// distance from the dot's edge where it stops. A stretch hidden on a line
// counts only a gap's worth, so that a run bridged through a line to
// something else loses to a tail in the open.
struct Run {
    double length = 0;
    float endsInDot = 0;  // the distance peak of a dot the run ran into; 0 none
    double thickness = 0;  // the ink's mean distance to paper along the run: half its width
};

Run runLength(const InkLayers& l, const TailInk& tails, const cv::Mat& bodies, double cx, double cy, Step step,
              double edge, double to)
{
    const double sx = step.x, sy = step.y;
    auto inkIn = [&](const cv::Mat& layer, double s) {
        for (int side = -1; side <= 1; ++side)
            if (at(layer, int(std::floor(cx + s * sx - side * sy)), int(std::floor(cy + s * sy + side * sx))))
                return true;
        return false;
    };
    auto ink = [&](double s) { return inkIn(tails.strokes, s); };
    // A tail leaves the dot's edge itself, maybe across a line: ink only
    // beyond a gap there belongs to something else, such as a neighbour's dot.
    // A thin tail, paler than its dot, may leave it as pale ink.
    if (!inkIn(tails.paleInk, edge + 1) || !inkIn(tails.paleInk, edge + 2))
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
    double inked = 2, thickSum = 0;
    int gap = 0, hidden = 0, thickCount = 0;
    const auto meanThickness = [&] { return thickCount ? thickSum / thickCount : 0.0; };
    int lineAtEnd = 0;  // the line met straight after the last ink
    const int middle = bodies.rows / 2, px = int(std::floor(cx)), py = int(std::floor(cy));
    const auto body = [&](double s) {
        const int x = int(std::floor(cx + s * sx)) - px + middle, y = int(std::floor(cy + s * sy)) - py + middle;
        return inside(bodies, x, y) ? bodies.at<float>(y, x) : 0.0f;
    };
    for (double s = edge + 2; s <= to; s += 1) {
        if (const float t = std::max(thickness(s), body(s)); t >= thick)
            return {inked, t, meanThickness()};
        if (ink(s)) {
            thickSum += thickness(s);
            ++thickCount;
            inked += 1 + gap + std::min(hidden, kLongestGap);
            gap = hidden = lineAtEnd = 0;
        } else if (inkIn(l.lines, s)) {
            lineAtEnd += gap == 0 ? 1 : 0;
            if (++hidden > longestHidden)
                return {inked, 0, meanThickness()};
        } else if (++gap > kLongestGap) {
            break;
        }
    }
    // A tail that runs into a line across it may go on under it; a dot that
    // merely touches one, or ink that slants into one, has no tail there.
    return {inked + (inked > 2 && lineAtEnd <= kLongestGap ? lineAtEnd : 0), 0, meanThickness()};
}

// A line through a dot is thinner than the dot by this share at least (as
// half widths); a stroke a point sits on is as thick as the point.
constexpr double kThinLine = 0.25;

// A grid printed grey is paler than the dots on it by this share at least.
constexpr double kGreyLine = 0.75;

int grey(const TailInk& tails, double x, double y)
{
    const int px = int(std::floor(x)), py = int(std::floor(y));
    return inside(tails.grey, px, py) ? tails.grey.at<std::uint8_t>(py, px) : 255;
}

// The mean darkness (255 less the grey) along one direction from the dot,
// the darkest of each pixel and its neighbours across.
double lineDarkness(const TailInk& tails, double cx, double cy, Step step, double from, double to)
{
    double sum = 0;
    int count = 0;
    for (double s = from + 1; s <= to; s += 1, ++count) {
        int darkest = 255;
        for (int side = -1; side <= 1; ++side)
            darkest = std::min(darkest, grey(tails, cx + s * step.x - side * step.y, cy + s * step.y + side * step.x));
        sum += 255 - darkest;
    }
    return count ? sum / count : 0;
}

// How far pale ink runs on from the dot's edge along one direction, a
// pixel either side counting and gaps of two pixels bridged: a grey line
// that the ink's level breaks up shows here whole.
double paleRun(const TailInk& tails, double cx, double cy, Step step, double edge, double to)
{
    double length = 0;
    int gap = 0;
    for (double s = edge + 1; s <= to; s += 1) {
        bool pale = false;
        for (int side = -1; side <= 1 && !pale; ++side)
            pale = at(tails.paleInk, int(std::floor(cx + s * step.x - side * step.y)), int(std::floor(cy + s * step.y + side * step.x)));
        if (pale) {
            length = s - edge;
            gap = 0;
        } else if (++gap > 2) {
            break;
        }
    }
    return length;
}

}  // namespace

cv::Mat dotsBeside(const InkLayers& l, double cx, double cy, double radius, double longest)
{
    const int r = int(std::ceil(radius + longest + 2)), px = int(std::floor(cx)), py = int(std::floor(cy));
    cv::Mat bodies(2 * r + 1, 2 * r + 1, CV_32F, cv::Scalar(0));
    const auto inkShare = [&](int x, int y, int d) {
        int disc = 0, inked = 0;
        for (int by = -d; by <= d; ++by)
            for (int bx = -d; bx <= d; ++bx)
                if (bx * bx + by * by <= d * d) {
                    ++disc;
                    inked += at(l.ink, x + bx, y + by) ? 1 : 0;
                }
        return double(inked) / disc;
    };
    // Ink far deeper than the dot is a blot, which ends a run by its
    // thickness alone.
    const double deep = 0.8 * radius, deepest = 2 * radius, own = 1.5 * radius;
    for (int y = std::max(0, py - r); y <= std::min(l.dist.rows - 1, py + r); ++y) {
        const float* row = l.dist.ptr<float>(y);
        for (int x = std::max(0, px - r); x <= std::min(l.dist.cols - 1, px + r); ++x) {
            const int dx = x - px, dy = y - py;
            if (row[x] < deep || row[x] > deepest || dx * dx + dy * dy < own * own)
                continue;
            const float depth = row[x];
            const int d = int(depth);
            if (inkShare(x, y, d) < 0.4)
                continue;
            for (int by = std::max(-r, dy - d); by <= std::min(r, dy + d); ++by)
                for (int bx = std::max(-r, dx - d); bx <= std::min(r, dx + d); ++bx)
                    if ((bx - dx) * (bx - dx) + (by - dy) * (by - dy) <= depth * depth) {
                        float& body = bodies.at<float>(by + r, bx + r);
                        body = std::max(body, depth);
                    }
        }
    }
    return bodies;
}

std::optional<Tail> findTail(const InkLayers& l, const TailInk& tails, const cv::Mat& bodies, double cx, double cy,
                             double radius, double longest)
{
    std::array<double, kAngles> run{}, thickness{};
    std::array<float, kAngles> endsInDot{};
    const double from = radius + 0.5, to = radius + longest;
    for (int a = 0; a < kAngles; ++a) {
        const Run r = runLength(l, tails, bodies, cx, cy, steps<kAngles>()[std::size_t(a)], from, to);
        run[std::size_t(a)] = r.length;
        endsInDot[std::size_t(a)] = r.endsInDot;
        thickness[std::size_t(a)] = r.thickness;
    }
    // A line straight through the dot runs out on both sides: no tail.
    const double full = to - from - 1;
    // A tail reaches well beyond its dot: a run shorter than most of the
    // dot's width is a speck, a letter's foot or a bump on a line.
    const double shortest = std::max(1.4 * radius, 3.0);
    for (int a = 0; a < kAngles / 2; ++a) {
        const std::size_t there = std::size_t(a), back = std::size_t(a + kAngles / 2);
        if (run[there] >= full && run[back] >= full)
            run[there] = run[back] = 0;
    }
    // A straight line through the dot, such as a grey grid line that the
    // ink's level broke into pieces, runs on as pale ink on the far side
    // too: no tail of the dot's, however far it runs.
    for (int a = 0; a < kAngles; ++a) {
        if (run[std::size_t(a)] < shortest)
            continue;
        const Step along = steps<kAngles>()[std::size_t(a)];
        // A line as dark as the dot is no grid's grey line: a point on a
        // stroke of ink, which is no dot (below).
        if (lineDarkness(tails, cx, cy, along, from, from + shortest) > kGreyLine * (255 - grey(tails, cx, cy)))
            continue;
        const int back = (a + kAngles / 2) % kAngles;
        double beyond = 0;
        for (int d = -1; d <= 1; ++d)
            beyond = std::max(beyond, paleRun(tails, cx, cy, steps<kAngles>()[std::size_t((back + d + kAngles) % kAngles)],
                                              from, to));
        if (beyond >= shortest)
            run[std::size_t(a)] = 0;
    }
    // The longest run, unless it is a line far thinner than the dot that
    // goes on the other way, as ink or pale ink: a dot printed on a grid
    // line, whose tail is another run. Not on a speckled scan, where a clump
    // of specks on a line passes for such a dot: there a line through a
    // point is a stroke, however thin.
    const bool clear = l.thinTails.grey.empty();
    auto best = std::max_element(run.begin(), run.end());
    if (clear && *best >= shortest) {
        const int axis = int(best - run.begin()), back = (axis + kAngles / 2) % kAngles;
        const auto thin = [&](int a) { return thickness[std::size_t(a)] < kThinLine * radius; };
        const double farEnough = std::max(shortest, 0.8 * *best);
        if (thin(axis) && ((run[std::size_t(back)] >= farEnough && thin(back))
                           || paleRun(tails, cx, cy, steps<kAngles>()[std::size_t(back)], from, to) >= farEnough)) {
            for (int d = -kAngles / 36; d <= kAngles / 36; ++d)
                for (const int side : {axis, back})
                    run[std::size_t((side + d + kAngles) % kAngles)] = 0;
            best = std::max_element(run.begin(), run.end());
        }
    }
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
    Tail tail{angle, {std::sin(angle), -std::cos(angle)}, *best, false, false, endsInDot[std::size_t(b)],
              *best >= full - 1};
    for (int a = 0; a < kAngles; ++a) {
        const int apart = std::min(std::abs(a - b), kAngles - std::abs(a - b));
        if (apart > kAngles / 9 && run[std::size_t(a)] >= std::max(shortest, 0.7 * *best))
            tail.doubtful = true;
        // A line far thinner than the dot (on a clear scan) is no stroke the
        // dot is a point of.
        if (apart > kAngles * 5 / 12 && run[std::size_t(a)] >= std::max(shortest, 0.8 * *best)
            && endsInDot[std::size_t(a)] == 0 && (!clear || thickness[std::size_t(a)] >= kThinLine * radius))
            tail.throughStroke = true;
    }
    return tail;
}


TailFit fitTail(const InkLayers& l, const TailInk& tails, double cx, double cy, double radius, const Tail& tail)
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
        const int x0 = int(std::floor(cx + std::min(0.0, ux * end))) - 3;
        const int x1 = int(std::ceil(cx + std::max(0.0, ux * end))) + 3;
        const int y0 = int(std::floor(cy + std::min(0.0, uy * end))) - 3;
        const int y1 = int(std::ceil(cy + std::max(0.0, uy * end))) + 3;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                if (!inside(tails.grey, x, y) || at(l.lines, x, y))
                    continue;
                const double vx = x + 0.5 - cx, vy = y + 0.5 - cy;
                const double along = vx * ux + vy * uy, across = -vx * uy + vy * ux;
                // Wide enough for a tail of 3 pixels at first; then as wide
                // as the tail, so that little else lies in the way.
                if (along >= first && along <= end && std::abs(across) <= halfWidth)
                    if (const int w = kPalestInk - int(tails.grey.at<std::uint8_t>(y, x)); w > 0)
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
        double total = 0, wander = 0;
        for (std::size_t b = 0; b < binWeight.size(); ++b)
            if (binWeight[b] > 0) {
                binOffset[b] /= binWeight[b];
                total += binWeight[b];
                wander += binWeight[b] * binOffset[b] * binOffset[b];
            }
        fit.wander = total > 0 ? std::sqrt(wander / total) : 0;
        fit.width = total / kPalestInk / std::max(1.0, end - first);
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

bool attached(const TailInk& tails, double cx, double cy, double radius, double angle, int paleLevel)
{
    const double sx = std::sin(angle), sy = -std::cos(angle);
    // The darkest of the pixels on the axis and 0.7 either side, so that a
    // jagged line a pixel wide shows no gap.
    // A pixel's gap is allowed: a thin tail on a fax scan is broken so.
    int paper = 0;
    for (double s = radius - 1; s <= radius + 3; s += 0.5) {
        const double x = cx + s * sx, y = cy + s * sy;
        const int darkest = std::min({grey(tails, x, y), grey(tails, x + 0.7 * sy, y - 0.7 * sx), grey(tails, x - 0.7 * sy, y + 0.7 * sx)});
        const bool pale = darkest > paleLevel;
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
// tail is told by its angle and length beyond the dot's edge.
std::optional<std::pair<double, double>> tailAlongLine(const InkLayers& l, const TailInk& tails, double cx, double cy, double radius,
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
                if (!inside(tails.grey, x, y))
                    continue;
                const double w = (255 - tails.grey.at<std::uint8_t>(y, x)) / 255.0;
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
