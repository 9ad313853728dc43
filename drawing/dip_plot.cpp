#include <cmath>
#include <utility>

#include "core/dipdigitize.h"
#include "drawing/redraw.h"

namespace {

constexpr Rgb kMagenta{255, 0, 255};
constexpr double kDotRadius = 50;   // picture-box twips at every zoom
constexpr double kTailLength = 300;

void drawDips(ProjectState& st, DrawingSurface& s)
{
    if (st.NumPoints < 0 || st.NumPoints > kMaxDips)
        return;
    // Every finished dip shows its tail; the one awaiting its tail has none yet.
    const int tailless = st.interaction.AwaitingAzimuth ? st.interaction.PendingRow : 0;
    // A tadpole wholly above or below the view is passed by: only its colour
    // counts, for the dips after it.
    const double reach = kTailLength + 2 * kDotRadius;  // the tail, the dot and its pen
    const double viewTop = -reach, viewBottom = s.scaleHeight() + reach;
    for (int i = 1; i <= st.NumPoints; ++i) {
        const DipPoint& d = std::as_const(st.dips)[i];
        // Any other grade keeps the colour of the dip drawn before.
        if (const auto colour = gradeColour(st, d.Quality))
            st.CurrentQualityColor = *colour;
        const double y = viewY(st, d.YPIX);
        if (!(y >= viewTop && y <= viewBottom))
            continue;

        s.setForeColor(st.CurrentQualityColor);
        s.setDrawWidth(2);
        s.setDrawMode(DrawMode::Copy);
        s.setFillColor(st.CurrentQualityColor);
        s.setFillStyle(FillStyle::Solid);
        const double x = viewX(st, d.DIPPIX);
        s.circle(x, y, kDotRadius, st.CurrentQualityColor);
        s.setFillStyle(FillStyle::Transparent);
        s.setDrawWidth(2);
        s.setDrawMode(DrawMode::Copy);
        if (i != tailless) {
            const double a = d.Azimuth * kPi / 180;
            s.line(x, y, x + kTailLength * std::sin(a), y - kTailLength * std::cos(a));
        }
    }
}

bool isTenDegreeLine(int k) { return k >= 0 && k <= 90 && k % 10 == 0; }

void drawGrid(const ProjectState& st, DrawingSurface& s)
{
    const int mode = st.DipScaleMode;
    if (mode < 0 || mode > 4 || st.NUMDEP < 2 || st.NUMDEP > kMaxDepthRows)
        return;
    if (mode == 4 && (st.NCUST < 0 || st.NCUST > kMaxCustomSteps))
        return;
    // Grid values: dips MINDIP, MINDIP + 10, ... up to MAXDIP, or the custom steps.
    const int firstValue = mode == 4 ? 0 : st.MINDIP;
    const int lastValue = mode == 4 ? st.NCUST : st.MAXDIP;
    const int step = mode == 4 ? 1 : 10;
    const bool standard = mode == 0 || mode == 3;
    // The standard scales place only 0, 10, ... 90; any other value draws
    // again with the positions of the value before it, image x 0 at first.
    double x1 = 0, x2 = 0;
    for (int j = 1; j < st.NUMDEP; ++j) {
        const auto& top = st.depths[j];
        const auto& bottom = st.depths[j + 1];
        for (int k = firstValue; k <= lastValue; k += step) {
            if (!standard || isTenDegreeLine(k)) {
                const double fraction = dipfraction(st, mode == 4 ? st.MINDIP + 10.0 * k : k);
                if (!std::isfinite(fraction))
                    continue;  // the scale defines no position: no line rather than a wild one
                x1 = top.MINDIPTWIP + (top.MAXDIPTWIP - top.MINDIPTWIP) * fraction;
                x2 = bottom.MINDIPTWIP + (bottom.MAXDIPTWIP - bottom.MINDIPTWIP) * fraction;
            }
            s.line(viewX(st, x1), viewY(st, top.DEPTHTWIP), viewX(st, x2), viewY(st, bottom.DEPTHTWIP));
        }
    }
}

}  // namespace

void PP(ProjectState& st, DrawingSurface& s, bool gridShown)
{
    if (!st.SkipNextPlot) {
        drawDips(st, s);
        if (gridShown) {
            s.setForeColor(kMagenta);
            s.setDrawMode(DrawMode::Copy);
            s.setDrawWidth(1);
            if (st.GridReady)
                drawGrid(st, s);
        }
    }
    st.SkipNextPlot = false;
}
