#include "model/calibration.h"

#include <algorithm>
#include <cmath>

namespace {

// How far past an end of the track a reading still counts as that end, as a
// share of the scale: a file's positions in twips, made pixels, put an end a
// hair beside where it was written, and an end must read its limit.
constexpr double kEndTolerance = 1e-9;

double interpolate(double y, double y0, double y1, double v0, double v1)
{
    return v0 + (y - y0) * (v1 - v0) / (y1 - y0);
}

}  // namespace

Calibration::Calibration(const Work& work) : scale_(work.scale), rows_(work.depthRows) {}

std::size_t Calibration::rowBelow(double y) const
{
    const std::size_t n = rows_.size();
    if (n < 2 || !(rows_.front().y < y && y <= rows_.back().y))
        return 0;
    // The rows stay in order of their y: the first at or below y.
    const auto below = std::lower_bound(rows_.begin() + 1, rows_.end(), y,
                                        [](const DepthRow& r, double at) { return r.y < at; });
    return below == rows_.end() ? 0 : std::size_t(below - rows_.begin());
}

Reading Calibration::depthAt(double y) const
{
    const std::size_t j = rowBelow(y);
    if (j == 0)
        return std::nullopt;
    const DepthRow& a = rows_[j - 1];
    const DepthRow& b = rows_[j];
    const double depth = interpolate(y, a.y, b.y, a.depth, b.depth);
    if (!std::isfinite(depth))
        return std::nullopt;
    return depth;
}

std::optional<std::pair<double, double>> Calibration::trackAt(double y) const
{
    const std::size_t j = rowBelow(y);
    if (j == 0 || !scale_)
        return std::nullopt;
    const DepthRow& a = rows_[j - 1];
    const DepthRow& b = rows_[j];
    return std::pair(interpolate(y, a.y, b.y, a.minDipX, b.minDipX), interpolate(y, a.y, b.y, a.maxDipX, b.maxDipX));
}

Reading Calibration::dipAt(double x, double y) const
{
    const auto track = trackAt(y);
    if (!track)
        return std::nullopt;
    const auto [xmin, xmax] = *track;
    if (xmax == xmin)
        return std::nullopt;
    const DipScale& s = *scale_;
    const double span = s.maxDip - s.minDip;
    const double d = s.minDip + (x - xmin) * span / (xmax - xmin);
    const double slack = kEndTolerance * span;
    if (!(d >= s.minDip - slack && d <= s.maxDip + slack))
        return std::nullopt;
    return dipOnScale(s, std::clamp<double>(d, s.minDip, s.maxDip));
}

std::optional<double> Calibration::xOfDip(double dip, double y) const
{
    const auto track = trackAt(y);
    if (!track)
        return std::nullopt;
    const double fraction = dipFraction(*scale_, dip);
    if (!std::isfinite(fraction))
        return std::nullopt;
    return track->first + fraction * (track->second - track->first);
}

std::optional<double> Calibration::rowOf(double depth) const
{
    if (rows_.size() < 2 || !std::isfinite(depth))
        return std::nullopt;
    for (std::size_t j = 1; j < rows_.size(); ++j) {
        const DepthRow& a = rows_[j - 1];
        const DepthRow& b = rows_[j];
        if (!(std::min(a.depth, b.depth) <= depth && depth <= std::max(a.depth, b.depth)))
            continue;
        if (a.depth == b.depth)
            return a.y;
        return interpolate(depth, a.depth, b.depth, a.y, b.y);
    }
    return std::nullopt;
}
