#pragma once

#include "interaction/log_tool.h"

// "Delete Dip": once armed, the next press removes the dip whose centre lies
// nearest to it on screen, within 8 pixels; a press farther from every dip
// removes nothing. Either way the tool is then disarmed.
class DipDeleteTool : public LogTool {
public:
    using LogTool::LogTool;

    void arm() { armed_ = true; }
    bool armed() const { return armed_; }
    void press(int button, double x, double y) override;
    void move(int /*buttons*/, double /*x*/, double /*y*/) override {}
    bool stepBack() override;

private:
    bool armed_ = false;
};
