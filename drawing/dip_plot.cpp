#include <cmath>

#include "drawing/log_drawing.h"

namespace {

constexpr Rgb kMagenta{255, 0, 255};

bool isTenDegreeLine(int k) { return k >= 0 && k <= 90 && k % 10 == 0; }

void drawGrid(const Work& w, const Viewport& v, DrawingSurface& s)
{
    if (!w.scale || w.depthRows.size() < 2)
        return;
    const DipScale& scale = *w.scale;
    const bool custom = scale.kind == DipScaleKind::Custom;
    if (custom && scale.customSteps.empty())
        return;
    // Grid values: dips minDip, minDip + 10, ... up to maxDip, or the custom steps.
    const int firstValue = custom ? 0 : scale.minDip;
    const int lastValue = custom ? int(scale.customSteps.size()) - 1 : scale.maxDip;
    const int step = custom ? 1 : 10;
    const bool standard = scale.kind == DipScaleKind::Standard60 || scale.kind == DipScaleKind::Standard50;
    // The standard scales place only 0, 10, ... 90; any other value draws
    // again with the positions of the value before it, x 0 at first.
    double x1 = 0, x2 = 0;
    for (std::size_t j = 0; j + 1 < w.depthRows.size(); ++j) {
        const DepthRow& top = w.depthRows[j];
        const DepthRow& bottom = w.depthRows[j + 1];
        for (int k = firstValue; k <= lastValue; k += step) {
            if (!standard || isTenDegreeLine(k)) {
                const double fraction = dipFraction(scale, custom ? scale.minDip + 10.0 * k : k);
                if (!std::isfinite(fraction))
                    continue;  // the scale defines no position: no line rather than a wild one
                x1 = top.minDipX + (top.maxDipX - top.minDipX) * fraction;
                x2 = bottom.minDipX + (bottom.maxDipX - bottom.minDipX) * fraction;
            }
            s.line(v.toViewX(x1), v.toViewY(top.y), v.toViewX(x2), v.toViewY(bottom.y));
        }
    }
}

}  // namespace

void drawDips(const Work& w, const Viewport& v, const GradeColours& colours, Rgb colour, DrawingSurface& s,
              bool gridShown)
{
    // A tadpole wholly above or below the view is passed by: only its colour
    // counts, for the dips after it.
    const double reach = kDipTailLength + 2 * kDipDotRadius;  // the tail, the dot and its pen
    const double viewTop = -reach, viewBottom = s.scaleHeight() + reach;
    for (const Dip& d : w.dips) {
        if (const int grade = gradeIndex(d.grade); grade >= 0)
            colour = colours[std::size_t(grade)];
        const double y = v.toViewY(d.y);
        if (!(y >= viewTop && y <= viewBottom))
            continue;
        s.setForeColor(colour);
        s.setDrawWidth(2);
        s.setDrawMode(DrawMode::Copy);
        s.setFillColor(colour);
        s.setFillStyle(FillStyle::Solid);
        const double x = v.toViewX(d.x);
        s.circle(x, y, kDipDotRadius, colour);
        s.setFillStyle(FillStyle::Transparent);
        const double a = d.azimuth * kPi / 180;
        s.line(x, y, x + kDipTailLength * std::sin(a), y - kDipTailLength * std::cos(a));
    }
    if (gridShown) {
        s.setForeColor(kMagenta);
        s.setDrawMode(DrawMode::Copy);
        s.setDrawWidth(1);
        drawGrid(w, v, s);
    }
}
