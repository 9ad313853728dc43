#include "ui/main_window.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "session/dip_table_model.h"
#include "session/tadpole_search.h"
#include "ui/about_box.h"
#include "ui/calibration_commands.h"
#include "ui/dip_statistics_window.h"
#include "ui/dip_table_panel.h"
#include "ui/enter_dip_scales.h"
#include "ui/file_commands.h"
#include "ui/found_calibration_panel.h"
#include "ui/found_tadpoles_panel.h"
#include "ui/log_area.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/program_settings.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/tadpole_commands.h"
#include "ui/well_details_dialog.h"
#include "ui/window_tool_host.h"
#include "ui/work_recovery.h"

namespace {

constexpr int kStatusMilliseconds = 15000;
// Of the screen's room, the first window's.
constexpr double kFirstWindowShare = 0.8;

}  // namespace

DigitizeWindow::DigitizeWindow(std::unique_ptr<CommonDialog> dialog, std::unique_ptr<UserMessages> messages)
    : dialog_(dialog ? std::move(dialog) : std::make_unique<CommonDialog>(this)),
      messages_(messages ? std::move(messages) : std::make_unique<UserMessages>(this)),
      colours_(settings::gradeColours())
{
    setObjectName(QStringLiteral("digitize"));
    setAcceptDrops(true);
    setWindowTitle(QStringLiteral("Vellwick Dipmeter Digitizer"));
    centre_ = new QWidget(this);
    setCentralWidget(centre_);
    area_ = new LogArea(centre_);
    controls_ = makeControls(this, centre_);
    createLayout();
    createWindows();
    files_ = std::make_unique<FileCommands>(session_, *dialog_, *messages_, this);
    tadpoles_ = std::make_unique<TadpoleCommands>(session_, *foundPanel_, *area_, *messages_, this);
    calibrations_ = std::make_unique<CalibrationCommands>(session_, *calibrationPanel_, *area_, *messages_, this);
    toolHost_ = std::make_unique<WindowToolHost>(WindowToolHost::Parts{
        session_, *area_, controls_, *prompt_, *depthForm_, *scaleForm_, *messages_, colours_, [this] { redraw(); },
        [this](bool enabled) {
            centre_->setEnabled(enabled);
            menuBar()->setEnabled(enabled);
        },
        [this](double x, double y, double reach) -> std::optional<ToolHost::SnapTarget> {
            if (!actions_.snap->isChecked())
                return std::nullopt;
            return tadpoles_->snapTarget(x, y, reach);
        },
        [this](const QString& text) { showStatus(text); }});
    tools_ = std::make_unique<LogTools>(*toolHost_, session_.found(), [this] { tadpoles_->followReview(); redraw(); });
    session_.keepForRecovery([this] { return area_->zoom(); });
    createActions();
    createMenus();
    connectControls();
    connectSession();

    // At first most of the screen, in its middle, no smaller than 308 by 180
    // pixels; then the place and the colours it was left with.
    setMinimumSize(308, 180);
    statusBar()->setObjectName(QStringLiteral("statusbar"));
    const QRect room = screen()->availableGeometry();
    resize((room.size() * kFirstWindowShare).expandedTo(minimumSize()));
    move(room.center() - rect().center());
    if (const QByteArray geometry = settings::windowGeometry(); !geometry.isEmpty()) {
        restoreGeometry(geometry);
        restoreState(settings::windowState());
        // The review panels tell of a log's search: none yet at a start.
        foundPanel_->hide();
        calibrationPanel_->hide();
    }
    for (int q = 0; q < 4; ++q) {
        QPalette palette = controls_.gradeSwatches[std::size_t(q)]->palette();
        const Rgb c = colours_[std::size_t(q)];
        palette.setColor(QPalette::Window, QColor(c.r, c.g, c.b));
        controls_.gradeSwatches[std::size_t(q)]->setPalette(palette);
    }
    logView().surface().setDrawWidth(2);
}

DigitizeWindow::~DigitizeWindow()
{
    // What the session reports while the window's parts go is for nobody.
    session_.disconnect(this);
}

