#include "interaction/dip_delete_tool.h"

namespace {

constexpr double kReach = 8;  // view pixels

}  // namespace

void DipDeleteTool::press(int /*button*/, double x, double y)
{
    armed_ = false;
    const Viewport& v = host_.viewport();
    const auto nearest = dipNearest(host_.work(), v.toPictureX(x), v.toPictureY(y), kReach, v.zoom);
    if (!nearest)
        return;
    if (!host_.apply(DeleteDip{*nearest}))
        host_.redraw();
}

bool DipDeleteTool::stepBack()
{
    const bool was = armed_;
    armed_ = false;
    return was;
}
