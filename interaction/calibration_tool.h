#pragma once

#include <string>

#include "interaction/picture_tool.h"

// Calibrate mode: the tool chosen with Option2 acts on each press (depth
// lines with their dip-scale ends and the custom scale's positions, deleting
// depth lines, header, footer and edges), and a marker shows where the next
// press of the sequence lands. "Enter Depth" takes each new line's depth.
class CalibrationTool : public PictureTool {
public:
    using PictureTool::PictureTool;

    void press(int button, double x, double y) override;
    void move(int buttons, double x, double y) override;

    // "Enter Depth" OK with the text typed. False when the text is refused;
    // the dialog then stays up.
    bool enterDepthAccepted(const std::string& text);
    // "Enter Depth" closed without OK: the line placed for it is withdrawn.
    void enterDepthClosed();

private:
    void add(double x, double y);
    void placeDepthLine(double y);
    void recordCustomPosition(double x);
    void deleteDepthRows(double y);
    void setMark(int tool, double x, double y);
    void verticalMarker(double x, double top, double bottom);
    void horizontalMarker(double y);
};
