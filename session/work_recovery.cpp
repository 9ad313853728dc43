#include "session/work_recovery.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QPromise>
#include <QThreadPool>
#include <QUuid>

#include "files/project_file.h"
#include "files/safe_save.h"

namespace {

const QString kSuffix = QStringLiteral(".recovery.ddp");
const QString kSetAside = QStringLiteral("set-aside");

QString fileNameFor(const QString& workName)
{
    return (workName.isEmpty() ? QStringLiteral("untitled") : workName) + kSuffix;
}

QString workNameOf(const QString& fileName) { return fileName.chopped(kSuffix.size()); }

// A lock held only while its window lives: its age says nothing.
std::unique_ptr<QLockFile> lockAt(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}

// The folder of left work goes, then the lock that reserved it.
void release(LeftWork& left)
{
    QDir(QFileInfo(left.file).absolutePath()).removeRecursively();
    if (left.lock)
        left.lock->unlock();
}

}  // namespace

WorkRecovery::WorkRecovery(std::function<RecoveryContent()> take, QObject* parent)
    : QObject(parent), take_(std::move(take))
{
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (!resultDue_)
            startWrite();  // else the write under way starts the next when done
    });
    connect(&watcher_, &QFutureWatcher<QString>::finished, this, &WorkRecovery::finishWrite);
}

WorkRecovery::~WorkRecovery()
{
    blockSignals(true);
    ended_ = true;
    timer_.stop();
    waitForWrite();
    if (lock_ && current_.isEmpty())
        QDir(folder_).removeRecursively();
}

QString WorkRecovery::rootFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString WorkRecovery::setAsideFolder() { return QDir(rootFolder()).filePath(kSetAside); }

void WorkRecovery::workChanged()
{
    if (ended_)
        return;
    changed_ = true;
    removeDue_ = false;
    if (!timer_.isActive() && !resultDue_)
        timer_.start();
}

void WorkRecovery::workSaved()
{
    timer_.stop();
    changed_ = false;
    if (resultDue_)
        removeDue_ = true;
    else
        removeFile();
}

void WorkRecovery::endCleanly()
{
    ended_ = true;
    timer_.stop();
    waitForWrite();
    if (lock_) {
        QDir(folder_).removeRecursively();
        lock_.reset();
    }
    current_.clear();
}

bool WorkRecovery::ensureFolder()
{
    if (lock_)
        return true;
    const QDir root(rootFolder());
    if (!root.mkpath(QStringLiteral(".")))
        return false;
    // The lock comes before the folder, so that no search ever finds the
    // folder of a live window unreserved.
    const QString id = QUuid::createUuid().toString(QUuid::Id128);
    auto lock = lockAt(root.filePath(id + QStringLiteral(".lock")));
    if (!lock->tryLock(0) || !root.mkpath(id))
        return false;
    folder_ = root.filePath(id);
    lock_ = std::move(lock);
    return true;
}

void WorkRecovery::startWrite()
{
    changed_ = false;
    if (!ensureFolder()) {
        if (!failureTold_) {
            failureTold_ = true;
            emit failed(QStringLiteral("The folder \"%1\" cannot be made.").arg(rootFolder()));
        }
        return;
    }
    RecoveryContent content = take_();
    writing_ = folder_ + QLatin1Char('/') + fileNameFor(content.workName);
    const std::string path = QFile::encodeName(writing_).toStdString();
    resultDue_ = true;
    // The work is a copy: its dip rows are shared with the session's, which
    // changes only its own copy.
    auto promise = std::make_shared<QPromise<QString>>();
    watcher_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, path, work = std::move(content.work)] {
        std::string error;
        const bool saved =
            saveFileSafely(path, [&work](std::ostream& out) { return writeProject(out, work); }, error);
        promise->addResult(saved ? QString() : QString::fromStdString(error));
        promise->finish();
    });
}

void WorkRecovery::finishWrite()
{
    if (!resultDue_)
        return;
    resultDue_ = false;
    const QString error = watcher_.future().result();
    if (error.isEmpty()) {
        if (!current_.isEmpty() && current_ != writing_)
            QFile::remove(current_);  // the work took another name
        current_ = writing_;
        emit written(current_);
    } else if (!failureTold_) {
        failureTold_ = true;
        emit failed(error);
    }
    writing_.clear();
    if (removeDue_) {
        removeDue_ = false;
        removeFile();
    } else if (changed_ && !ended_ && !timer_.isActive()) {
        timer_.start();
    }
}

void WorkRecovery::writeNow()
{
    timer_.stop();
    waitForWrite();
    startWrite();
}

void WorkRecovery::waitForWrite()
{
    if (!resultDue_)
        return;
    watcher_.waitForFinished();
    finishWrite();
}

void WorkRecovery::removeFile()
{
    if (current_.isEmpty())
        return;
    QFile::remove(current_);
    current_.clear();
}

bool WorkRecovery::adopt(LeftWork& left)
{
    if (!ensureFolder())
        return false;
    const QString target = folder_ + QLatin1Char('/') + QFileInfo(left.file).fileName();
    if (!current_.isEmpty())
        QFile::remove(current_);
    QFile::remove(target);
    if (!QFile::rename(left.file, target))
        return false;
    current_ = target;
    release(left);
    return true;
}

std::vector<LeftWork> WorkRecovery::leftWork()
{
    std::vector<LeftWork> found;
    const QDir root(rootFolder());
    if (!root.exists())
        return found;
    for (const QString& id : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (id == kSetAside)
            continue;
        std::shared_ptr<QLockFile> lock = lockAt(root.filePath(id + QStringLiteral(".lock")));
        if (!lock->tryLock(0))
            continue;  // its window is still open
        const QDir folder(root.filePath(id));
        const QFileInfoList files = folder.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Time);
        if (files.isEmpty()) {
            QDir(folder).removeRecursively();
            continue;
        }
        const QFileInfo& newest = files.front();
        found.push_back({newest.absoluteFilePath(), workNameOf(newest.fileName()), newest.lastModified(), lock});
    }
    // Locks of windows that ended before they made their folder.
    for (const QString& name : root.entryList({QStringLiteral("*.lock")}, QDir::Files)) {
        if (root.exists(name.chopped(5)))
            continue;
        const auto stray = lockAt(root.filePath(name));
        if (stray->tryLock(0))
            stray->unlock();
    }
    std::sort(found.begin(), found.end(), [](const LeftWork& a, const LeftWork& b) { return a.written > b.written; });
    return found;
}

bool WorkRecovery::setAside(LeftWork& left)
{
    const QDir aside(setAsideFolder());
    if (!aside.mkpath(QStringLiteral(".")))
        return false;
    const QString target = aside.filePath(QFileInfo(left.file).fileName());
    QFile::remove(target);
    if (!QFile::rename(left.file, target))
        return false;
    release(left);
    return true;
}
