#include "interaction/area_erase_tool.h"

#include <algorithm>

namespace {

constexpr Rgb kMagenta{255, 0, 255};

}  // namespace

void AreaEraseTool::arm()
{
    c_.state.interaction.EraseArmed = true;
    c_.state.interaction.EraseBandShown = 0;
}

void AreaEraseTool::press(int button, double /*x*/, double y)
{
    if (button == kLeftButton)
        c_.state.interaction.EraseStartY = y;
}

void AreaEraseTool::move(int buttons, double x, double y)
{
    if (buttons != kLeftButton)
        return;
    PictureInteraction& in = c_.state.interaction;
    DrawingSurface& s = c_.surface;
    s.setDrawWidth(1);
    s.setForeColor(kMagenta);
    s.setDrawMode(DrawMode::Invert);
    if (in.EraseBandShown != 0)
        s.box(0, in.EraseStartY, s.scaleWidth(), in.LastMarkY, kMagenta);
    s.box(0, in.EraseStartY, s.scaleWidth(), y, kMagenta);
    in.LastMarkX = x;
    in.LastMarkY = y;
    ++in.EraseBandShown;
}

void AreaEraseTool::release(int button, double /*x*/, double y)
{
    if (button != kLeftButton)
        return;
    c_.state.interaction.EraseEndY = y;
    c_.state.interaction.EraseArmed = false;
    erase();
}

void AreaEraseTool::erase()
{
    ProjectState& st = c_.state;
    PictureInteraction& in = st.interaction;
    const double start = imageY(st, in.EraseStartY), end = imageY(st, in.EraseEndY);
    const double top = std::min(start, end), bottom = std::max(start, end);
    // The dip awaiting its tail: erased, it is no longer pending; kept, it
    // stays pending on its own row of the closed-up table.
    if (in.AwaitingAzimuth && in.PendingRow >= 1 && in.PendingRow <= st.NumPoints && st.NumPoints <= kMaxDips) {
        const auto inBand = [&](int row) { return st.dips[row].YPIX >= top && st.dips[row].YPIX <= bottom; };
        if (inBand(in.PendingRow)) {
            in.AwaitingAzimuth = false;
            in.TailDrawn = false;
        } else {
            int erasedBefore = 0;
            for (int row = 1; row < in.PendingRow; ++row)
                erasedBefore += inBand(row) ? 1 : 0;
            in.PendingRow -= erasedBefore;
        }
    }
    c_.host.apply(EraseDips{top, bottom});
    c_.surface.clear();
    c_.host.redraw();
}