LogView& DigitizeWindow::logView() { return *area_->view(); }

void DigitizeWindow::setProgressDelay(int milliseconds)
{
    files_->setProgressDelay(milliseconds);
    tadpoles_->setProgressDelay(milliseconds);
    calibrations_->setProgressDelay(milliseconds);
}

void DigitizeWindow::createWindows()
{
    scaleForm_ = new SetScaleForm(this);
    scaleForm_->setObjectName(QStringLiteral("setscaleform"));
    depthForm_ = new SetDepthForm(this);
    depthForm_->setObjectName(QStringLiteral("setdepthform"));
    prompt_ = new EnterDipScales(this);
    prompt_->setObjectName(QStringLiteral("EnterDipScl"));
    magnifier_ = new Magnifier(this);
    statistics_ = new DipStatisticsWindow(session_, colours_, this);
    wellDetails_ = new WellDetailsDialog(this);
    foundPanel_ = new FoundTadpolesPanel(this);
    foundPanel_->setSearch(settings::tadpoleSearch());
    addDockWidget(Qt::RightDockWidgetArea, foundPanel_);
    foundPanel_->hide();
    calibrationPanel_ = new FoundCalibrationPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, calibrationPanel_);
    calibrationPanel_->hide();
    // One above the other when both are open, each named in full.
    dipTableModel_ = new DipTableModel(session_, this);
    dipTable_ = new DipTablePanel(*dipTableModel_, this);
    addDockWidget(Qt::RightDockWidgetArea, dipTable_);
    dipTable_->hide();
    for (QDockWidget* panel : {static_cast<QDockWidget*>(foundPanel_), static_cast<QDockWidget*>(calibrationPanel_),
                               static_cast<QDockWidget*>(dipTable_)})
        connect(panel, &QDockWidget::visibilityChanged, this, [this](bool shown) {
            if (shown)
                QMetaObject::invokeMethod(this, &DigitizeWindow::fitPanels, Qt::QueuedConnection);
        });
}

void DigitizeWindow::fitPanels()
{
    // The panels above the dip table take the height their contents ask
    // for; the table, the longest, takes the rest.
    if (!dipTable_->isVisible() || dipTable_->isFloating())
        return;
    QList<QDockWidget*> panels;
    QList<int> heights;
    int room = dipTable_->height();
    for (QDockWidget* panel : {static_cast<QDockWidget*>(foundPanel_), static_cast<QDockWidget*>(calibrationPanel_)})
        if (panel->isVisible() && !panel->isFloating() && dockWidgetArea(panel) == dockWidgetArea(dipTable_)) {
            panels << panel;
            heights << panel->sizeHint().height();
            room += panel->height() - heights.back();
        }
    if (panels.isEmpty())
        return;
    panels << dipTable_;
    heights << std::max(room, dipTable_->minimumSizeHint().height());
    resizeDocks(panels, heights, Qt::Vertical);
}

void DigitizeWindow::showStatus(const QString& text) { statusBar()->showMessage(text, kStatusMilliseconds); }

