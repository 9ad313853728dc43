#include "ui/view_rules.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "model/number_format.h"

namespace {

struct Ratio {
    double factor;
    const char* caption;
};
constexpr Ratio kRatios[] = {{8, "8:1"}, {4, "4:1"}, {2, "2:1"}, {1, "1:1"}, {0.5, "1:2"}, {0.25, "1:4"}, {0.125, "1:8"}};

constexpr double kMaxSteps = 32766;

int roundedToScrollValue(double v)
{
    if (!std::isfinite(v))
        return 1;
    return static_cast<int>(std::clamp(roundHalfEven(v), -32768.0, 32767.0));
}

ScrollSettings settingsFor(double r, double q)
{
    ScrollSettings s;
    // The first unit with r / unit <= 32766, found from below the quotient.
    double unit = std::max(1.0, std::floor(r / kMaxSteps));
    double t = r / unit;
    while (t > kMaxSteps) {
        unit += 1;
        t = r / unit;
    }
    s.unit = unit;
    s.maximum = std::max(0, roundedToScrollValue(t));
    s.largeChange = clampChange(t / (q / 0.9));
    s.smallChange = clampChange(0.1 * t / q);
    return s;
}

}  // namespace

double zoomAfterButton(int index, double f)
{
    // The ratios run from 8:1 down to 1:8; "+" moves to the next one up,
    // "-" to the next one down, also from a zoom between them (Fit Width's,
    // or one a project kept).
    if (index == 0) {
        for (int i = int(std::size(kRatios)) - 1; i >= 0; --i)
            if (kRatios[i].factor > f)
                return kRatios[i].factor;
    } else {
        for (const Ratio& r : kRatios)
            if (r.factor < f)
                return r.factor;
    }
    return f;
}

std::optional<std::string> zoomCaption(double factor)
{
    for (const Ratio& r : kRatios)
        if (r.factor == factor)
            return std::string(r.caption);
    return std::nullopt;
}

int clampChange(double change)
{
    if (!std::isfinite(change))
        return 1;
    return static_cast<int>(std::clamp(roundHalfEven(change), 1.0, 32767.0));
}

ScrollSettings horizontalScroll(double px, std::int32_t pixels, double viewUnits)
{
    double r = px * pixels * 0.95;
    if (r < 0)
        r = -r;
    if (r < 25)
        r = 25;
    return settingsFor(r, px * pixels / std::max(1.0, viewUnits));
}

ScrollSettings verticalScroll(double py, std::int32_t pixels, double viewUnits)
{
    // The whole span: a range 100 units short of it left the picture's last
    // rows (about seven at 1:1) below the view for good.
    double r = py * pixels;
    if (r < 25)
        r = 25;
    return settingsFor(r, py * pixels / std::max(1.0, viewUnits));
}
