#include "interaction/picture_mouse.h"

namespace {

enum WorkMode { kDigitize = 0, kCalibrate = 1 };

}  // namespace

PictureMouse::PictureMouse(ProjectState& state, DrawingSurface& surface, InteractionHost& host)
    : c_{state, surface, host}, digitize_(c_), calibrate_(c_), erase_(c_), delete_(c_)
{
}

void PictureMouse::Picture1_MouseDown(int button, int /*shift*/, double x, double y)
{
    ProjectState& st = c_.state;
    st.interaction.LastMarkX = -1;
    st.interaction.LastMarkY = -2;
    if (st.interaction.DeleteArmed) {
        delete_.press(button, x, y);  // the one press it was armed for
        return;
    }
    if (st.interaction.EraseArmed)
        erase_.press(button, x, y);
    if (st.WorkMode == kCalibrate)
        calibrate_.press(button, x, y);
    else if (st.WorkMode == kDigitize && !st.interaction.EraseArmed)
        digitize_.press(button, x, y);
}

void PictureMouse::Picture1_MouseMove(int buttons, int /*shift*/, double x, double y)
{
    ProjectState& st = c_.state;
    if (st.interaction.EraseArmed)
        erase_.move(buttons, x, y);
    if (st.WorkMode == kCalibrate) {
        if (st.DipScaleDefined)
            calibrate_.move(buttons, x, y);
    } else if (st.WorkMode == kDigitize && !st.interaction.EraseArmed) {
        digitize_.move(buttons, x, y);
    }
}

void PictureMouse::Picture1_MouseUp(int button, int /*shift*/, double x, double y)
{
    if (c_.state.interaction.EraseArmed)
        erase_.release(button, x, y);
}

void PictureMouse::Picture1_DblClick()
{
    c_.state.interaction.LastMarkX = -1;
    c_.state.interaction.LastMarkY = -1;
}

void PictureMouse::Picture1_MouseLeave()
{
    if (c_.state.WorkMode == kCalibrate && c_.state.DipScaleDefined)
        calibrate_.hideMarker();
}

void PictureMouse::Option1_Click(const std::array<bool, 4>& selected)
{
    // "A" is what remains when none of the other three is selected.
    std::string& quality = c_.state.CurrentQuality;
    quality.assign(1, 'A');
    for (int i = 1; i < 4; ++i)
        if (selected[std::size_t(i)])
            quality.assign(1, static_cast<char>('A' + i));
}

void PictureMouse::Option2_Click(int index) { c_.state.CalTool = static_cast<std::int16_t>(index); }

void PictureMouse::mnuerase_Click() { erase_.arm(); }

void PictureMouse::perasepoints() { erase_.erase(); }

void PictureMouse::mnudeletedip_Click() { delete_.arm(); }

bool PictureMouse::disarm()
{
    PictureInteraction& in = c_.state.interaction;
    if (!in.DeleteArmed && !in.EraseArmed)
        return false;
    const bool bandShown = in.EraseArmed && in.EraseBandShown != 0;
    in.DeleteArmed = in.EraseArmed = false;
    if (bandShown)
        c_.host.redraw();
    return true;
}

void PictureMouse::removePendingDip()
{
    const PictureInteraction& in = c_.state.interaction;
    if (!in.AwaitingAzimuth || in.PendingRow < 1 || in.PendingRow > c_.state.NumPoints)
        return;
    c_.host.apply(DeleteDip{in.PendingRow});
    c_.host.redraw();
}

bool PictureMouse::setdepthform_Command1_Click(const std::string& text) { return calibrate_.enterDepthAccepted(text); }

void PictureMouse::setdepthform_Closed() { calibrate_.enterDepthClosed(); }

void PictureMouse::afterRedraw()
{
    PictureInteraction& in = c_.state.interaction;
    in.LastMarkX = -1;
    in.LastMarkY = -2;
    in.EraseBandShown = 0;
    digitize_.afterRedraw();
}
