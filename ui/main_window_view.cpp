// The main window's view of the work: layout, redraw, zoom, the grid, the
// grades' colours, the magnifier, the statistics and "Go to Depth".
#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>

#include "model/calibration_rules.h"
#include "model/number_format.h"
#include "ui/bevel_bar.h"
#include "ui/common_dialog.h"
#include "ui/dip_statistics_window.h"
#include "ui/dip_table_panel.h"
#include "ui/log_area.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/view_rules.h"
#include "ui/window_placement.h"

namespace {

// The window's design, in pixels: bars above and below, the tool panel at
// the right, and the log with a margin round it inside its scroll bars.
constexpr int kBarHeight = 27;
constexpr int kPanelWidth = 75;
constexpr int kScrollBarThickness = 17;
constexpr int kMargin = 10;  // above and left of the log
constexpr int kGap = 9;      // between the log and its scroll bars

}  // namespace

void DigitizeWindow::createLayout()
{
    for (QWidget* bar : std::initializer_list<QWidget*>{controls_.topBar, controls_.bottomBar})
        bar->setFixedHeight(kBarHeight);
    controls_.toolPanel->setFixedWidth(kPanelWidth);
    area_->horizontalBar()->setFixedHeight(kScrollBarThickness);
    area_->verticalBar()->setFixedWidth(kScrollBarThickness);
    area_->corner()->setFixedSize(kScrollBarThickness, kScrollBarThickness);

    // Columns: margin, log, gap, vertical bar, panel; rows: top bar,
    // margin, log, gap, horizontal bar, bottom bar.
    auto* grid = new QGridLayout(centre_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->setColumnMinimumWidth(0, kMargin);
    grid->setColumnMinimumWidth(2, kGap);
    grid->setRowMinimumHeight(1, kMargin);
    grid->setRowMinimumHeight(3, kGap);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    grid->addWidget(controls_.topBar, 0, 0, 1, 5);
    grid->addWidget(area_->view(), 2, 1);
    grid->addWidget(area_->verticalBar(), 1, 3, 3, 1);
    grid->addWidget(controls_.toolPanel, 1, 4, 4, 1);
    grid->addWidget(area_->horizontalBar(), 4, 0, 1, 3);
    grid->addWidget(area_->corner(), 4, 3);
    grid->addWidget(controls_.bottomBar, 5, 0, 1, 5);
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
    if (dipTable_->isVisible()) {
        std::vector<SelectedDip> selected;
        for (const std::size_t i : dipTable_->selectedDips())
            if (i < work.dips.size())
                selected.push_back({work.dips[i].x, work.dips[i].y, kDipDotRadius});
        drawSelectedDips(viewport, surface, selected);
    }
    if (const auto& found = session_.foundCalibration()) {
        std::vector<DrawnMisread> misreads;
        for (const FoundCalibration::Misread& m : found->disagreeing)
            misreads.push_back({m.y, m.read, m.fits});
        drawFoundCalibration(viewport, surface, found->calibration.rows, misreads, session_.picture().width());
    }
    tools_->drawFigures();
    view.showChanges();
    if (magnifier_->isVisible())
        magnifier_->refresh(surface.image());
}

void DigitizeWindow::zoom(bool in)
{
    const QRect shown = area_->view()->contentsRect();
    zoomAbout(in, shown.width() / 2.0, shown.height() / 2.0);
}

void DigitizeWindow::zoomAbout(bool in, double x, double y)
{
    if (area_->zoomStepAbout(in, x, y))
        showZoom();
    redraw();
}

void DigitizeWindow::showZoom()
{
    controls_.zoomCaption->setText(QString::fromStdString(zoomCaption(area_->zoom()).value_or(
        QStringLiteral("%1%").arg(int(std::lround(area_->zoom() * 100))).toStdString())));
}

void DigitizeWindow::fitWidth()
{
    if (!session_.hasPicture())
        return;
    // The depth in the middle of the view stays there.
    area_->setZoomAboutMiddle(double(area_->view()->contentsRect().width()) / session_.picture().width());
    showZoom();
    redraw();
}

void DigitizeWindow::showKeysAndMouse()
{
    QStringList lines;
    for (const QAction* a : findChildren<QAction*>()) {
        if (a->shortcut().isEmpty())
            continue;
        QStringList keys;
        for (const QKeySequence& k : a->shortcuts()) {
            // As a user types it: "+ (keypad)", not Qt's "Num++".
            const QKeyCombination c = k[0];
            keys << (c.keyboardModifiers() & Qt::KeypadModifier
                         ? QKeySequence((c.keyboardModifiers() & ~Qt::KeypadModifier) | c.key())
                                   .toString(QKeySequence::NativeText)
                               + QStringLiteral(" (keypad)")
                         : k.toString(QKeySequence::NativeText));
        }
        const QString what = a->text().isEmpty() ? a->toolTip() : a->text();
        lines << QStringLiteral("%1: %2").arg(keys.join(QStringLiteral(", ")), QString(what).remove(QLatin1Char('&')));
    }
    lines.sort(Qt::CaseInsensitive);
    lines << QString()
          << QStringLiteral("Calibrate Log: press on a depth line, type its depth, then press the dip scale's minimum "
                            "and maximum on it.")
          << QStringLiteral("Digitize Dips: press on a tadpole's dot, swing the tail, press again; with Snap to "
                            "Tadpoles one press takes the printed tadpole.")
          << QStringLiteral("Under review: a press on a proposal keeps or drops it.")
          << QStringLiteral("Dip Table: Ctrl and a press on a dip selects its row; in the table, Delete removes the "
                            "selected dips and Ctrl+C copies them.")
          << QStringLiteral("Mouse wheel: scroll; Ctrl and the wheel: zoom.");
    messages_->showInfo(QStringLiteral("Keys and Mouse"), lines.join(QLatin1Char('\n')));
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
    const QString depths = QString::fromStdString(calibratedDepths(session_.work()));
    const auto typed = messages_->askText(
        title, depths.isEmpty() ? QStringLiteral("Depth:") : QStringLiteral("Depth (%1):").arg(depths));
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
                                        : QStringLiteral("The depth %1 lies outside the calibrated depths %2.")
                                              .arg(QString::fromStdString(formatPlain(depth)), depths));
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
    statistics_->setZone(zoneOfTable());
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
