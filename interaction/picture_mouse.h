#pragma once

#include <array>
#include <string>

#include "interaction/area_erase_tool.h"
#include "interaction/calibration_tool.h"
#include "interaction/digitize_tool.h"
#include "interaction/dip_delete_tool.h"

// The mouse on the log view (Picture1) and the controls that steer it. Each
// event goes to the tools in a fixed precedence: an armed area erase first,
// then calibrate mode or digitize mode. Positions are picture-box twips.
class PictureMouse {
public:
    PictureMouse(ProjectState& state, DrawingSurface& surface, InteractionHost& host);

    void Picture1_MouseDown(int button, int shift, double x, double y);
    void Picture1_MouseMove(int buttons, int shift, double x, double y);
    void Picture1_MouseUp(int button, int shift, double x, double y);
    // The second press of a double click arrives only as this.
    void Picture1_DblClick();
    // The cursor left the log view: a calibration marker following it goes.
    void Picture1_MouseLeave();

    // The quality buttons A to D: which of them is selected now.
    void Option1_Click(const std::array<bool, 4>& selected);
    // The calibration tools 0 to 7.
    void Option2_Click(int index);
    // "Area Erase" chosen, and the erase it arms.
    void mnuerase_Click();
    void perasepoints();
    // "Delete Dip" chosen: the next press removes one dip.
    void mnudeletedip_Click();

    // Escape: an armed "Delete Dip" or "Area Erase" is disarmed (true), or
    // nothing was armed (false).
    bool disarm();
    // The dip awaiting its tail leaves the table.
    void removePendingDip();

    // "Enter Depth" OK (false: the text is refused and the dialog stays up)
    // and "Enter Depth" closed without OK.
    bool setdepthform_Command1_Click(const std::string& text);
    void setdepthform_Closed();

    // To be called after every redraw that cleared the log view: no rubber
    // figure is shown any more, but a pending dip's guide circle is drawn again.
    void afterRedraw();

private:
    PictureContext c_;
    DigitizeTool digitize_;
    CalibrationTool calibrate_;
    AreaEraseTool erase_;
    DipDeleteTool delete_;
};
