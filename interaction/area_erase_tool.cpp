#include "interaction/area_erase_tool.h"

#include <algorithm>

namespace {

constexpr Rgb kMagenta{255, 0, 255};

}  // namespace

void AreaEraseTool::arm()
{
    armed_ = true;
    from_.reset();
    shownTo_.reset();
}

void AreaEraseTool::press(int button, double /*x*/, double y)
{
    if (button == kLeftButton)
        from_ = y;
}

void AreaEraseTool::move(int buttons, double /*x*/, double y)
{
    if (buttons != kLeftButton || !from_)
        return;
    DrawingSurface& s = host_.surface();
    s.setDrawWidth(1);
    s.setForeColor(kMagenta);
    s.setDrawMode(DrawMode::Invert);
    if (shownTo_)
        s.box(0, *from_, s.scaleWidth(), *shownTo_, kMagenta);
    s.box(0, *from_, s.scaleWidth(), y, kMagenta);
    shownTo_ = y;
}

void AreaEraseTool::release(int button, double /*x*/, double y)
{
    if (button != kLeftButton || !from_)
        return;
    const Viewport& v = host_.viewport();
    const double start = v.toPictureY(*from_), end = v.toPictureY(y);
    armed_ = false;
    from_.reset();
    // Either way the view is drawn anew, band outline and all.
    if (!host_.apply(EraseDips{std::min(start, end), std::max(start, end)}))
        host_.redraw();
}

bool AreaEraseTool::stepBack()
{
    if (!armed_)
        return false;
    const bool shown = shownTo_.has_value();
    armed_ = false;
    from_.reset();
    shownTo_.reset();
    if (shown)
        host_.redraw();
    return true;
}
