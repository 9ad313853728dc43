// The main window's view of the work: layout, redraw, zoom, the grid, the
// grades' colours, the magnifier, the statistics and "Go to Depth".
#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QScrollBar>

#include "model/number_format.h"
#include "ui/bevel_bar.h"
#include "ui/common_dialog.h"
#include "ui/dip_statistics_window.h"
#include "ui/log_area.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/view_rules.h"
#include "ui/window_placement.h"

namespace {

// Sizes of the window's design, in its units (15 to a pixel).
constexpr double kBarHeight = 405;    // the top and bottom bars
constexpr double kPanelWidth = 1125;  // the tool panel
constexpr double kScrollBarThickness = 255;
constexpr double kCornerBox = 255;

int pixels(double units) { return int(std::lround(units / kDesignUnitsPerPixel)); }

}  // namespace

void DigitizeWindow::layoutWindow()
{
    if (!isMinimized()) {
        const double px = kDesignUnitsPerPixel;
        const double W = centre_->width() * px, H = centre_->height() * px;
        const double h2 = kBarHeight, h3 = kBarHeight;
        auto place = [](QWidget* w, double left, double top, double width, double height) {
            w->setGeometry(pixels(left), pixels(top), std::max(1, pixels(width)), std::max(1, pixels(height)));
        };
        QScrollBar* hBar = area_->horizontalBar();
        QScrollBar* vBar = area_->verticalBar();
        place(controls_.topBar, 0, 0, W, h3);
        place(controls_.bottomBar, 0, H - h2, W, h2);
        place(controls_.toolPanel, W - kPanelWidth, h3, kPanelWidth, H - h2 - h3);
        place(hBar, -px, H - 245 - h2, W - 210 - kPanelWidth, kScrollBarThickness);
        const double vHeight = H - 255 + 3 * px > 240 ? H - 255 + 3 * px - h2 - h3 : vBar->height() * px;
        place(vBar, W - 245 - kPanelWidth, 405 - px, kScrollBarThickness, vHeight);
        place(area_->corner(), W - 230 - kPanelWidth, H - 230 - h2, kCornerBox, kCornerBox);
        place(area_->view(), 150, h3 + 150, W - 230 - kPanelWidth - 300, H - 230 - h2 - h3 - 300);
        area_->view()->fitSurface();
        area_->corner()->raise();
        area_->layoutRanges();
        for (QWidget* w : {static_cast<QWidget*>(hBar), static_cast<QWidget*>(vBar), area_->corner()})
            w->setVisible(true);
    }
    redraw();
}

void DigitizeWindow::redraw()
{
    LogView& view = logView();
    QtSurface& surface = view.surface();
    if (!session_.hasPicture()) {
        view.showChanges();
        return;
    }
    const Work& work = session_.work();
    const Viewport& viewport = view.viewport();
    drawOverlay(work, viewport, session_.picture().width(), surface);
    const Rgb colour = colours_[std::size_t(std::max(0, gradeIndex(tools_->digitize().grade())))];
    drawDips(work, viewport, colours_, colour, surface, controls_.grid->isChecked());
    if (!session_.found().empty())
        drawProposals(viewport, surface, session_.found().proposals(), session_.found().current());
    tools_->drawFigures();
    view.showChanges();
    if (magnifier_->isVisible())
        magnifier_->refresh(surface.image());
}

void DigitizeWindow::zoom(bool in)
{
    if (area_->zoomStep(in)) {
        if (const auto caption = zoomCaption(area_->zoom()))
            controls_.zoomCaption->setText(QString::fromStdString(*caption));
        area_->layoutRanges();
    }
    redraw();
}

bool DigitizeWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The log's area follows the central part, which a docked panel narrows
    // as well as the window's own size.
    if (watched == centre_ && event->type() == QEvent::Resize)
        layoutWindow();
    return QMainWindow::eventFilter(watched, event);
}

void DigitizeWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layoutWindow();
}

void DigitizeWindow::showGrid(bool shown)
{
    controls_.grid->setChecked(shown);
    actions_.grid->setChecked(shown);
    redraw();
}

void DigitizeWindow::chooseGradeColour(int grade)
{
    Rgb& colour = colours_[std::size_t(grade)];
    CommonDialog& d = *dialog_;
    d.Flags = CommonDialog::kInitialColour;
    d.Color = QColor(colour.r, colour.g, colour.b);
    if (!d.ShowColor())
        return;
    colour = Rgb{std::uint8_t(d.Color.red()), std::uint8_t(d.Color.green()), std::uint8_t(d.Color.blue())};
    settings::setGradeColour(grade, colour);
    QLabel* swatch = controls_.gradeSwatches[std::size_t(grade)];
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, d.Color);
    swatch->setPalette(palette);
    redraw();
    if (statistics_->isVisible())
        statistics_->refresh();
}

void DigitizeWindow::goToDepth()
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
    const auto y = session_.calibration().rowOf(depth);
    if (!y) {
        messages_->showError(title, session_.work().depthRows.size() < 2
                                        ? QStringLiteral("The log has no depth calibration yet.")
                                        : QStringLiteral("The depth %1 lies outside the calibrated part of the log.")
                                              .arg(QString::fromStdString(formatPlain(depth))));
        return;
    }
    area_->centreRow(*y);
}

void DigitizeWindow::showStatistics()
{
    if (!statistics_->isVisible()) {
        statistics_->resize(statistics_->sizeHint().expandedTo(QSize(720, 460)));
        placeBesideLog(statistics_, area_->view(), area_->view()->mapToGlobal(QPoint(0, area_->view()->height() / 2)).y());
    }
    statistics_->refresh();
    statistics_->show();
    statistics_->raise();
}

void DigitizeWindow::followWithMagnifier(double x, double y)
{
    if (!actions_.magnifier->isChecked())
        return;
    // The surface pixel a press at (x, y) would take.
    const QPoint pixel(int(std::lround(x)), int(std::lround(y)));
    LogView* view = area_->view();
    const QPoint cursor = view->mapToGlobal(view->contentsRect().topLeft() + pixel);
    magnifier_->follow(view->surface().image(), pixel, cursor);
}
