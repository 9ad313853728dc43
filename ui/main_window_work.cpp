// The main window's controls and the session: what each control asks of the
// session and the tools, and what the window shows of the work after each
// change.
#include <utility>

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "model/calibration_rules.h"
#include "session/picture_place.h"
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
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/tadpole_commands.h"
#include "ui/view_rules.h"
#include "ui/window_placement.h"
#include "ui/well_details_dialog.h"
#include "ui/work_recovery.h"

namespace {

// A Ctrl+press picks the dip within this many view pixels.
constexpr double kPickReach = 8;
// A dip brought into sight from the dip table stands this far inside the view.
constexpr double kSightMargin = 40;

bool isProject(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("ddp"), Qt::CaseInsensitive) == 0;
}

}  // namespace

void DigitizeWindow::connectControls()
{
    const WindowActions& a = actions_;
    const WindowControls& c = controls_;
    connect(a.openPicture, &QAction::triggered, this, [this] {
        if (!files_->settleUnsavedWork(area_->zoom(), QStringLiteral("The work stays open.")))
            return;
        if (const auto path = files_->askPicture())
            openPicture(*path);
    });
    connect(a.openProject, &QAction::triggered, this, [this] {
        if (!files_->settleUnsavedWork(area_->zoom(), QStringLiteral("The work stays open.")))
            return;
        if (const auto path = files_->askProject(QStringLiteral("Open Project")))
            openProject(*path);
    });
    connect(a.openNextLog, &QAction::triggered, this, &DigitizeWindow::openNextLog);
    connect(a.saveProject, &QAction::triggered, this, [this] { files_->save(area_->zoom()); });
    connect(a.saveProjectAs, &QAction::triggered, this, [this] { files_->saveAs(area_->zoom()); });
    connect(a.exportDips, &QAction::triggered, this, [this] { files_->exportDips(WorkSession::DipTable::OneDecimal); });
    connect(a.exportNearestInteger, &QAction::triggered, this,
            [this] { files_->exportDips(WorkSession::DipTable::NearestInteger); });
    connect(a.exportCsv, &QAction::triggered, this, [this] { files_->exportDips(WorkSession::DipTable::Csv); });
    connect(a.exportLas, &QAction::triggered, this, [this] { files_->exportLas(); });
    connect(a.exportAll, &QAction::triggered, this, [this] { files_->exportAll(); });
    connect(a.applyCalibration, &QAction::triggered, this, [this] { files_->applyCalibrationFrom(); });
    connect(a.fitWidth, &QAction::triggered, this, &DigitizeWindow::fitWidth);
    connect(c.fitWidth, &QPushButton::clicked, this, &DigitizeWindow::fitWidth);
    connect(a.keysAndMouse, &QAction::triggered, this, &DigitizeWindow::showKeysAndMouse);
    connect(a.wellDetails, &QAction::triggered, this, [this] {
        wellDetails_->setDetails(session_.work().well);
        wellDetails_->open();
    });
    connect(wellDetails_, &QDialog::accepted, this, [this] {
        QString error;
        if (!session_.apply(SetWellDetails{wellDetails_->details()}, error))
            messages_->showError(QStringLiteral("Well Details"), error);
    });
    connect(a.exit, &QAction::triggered, this, [this] {
        if (mayEnd())
            endProgram();
    });
    connect(a.undo, &QAction::triggered, this, &DigitizeWindow::undo);
    connect(a.redo, &QAction::triggered, this, &DigitizeWindow::redo);
    connect(a.escape, &QAction::triggered, this, &DigitizeWindow::escape);
    connect(a.areaErase, &QAction::triggered, this, [this] { tools_->armErase(); });
    connect(a.deleteDip, &QAction::triggered, this, [this] { tools_->armDelete(); });
    connect(a.findTadpoles, &QAction::triggered, this, [this] {
        tadpoles_->find();
        followWork();
    });
    connect(a.snap, &QAction::toggled, this, [](bool on) { settings::setSnapToTadpoles(on); });
    connect(a.findCalibration, &QAction::triggered, this, [this] {
        calibrations_->find();
        followWork();
    });
    connect(a.acceptFound, &QAction::triggered, this, &DigitizeWindow::acceptFound);
    connect(a.reviewLeastSure, &QAction::triggered, dipTable_, &DipTablePanel::startReview);
    connect(dipTable_, &DipTablePanel::keepRequested, this, [this](std::size_t dip) {
        QString error;
        if (!session_.apply(KeepDip{dip}, error))
            messages_->showError(QStringLiteral("Review Least Sure"), error);
    });
    connect(dipTable_, &DipTablePanel::removeRequested, this, [this](std::size_t dip) {
        QString error;
        if (!session_.apply(DeleteDip{dip}, error))
            messages_->showError(QStringLiteral("Review Least Sure"), error);
    });
    for (int i = 0; i < 2; ++i) {
        connect(a.stepFound[std::size_t(i)], &QAction::triggered, this, [this, i] { tadpoles_->step(i == 0); });
        connect(a.zoomKeys[std::size_t(i)], &QAction::triggered, this, [this, i] {
            if (controls_.zoomButtons[std::size_t(i)]->isEnabled())
                zoom(i == 0);
        });
        connect(c.zoomButtons[std::size_t(i)], &QPushButton::clicked, this, [this, i] { zoom(i == 0); });
        connect(c.modes[std::size_t(i)], &QRadioButton::clicked, this,
                [this, i] { setMode(i == 0 ? WorkMode::Digitize : WorkMode::Calibrate); });
    }
    // The grid's box and its menu item are one switch.
    connect(c.grid, &QCheckBox::clicked, this, &DigitizeWindow::showGrid);
    connect(a.grid, &QAction::triggered, this, &DigitizeWindow::showGrid);
    for (int q = 0; q < 4; ++q) {
        connect(a.gradeColours[std::size_t(q)], &QAction::triggered, this, [this, q] { chooseGradeColour(q); });
        connect(c.grades[std::size_t(q)], &QRadioButton::clicked, this,
                [this, q] { tools_->digitize().setGrade(std::string(1, char('A' + q))); });
    }
    for (int t = 0; t < 8; ++t)
        connect(c.calibrationTools[std::size_t(t)], &QRadioButton::clicked, this,
                [this, t] { tools_->calibration().setStep(CalibrationStep(t)); });
    connect(a.magnifier, &QAction::triggered, this, [this](bool on) {
        if (!on)
            magnifier_->hide();
    });
    connect(a.goToDepth, &QAction::triggered, this, &DigitizeWindow::goToDepth);
    connect(a.statistics, &QAction::triggered, this, &DigitizeWindow::showStatistics);
    connect(a.logEnds[0], &QAction::triggered, area_, [this] { area_->toEnd(false); });
    connect(a.logEnds[1], &QAction::triggered, area_, [this] { area_->toEnd(true); });
    connect(a.about, &QAction::triggered, this, [this] {
        AboutBox about(this);
        about.exec();
    });

    connect(scaleForm_, &SetScaleForm::okClicked, this, &DigitizeWindow::defineDipScale);
    connect(depthForm_, &SetDepthForm::okClicked, this, &DigitizeWindow::enterDepth);
    connect(depthForm_, &QDialog::rejected, this, [this] {
        tools_->calibration().depthCancelled();
        showUndo();
    });
    connect(statistics_, &DipStatisticsWindow::saveImageRequested, this,
            [this] { files_->saveStatisticsImage([this](const QString& path) { return statistics_->saveImage(path); }); });

    LogView* view = area_->view();
    connect(view, &LogView::mousePressed, this, [this](int button, int shift, double x, double y) {
        // Ctrl+press on a dip picks its row in the dip table, and is no tool's.
        pickingFromTable_ = button == 1 && (shift & 2) && dipTable_->isVisible();
        if (pickingFromTable_) {
            const Viewport& v = logView().viewport();
            if (const auto dip = dipNearest(session_.work(), v.toPictureX(x), v.toPictureY(y), kPickReach, v.zoom))
                dipTable_->select(*dip);
            return;
        }
        tools_->press(button, x, y);
        showUndo();
    });
    connect(view, &LogView::mouseMoved, this, [this](int buttons, int, double x, double y) {
        pointer_ = QPointF(x, y);
        if (!pickingFromTable_)
            tools_->move(buttons, x, y);
        followWithMagnifier(x, y);
    });
    connect(view, &LogView::mouseReleased, this, [this](int button, int, double x, double y) {
        if (!std::exchange(pickingFromTable_, false))
            tools_->release(button, x, y);
    });
    connect(dipTable_, &DipTablePanel::selectionChanged, this, [this] {
        statistics_->setZone(zoneOfTable());
        redraw();
    });
    connect(dipTable_, &DipTablePanel::currentChanged, this, [this](std::size_t dip) {
        if (dip < session_.work().dips.size())
            area_->bringIntoSight(session_.work().dips[dip].x, session_.work().dips[dip].y, kSightMargin);
    });
    connect(dipTable_, &DipTablePanel::deleteRequested, this, [this](const std::vector<std::size_t>& dips) {
        if (dips.empty())
            return;
        QString error;
        if (!session_.apply(DeleteDips{dips}, error))
            messages_->showError(QStringLiteral("Delete Dips"), error);
    });
    connect(view, &LogView::mouseLeft, this, [this] {
        pointer_.reset();
        tools_->leave();
        magnifier_->hide();
    });
    connect(view, &LogView::wheelScrolled, this, [this](double notches, bool horizontal) {
        area_->wheel(notches, horizontal);
        // The picture moved under a pointer that stayed: the readout (and a
        // swinging tail) follow what is under it now.
        if (pointer_ && !pickingFromTable_)
            tools_->move(0, pointer_->x(), pointer_->y());
    });
    connect(view, &LogView::wheelZoomed, this, [this](bool in, double x, double y) {
        if (controls_.zoomButtons[in ? 0 : 1]->isEnabled())
            zoomAbout(in, x, y);
    });
    connect(area_, &LogArea::viewChanged, this, &DigitizeWindow::redraw);

    connect(foundPanel_, &FoundTadpolesPanel::acceptClicked, this, [this] { tadpoles_->accept(); });
    connect(foundPanel_, &FoundTadpolesPanel::rejectClicked, this, [this] { tadpoles_->reject(); });
    connect(foundPanel_, &FoundTadpolesPanel::stepClicked, this, [this](bool forward) { tadpoles_->step(forward); });
    connect(foundPanel_, &FoundTadpolesPanel::searchChanged, this, [this] {
        const SearchSettings search = foundPanel_->search();
        settings::setTadpoleSearch(search);
        if (session_.found().reviewing()) {
            session_.found().setLeastConfidence(search.minConfidence);
            tadpoles_->followReview();
            followWork();
            redraw();
        }
    });
    connect(tadpoles_.get(), &TadpoleCommands::reviewStarted, this, [this] {
        if (tools_->mode() != WorkMode::Digitize) {
            controls_.modes[0]->setChecked(true);
            setMode(WorkMode::Digitize);  // reviewing is digitizing
        }
    });
    connect(tadpoles_.get(), &TadpoleCommands::searchEnded, this, &DigitizeWindow::followWork);
    connect(calibrationPanel_, &FoundCalibrationPanel::acceptClicked, this, [this] { calibrations_->accept(); });
    connect(calibrationPanel_, &FoundCalibrationPanel::rejectClicked, this, [this] { calibrations_->reject(); });
    connect(calibrations_.get(), &CalibrationCommands::reviewStarted, this, [this] {
        if (tools_->mode() != WorkMode::Calibrate) {
            controls_.modes[1]->setChecked(true);
            setMode(WorkMode::Calibrate);  // what is reviewed is calibration
        }
    });
    connect(calibrations_.get(), &CalibrationCommands::searchEnded, this, &DigitizeWindow::followWork);
    connect(calibrations_.get(), &CalibrationCommands::reviewEnded, this, [this](const QString& outcome) {
        // Nothing is left to do in the panel: its room goes back to the log
        // and the other panels.
        calibrationPanel_->hide();
        showStatus(outcome);
    });
    connect(calibrations_.get(), &CalibrationCommands::accepted, this, [this] {
        // Their questions are answered by what was accepted.
        scaleForm_->hide();
        if (depthForm_->isVisible())
            depthForm_->reject();
    });
    files_->setReadEnded([this] {
        if (std::exchange(leftWorkWaiting_, false))
            QMetaObject::invokeMethod(this, &DigitizeWindow::offerLeftWork, Qt::QueuedConnection);
    });
}

