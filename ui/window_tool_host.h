#pragma once

#include <functional>

#include "drawing/log_drawing.h"
#include "interaction/tool_host.h"
#include "session/work_session.h"
#include "ui/window_controls.h"

class EnterDipScales;
class LogArea;
class SetDepthForm;
class SetScaleForm;
class UserMessages;

// The window's side of the tools' interface: the session's work, the log
// area's view, the calibration dialogs, the readout and the messages.
class WindowToolHost : public ToolHost {
public:
    struct Parts {
        WorkSession& session;
        LogArea& area;
        const WindowControls& controls;
        EnterDipScales& prompt;
        SetDepthForm& depthForm;
        SetScaleForm& scaleForm;
        UserMessages& messages;
        const GradeColours& colours;
        std::function<void()> redraw;
        std::function<void(bool)> setWindowEnabled;
        std::function<std::optional<SnapTarget>(double, double, double)> snap;
        std::function<void(const QString&)> status;
    };
    explicit WindowToolHost(Parts parts) : p_(std::move(parts)) {}

    const Work& work() const override { return p_.session.work(); }
    const Calibration& calibration() const override { return p_.session.calibration(); }
    int pictureWidth() const override { return p_.session.picture().width(); }
    int pictureHeight() const override { return p_.session.picture().height(); }
    const Viewport& viewport() const override;
    DrawingSurface& surface() override;
    bool apply(const WorkEdit& edit) override;
    void redraw() override { p_.redraw(); }
    void showMessage(const std::string& title, const std::string& text) override;
    bool confirm(const std::string& title, const std::string& text) override;
    void showStatus(const std::string& text) override { p_.status(QString::fromStdString(text)); }
    void showPrompt(const std::string& text, std::optional<double> y) override;
    void hidePrompt() override;
    void askDepth(double y, std::optional<double> proposal) override;
    void showDefineDipScale() override;
    void setWindowEnabled(bool enabled) override { p_.setWindowEnabled(enabled); }
    void showReadout(const Readout& readout) override;
    std::optional<Rgb> gradeColour(const std::string& grade) const override;
    std::optional<SnapTarget> snapTarget(double x, double y, double reach) override { return p_.snap(x, y, reach); }

private:
    // The screen row of a picture row, for placing a prompt away from it.
    int screenRow(std::optional<double> y) const;

    Parts p_;
};