void DigitizeWindow::createActions()
{
    auto action = [this](const char* name, const QString& caption, bool enabled, const char* keys = nullptr) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(enabled);
        if (keys)
            a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        return a;
    };
    WindowActions& a = actions_;
    a.openPicture = action("mnuopen", QStringLiteral("Open Picture"), true, "Ctrl+O");
    a.openProject = action("mnuopenprj", QStringLiteral("Open Project"), true, "Ctrl+Shift+O");
    a.openNextLog = action("mnuopennext", QStringLiteral("Open Next Log"), false, "Ctrl+PgDown");
    a.saveProject = action("mnusave", QStringLiteral("Save Project"), false, "Ctrl+S");
    a.exportDips = action("mnusavedig", QStringLiteral("Save Digitized Dips As"), false, "Ctrl+E");
    a.saveProjectAs = action("mnusavecal", QStringLiteral("Save Project As"), false, "Ctrl+Shift+S");
    a.exportNearestInteger = action("mnureslog", QStringLiteral("Save at Nearest Integer Depth"), false);
    a.exportCsv = action("mnucsv", QStringLiteral("Export Dips as CSV"), false);
    a.exportLas = action("mnulas", QStringLiteral("Export Dips as LAS"), false);
    a.exportAll = action("mnuexportall", QStringLiteral("Export All"), false, "Ctrl+Shift+E");
    a.applyCalibration = action("mnuapplycalibration", QStringLiteral("Apply Calibration From..."), false);
    a.fitWidth = action("mnufitwidth", QStringLiteral("Fit Width"), false, "W");
    a.keysAndMouse = action("mnukeys", QStringLiteral("Keys and Mouse"), true, "F1");
    a.wellDetails = action("mnuwelldetails", QStringLiteral("Well Details..."), false);
    a.exit = action("mnuexit", QStringLiteral("Exit"), true, "Ctrl+Q");
    a.undo = action("mnuundo", QStringLiteral("Undo"), false, "Ctrl+Z");
    a.redo = action("mnuredo", QStringLiteral("Redo"), false);
    a.redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    a.areaErase = action("mnuerase", QStringLiteral("Area Erase"), false);
    a.deleteDip = action("mnudeletedip", QStringLiteral("Delete Dip"), false, "Del");
    a.reviewLeastSure = action("mnureviewleastsure", QStringLiteral("Review Least Sure"), false, "Ctrl+R");
    a.findTadpoles = action("mnufindtadpoles", QStringLiteral("Find Tadpoles"), false, "Ctrl+F");
    a.findCalibration = action("mnufindcalibration", QStringLiteral("Find Calibration"), false, "Ctrl+L");
    a.snap = action("mnusnap", QStringLiteral("Snap to Tadpoles"), true, "S");
    a.snap->setCheckable(true);
    a.snap->setChecked(settings::snapToTadpoles());
    a.grid = action("mnugrid", QStringLiteral("Show Grid"), false);
    a.grid->setCheckable(true);
    const char* colourNames[] = {"mnucolA", "mnucolB", "mnucolC", "mnucolD"};
    for (int q = 0; q < 4; ++q)
        a.gradeColours[std::size_t(q)] =
            action(colourNames[q], QStringLiteral("\"%1\" Quality Color").arg(QChar('A' + q)), true);
    a.magnifier = action("mnumagnifier", QStringLiteral("Magnifier"), true, "M");
    a.magnifier->setCheckable(true);
    a.goToDepth = action("mnugotodepth", QStringLiteral("Go to Depth"), true, "Ctrl+G");
    a.logEnds[0] = action("mnulogtop", QStringLiteral("Top of the Log"), true, "Ctrl+Home");
    a.logEnds[1] = action("mnulogend", QStringLiteral("End of the Log"), true, "Ctrl+End");
    a.statistics = action("mnustatistics", QStringLiteral("Dip Statistics"), true);
    a.about = action("mnuabout", QStringLiteral("About"), true);
    a.escape = action("escapeKey", QString(), true, "Esc");
    a.zoomKeys[0] = action("zoomInKey", QString(), true);
    a.zoomKeys[0]->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus),
                                 QKeySequence(Qt::Key_Equal)});
    a.zoomKeys[1] = action("zoomOutKey", QString(), true);
    a.zoomKeys[1]->setShortcuts({QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)});
    // Keys of the review, usable while there is something to review.
    a.acceptFound = action("acceptFoundKey", QString(), false);
    a.acceptFound->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    a.stepFound[0] = action("nextFoundKey", QString(), false, "N");
    a.stepFound[1] = action("previousFoundKey", QString(), false, "P");
    // What "Keys and Mouse" says of the keys that have no menu item.
    a.escape->setToolTip(QStringLiteral("Step back within a depth row or a dip, or put a tool down"));
    a.zoomKeys[0]->setToolTip(QStringLiteral("Zoom in"));
    a.zoomKeys[1]->setToolTip(QStringLiteral("Zoom out"));
    a.acceptFound->setToolTip(QStringLiteral("Accept the tadpoles or the calibration under review"));
    a.stepFound[0]->setToolTip(QStringLiteral("The next tadpole under review"));
    a.stepFound[1]->setToolTip(QStringLiteral("The previous tadpole under review"));
    addActions({a.escape, a.zoomKeys[0], a.zoomKeys[1], a.acceptFound, a.stepFound[0], a.stepFound[1]});
}

