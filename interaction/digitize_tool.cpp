#include "interaction/digitize_tool.h"

#include <cmath>
#include <utility>

#include "core/dipdigitize.h"
#include "drawing/redraw.h"
#include "interaction/cursor_readout.h"

namespace {

// Picture-box twips at every zoom.
constexpr double kDotRadius = 50;
constexpr double kGuideRadius = 300;
constexpr double kTailLength = 300;
constexpr double kShortestTail = 40;  // nearer the centre, the tail has no length
constexpr double kSnapReach = 10;     // screen pixels from a printed dot

constexpr Rgb kBlack{0, 0, 0};

}  // namespace

void DigitizeTool::press(int /*button*/, double x, double y)
{
    ProjectState& st = c_.state;
    PictureInteraction& in = st.interaction;
    if (const auto colour = gradeColour(st, st.CurrentQuality))
        st.CurrentQualityColor = *colour;
    c_.surface.setForeColor(st.CurrentQualityColor);
    c_.surface.setDrawWidth(2);

    if (in.AwaitingAzimuth) {
        finishDip();  // wherever the second press lands
    } else {
        double ix = imageX(st, x), iy = imageY(st, y);
        // A press near a printed dot takes the dot's centre, and its tail.
        const auto snap = c_.host.snapTarget(ix, iy, kSnapReach * st.TwipsPerPixelX / st.ZoomFactor);
        if (snap) {
            ix = snap->x;
            iy = snap->y;
            x = viewX(st, ix);
            y = viewY(st, iy);
        }
        const Reading dip = getdip(st, ix, iy);
        const Reading depth = getdepth(st, iy);
        if (!depth || !dip) {
            c_.host.showMessage("Not Calibrated", "This area of the log is not calibrated.");
        } else if (st.NumPoints >= kMaxDips) {
            c_.host.showMessage("Dip Table Full", "The dip table holds at most " + std::to_string(kMaxDips)
                                                      + " dips; this dip was not placed.");
        } else {
            startDip(x, y, StartDip{ix, iy, depth, dip});
            if (snap && snap->azimuth) {
                const double a = *snap->azimuth * kPi / 180;
                in.PendingAzimuth = *snap->azimuth;
                in.TailEndX = x + kTailLength * std::sin(a);
                in.TailEndY = y - kTailLength * std::cos(a);
                finishDip();  // one press, one action
            }
        }
    }
    in.LastMarkX = -1;
    in.LastMarkY = -2;
}

void DigitizeTool::startDip(double x, double y, const StartDip& dip)
{
    ProjectState& st = c_.state;
    PictureInteraction& in = st.interaction;
    DrawingSurface& s = c_.surface;
    const Rgb colour = st.CurrentQualityColor;
    s.setDrawMode(DrawMode::Copy);
    s.setFillColor(colour);
    s.setFillStyle(FillStyle::Solid);
    s.circle(x, y, kDotRadius, colour);
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawMode(DrawMode::Invert);
    s.circle(x, y, kGuideRadius, colour);

    in.RubberColour = colour;
    c_.host.apply(dip);
    in.TailDrawn = false;
    in.PendingCentreX = x;
    in.PendingCentreY = y;
    // Until the mouse moves the tail has no length and the azimuth is that of
    // a cursor on the centre, not one left from the dip before.
    in.TailEndX = x;
    in.TailEndY = y;
    in.PendingAzimuth = azimuthTowards(0, 0);
}

void DigitizeTool::finishDip()
{
    ProjectState& st = c_.state;
    PictureInteraction& in = st.interaction;
    DrawingSurface& s = c_.surface;
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawMode(DrawMode::Invert);
    s.circle(in.PendingCentreX, in.PendingCentreY, kGuideRadius, in.RubberColour);
    // The tail in copy mode covers the rubber tail, which has the same shape.
    s.setDrawMode(DrawMode::Copy);
    s.line(in.PendingCentreX, in.PendingCentreY, in.TailEndX, in.TailEndY, st.CurrentQualityColor);
    in.TailDrawn = false;
    if (in.PendingRow >= 1 && in.PendingRow <= st.NumPoints)
        c_.host.apply(FinishDip{in.PendingRow, in.PendingAzimuth, st.CurrentQuality});
    in.AwaitingAzimuth = false;
}

void DigitizeTool::move(int /*buttons*/, double x, double y)
{
    showCursorReadout(c_, x, y);
    if (!c_.state.interaction.AwaitingAzimuth)
        return;
    swingTail(x, y);
    showAzimuthReadout(c_);
}

void DigitizeTool::swingTail(double x, double y)
{
    PictureInteraction& in = c_.state.interaction;
    DrawingSurface& s = c_.surface;
    const double cx = in.PendingCentreX, cy = in.PendingCentreY;
    const double dx = x - cx, dy = cy - y;
    in.PendingAzimuth = azimuthTowards(dx, dy);

    s.setForeColor(in.RubberColour);
    s.setDrawWidth(2);
    s.setDrawMode(DrawMode::Invert);
    if (in.TailDrawn)
        s.line(cx, cy, in.TailEndX, in.TailEndY);
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < kShortestTail) {
        in.TailEndX = cx;
        in.TailEndY = cy;
    } else {
        in.TailEndX = cx + (x - cx) * kTailLength / d;
        in.TailEndY = cy + (y - cy) * kTailLength / d;
    }
    s.line(cx, cy, in.TailEndX, in.TailEndY);
    in.TailDrawn = true;
    s.setForeColor(kBlack);
}

void DigitizeTool::afterRedraw()
{
    ProjectState& st = c_.state;
    PictureInteraction& in = st.interaction;
    if (!in.AwaitingAzimuth || in.PendingRow < 1 || in.PendingRow > st.NumPoints || st.NumPoints > kMaxDips)
        return;
    const DipPoint& pending = std::as_const(st.dips)[in.PendingRow];
    const double x = viewX(st, pending.DIPPIX), y = viewY(st, pending.YPIX);
    // The tail keeps its direction and length: sizes do not follow the zoom.
    in.TailEndX += x - in.PendingCentreX;
    in.TailEndY += y - in.PendingCentreY;
    in.PendingCentreX = x;
    in.PendingCentreY = y;
    in.TailDrawn = false;
    DrawingSurface& s = c_.surface;
    s.setDrawWidth(2);
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawMode(DrawMode::Invert);
    s.circle(x, y, kGuideRadius, in.RubberColour);
}
