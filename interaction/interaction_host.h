#pragma once

#include <optional>
#include <string>

#include "core/work_edits.h"

// What the mouse work on the log view needs of the main window. The window
// implements it; tests fake it.
class InteractionHost {
public:
    virtual ~InteractionHost() = default;

    // Carries out one action on the work (the only way the work changes).
    virtual void apply(const WorkEdit& edit) = 0;

    // The full redraw (the overlay, then the dip plot) and the overlay alone.
    // Both clear the log view; afterwards the window calls
    // PictureMouse::afterRedraw so that a pending dip's guide circle shows.
    virtual void redraw() = 0;
    virtual void redrawOverlay() = 0;

    // "Enter Dip Scales": shown or hidden, and its prompt.
    virtual void showDipScalePrompt(bool shown) = 0;
    virtual void setDipScalePrompt(const std::string& text) = 0;

    // "Enter Depth" for the newest depth row, or hidden again.
    virtual void showEnterDepth(bool shown) = 0;
    // "Define Dip Scale", while no dip scale is defined.
    virtual void showDefineDipScale() = 0;

    // The main window's controls and menus take input, or not.
    virtual void setMainWindowEnabled(bool enabled) = 0;

    // A message box with an exclamation icon and an OK button.
    virtual void showMessage(const std::string& title, const std::string& text) = 0;

    // The readout labels Label1 to Label8: text and visibility.
    virtual void setReadout(int label, const std::string& text) = 0;
    virtual void showReadout(int label, bool shown) = 0;

    // "Save Project As" becomes usable.
    virtual void enableSaveProjectAs() = 0;

    // With "Snap to Tadpoles" on: the printed tadpole whose dot lies within
    // reach of an image position, its centre and, where its tail is read,
    // its azimuth. Image twips; nothing with snap off or no dot there.
    struct SnapTarget {
        double x = 0;
        double y = 0;
        std::optional<double> azimuth;
    };
    virtual std::optional<SnapTarget> snapTarget(double /*x*/, double /*y*/, double /*reach*/) { return std::nullopt; }
};
