#pragma once

#include <optional>
#include <string>
#include <utility>

#include "interaction/log_tool.h"

// Digitize mode: the first press places a dip's centre, moves swing a rubber
// tail round it and show the azimuth, the second press fixes the tail with
// the grade of that moment and adds the dip as one action. With snap on, a
// first press near a printed tadpole takes its centre and, where its tail is
// read, the whole dip at once. The readout follows the cursor.
class DigitizeTool : public LogTool {
public:
    using LogTool::LogTool;

    // The grade of the next dip, "A" to "D".
    void setGrade(std::string grade) { grade_ = std::move(grade); }
    const std::string& grade() const { return grade_; }
    bool awaitingTail() const { return pending_.has_value(); }
    // Where the dip awaiting its tail lies, picture pixels.
    std::optional<std::pair<double, double>> dipAwaitingTail() const
    {
        return pending_ ? std::optional(std::pair(pending_->x, pending_->y)) : std::nullopt;
    }

    void press(int button, double x, double y) override;
    void move(int buttons, double x, double y) override;
    // The dip awaiting its tail, at its place under the view of the moment;
    // its tail is swung afresh from there.
    void drawFigures() override;
    // The dip awaiting its tail goes.
    bool stepBack() override;
    bool canStepBack() const override { return pending_.has_value(); }
    // The same without a redraw, for another log.
    void reset();

private:
    struct PendingDip {
        double x = 0;  // picture pixels
        double y = 0;
        Rgb colour;
    };
    void start(double x, double y);
    void finish(double azimuth);
    void drawPending();
    void swingTail(double x, double y);
    void showReadout(double x, double y);
    Rgb colour() const;

    std::string grade_ = "A";
    std::optional<PendingDip> pending_;
    double azimuth_ = 90;
    // The rubber tail's end while it is shown, view pixels.
    std::optional<std::pair<double, double>> tailEnd_;
};
