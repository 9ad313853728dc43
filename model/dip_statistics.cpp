#include "model/dip_statistics.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "model/calibration.h"

namespace {

// The geometry of the net wants the true circle constant: with the program's
// 3.14159 a bed dipping due east would project off the east-west line.
constexpr double kRadian = std::numbers::pi / 180;

double wrapDegrees(double a)
{
    a = std::fmod(a, 360);
    return a < 0 ? a + 360 : a;
}

bool inInterval(double depth, const DipSelection& s)
{
    const double low = s.from && s.to ? std::min(*s.from, *s.to) : s.from.value_or(-INFINITY);
    const double high = s.from && s.to ? std::max(*s.from, *s.to) : s.to.value_or(INFINITY);
    return depth >= low && depth <= high;
}

}  // namespace

Pole poleOf(double dip, double azimuth, int grade)
{
    // Beds beyond the scale's ends still give a pole in the lower hemisphere.
    return Pole{wrapDegrees(azimuth + 180), 90 - std::clamp(dip, 0.0, 90.0), grade};
}

std::pair<double, double> equalAreaPoint(double trend, double plunge)
{
    const double r = std::sqrt(2.0) * std::sin((90 - plunge) * kRadian / 2);
    return {r * std::sin(trend * kRadian), -r * std::cos(trend * kRadian)};
}

DipStatistics dipStatistics(const Work& work, const DipSelection& selection)
{
    DipStatistics out;
    const Calibration calibration(work);
    double east = 0, north = 0, down = 0;
    std::vector<bool> chosen(selection.only.empty() ? 0 : work.dips.size());
    for (const std::size_t i : selection.only)
        if (i < chosen.size())
            chosen[i] = true;
    for (std::size_t i = 0; i < work.dips.size(); ++i) {
        if (!chosen.empty() && !chosen[i])
            continue;
        const Dip& d = work.dips[i];
        const int grade = gradeIndex(d.grade);
        if (grade < 0 && !d.grade.empty())
            continue;  // a grade no box stands for
        if (grade >= 0 && !selection.grades[std::size_t(grade)])
            continue;
        const Reading depth = calibration.depthAt(d.y);
        if (depth && !inInterval(*depth, selection))
            continue;
        const Reading dip = calibration.dipAt(d.x, d.y);
        // No grade means no tail: a dip saved so by an earlier version.
        if (grade < 0 || !depth || !dip || !std::isfinite(d.azimuth)) {
            ++out.leftOut;
            continue;
        }
        ++out.counted;
        out.shallowest = std::min(out.shallowest.value_or(*depth), *depth);
        out.deepest = std::max(out.deepest.value_or(*depth), *depth);
        const double azimuth = wrapDegrees(d.azimuth);
        ++out.sectors[std::size_t(std::min(35, int(azimuth / 10)))];
        const Pole pole = poleOf(*dip, azimuth, grade);
        out.poles.push_back(pole);
        const double t = pole.trend * kRadian, p = pole.plunge * kRadian;
        east += std::cos(p) * std::sin(t);
        north += std::cos(p) * std::cos(t);
        down += std::sin(p);
    }
    if (out.counted == 0)
        return out;
    const double length = std::sqrt(east * east + north * north + down * down);
    out.sphericalVariance = std::max(0.0, 1 - length / out.counted);
    const double plunge = std::asin(std::clamp(down / length, -1.0, 1.0)) / kRadian;
    const double trend = std::atan2(east, north) / kRadian;
    out.meanDip = 90 - plunge;
    out.meanAzimuth = wrapDegrees(trend + 180);
    return out;
}