void DigitizeWindow::createMenus()
{
    const WindowActions& a = actions_;
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("mnufile"));
    file->addActions({a.openPicture, a.openProject, a.openNextLog});
    actions_.recentProjects = file->addMenu(QStringLiteral("Recent Projects"));
    actions_.recentProjects->setObjectName(QStringLiteral("mnurecent"));
    // Read afresh each time the menu opens: another window or run may have
    // changed the list meanwhile.
    connect(file, &QMenu::aboutToShow, this, &DigitizeWindow::showRecentProjects);
    file->addActions({a.exportDips, a.saveProject, a.saveProjectAs, a.exportNearestInteger, a.exportCsv, a.exportLas,
                      a.exportAll, a.wellDetails});
    file->addSeparator()->setObjectName(QStringLiteral("sep1"));
    file->addAction(a.exit);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("mnuedit"));
    edit->addActions({a.undo, a.redo});
    edit->addSeparator();
    edit->addActions({a.areaErase, a.deleteDip});
    edit->addSeparator();
    edit->addActions({a.findTadpoles, a.snap, a.reviewLeastSure});

    QMenu* calibrate = menuBar()->addMenu(QStringLiteral("Calibrate"));
    calibrate->setObjectName(QStringLiteral("mnucalibrate"));
    calibrate->addActions({a.findCalibration, a.applyCalibration});

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("mnuview"));
    view->addActions({a.grid, a.fitWidth});
    QMenu* colours = view->addMenu(QStringLiteral("Colors"));
    colours->setObjectName(QStringLiteral("mnucol"));
    for (QAction* c : a.gradeColours)
        colours->addAction(c);
    view->addSeparator();
    view->addActions({a.magnifier, a.goToDepth, a.logEnds[0], a.logEnds[1], a.statistics});
    QAction* panel = foundPanel_->toggleViewAction();
    panel->setObjectName(QStringLiteral("mnufoundpanel"));
    view->addAction(panel);
    QAction* calibrationPanel = calibrationPanel_->toggleViewAction();
    calibrationPanel->setObjectName(QStringLiteral("mnucalibrationpanel"));
    view->addAction(calibrationPanel);
    QAction* dipTable = dipTable_->toggleViewAction();
    dipTable->setObjectName(QStringLiteral("mnudiptable"));
    dipTable->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    view->addAction(dipTable);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuhelp"));
    help->addActions({a.keysAndMouse, a.about});
}

bool DigitizeWindow::mayEnd()
{
    if (!files_->settleUnsavedWork(area_->zoom(), QStringLiteral("The program stays open with the work.")))
        return false;
    session_.endCleanly();
    return true;
}

void DigitizeWindow::endProgram()
{
    closing_ = true;
    settings::setWindowPlace(saveGeometry(), saveState());
    for (QWidget* w : std::initializer_list<QWidget*>{scaleForm_, depthForm_, prompt_, magnifier_, statistics_})
        w->hide();
    close();
    emit programEnded();
}

void DigitizeWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (leftWorkOffered_)
        return;
    leftWorkOffered_ = true;
    // Asked once the window is on the screen, from the event loop.
    QTimer::singleShot(0, this, &DigitizeWindow::offerLeftWork);
}

void DigitizeWindow::closeEvent(QCloseEvent* event)
{
    if (tadpoles_->searching() || calibrations_->searching() || files_->reading()) {
        event->ignore();  // the task's own Cancel comes first
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    if (mayEnd()) {
        event->accept();
        endProgram();
    } else {
        event->ignore();
    }
}
