#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QString>

#include "session/work_session.h"

class CommonDialog;
class QWidget;
class UserMessages;

// The File menu's commands: the dialogs that ask for paths and answers, the
// session's use cases that open, save and export, and the messages that say
// what went wrong. Whatever fails changes nothing of the work in hand.
class FileCommands {
public:
    FileCommands(WorkSession& session, CommonDialog& dialog, UserMessages& messages, QWidget* parent);

    // How long reading a picture runs before its progress is shown.
    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
    // While a picture is read.
    bool reading() const { return reading_; }
    // Told when a read ends, for what waited on it.
    void setReadEnded(std::function<void()> ended) { readEnded_ = std::move(ended); }

    // The kinds of log picture "Open Picture" offers, Windows bitmaps first.
    static const QString kPictureFilter;

    // "Open Picture" and "Open Project" with their dialogs; the path opened.
    std::optional<QString> askPicture();
    std::optional<QString> askProject(const QString& title);
    bool openPicture(const QString& path);
    // A project, or work left by a run that crashed (opened as unsaved work
    // of its old name).
    bool openProject(const QString& path, const QString& recoveredName = QString());

    // "Save Project": to the project's own file, else as "Save Project As".
    // zoom is the view's, which the project keeps.
    bool save(double zoom, const QString& failureNote = QString());
    enum class Saved { Yes, Cancelled, Failed };
    Saved saveAs(double zoom, const QString& failureNote = QString());
    // Before the work in hand is let go (closing, opening another log):
    // while it is unsaved, Save, Discard or Cancel. True when it may go;
    // keptNote follows the message of a save that did not happen.
    bool settleUnsavedWork(double zoom, const QString& keptNote);

    void exportDips(WorkSession::DipTable kind);
    void exportLas();
    // The dip table, the CSV and the LAS beside the work, under the names
    // the exports propose, after one question should any exist; then what
    // was written is told.
    void exportAll();
    // Calibrate → Apply Calibration From: the dip scale, depth rows and
    // edges of another project, as one action, after a question when its
    // picture's size is not this one's.
    void applyCalibrationFrom();
    // The dip statistics' image: proposed as "<work>-statistics.png" beside
    // the work; written by write.
    void saveStatisticsImage(const std::function<bool(const QString&)>& write);

private:
    // Writes through a temporary file; a failure is shown under title.
    bool report(const QString& title, bool done, const QString& error, const QString& failureNote = QString());
    std::optional<LogPicture> readPicture(const QString& path, const QString& title);
    bool locatePicture(const QString& name, const QString& folder, QString& found);
    // A name for a new file of the work with the given extension: the work's
    // name with it, in the work's folder when folder is set.
    QString proposedName(const QString& suffix, bool inFolder) const;
    // The LAS depth unit: the well details', or the user's, the last one
    // chosen proposed, asked once while a work is open. "none" for none;
    // nothing when cancelled.
    std::optional<QString> lasUnit(const QString& title);
    std::optional<QString> askSavePath(const QString& title, const QString& filter, const QString& proposal);

    WorkSession& session_;
    CommonDialog& dialog_;
    UserMessages& messages_;
    QWidget* parent_;
    int progressDelay_ = 500;
    bool reading_ = false;
    std::function<void()> readEnded_;
    QString noUnitFor_;  // the picture whose work was exported with no depth unit
};