std::vector<std::size_t> DigitizeWindow::zoneOfTable() const
{
    // A zone of the log: more than one row selected in the dip table.
    std::vector<std::size_t> zone = dipTable_->isVisible() ? dipTable_->selectedDips() : std::vector<std::size_t>{};
    return zone.size() > 1 ? zone : std::vector<std::size_t>{};
}

void DigitizeWindow::connectSession()
{
    connect(&session_, &WorkSession::workChanged, this, [this] {
        followWork();
        redraw();
        // The table has followed the work already: its rows name the dips anew.
        if (statistics_->isVisible())
            statistics_->setZone(zoneOfTable());
    });
    connect(&session_, &WorkSession::historyChanged, this, [this] {
        showUndo();
        const bool unsaved = session_.hasPicture() && !session_.saved();
        setWindowModified(unsaved);
        showWorkName();
    });
    connect(&session_, &WorkSession::foundChanged, this, [this] {
        tadpoles_->followReview();
        calibrations_->followReview();
        followWork();
        redraw();
    });
}

bool DigitizeWindow::openPicture(const QString& path)
{
    if (!files_->openPicture(path))
        return false;
    showOpenedWork(false);
    return true;
}

bool DigitizeWindow::openProject(const QString& path)
{
    if (!files_->openProject(path))
        return false;
    showOpenedWork(true);
    return true;
}

