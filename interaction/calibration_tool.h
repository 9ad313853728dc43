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

    // The marker shown goes, as when the cursor leaves the log view.
    void hideMarker();

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
    // The marker the calibration sequence awaits: a vertical one from top to
    // bottom (picture-box twips) or a line across the view, or none.
    struct Marker {
        bool vertical = false;
        bool horizontal = false;
        double top = 0;
        double bottom = 0;
    };
    Marker awaitedMarker() const;
    // In invert mode: drawn twice at the same place, it goes.
    void drawMarker(const Marker& marker, double at);
    void markers(double x, double y);
};
