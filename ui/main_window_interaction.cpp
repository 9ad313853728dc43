// What the mouse work on the log view asks of the main window, and the
// magnifier that follows it.
#include <cmath>

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "core/calibration_dialogs.h"
#include "core/number_format.h"
#include "drawing/redraw.h"
#include "interaction/picture_mouse.h"
#include "ui/dip_statistics_window.h"
#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/main_window.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/user_messages.h"
#include "ui/window_placement.h"

void DigitizeWindow::connectLogView()
{
    PictureMouse* mouse = mouse_.get();
    connect(picture1_, &LogView::mousePressed, this, [this, mouse](int button, int shift, double x, double y) {
        if (button == kLeftButton && toggleProposalAt(x, y))
            return;
        mouse->Picture1_MouseDown(button, shift, x, y);
    });
    connect(picture1_, &LogView::mouseMoved, this, [this, mouse](int buttons, int shift, double x, double y) {
        mouse->Picture1_MouseMove(buttons, shift, x, y);
        followWithMagnifier(x, y);
    });
    connect(picture1_, &LogView::mouseReleased, this,
            [mouse](int button, int shift, double x, double y) { mouse->Picture1_MouseUp(button, shift, x, y); });
    connect(picture1_, &LogView::doubleClicked, this, [mouse] { mouse->Picture1_DblClick(); });
    connect(picture1_, &LogView::mouseLeft, this, [this, mouse] {
        mouse->Picture1_MouseLeave();
        magnifier_->hide();
    });
    connect(picture1_, &LogView::wheelScrolled, this, &DigitizeWindow::wheelScroll);
    connect(picture1_, &LogView::wheelZoomed, this, [this](bool in) {
        if (command1_[in ? 0 : 1]->isEnabled())
            Command1_Click(in ? 0 : 1);
    });
}

int DigitizeWindow::screenRowOfNewestDepthLine() const
{
    const int rows = state_.NUMDEP;
    // The custom scale is clicked near the top of the view, where its marker runs.
    if (state_.AwaitCustomClick || rows < 1 || rows > kMaxDepthRows)
        return picture1_->mapToGlobal(QPoint(0, 0)).y();
    const double y = viewY(state_, state_.depths[rows].DEPTHTWIP) / state_.TwipsPerPixelY;
    return picture1_->mapToGlobal(QPoint(0, int(y))).y();
}

void DigitizeWindow::showDipScalePrompt(bool shown)
{
    if (!shown) {
        enterDipScl_->hide();
        return;
    }
    placeBesideLog(enterDipScl_, picture1_, screenRowOfNewestDepthLine());
    enterDipScl_->show();
}

void DigitizeWindow::setDipScalePrompt(const std::string& text)
{
    enterDipScl_->setPrompt(QString::fromStdString(text));
}

void DigitizeWindow::showEnterDepth(bool shown)
{
    if (!shown) {
        setdepthform_->hide();
        return;
    }
    const auto proposal = proposeDepth(state_);
    placeBesideLog(setdepthform_, picture1_, screenRowOfNewestDepthLine());
    setdepthform_->activate(proposal ? QString::fromStdString(formatPlain(*proposal)) : QString());
}

void DigitizeWindow::showDefineDipScale()
{
    setscaleform_->show();
    setscaleform_->raise();
    setscaleform_->activateWindow();
}

void DigitizeWindow::setMainWindowEnabled(bool enabled)
{
    centre_->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
}

void DigitizeWindow::showMessage(const std::string& title, const std::string& text)
{
    messages_->showError(QString::fromStdString(title), QString::fromStdString(text));
}

void DigitizeWindow::setReadout(int label, const std::string& text)
{
    if (label >= 1 && label <= int(readout_.size()))
        readout_[std::size_t(label - 1)]->setText(QString::fromStdString(text));
}

void DigitizeWindow::showReadout(int label, bool shown)
{
    if (label >= 1 && label <= int(readout_.size()))
        readout_[std::size_t(label - 1)]->setVisible(shown);
}

void DigitizeWindow::enableSaveProjectAs() { mnusavecal_->setEnabled(true); }

void DigitizeWindow::mnumagnifier_Click()
{
    if (!mnumagnifier_->isChecked())
        magnifier_->hide();
}

void DigitizeWindow::followWithMagnifier(double x, double y)
{
    if (!mnumagnifier_->isChecked())
        return;
    // The surface pixel a press at (x, y) would take.
    const QPoint pixel(int(std::lround(x / state_.TwipsPerPixelX)), int(std::lround(y / state_.TwipsPerPixelY)));
    const QPoint cursor = picture1_->mapToGlobal(picture1_->contentsRect().topLeft() + pixel);
    magnifier_->follow(picture1_->surface().image(), pixel, cursor);
}

void DigitizeWindow::mnustatistics_Click()
{
    if (!statistics_->isVisible()) {
        statistics_->resize(statistics_->sizeHint().expandedTo(QSize(720, 460)));
        placeBesideLog(statistics_, picture1_, picture1_->mapToGlobal(QPoint(0, picture1_->height() / 2)).y());
    }
    statistics_->refresh();
    statistics_->show();
    statistics_->raise();
}

void DigitizeWindow::refreshStatistics()
{
    if (statistics_->isVisible())
        statistics_->refresh();
}
