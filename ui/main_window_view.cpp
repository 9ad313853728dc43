// The view of the main window: zoom, scrolling, layout and redraw.
#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>

#include "drawing/proposal_plot.h"
#include "drawing/redraw.h"
#include "interaction/picture_mouse.h"
#include "ui/bevel_bar.h"
#include "core/dipdigitize.h"
#include "core/number_format.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/main_window.h"
#include "ui/user_messages.h"
#include "ui/view_rules.h"

namespace {

// Fixed sizes of the window's design, in twips.
constexpr double kBarHeight = 405;    // Picture2 and Picture3
constexpr double kPanelWidth = 1125;  // Picture5
constexpr double kScrollBarThickness = 255;
constexpr double kCornerBox = 255;    // Picture4

}  // namespace

void DigitizeWindow::redraw()
{
    replot2();
    PP();
    if (!found_.empty()) {
        drawProposals(state_, picture1_->surface(), found_.proposals(), found_.current());
        picture1_->showChanges();
    }
    mouse_->afterRedraw();
    picture1_->showChanges();
    followDigitizingPossible();
    if (magnifier_->isVisible())
        magnifier_->refresh(picture1_->surface().image());
}

void DigitizeWindow::redrawOverlay()
{
    replot2();
    mouse_->afterRedraw();
    picture1_->showChanges();
}

void DigitizeWindow::replot2()
{
    if (::replot2(state_, picture1_->surface()))
        check1_->setEnabled(true);
    picture1_->showChanges();
}

void DigitizeWindow::PP()
{
    ::PP(state_, picture1_->surface(), mnugrid_->isChecked());
    picture1_->showChanges();
}

void DigitizeWindow::Command1_Click(int index)
{
    const double factor = zoomAfterButton(index, state_.ZoomFactor);
    if (factor != state_.ZoomFactor) {
        state_.ZoomFactor = factor;
        if (const auto caption = zoomCaption(factor))
            label60_->setText(QString::fromStdString(*caption));
    }
    redraw();
}

void DigitizeWindow::ScrollBars_Change()
{
    state_.VScrollValue = static_cast<std::int16_t>(vScroll1_->value());
    state_.HScrollValue = static_cast<std::int16_t>(hScroll1_->value());
    redraw();
}

void DigitizeWindow::wheelScroll(double notches, bool horizontal)
{
    QScrollBar* bar = horizontal ? hScroll1_ : vScroll1_;
    if (!bar->isVisible() || !bar->isEnabled())
        return;
    const int steps = int(std::lround(notches * bar->singleStep()));
    bar->setValue(std::clamp(bar->value() - steps, bar->minimum(), bar->maximum()));
}

void DigitizeWindow::Form_Resize()
{
    if (!isMinimized()) {
        const double px = state_.TwipsPerPixelX, py = state_.TwipsPerPixelY;
        const double W = centre_->width() * px, H = centre_->height() * py;
        const double h2 = kBarHeight, h3 = kBarHeight;
        auto place = [this](QWidget* w, double left, double top, double width, double height) {
            w->setGeometry(toPixelsX(left), toPixelsY(top), std::max(1, toPixelsX(width)), std::max(1, toPixelsY(height)));
        };
        place(picture3_, 0, 0, W, h3);
        place(picture2_, 0, H - h2, W, h2);
        place(picture5_, W - kPanelWidth, h3, kPanelWidth, H - h2 - h3);
        place(hScroll1_, -px, H - 245 - h2, W - 210 - kPanelWidth, kScrollBarThickness);
        const double vHeight = H - 255 + 3 * py > 240 ? H - 255 + 3 * py - h2 - h3 : vScroll1_->height() * py;
        place(vScroll1_, W - 245 - kPanelWidth, 405 - py, kScrollBarThickness, vHeight);
        place(picture4_, W - 230 - kPanelWidth, H - 230 - h2, kCornerBox, kCornerBox);
        place(picture1_, 150, h3 + 150, W - 230 - kPanelWidth - 300, H - 230 - h2 - h3 - 300);
        picture1_->fitSurface();
        picture4_->raise();
        layoutScrollRanges();
        hScroll1_->setVisible(true);
        vScroll1_->setVisible(true);
        picture4_->setVisible(true);
    }
    if (!picture6_.isNull())
        redraw();
    else
        PP();
}

void DigitizeWindow::layoutScrollRanges()
{
    if (state_.IMAGEWIDTH == 0)
        state_.IMAGEWIDTH = 1;
    if (state_.IMAGEHEIGHT == 0)
        state_.IMAGEHEIGHT = 1;
    const QSize inner = picture1_->contentsRect().size();
    const ScrollSettings h = horizontalScroll(state_.TwipsPerPixelX, state_.IMAGEWIDTH, inner.width() * state_.TwipsPerPixelX);
    const ScrollSettings v = verticalScroll(state_.TwipsPerPixelY, state_.IMAGEHEIGHT, inner.height() * state_.TwipsPerPixelY);
    state_.HScrollUnit = h.unit;
    state_.VScrollUnit = v.unit;
    const std::pair<QScrollBar*, const ScrollSettings*> bars[] = {{hScroll1_, &h}, {vScroll1_, &v}};
    for (const auto& [bar, s] : bars) {
        // A position beyond a smaller maximum is clamped; the layout redraws
        // once at its end, so the clamp must not redraw on its own.
        const QSignalBlocker quiet(bar);
        bar->setMaximum(s->maximum);
        bar->setPageStep(s->largeChange);
        bar->setSingleStep(s->smallChange);
    }
    state_.HScrollValue = static_cast<std::int16_t>(hScroll1_->value());
    state_.VScrollValue = static_cast<std::int16_t>(vScroll1_->value());
}

bool DigitizeWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The log's area follows the central part, which a docked panel narrows
    // as well as the window's own size.
    if (watched == centre_ && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void DigitizeWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void DigitizeWindow::mnugotodepth_Click()
{
    const QString title = QStringLiteral("Go to Depth");
    const auto typed = messages_->askText(title, QStringLiteral("Depth:"));
    if (!typed)
        return;
    double depth = 0;
    if (!parseDecimal(typed->trimmed().toStdString(), depth) || !std::isfinite(depth)) {
        messages_->showError(title, QStringLiteral("\"%1\" is not a depth.").arg(*typed));
        return;
    }
    const auto y = depthToImageY(state_, depth);
    if (!y) {
        messages_->showError(title, state_.NUMDEP < 2 ? QStringLiteral("The log has no depth calibration yet.")
                                                     : QStringLiteral("The depth %1 lies outside the calibrated "
                                                                      "part of the log.")
                                                           .arg(QString::fromStdString(formatPlain(depth))));
        return;
    }
    // The depth at the middle of the view, as near as the scroll steps allow.
    const double viewTwips = picture1_->contentsRect().height() * state_.TwipsPerPixelY;
    const double top = *y - viewTwips / 2 / state_.ZoomFactor;
    vScroll1_->setValue(std::clamp(int(std::lround(top / state_.VScrollUnit)), vScroll1_->minimum(),
                                   vScroll1_->maximum()));
}
