#include "interaction/area_erase_tool.h"

#include <algorithm>

namespace {

constexpr Rgb kMagenta{255, 0, 255};

}  // namespace

void AreaEraseTool::arm()
{
    c_.state.interaction.EraseArmed = true;
    c_.state.interaction.EraseBandShown = 0;
    c_.state.interaction.DeleteArmed = false;
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
    c_.host.apply(EraseDips{top, bottom});
    in.TailDrawn = false;
    c_.host.redraw();  // it clears the view, band outline and all
}
