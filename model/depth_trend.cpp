#include "model/depth_trend.h"

#include <algorithm>
#include <cmath>

std::size_t DepthTrend::agreeing() const { return std::size_t(std::count(agrees.begin(), agrees.end(), true)); }

namespace {

// Beyond this many points, each is paired with a few others only: the
// pairs of the right line are still many, and the cost stays n times the
// pairs.
constexpr std::size_t kAllPairsUpTo = 48;

struct Line {
    double depthAtTop = 0;
    double depthPerRow = 0;
};

std::optional<Line> through(const DepthAtRow& a, const DepthAtRow& b)
{
    if (a.y == b.y || a.depth == b.depth)
        return std::nullopt;
    const double slope = (b.depth - a.depth) / (b.y - a.y);
    return Line{a.depth - slope * a.y, slope};
}

double rowsOff(const Line& l, const DepthAtRow& p) { return std::abs((p.depth - l.depthAtTop) / l.depthPerRow - p.y); }

std::vector<std::pair<std::size_t, std::size_t>> pairsToTry(std::size_t n)
{
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    if (n <= kAllPairsUpTo) {
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                pairs.emplace_back(i, j);
        return pairs;
    }
    for (const std::size_t stride : {std::size_t(1), std::size_t(2), std::size_t(3), n / 4, n / 2})
        for (std::size_t i = 0; i + stride < n; i += std::max<std::size_t>(1, n / 400))
            pairs.emplace_back(i, i + stride);
    return pairs;
}

}  // namespace

std::optional<DepthTrend> fitDepthTrend(const std::vector<DepthAtRow>& points, double tolerance)
{
    const std::size_t n = points.size();
    std::optional<Line> best;
    std::size_t bestNear = 0;
    double bestMedian = 0;
    std::vector<double> off(n);
    for (const auto& [i, j] : pairsToTry(n)) {
        const auto line = through(points[i], points[j]);
        if (!line)
            continue;
        std::size_t near = 0;
        for (std::size_t k = 0; k < n; ++k) {
            off[k] = rowsOff(*line, points[k]);
            near += off[k] <= tolerance ? 1 : 0;
        }
        const auto middle = off.begin() + std::ptrdiff_t(n / 2);
        std::nth_element(off.begin(), middle, off.end());
        if (!best || near > bestNear || (near == bestNear && *middle < bestMedian)) {
            best = line;
            bestNear = near;
            bestMedian = *middle;
        }
    }
    if (!best)
        return std::nullopt;

    DepthTrend trend{best->depthAtTop, best->depthPerRow, std::vector<bool>(n)};
    double sy = 0, sd = 0, syy = 0, syd = 0;
    int m = 0;
    for (std::size_t k = 0; k < n; ++k)
        if (rowsOff(*best, points[k]) <= tolerance) {
            ++m;
            sy += points[k].y;
            sd += points[k].depth;
            syy += points[k].y * points[k].y;
            syd += points[k].y * points[k].depth;
        }
    const double spread = syy - sy * sy / m;
    if (m >= 2 && spread > 0) {
        const double slope = (syd - sy * sd / m) / spread;
        if (slope != 0 && std::isfinite(slope)) {
            trend.depthPerRow = slope;
            trend.depthAtTop = (sd - slope * sy) / m;
        }
    }
    const Line fitted{trend.depthAtTop, trend.depthPerRow};
    for (std::size_t k = 0; k < n; ++k)
        trend.agrees[k] = rowsOff(fitted, points[k]) <= tolerance;
    return trend;
}

double depthUnit(const std::vector<double>& depths)
{
    for (double power = 100000; power >= 0.001; power /= 10)
        for (const double factor : {5.0, 2.5, 2.0, 1.0}) {
            const double unit = factor * power;
            const bool divides = std::all_of(depths.begin(), depths.end(), [unit](double d) {
                return std::abs(d - unit * std::round(d / unit)) <= 1e-9 * std::max(1.0, std::abs(d));
            });
            if (divides)
                return unit;
        }
    return 0.001;
}
