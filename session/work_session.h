#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QDate>
#include <QObject>
#include <QString>

#include "detection/tadpole_detector.h"
#include "files/project_file.h"
#include "model/calibration.h"
#include "model/found_review.h"
#include "model/work_edits.h"
#include "model/work_history.h"
#include "picture/log_picture.h"
#include "session/calibration_finder.h"

class CalibrationSearch;
class TadpoleSearch;
class WorkRecovery;
struct LeftWork;

// One piece of work on one log picture and what can be done with it: the
// use cases every front end shares. It owns the work, its picture, the
// history of its actions and the tadpoles found for review. The window is
// one front end; a program run from the command line is another. Messages
// come back as text for the front end to show.
class WorkSession : public QObject {
    Q_OBJECT
public:
    WorkSession();
    ~WorkSession() override;

    bool hasPicture() const { return !picture_.isNull(); }
    const LogPicture& picture() const { return picture_; }
    const Work& work() const { return history_.work(); }
    // Of the work in hand, made again after every change.
    const Calibration& calibration() const { return calibration_; }
    QString picturePath() const { return picturePath_; }
    // Empty until the work is saved as a project or opened from one.
    QString projectPath() const { return projectPath_; }
    // The project's file name, the picture's before the first save, or the
    // name recovered work had.
    QString workName() const { return workName_; }
    // The view's zoom kept in the project opened; 1 for a picture.
    double openedZoom() const { return openedZoom_; }

    // Opening. A picture is read apart from the session (on another thread
    // if the front end likes); the work is replaced only once it is whole.
    static std::optional<LogPicture> readPicture(const QString& path, QString& error,
                                                 const LogPicture::Progress& progress = {});
    // A new piece of work on the picture read from path.
    void startWithPicture(const QString& path, LogPicture picture);

    // A project file read, and where its picture is: empty when it is not
    // where the file says nor beside the project, for the user to locate.
    struct ProjectOpening {
        QString path;
        ProjectFile file;
        QString picturePath;
        QString pictureName;  // as the file names it, for the question
    };
    static std::optional<ProjectOpening> readProjectFile(const QString& path, QString& error);
    // The project's work on its picture, read from picturePath. A picture
    // found elsewhere than the file says leaves the work unsaved, and so
    // does work recovered after a crash, which takes its old name.
    void startWithProject(const ProjectOpening& opening, const QString& picturePath, LogPicture picture,
                          const QString& recoveredName = QString());
    // Both steps at once, for front ends that ask nobody: the picture must be
    // where the project says.
    bool openPicture(const QString& path, QString& error, const LogPicture::Progress& progress = {});
    bool openProject(const QString& path, QString& error, const LogPicture::Progress& progress = {});

    // Changing the work: each action is kept for undo. False, with the
    // reason and nothing changed, when the work cannot take it.
    bool apply(const WorkEdit& edit, QString& error, const std::string& name = {});
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    QString undoName() const { return QString::fromStdString(history_.undoName()); }
    QString redoName() const { return QString::fromStdString(history_.redoName()); }
    void undo();
    void redo();
    bool saved() const { return history_.saved(); }
    const WorkHistory& history() const { return history_; }

    // Saving through a temporary file: an earlier file stays whole when
    // writing fails. The project keeps the view's zoom.
    bool saveProject(const QString& path, double zoom, QString& error);
    // The project as the files write it; whole names the picture by its
    // whole path (the recovery file's way).
    ProjectFile projectFile(double zoom, bool whole = false) const;
    enum class DipTable { OneDecimal, NearestInteger, Csv };
    bool exportDips(const QString& path, DipTable kind, QString& error) const;
    // LAS: the unit of the depths ("M", "FT" or empty) and the export's date.
    bool exportLas(const QString& path, const QString& unit, const QDate& date, QString& error) const;

    // The tadpoles: a search over the calibrated log (nothing when the log
    // is not calibrated), its findings offered for review, the kept ones
    // added as dips.
    std::unique_ptr<TadpoleSearch> tadpoleSearch(const DetectionSettings& wanted);
    // The calibration the picture shows of itself, found on this thread or
    // in the background; the work is not changed.
    FoundCalibration findCalibration(const DetectionProgress& progress = {}, bool* cancelled = nullptr) const;
    std::unique_ptr<CalibrationSearch> calibrationSearch() const;
    // A calibration found, under review until it is accepted, as one action
    // that replaces the dip scale, the depth rows and the track's edges, or
    // rejected. One found without rows is not taken for review.
    void reviewCalibration(FoundCalibration found);
    const std::optional<FoundCalibration>& foundCalibration() const { return foundCalibration_; }
    bool acceptFoundCalibration(QString& error);
    void rejectFoundCalibration();
    void review(const FoundTadpoles& found, double leastSure);
    FoundReview& found() { return found_; }
    const FoundReview& found() const { return found_; }
    // False, with nothing added and the proposals still under review, when
    // the dip table cannot hold the kept ones: the only refusal of new dips.
    bool acceptFound(const std::string& filledGrade, const std::string& hollowGrade, QString& error);
    void rejectFound();
    // What the last search learned of the scan, or the scan studied now.
    const std::optional<ScanContext>& scanContext() const { return scanContext_; }
    // The printed tadpole whose dot lies within reach of (x, y), read as
    // the search reads the scan.
    std::optional<FoundTadpole> tadpoleAt(double x, double y, double reach, const DetectionSettings& wanted);

    // Unsaved work kept on disk, so that a crash loses at most the last
    // seconds of it (the window's way; a batch keeps none): written soon
    // after each change, removed once the work is saved. zoom gives the
    // view's zoom the file keeps.
    void keepForRecovery(std::function<double()> zoom);
    // Nothing until keepForRecovery.
    WorkRecovery* recovery() { return recovery_.get(); }
    // Work a run left without closing, just opened with startWithProject:
    // its file becomes this session's recovery file until the work is saved.
    void adoptLeftWork(LeftWork& left);
    // The front end closes cleanly: no recovery file stays.
    void endCleanly();

signals:
    // The work changed, or may have: an action (also one that left it as it
    // was), undo, redo, or another piece of work.
    void workChanged();
    // Undo's and redo's actions or the saved state changed.
    void historyChanged();
    // The tadpoles or the calibration under review changed.
    void foundChanged();

private:
    void start(const QString& picturePath, LogPicture picture, Work work, bool unsaved);
    void workReplaced();
    // Undo's and redo's actions or the saved state changed.
    void historyMoved();
    // The paper's colour of the log's dip track, or of the whole picture.
    QRgb paperColour();

    LogPicture picture_;
    WorkHistory history_;
    Calibration calibration_{Work{}};
    QString picturePath_;
    QString projectPath_;
    QString workName_;
    double openedZoom_ = 1;
    FoundReview found_;
    std::optional<FoundCalibration> foundCalibration_;
    std::optional<ScanContext> scanContext_;
    std::optional<QRgb> paper_;
    std::unique_ptr<WorkRecovery> recovery_;
};
