#include "model/dip_scale.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Reading finiteOrNone(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return v;
}

// The standard scales: three straight stretches, 0 to low dip up to the
// track's place a, low to mid dip up to b, mid to 90 after it; places and
// dips alike in 0 to 90. Every difference below is exact in binary, so the
// dips read are those the scales have always given.
double threeStretches(double d, double a, double b, double low, double mid)
{
    if (d < 0)
        d = 0;
    if (d <= a)
        d = d * low / a;
    if (d > a && d <= b)
        d = low + (d - a) * (mid - low) / (b - a);
    if (d > b)
        d = mid + (d - b) * (90 - mid) / (90 - b);
    if (d > 90)
        d = 90;
    return d;
}

double standard60(double d) { return threeStretches(d, 29.25, 69.75, 20, 60); }

double standard50(double d) { return threeStretches(d, 40, 70, 20, 50); }

double sine(const DipScale& s, double d)
{
    const double span = s.maxDip - s.minDip;
    if (span == 0)
        return kNaN;
    const double smax = std::sin(s.maxDip * kPi / 180);
    const double smin = std::sin(s.minDip * kPi / 180);
    const double v = smin + (smax - smin) * (d - s.minDip) / span;
    return std::atan(v / std::sqrt(1 - v * v)) * 180 / kPi;
}

bool customUsable(const DipScale& s)
{
    return s.customSteps.size() >= 2 && s.customSteps.size() <= kMaxCustomSteps + 1
           && s.customSteps.back() != s.customSteps.front();
}

double customFraction(const DipScale& s, std::size_t k)
{
    return (s.customSteps[k] - s.customSteps.front()) / (s.customSteps.back() - s.customSteps.front());
}

double custom(const DipScale& s, double d)
{
    const double span = s.maxDip - s.minDip;
    if (span == 0 || !customUsable(s))
        return kNaN;
    if (d < 0)
        d = 0;
    const double u = (d - s.minDip) / span;
    for (std::size_t i = 0; i + 1 < s.customSteps.size(); ++i) {
        const double f1 = customFraction(s, i), f2 = customFraction(s, i + 1);
        if (f1 <= u && u <= f2) {
            if (f2 == f1)
                return kNaN;
            return s.minDip + 10.0 * double(i) + 10 * (u - f1) / (f2 - f1);
        }
    }
    return d;
}

}  // namespace

std::string dipScaleCaption(DipScaleKind kind)
{
    switch (kind) {
    case DipScaleKind::Standard60: return "Standard Dip Scale 0-20/20-60/60-90";
    case DipScaleKind::Linear: return "Linear Dip Scale";
    case DipScaleKind::Sine: return "Sine Dip Scale";
    case DipScaleKind::Standard50: return "Standard Dip Scale 0-20/20-50/50-90";
    case DipScaleKind::Custom: return "Custom Dip Scale";
    }
    return "";
}

Reading dipOnScale(const DipScale& scale, double d)
{
    switch (scale.kind) {
    case DipScaleKind::Standard60: return finiteOrNone(standard60(d));
    case DipScaleKind::Linear: return finiteOrNone(d);
    case DipScaleKind::Sine: return finiteOrNone(sine(scale, d));
    case DipScaleKind::Standard50: return finiteOrNone(standard50(d));
    case DipScaleKind::Custom: return finiteOrNone(custom(scale, d));
    }
    return std::nullopt;
}

double dipFraction(const DipScale& scale, double d)
{
    switch (scale.kind) {
    case DipScaleKind::Standard60:
        if (d <= 20)
            return 0.325 * d / 20;
        if (d <= 60)
            return 0.325 + 0.45 * (d - 20) / 40;
        return 0.775 + 0.225 * (d - 60) / 30;
    case DipScaleKind::Standard50:
        if (d <= 20)
            return (4.0 / 9) * d / 20;
        if (d <= 50)
            return 4.0 / 9 + (3.0 / 9) * (d - 20) / 30;
        return 7.0 / 9 + (2.0 / 9) * (d - 50) / 40;
    case DipScaleKind::Linear: {
        const double span = scale.maxDip - scale.minDip;
        return span == 0 ? kNaN : (d - scale.minDip) / span;
    }
    case DipScaleKind::Sine: {
        const double smin = std::sin(scale.minDip * kPi / 180);
        const double smax = std::sin(scale.maxDip * kPi / 180);
        if (smax == smin)
            return kNaN;
        return (std::sin(d * kPi / 180) - smin) / (smax - smin);
    }
    case DipScaleKind::Custom: {
        if (!customUsable(scale))
            return kNaN;
        const double k = (d - scale.minDip) / 10;
        if (k != std::floor(k) || k < 0 || k >= double(scale.customSteps.size()))
            return kNaN;
        return customFraction(scale, std::size_t(k));
    }
    }
    return kNaN;
}