void DigitizeWindow::openNextLog()
{
    const QString current = session_.projectPath().isEmpty() ? session_.picturePath() : session_.projectPath();
    if (current.isEmpty())
        return;
    const QString next = nextLog(current);
    if (next.isEmpty()) {
        messages_->showError(QStringLiteral("Open Next Log"),
                             QStringLiteral("No picture or project follows \"%1\" in its folder.")
                                 .arg(QFileInfo(current).fileName()));
        return;
    }
    openFile(next);
}

bool DigitizeWindow::openFile(const QString& path)
{
    if (!files_->settleUnsavedWork(area_->zoom(), QStringLiteral("The work stays open.")))
        return false;
    const bool opened = isProject(path) ? openProject(path) : openPicture(path);
    if (opened)
        dialog_->remember(path);
    return opened;
}

void DigitizeWindow::showOpenedWork(bool project)
{
    const WindowControls& c = controls_;
    tools_->reset();
    for (QWidget* w : std::initializer_list<QWidget*>{scaleForm_, depthForm_, prompt_})
        w->hide();
    c.modes[1]->setChecked(true);
    c.calibrationTools[0]->setChecked(true);
    c.grades[0]->setChecked(true);
    tools_->digitize().setGrade("A");
    c.grid->setChecked(false);
    actions_.grid->setChecked(false);
    foundPanel_->showCurrent(QString());
    // What the review panels told was of the last log.
    foundPanel_->hide();
    calibrationPanel_->hide();
    // Every control as the new work has it, none kept from the last.
    openedProject_ = project;
    showControls(true);

    area_->reset();
    area_->setPictureSize(QSize(session_.picture().width(), session_.picture().height()));
    logView().surface().setPicture(&session_.picture());
    logView().setBordered(true);  // the layout below paints the picture into it
    if (project) {
        area_->setZoom(session_.openedZoom());
    } else {
        const settings::ScaleChoice last = settings::lastDipScale();
        scaleForm_->propose(last.kind, last.minDip, last.maxDip);
        placeScaleForm(*scaleForm_, *area_->view());
        scaleForm_->show();
    }
    c.zoomCaption->setText(QString::fromStdString(zoomCaption(area_->zoom()).value_or(
        c.zoomCaption->text().toStdString())));
    area_->layoutRanges();
    redraw();
    if (project) {
        c.modes[0]->setChecked(true);
        setMode(WorkMode::Digitize);
    }
    followWork();
    showWorkName();
    if (statistics_->isVisible())
        statistics_->refresh();
}

