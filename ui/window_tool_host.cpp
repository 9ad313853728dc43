#include "ui/window_tool_host.h"

#include <QLabel>

#include "model/number_format.h"
#include "ui/enter_dip_scales.h"
#include "ui/log_area.h"
#include "ui/log_view.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/user_messages.h"
#include "ui/window_placement.h"

const Viewport& WindowToolHost::viewport() const { return p_.area.view()->viewport(); }

DrawingSurface& WindowToolHost::surface() { return p_.area.view()->surface(); }

bool WindowToolHost::apply(const WorkEdit& edit)
{
    QString error;
    if (p_.session.apply(edit, error))
        return true;
    p_.messages.showError(QString::fromStdString(editName(edit)), error);
    return false;
}

void WindowToolHost::showMessage(const std::string& title, const std::string& text)
{
    p_.messages.showError(QString::fromStdString(title), QString::fromStdString(text));
}

bool WindowToolHost::confirm(const std::string& title, const std::string& text)
{
    return p_.messages.askYesNo(QString::fromStdString(title), QString::fromStdString(text));
}

int WindowToolHost::screenRow(std::optional<double> y) const
{
    const LogView* view = p_.area.view();
    // The custom scale is clicked near the top of the view, where its marker runs.
    const double row = y ? view->viewport().toViewY(*y) : 0;
    return view->mapToGlobal(view->contentsRect().topLeft() + QPoint(0, int(row))).y();
}

void WindowToolHost::showPrompt(const std::string& text, std::optional<double> y)
{
    p_.prompt.setPrompt(QString::fromStdString(text));
    placeBesideLog(&p_.prompt, p_.area.view(), screenRow(y));
    p_.prompt.show();
}

void WindowToolHost::hidePrompt() { p_.prompt.hide(); }

void WindowToolHost::askDepth(double y, std::optional<double> proposal)
{
    placeBesideLog(&p_.depthForm, p_.area.view(), screenRow(y));
    p_.depthForm.activate(proposal ? QString::fromStdString(formatPlain(*proposal)) : QString());
}

void WindowToolHost::showDefineDipScale()
{
    placeScaleForm(p_.scaleForm, *p_.area.view());
    p_.scaleForm.show();
    p_.scaleForm.raise();
    p_.scaleForm.activateWindow();
}

void WindowToolHost::showReadout(const Readout& r)
{
    const WindowControls& c = p_.controls;
    const std::string values[] = {r.depth, r.dip, r.azimuth, r.grade};
    for (std::size_t i = 0; i < 4; ++i)
        c.readoutValues[i]->setText(QString::fromStdString(values[i]));
    // Depth, dip and the azimuth's caption always; its value while a tail swings.
    for (std::size_t i = 0; i < 3; ++i)
        c.readoutCaptions[i]->setVisible(true);
    c.readoutValues[0]->setVisible(true);
    c.readoutValues[1]->setVisible(true);
    if (!r.azimuth.empty())
        c.readoutValues[2]->setVisible(true);
}

std::optional<Rgb> WindowToolHost::gradeColour(const std::string& grade) const
{
    const int index = gradeIndex(grade);
    if (index < 0)
        return std::nullopt;
    return p_.colours[std::size_t(index)];
}
