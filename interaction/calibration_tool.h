#pragma once

#include <optional>
#include <string>

#include "interaction/log_tool.h"

// The calibration tools of the panel, in its order.
enum class CalibrationStep {
    AddDepthRow,
    DeleteDepthRows,
    HeaderTop,
    HeaderBottom,
    FooterTop,
    FooterBottom,
    LeftEdge,
    RightEdge,
};

// Calibrate mode. With "Add", each depth row is entered in four steps (its
// line, its depth through "Enter Depth", then where the dip scale's minimum
// and maximum lie on it) and becomes one action once complete; a custom dip
// scale is its positions clicked, then one action. "Delete" takes the depth
// rows near a press; the other tools set header, footer and edges. A marker
// follows the cursor where the next press of a sequence lands.
class CalibrationTool : public LogTool {
public:
    using LogTool::LogTool;

    void setStep(CalibrationStep step) { step_ = step; }
    CalibrationStep step() const { return step_; }

    // A custom dip scale, its positions still to be clicked.
    void startCustomScale(const DipScale& scale);
    bool enteringCustomScale() const { return custom_.has_value(); }
    // A depth row is being entered.
    bool enteringRow() const { return row_.has_value(); }

    void press(int button, double x, double y) override;
    void move(int buttons, double x, double y) override;
    void leave() override;
    void drawFigures() override;
    bool stepBack() override;
    bool canStepBack() const override
    {
        return (custom_ && !custom_->customSteps.empty()) || (row_ && !depthAsked_);
    }

    // "Enter Depth" OK with the text typed. False when the text is refused;
    // the dialog then stays up.
    bool depthEntered(const std::string& text);
    // "Enter Depth" closed without OK: the line placed for it goes.
    void depthCancelled();
    // Every unfinished sequence dropped (another log, the mode left).
    void reset();

private:
    struct PendingRow {
        double y = 0;
        std::optional<double> depth;
        std::optional<double> minDipX;
    };
    void add(double x, double y);
    void placeDepthLine(double y);
    void recordCustomPosition(double x);
    void deleteDepthRows(double y);
    void setMark(double x, double y);
    void prompt();
    // The marker the sequence awaits: a vertical one between top and bottom
    // (view rows), a line across the view, or none.
    struct Marker {
        bool vertical = false;
        bool horizontal = false;
        double top = 0;
        double bottom = 0;
    };
    Marker awaitedMarker() const;
    // In invert mode: drawn twice at the same place, it goes.
    void drawMarker(const Marker& marker, double at);
    void hideMarker();

    CalibrationStep step_ = CalibrationStep::AddDepthRow;
    std::optional<PendingRow> row_;
    std::optional<DipScale> custom_;
    bool depthAsked_ = false;
    std::optional<double> markerAt_;  // where the marker shown stands, view pixels
};
