#pragma once

#include <optional>

#include "interaction/log_tool.h"

// "Area Erase": once armed, a drag with the left button marks a band of
// heights across the whole picture, and its release erases every dip in it
// as one action.
class AreaEraseTool : public LogTool {
public:
    using LogTool::LogTool;

    void arm();
    bool armed() const { return armed_; }
    void press(int button, double x, double y) override;
    void move(int buttons, double x, double y) override;
    void release(int button, double x, double y) override;
    void drawFigures() override { shownTo_.reset(); }
    // Disarmed, its band gone.
    bool stepBack() override;

private:
    bool armed_ = false;
    std::optional<double> from_;    // view row of the press
    std::optional<double> shownTo_;  // the band's other edge while it is shown
};
