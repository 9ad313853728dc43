#include "drawing/proposal_plot.h"

#include <algorithm>
#include <cmath>

#include "core/dipdigitize.h"
#include "drawing/redraw.h"

namespace {

constexpr Rgb kKept{255, 140, 0};
constexpr Rgb kDropped{150, 150, 150};
constexpr Rgb kCurrent{0, 170, 255};
constexpr double kTailLength = 300;  // picture-box twips at every zoom, as a dip's

}  // namespace

void drawProposals(const ProjectState& st, DrawingSurface& s, const std::vector<Proposal>& proposals, int current)
{
    s.setDrawMode(DrawMode::Copy);
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawWidth(2);
    for (std::size_t i = 0; i < proposals.size(); ++i) {
        const Proposal& p = proposals[i];
        const double x = viewX(st, p.x), y = viewY(st, p.y);
        // A ring round the printed dot, leaving it in sight, and a tail that
        // reaches past the printed one.
        const double r = std::max(p.radius * st.ZoomFactor + 4 * st.TwipsPerPixelX, 80.0);
        const Rgb colour = p.kept ? kKept : kDropped;
        s.setLineStyle(LineStyle::Dashed);
        s.circle(x, y, r, colour);
        const double a = p.azimuth * kPi / 180;
        s.line(x + r * std::sin(a), y - r * std::cos(a), x + (r + 2 * kTailLength) * std::sin(a),
               y - (r + 2 * kTailLength) * std::cos(a), colour);
        s.setLineStyle(LineStyle::Solid);
        if (!p.kept) {
            s.line(x - r, y - r, x + r, y + r, colour);
            s.line(x - r, y + r, x + r, y - r, colour);
        }
        if (int(i) == current) {
            const double q = r + 60;
            s.box(x - q, y - q, x + q, y + q, kCurrent);
        }
    }
}
