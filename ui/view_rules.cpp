#include "ui/view_rules.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"

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
    if (index == 0) {
        if (f == 4) f = 8;
        if (f == 2) f = 4;
        if (f == 1) f = 2;
        if (f == 0.5) f = 1;
        if (f == 0.25) f = 0.5;
        if (f == 0.125) f = 0.25;
    } else if (index == 1) {
        if (f == 0.25) f = 0.125;
        if (f == 0.5) f = 0.25;
        if (f == 1) f = 0.5;
        if (f == 2) f = 1;
        if (f == 4) f = 2;
        if (f == 8) f = 4;
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

ScrollSettings horizontalScroll(double px, std::int32_t pixels, double viewTwips)
{
    double r = px * pixels * 0.95;
    if (r < 0)
        r = -r;
    if (r < 25)
        r = 25;
    return settingsFor(r, px * pixels / std::max(1.0, viewTwips));
}

ScrollSettings verticalScroll(double py, std::int32_t pixels, double viewTwips)
{
    double r = py * pixels - 100;
    if (r < 25)
        r = 25;
    return settingsFor(r, py * pixels / std::max(1.0, viewTwips));
}
