// Whether the work is saved, as the history's clean state says, shown in the
// title and kept for recovery; and work left by a run that ended without
// closing, offered again.
#include <QDir>
#include <QFileInfo>
#include <QUndoStack>

#include "ui/common_dialog.h"
#include "ui/main_window.h"
#include "ui/user_messages.h"
#include "ui/work_recovery.h"

void DigitizeWindow::followSavedState()
{
    const bool unsaved = !undoStack_->isClean();
    state_.ProjectChanged = unsaved;
    setWindowModified(unsaved);
    followDigitizingPossible();
    if (unsaved)
        recovery_->workChanged();
    else
        recovery_->workSaved();
}

void DigitizeWindow::showWorkName()
{
    const QString caption = QStringLiteral("Vellwick Dipmeter Digitizer");
    setWindowTitle(workName_.isEmpty() ? caption : QStringLiteral("%1[*] - %2").arg(workName_, caption));
}

RecoveryContent DigitizeWindow::recoveryContent() const
{
    RecoveryContent content{workName_, state_};
    // A depth line still waiting for its depth is not yet an action.
    if (beforeDepthLine_)
        restoreSnapshot(content.work, *beforeDepthLine_);
    content.work.FILE = QFile::encodeName(picturePath_).toStdString();
    return content;
}

void DigitizeWindow::offerLeftWork()
{
    // A picture being read (one given at the start) comes first: the offer
    // follows it, as it would have waited for any other open.
    if (reading_) {
        leftWorkWaiting_ = true;
        return;
    }
    // Unsaved work in hand is not to be replaced; what was left waits.
    if (!undoStack_->isClean())
        return;
    for (LeftWork& left : WorkRecovery::leftWork()) {
        const QString question = QStringLiteral("Unsaved work on \"%1\" from %2 was found. Recover it?")
                                     .arg(left.workName, left.written.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        if (messages_->askYesNo(QStringLiteral("Recover Work"), question)) {
            recoverWork(left);
            return;
        }
        if (!WorkRecovery::setAside(left))
            messages_->showError(QStringLiteral("Recover Work"),
                                 QStringLiteral("The unsaved work \"%1\" could not be put aside; it is offered "
                                                "again at the next start.")
                                     .arg(left.file));
    }
}

void DigitizeWindow::recoverWork(LeftWork& left)
{
    if (!openProjectFile(left.file, left.workName))
        return;  // the message said why; the work is offered again at the next start
    // Saved where the user likes, under the work's own name by default.
    cmDialog1_->remember(QDir(QFileInfo(picturePath_).absolutePath()).filePath(workName_));
    if (!recovery_->adopt(left))
        recovery_->workChanged();
}