void DigitizeWindow::followWork() { showControls(false); }

void DigitizeWindow::showControls(bool all)
{
    const Work& w = session_.work();
    const bool enteringScale = tools_->calibration().enteringCustomScale();
    WorkState state;
    state.picture = session_.hasPicture();
    state.openedProject = openedProject_;
    state.scale = w.scale.has_value() || enteringScale;
    state.digitizing = tools_->mode() == WorkMode::Digitize;
    state.calibrated = session_.calibration().complete();
    state.dips = !w.dips.empty();
    state.searching = tadpoles_->searching() || calibrations_->searching();
    state.reviewing = !session_.found().empty();
    state.reviewingCalibration = session_.foundCalibration().has_value();
    state.before = all ? WorkControls() : controlsOn_;
    const WorkControls on = workControls(state);
    showWorkControls(actions_, controls_, on, all ? WorkControls().set() : on ^ controlsOn_);
    controlsOn_ = on;
    if (w.scale)
        controls_.scaleCaption->setText(QString::fromStdString(dipScaleCaption(w.scale->kind)));
}

void DigitizeWindow::showWorkName()
{
    const QString caption = QStringLiteral("Vellwick Dipmeter Digitizer");
    const QString name = session_.workName();
    setWindowTitle(name.isEmpty() ? caption : QStringLiteral("%1[*] - %2").arg(name, caption));
}

