#pragma once

#include "interaction/picture_tool.h"

// Digitize mode: the first press places a dip's centre (depth and dip), moves
// swing a rubber tail round it and show the azimuth, the second press fixes
// the tail with the azimuth and the grade of that moment.
class DigitizeTool : public PictureTool {
public:
    using PictureTool::PictureTool;

    void press(int button, double x, double y) override;
    void move(int buttons, double x, double y) override;

    // After a redraw cleared the log view: the pending dip's guide circle
    // again, at the dip's place under the new view; the next move draws a
    // fresh tail from there.
    void afterRedraw();

private:
    void startDip(double x, double y, const StartDip& dip);
    void finishDip();
    void swingTail(double x, double y);
};
