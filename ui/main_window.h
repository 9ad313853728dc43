#pragma once

#include <array>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>

#include <QMainWindow>

#include "core/found_review.h"
#include "core/project_state.h"
#include "picture/log_picture.h"
#include "core/work_snapshot.h"
#include "detection/tadpole_detector.h"
#include "interaction/interaction_host.h"
#include "ui/common_dialog.h"
#include "ui/user_messages.h"

class BevelBar;
class DipStatisticsWindow;
class EnterDipScales;
class FoundTadpolesPanel;
class InputBlocker;
class QProgressDialog;
class QTimer;
struct TadpoleSearchRun;
class LogView;
class Magnifier;
class QAction;
class QButtonGroup;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class PictureMouse;
class QScrollBar;
class SetDepthForm;
class SetScaleForm;
class QUndoStack;
class WorkRecovery;
struct LeftWork;
struct RecoveryContent;

// The main window (digitize): owns the project state for the life of the
// program, carries the menus, the tool panel and the log view, and turns the
// user's commands into changes of the state and redraws. The mouse work on
// the log view reaches the window through InteractionHost, whose apply is
// the one way the work changes: each action goes on the undo stack, and the
// stack's clean state says whether the work is saved. Unsaved work is kept
// for recovery after a crash.
class DigitizeWindow : public QMainWindow, public InteractionHost {
    Q_OBJECT
public:
    explicit DigitizeWindow(std::unique_ptr<CommonDialog> dialog = nullptr,
                            std::unique_ptr<UserMessages> messages = nullptr);
    ~DigitizeWindow() override;

    ProjectState& state() { return state_; }
    LogView& logView() { return *picture1_; }
    SetScaleForm& scaleForm() { return *setscaleform_; }
    EnterDipScales& dipScalePrompt() { return *enterDipScl_; }
    SetDepthForm& depthForm() { return *setdepthform_; }
    QUndoStack& undoStack() { return *undoStack_; }
    Magnifier& magnifier() { return *magnifier_; }
    DipStatisticsWindow& statisticsWindow() { return *statistics_; }
    WorkRecovery& recovery() { return *recovery_; }
    FoundTadpolesPanel& foundPanel() { return *foundPanel_; }
    const FoundReview& foundReview() const { return found_; }
    // How long "Find Tadpoles" or reading a picture runs before its progress
    // is shown.
    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }

    // Carries out one action on the work and keeps it for undo.
    void apply(const WorkEdit& edit) override;

    // The full redraw: the overlay, then the dip plot, then a pending dip's
    // guide circle.
    void redraw() override;

    // Commands of the menus and controls.
    void mnuopen_Click();
    void mnuopenprj_Click();
    void mnusave_Click();
    void mnusavecal_Click();
    void mnusavedig_Click();
    void mnureslog_Click();
    void mnucsv_Click();
    void mnulas_Click();
    void mnuexit_Click();
    void mnuabout_Click();
    void Command1_Click(int index);
    void Form_Resize();
    void OptDigCal_Click(int index);
    void mnugrid_Click();
    void qualityColour_Click(int quality);
    void setscaleform_Command1_Click();
    void setdepthform_Command1_Click();
    void mnugotodepth_Click();
    void mnumagnifier_Click();
    void mnustatistics_Click();
    // "Find Tadpoles": the search over the calibrated log, in the background
    // with its progress shown; the tadpoles found go to review.
    void mnufindtadpoles_Click();
    // The review: the kept tadpoles become dips as one action; all dropped;
    // the view stepped to the next or previous one.
    void acceptFound();
    void rejectFound();
    void stepFound(bool forward);
    // The paper's colour of the log's dip track, or of the whole picture.
    QRgb paperColour();
    // Escape: disarms "Delete Dip" or "Area Erase", else removes the dip
    // awaiting its tail, as its undo would.
    void escapePressed();

    // The kinds of log picture "Open Picture" offers, Windows bitmaps first.
    static const QString kPictureFilter;

    // Opens the picture at path as "Open Picture" does after its dialog.
    bool openPicture(const QString& path);
    // Opens the project at path as "Open Project" does after its dialog; on
    // any failure a message says what is wrong and nothing changes.
    bool openProject(const QString& path);
    // A file named on the command line, dropped on the window or chosen
    // among the recent projects: a project (".ddp") or a picture, as if
    // chosen in the file dialog, after the prompt to save unsaved work.
    bool openFile(const QString& path);

