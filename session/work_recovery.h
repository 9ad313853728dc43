#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDateTime>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include "files/project_file.h"

class QLockFile;

// The work as its recovery file keeps it.
struct RecoveryContent {
    QString workName;   // "sample_log.ddp", or the picture's name before the first save
    ProjectFile work;   // naming the picture by its whole path
};

// Work left by a run that did not end cleanly. It stays reserved for whoever
// holds this value: the lock of the run that left it is held meanwhile.
struct LeftWork {
    QString file;
    QString workName;
    QDateTime written;
    std::shared_ptr<QLockFile> lock;
};

// Unsaved work kept beside the window so that a crash, a power cut or a
// killed process loses at most the last two seconds of it. Each window keeps
// its own folder under the application's data folder, reserved by a lock
// file while the window lives:
//   <data>/recovery/<id>.lock
//   <data>/recovery/<id>/<work name>.recovery.ddp
// The file is a project file whose FILE names the picture by its full path.
// It is written on a worker thread, through a temporary file and a rename,
// at most a second after the first change since the last write; saved work
// needs none. A folder whose lock nobody holds was left by a run that ended
// without closing its window.
class WorkRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 1000;

    // take gives the work to keep when a write is due.
    explicit WorkRecovery(std::function<RecoveryContent()> take, QObject* parent = nullptr);
    // Waits for a write under way. Unsaved work stays on disk: the window
    // went without closing.
    ~WorkRecovery() override;

    // The work changed and is not saved: it is written soon.
    void workChanged();
    // The work is saved, or back at its saved point: no recovery file.
    void workSaved();
    // The window closed cleanly: its file and folder go.
    void endCleanly();
    // Left work becomes this window's own recovery file, until it is saved.
    bool adopt(LeftWork& left);

    // Starts a write at once, without the delay (benchmarks).
    void writeNow();
    // Blocks until the write under way, if any, is done (tests, benchmarks
    // and the end).
    void waitForWrite();
    // The recovery file now on disk; empty when there is none.
    QString currentFile() const { return current_; }

    // Work that runs ended without closing left behind, newest first. The
    // folders left without work are cleared on the way.
    static std::vector<LeftWork> leftWork();
    // "No" to recovering: the file is kept under <data>/recovery/set-aside/,
    // replacing the one kept there before for the same work.
    static bool setAside(LeftWork& left);
    static QString setAsideFolder();

signals:
    void written(const QString& file);
    // A write failed; the reason in words. Told once per window.
    void failed(const QString& reason);

private:
    static QString rootFolder();
    bool ensureFolder();
    void startWrite();
    void finishWrite();
    void removeFile();

    std::function<RecoveryContent()> take_;
    QTimer timer_;
    QFutureWatcher<QString> watcher_;  // the write's error; empty on success
    QString folder_;  // this window's own, once made
    std::unique_ptr<QLockFile> lock_;
    QString current_;        // written and on disk
    QString writing_;        // being written
    bool changed_ = false;   // since the last write began
    bool removeDue_ = false;  // saved while a write was under way
    bool resultDue_ = false;
    bool ended_ = false;
    bool failureTold_ = false;
};
