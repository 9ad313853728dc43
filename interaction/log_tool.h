#pragma once

#include "interaction/tool_host.h"

// Buttons as the log view reports them; a move reports those held, or-ed.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// One way of working with the mouse on the log view. A tool keeps its own
// state between events, changes the work only through its host, and draws
// its own figures: rubber ones as the mouse moves, and what it holds again
// after every redraw. Positions are view pixels.
class LogTool {
public:
    explicit LogTool(ToolHost& host) : host_(host) {}
    virtual ~LogTool() = default;
    LogTool(const LogTool&) = delete;
    LogTool& operator=(const LogTool&) = delete;

    virtual void press(int button, double x, double y) = 0;
    virtual void move(int buttons, double x, double y) = 0;
    virtual void release(int /*button*/, double /*x*/, double /*y*/) {}
    // The cursor left the view.
    virtual void leave() {}
    // After a redraw cleared the view: the tool's figures again.
    virtual void drawFigures() {}
    // Escape or undo: the tool's last unfinished step taken back. False when
    // it had none.
    virtual bool stepBack() { return false; }
    // Whether stepBack would take something back.
    virtual bool canStepBack() const { return false; }

protected:
    ToolHost& host_;
};