void DigitizeWindow::setMode(WorkMode mode)
{
    // "Area Erase" and "Delete Dip" were chosen for the mode being left.
    tools_->disarm();
    tools_->setMode(mode);
    if (mode == WorkMode::Digitize && session_.calibration().complete()) {
        // The grade shown is the grade of the next dip.
        for (int q = 0; q < 4; ++q)
            if (controls_.grades[std::size_t(q)]->isChecked())
                tools_->digitize().setGrade(std::string(1, char('A' + q)));
    }
    followWork();
}

void DigitizeWindow::defineDipScale()
{
    // The option shown selected is the scale chosen, also when the form was
    // loaded afresh after being closed by its frame.
    int kind = 0;
    for (int i = 0; i < SetScaleForm::kScales; ++i)
        if (scaleForm_->option(i)->isChecked())
            kind = i;
    const auto choice = readDipScale(DipScaleKind(kind), scaleForm_->minDipText().toStdString(),
                                     scaleForm_->maxDipText().toStdString());
    if (const auto* refusal = std::get_if<std::string>(&choice)) {
        messages_->showError(QStringLiteral("Define Dip Scale"), QString::fromStdString(*refusal));
        return;
    }
    const DipScale& scale = std::get<DipScale>(choice);
    scaleForm_->hide();
    settings::setLastDipScale({kind, scale.minDip, scale.maxDip});
    scaleForm_->propose(kind, scale.minDip, scale.maxDip);
    if (scale.kind == DipScaleKind::Custom) {
        tools_->calibration().startCustomScale(scale);
        followWork();
        controls_.scaleCaption->setText(QString::fromStdString(dipScaleCaption(scale.kind)));
        return;
    }
    QString error;
    if (!session_.apply(SetDipScale{scale}, error))
        messages_->showError(QStringLiteral("Define Dip Scale"), error);
}

void DigitizeWindow::enterDepth()
{
    if (tools_->calibration().depthEntered(depthForm_->depthText().toStdString()))
        depthForm_->hide();
    showUndo();
}

void DigitizeWindow::undo()
{
    tools_->disarm();
    if (!tools_->stepBack())
        session_.undo();
    showUndo();
}

void DigitizeWindow::showUndo()
{
    // A step of a depth row or a dip under way is taken back first.
    const bool stepBack = tools_->canStepBack();
    actions_.undo->setText(session_.canUndo() && !stepBack ? QStringLiteral("Undo %1").arg(session_.undoName())
                                                           : QStringLiteral("Undo"));
    actions_.redo->setText(session_.canRedo() ? QStringLiteral("Redo %1").arg(session_.redoName())
                                              : QStringLiteral("Redo"));
    actions_.undo->setEnabled(session_.canUndo() || stepBack);
    actions_.redo->setEnabled(session_.canRedo());
}

void DigitizeWindow::redo()
{
    tools_->disarm();
    session_.redo();
}

void DigitizeWindow::acceptFound()
{
    if (session_.foundCalibration())
        calibrations_->accept();
    else
        tadpoles_->accept();
}

void DigitizeWindow::escape()
{
    if (!tools_->disarm())
        tools_->stepBack();
    showUndo();
}
