#pragma once

#include <functional>

#include "interaction/area_erase_tool.h"
#include "interaction/calibration_tool.h"
#include "interaction/digitize_tool.h"
#include "interaction/dip_delete_tool.h"
#include "interaction/proposal_review_tool.h"

enum class WorkMode { Digitize, Calibrate };

// The tools of the log view and which of them takes each event: an armed
// "Delete Dip" or "Area Erase" first, then in digitize mode a press on a
// proposal under review, then the tool of the mode.
class LogTools {
public:
    LogTools(ToolHost& host, FoundReview& review, std::function<void()> reviewChanged);

    void setMode(WorkMode mode) { mode_ = mode; }
    WorkMode mode() const { return mode_; }
    CalibrationTool& calibration() { return calibrate_; }
    DigitizeTool& digitize() { return digitize_; }
    AreaEraseTool& erase() { return erase_; }
    DipDeleteTool& deleteDip() { return delete_; }
    ProposalReviewTool& review() { return review_; }

    void press(int button, double x, double y);
    void move(int buttons, double x, double y);
    void release(int button, double x, double y);
    void leave();
    // After every redraw that cleared the view.
    void drawFigures();

    // "Area Erase" or "Delete Dip" armed, each disarming the other.
    void armErase();
    void armDelete();
    // An armed tool disarmed; false when none was armed.
    bool disarm();
    // The last unfinished step of the mode's tool taken back; false when it
    // had none.
    bool stepBack();
    bool canStepBack() const
    {
        return mode_ == WorkMode::Calibrate ? calibrate_.canStepBack() : digitize_.canStepBack();
    }
    // Every tool as at the start, for another log.
    void reset();

private:
    ToolHost& host_;
    WorkMode mode_ = WorkMode::Calibrate;
    CalibrationTool calibrate_;
    DigitizeTool digitize_;
    AreaEraseTool erase_;
    DipDeleteTool delete_;
    ProposalReviewTool review_;
};
