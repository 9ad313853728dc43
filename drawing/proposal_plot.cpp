#include <algorithm>
#include <cmath>

#include "drawing/log_drawing.h"

namespace {

constexpr Rgb kKept{255, 140, 0};
constexpr Rgb kDropped{150, 150, 150};
constexpr Rgb kCurrent{0, 170, 255};
constexpr Rgb kSelected{200, 0, 200};  // no grade's, no proposal's
constexpr double kAroundDot = 4;       // the ring's gap round the printed dot
constexpr double kSmallestRing = 16.0 / 3;
constexpr double kAroundRing = 4;      // the square round the one stepped to

}  // namespace

void drawProposals(const Viewport& v, DrawingSurface& s, const std::vector<Proposal>& proposals, int current)
{
    s.setDrawMode(DrawMode::Copy);
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawWidth(2);
    for (std::size_t i = 0; i < proposals.size(); ++i) {
        const Proposal& p = proposals[i];
        const double x = v.toViewX(p.x), y = v.toViewY(p.y);
        // A ring round the printed dot, leaving it in sight, and a tail that
        // reaches past the printed one.
        const double r = std::max(p.radius * v.zoom + kAroundDot, kSmallestRing);
        const Rgb colour = p.kept ? kKept : kDropped;
        s.setLineStyle(LineStyle::Dashed);
        s.circle(x, y, r, colour);
        const double a = p.azimuth * kPi / 180;
        s.line(x + r * std::sin(a), y - r * std::cos(a), x + (r + 2 * kDipTailLength) * std::sin(a),
               y - (r + 2 * kDipTailLength) * std::cos(a), colour);
        s.setLineStyle(LineStyle::Solid);
        if (!p.kept) {
            s.line(x - r, y - r, x + r, y + r, colour);
            s.line(x - r, y + r, x + r, y - r, colour);
        }
        if (int(i) == current) {
            const double q = r + kAroundRing;
            s.box(x - q, y - q, x + q, y + q, kCurrent);
        }
    }
}

void drawSelectedDips(const Viewport& v, DrawingSurface& s, const std::vector<SelectedDip>& dips)
{
    s.setDrawMode(DrawMode::Copy);
    s.setFillStyle(FillStyle::Transparent);
    s.setLineStyle(LineStyle::Solid);
    s.setDrawWidth(2);
    for (const SelectedDip& d : dips) {
        const double x = v.toViewX(d.x), y = v.toViewY(d.y);
        if (x < -kSmallestRing * 4 || y < -kSmallestRing * 4 || x > s.scaleWidth() + kSmallestRing * 4
            || y > s.scaleHeight() + kSmallestRing * 4)
            continue;
        s.circle(x, y, std::max(d.radius * v.zoom + 2 * kAroundDot, kSmallestRing), kSelected);
    }
}
