#pragma once

#include "interaction/picture_tool.h"

// "Delete Dip": once armed, the next press removes the dip whose centre lies
// nearest to it on screen, within 8 pixels; a press farther from every dip
// removes nothing. Either way the tool is then disarmed.
class DipDeleteTool : public PictureTool {
public:
    using PictureTool::PictureTool;

    void arm();
    void press(int button, double x, double y) override;
    void move(int /*buttons*/, double /*x*/, double /*y*/) override {}
};