signals:
    // Every window is closed: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createControls();
    void createToolPanel();
    void createQualityButtons(QHBoxLayout* row);
    void createBars();
    void Form_Load();

    // The close prompt, asked while the work is unsaved; true when the
    // program is to end.
    bool Form_Unload();
    // Before the work in hand is let go (closing, opening another log):
    // while it is unsaved, Save, Discard or Cancel. True when it may go.
    // keptNote follows the message of a save that did not happen.
    bool settleUnsavedWork(const QString& keptNote);
    // Yes at that prompt: to the project's own file, else through "Save
    // Project As"; false, with a message, when nothing was written.
    bool saveWorkInHand(const QString& keptNote);
    // The start state of the work, in this screen's twips and the colours
    // chosen.
    ProjectState freshWork() const;
    // Every control as at the start, before another log is shown.
    void resetControls();
    void showRecentProjects();
    void openRecentProject(const QString& path);

    enum class SaveOutcome { Saved, Cancelled, Failed };
    SaveOutcome saveProjectAs(const QString& failureNote = QString());
    // failureNote follows the reason when the save fails.
    bool writeProjectFile(const QString& path, const QString& failureNote = QString());
    // Writes path through a temporary file; a failure is shown under title,
    // followed by failureNote.
    bool saveThrough(const QString& title, const QString& path, const std::function<bool(std::ostream&)>& writer,
                     const QString& failureNote = QString());
    // A project file opened as "Open Project" does; with recoveredName, work
    // left by an earlier run, opened as unsaved work of that name.
    bool openProjectFile(const QString& path, const QString& recoveredName = QString());
    // The picture at path into picture, the hourglass shown meanwhile; a
    // failure is shown under title and leaves picture as it was.
    bool readPicture(LogPicture& picture, const QString& path, const QString& title);
    bool locatePicture(const QString& name, const QString& folder, QString& found);
    // The export dialog for extension, after its default name; the chosen path.
    std::optional<QString> askExportPath(const QString& title, const QString& description, const char* extension);
    void showOpenedProject();
    // The "unsaved" mark, ProjectChanged and the recovery file follow the
    // history's clean state.
    void followSavedState();
    // The title: the work's name and the place of the "unsaved" mark.
    void showWorkName();
    RecoveryContent recoveryContent() const;
    // At the first showing: work left by a run that ended without closing.
    void offerLeftWork();
    void recoverWork(LeftWork& left);
    // The dip awaiting its tail, for the sorts of the saves to follow.
    int* trackedDip();
    void endProgram();

    // InteractionHost
    void redrawOverlay() override;
    void showDipScalePrompt(bool shown) override;
    void setDipScalePrompt(const std::string& text) override;
    void showEnterDepth(bool shown) override;
    void showDefineDipScale() override;
    void setMainWindowEnabled(bool enabled) override;
    void showMessage(const std::string& title, const std::string& text) override;
    void setReadout(int label, const std::string& text) override;
    void showReadout(int label, bool shown) override;
    void enableSaveProjectAs() override;
    void connectLogView();
    int screenRowOfNewestDepthLine() const;

    // Undo and redo put the work back and show it.
    void restoreWork(const WorkSnapshot& work);
    // "Enter Dip Scales" as the calibration sequence stands.
    void showSequencePrompt();
    void followWithMagnifier(double x, double y);
    // The statistics follow every change of the work while they are shown.
    void refreshStatistics();
    void saveStatisticsImage();
    void createHistory();
    void createTadpoleActions();
    void createFoundPanel();
    void finishTadpoleSearch();
    // A press on the log view while tadpoles are under review: the one
    // pressed on is kept or dropped. False when no proposal was there.
    bool toggleProposalAt(double x, double y);
    // The panel and keys follow what is under review; and the view shows it.
    void followReview();
    void showReview();
    void followDigitizingPossible();
    void centreViewOn(double imageX, double imageY);
    std::optional<SnapTarget> snapTarget(double x, double y, double reach) override;

    void replot2();
    void PP();
    void ScrollBars_Change();
    void wheelScroll(double notches, bool horizontal);
    void layoutScrollRanges();
    void setQualitySwatch(int quality, Rgb colour);
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;

    ProjectState state_;
    LogPicture picture6_;
    std::unique_ptr<CommonDialog> cmDialog1_;
    std::unique_ptr<UserMessages> messages_;
    std::unique_ptr<PictureMouse> mouse_;
    bool closing_ = false;
    bool leftWorkOffered_ = false;
    QString projectPath_;  // last saved or opened in this run
    QString picturePath_;  // the picture's full path
    // The title's name of the work, which names its recovery file too: the
    // project's file name, or the picture's before the first save.
    QString workName_;
    std::unique_ptr<WorkRecovery> recovery_;
    QUndoStack* undoStack_ = nullptr;
    // The work before a depth line was placed: its action is recorded when
    // its depth is entered, and forgotten when it is withdrawn.
    std::optional<WorkSnapshot> beforeDepthLine_;
    FoundReview found_;
    std::unique_ptr<TadpoleSearchRun> search_;  // while "Find Tadpoles" runs
    // What the last search, or the first snap, learned of the log's scan,
    // and its paper's colour: a press is read as the search reads.
    std::optional<ScanContext> scanContext_;
    std::optional<QRgb> paper_;
    int progressDelay_ = 500;
    bool reading_ = false;           // while a picture is read
    bool leftWorkWaiting_ = false;  // the offer of left work waits for the reading

    // Windows
    SetScaleForm* setscaleform_ = nullptr;
    SetDepthForm* setdepthform_ = nullptr;
    Magnifier* magnifier_ = nullptr;
    DipStatisticsWindow* statistics_ = nullptr;
    FoundTadpolesPanel* foundPanel_ = nullptr;
    EnterDipScales* enterDipScl_ = nullptr;

    // Menus
    QAction* mnuopen_ = nullptr;
    QAction* mnuopenprj_ = nullptr;
    QAction* mnusave_ = nullptr;
    QAction* mnusavedig_ = nullptr;
    QAction* mnusavecal_ = nullptr;
    QAction* mnureslog_ = nullptr;
    QAction* mnucsv_ = nullptr;
    QAction* mnulas_ = nullptr;
    QAction* mnuexit_ = nullptr;
    QAction* mnuerase_ = nullptr;
    QAction* mnuundo_ = nullptr;
    QAction* mnuredo_ = nullptr;
    QAction* mnudeletedip_ = nullptr;
    QAction* mnumagnifier_ = nullptr;
    QAction* mnugotodepth_ = nullptr;
    QAction* mnustatistics_ = nullptr;
    QAction* escapeKey_ = nullptr;
    QAction* mnugrid_ = nullptr;
    QAction* mnufindtadpoles_ = nullptr;
    QAction* mnusnap_ = nullptr;
    QAction* acceptFoundKey_ = nullptr;
    std::array<QAction*, 2> stepFoundKeys_{};  // N and P
    std::array<QAction*, 4> mnucol_{};
    QAction* mnuabout_ = nullptr;
    std::array<QAction*, 2> zoomKeys_{};  // "+" and "-" of the keyboard
    QMenu* mnucolMenu_ = nullptr;
    QMenu* mnurecent_ = nullptr;

    // Controls
    QWidget* centre_ = nullptr;
    LogView* picture1_ = nullptr;
    BevelBar* picture3_ = nullptr;
    BevelBar* picture2_ = nullptr;
    QWidget* picture5_ = nullptr;
    QWidget* picture4_ = nullptr;
    QScrollBar* hScroll1_ = nullptr;
    QScrollBar* vScroll1_ = nullptr;
    std::array<QRadioButton*, 2> optDigCal_{};
    std::array<QRadioButton*, 8> option2_{};
    std::array<QRadioButton*, 4> option1_{};
    std::array<QLabel*, 4> label9_{};
    std::array<QPushButton*, 2> command1_{};
    std::array<QLabel*, 8> readout_{};  // Label1 to Label8
    QCheckBox* check1_ = nullptr;
    QLabel* label11_ = nullptr;
    QLabel* label60_ = nullptr;
    QLabel* label70_ = nullptr;
    QLabel* label100_ = nullptr;
    QLabel* label90_ = nullptr;
};
