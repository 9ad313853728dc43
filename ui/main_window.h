#pragma once

#include <memory>
#include <optional>

#include <QMainWindow>
#include <QPointF>

#include "drawing/log_drawing.h"
#include "interaction/log_tools.h"
#include "session/work_session.h"
#include "ui/common_dialog.h"
#include "ui/user_messages.h"
#include "ui/window_controls.h"

class DipStatisticsWindow;
class DipTableModel;
class DipTablePanel;
class EnterDipScales;
class FileCommands;
class CalibrationCommands;
class FoundCalibrationPanel;
class FoundTadpolesPanel;
class LogArea;
class LogView;
class Magnifier;
class SetDepthForm;
class SetScaleForm;
class TadpoleCommands;
class WellDetailsDialog;
class WindowToolHost;

// The main window (digitize): the front end of one WorkSession. It turns the
// menus, the controls and the mouse into the session's use cases and the
// tools' work, and shows the work: it decides nothing itself. Unsaved work
// is kept for recovery after a crash.
class DigitizeWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DigitizeWindow(std::unique_ptr<CommonDialog> dialog = nullptr,
                            std::unique_ptr<UserMessages> messages = nullptr);
    ~DigitizeWindow() override;

    WorkSession& session() { return session_; }
    LogView& logView();
    LogTools& tools() { return *tools_; }
    SetScaleForm& scaleForm() { return *scaleForm_; }
    EnterDipScales& dipScalePrompt() { return *prompt_; }
    SetDepthForm& depthForm() { return *depthForm_; }
    Magnifier& magnifier() { return *magnifier_; }
    DipStatisticsWindow& statisticsWindow() { return *statistics_; }
    WorkRecovery& recovery() { return *session_.recovery(); }
    FoundTadpolesPanel& foundPanel() { return *foundPanel_; }
    FoundCalibrationPanel& calibrationPanel() { return *calibrationPanel_; }
    DipTablePanel& dipTable() { return *dipTable_; }
    // How long a search or reading a picture runs before its progress
    // is shown.
    void setProgressDelay(int milliseconds);

    // Opening as the File menu does after its dialog; on any failure a
    // message says what is wrong and nothing changes.
    bool openPicture(const QString& path);
    bool openProject(const QString& path);
    // A file named on the command line, dropped on the window or chosen
    // among the recent projects: a project (".ddp") or a picture, after the
    // prompt to save unsaved work.
    bool openFile(const QString& path);

    // Everything drawn again: the overlay, the dips, the proposals under
    // review, then the tools' own figures.
    void redraw();

signals:
    // Every window is closed: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createWindows();
    void connectControls();
    void connectSession();
    void createLayout();

    // The dip table takes the room the panels above it do not need.
    void fitPanels();
    // A word in the status bar that goes after a while.
    void showStatus(const QString& text);
    // The controls for the work just opened, from a picture or a project.
    void showOpenedWork(bool project);
    // The controls that depend on the work, after every change of it.
    void followWork();
    // The controls as the work's state has them; all, or those that changed.
    void showControls(bool all);
    void showWorkName();
    void setMode(WorkMode mode);
    // "Define Dip Scale" OK and "Enter Depth" OK.
    void defineDipScale();
    void enterDepth();
    void undo();
    // Undo's and redo's captions and whether they can be used.
    void showUndo();
    void redo();
    void escape();
    // Enter: the calibration or the tadpoles under review accepted.
    void acceptFound();
    // One zoom step about the view's middle, or about a point of the view.
    void zoom(bool in);
    void zoomAbout(bool in, double x, double y);
    // The zoom's caption under the panel's buttons: "1:2", or "72%".
    void showZoom();
    // The picture's whole width in the view.
    void fitWidth();
    // Every key and mouse action of the window, listed.
    void showKeysAndMouse();
    void showGrid(bool shown);
    void chooseGradeColour(int grade);
    void goToDepth();
    void showStatistics();
    void followWithMagnifier(double x, double y);
    void showRecentProjects();
    // The dips whose statistics are shown alone: the dip table's selection
    // of more than one row; none (the whole log) otherwise.
    std::vector<std::size_t> zoneOfTable() const;
    // The next picture or project of the work's folder, after the prompt to save.
    void openNextLog();
    // At the first showing: work left by a run that ended without closing.
    void offerLeftWork();
    // The prompt to save, then the end; false when the user stays.
    bool mayEnd();
    void endProgram();

    WorkSession session_;
    std::unique_ptr<CommonDialog> dialog_;
    std::unique_ptr<UserMessages> messages_;
    GradeColours colours_;
    WindowActions actions_;
    WindowControls controls_;
    QWidget* centre_ = nullptr;
    LogArea* area_ = nullptr;
    SetScaleForm* scaleForm_ = nullptr;
    SetDepthForm* depthForm_ = nullptr;
    EnterDipScales* prompt_ = nullptr;
    Magnifier* magnifier_ = nullptr;
    DipStatisticsWindow* statistics_ = nullptr;
    FoundTadpolesPanel* foundPanel_ = nullptr;
    FoundCalibrationPanel* calibrationPanel_ = nullptr;
    DipTableModel* dipTableModel_ = nullptr;
    DipTablePanel* dipTable_ = nullptr;
    WellDetailsDialog* wellDetails_ = nullptr;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<TadpoleCommands> tadpoles_;
    std::unique_ptr<CalibrationCommands> calibrations_;
    std::unique_ptr<WindowToolHost> toolHost_;
    std::unique_ptr<LogTools> tools_;
    WorkControls controlsOn_;
    bool openedProject_ = false;
    bool closing_ = false;
    bool leftWorkOffered_ = false;
    bool leftWorkWaiting_ = false;  // the offer of left work waits for a picture being read
    bool pickingFromTable_ = false;  // a Ctrl+press picks a dip's row; its release is no tool's
    std::optional<QPointF> pointer_;  // over the log view, in its pixels
};
