#pragma once

#include <optional>
#include <string>

#include "drawing/drawing_surface.h"
#include "drawing/viewport.h"
#include "model/calibration.h"
#include "model/work_edits.h"

// What the tools on the log view need of the window: the work to read, the
// one way to change it, the view to draw on and the prompts to show. The
// window implements it; tests fake it. Positions are picture pixels unless
// named view positions.
class ToolHost {
public:
    virtual ~ToolHost() = default;

    virtual const Work& work() const = 0;
    virtual const Calibration& calibration() const = 0;
    virtual int pictureWidth() const = 0;
    virtual int pictureHeight() const = 0;
    virtual const Viewport& viewport() const = 0;
    virtual DrawingSurface& surface() = 0;

    // Carries out one action on the work, and the view shows the changed work
    // drawn anew (the tools' figures gone); false, with a message shown and
    // nothing drawn, when the work cannot take it.
    virtual bool apply(const WorkEdit& edit) = 0;
    // Everything drawn again: the overlay, the dips, then the tools' figures.
    virtual void redraw() = 0;

    // A message box with an exclamation icon and an OK button.
    virtual void showMessage(const std::string& title, const std::string& text) = 0;
    // A question answered Yes (true) or No.
    virtual bool confirm(const std::string& title, const std::string& text) = 0;
    // A line in the status bar, beside a message, saying what would help.
    virtual void showStatus(const std::string& /*text*/) {}
    // "Enter Dip Scales" with its prompt beside the row y (the top of the view
    // when there is none), or hidden.
    virtual void showPrompt(const std::string& text, std::optional<double> y) = 0;
    virtual void hidePrompt() = 0;
    // "Enter Depth" for a new depth line at y, with the depth it proposes.
    virtual void askDepth(double y, std::optional<double> proposal) = 0;
    // "Define Dip Scale", while the log has no dip scale.
    virtual void showDefineDipScale() = 0;
    // The window's controls and menus take input, or not.
    virtual void setWindowEnabled(bool enabled) = 0;

    // The readout of digitize mode: depth and dip under the cursor, the
    // azimuth of a tail being swung, and the grade of the next dip.
    struct Readout {
        std::string depth;
        std::string dip;
        std::string azimuth;
        std::string grade;
    };
    virtual void showReadout(const Readout& readout) = 0;

    // The colour of a grade "A" to "D"; nothing for any other text.
    virtual std::optional<Rgb> gradeColour(const std::string& grade) const = 0;

    // With "Snap to Tadpoles" on: the printed tadpole whose dot lies within
    // reach of (x, y), its centre and, where its tail is read, its azimuth.
    struct SnapTarget {
        double x = 0;
        double y = 0;
        std::optional<double> azimuth;
    };
    virtual std::optional<SnapTarget> snapTarget(double /*x*/, double /*y*/, double /*reach*/) { return std::nullopt; }
};
