#include "interaction/dip_delete_tool.h"

#include <utility>

#include "drawing/redraw.h"

namespace {

constexpr double kReachPixels = 8;

}  // namespace

void DipDeleteTool::arm()
{
    c_.state.interaction.DeleteArmed = true;
    c_.state.interaction.EraseArmed = false;
}

void DipDeleteTool::press(int /*button*/, double x, double y)
{
    ProjectState& st = c_.state;
    st.interaction.DeleteArmed = false;
    if (st.NumPoints < 1 || st.NumPoints > kMaxDips)
        return;
    const double px = st.TwipsPerPixelX, py = st.TwipsPerPixelY;
    const auto& dips = std::as_const(st.dips);
    int nearest = 0;
    double best = kReachPixels * kReachPixels;
    for (int i = 1; i <= st.NumPoints; ++i) {
        const double dx = (viewX(st, dips[i].DIPPIX) - x) / px;
        const double dy = (viewY(st, dips[i].YPIX) - y) / py;
        const double squared = dx * dx + dy * dy;
        if (squared <= best && (nearest == 0 || squared < best)) {
            nearest = i;
            best = squared;
        }
    }
    if (nearest == 0)
        return;
    c_.host.apply(DeleteDip{nearest});
    c_.host.redraw();
}
