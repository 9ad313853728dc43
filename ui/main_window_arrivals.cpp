// Other work coming to the window: the recent projects, files dropped on
// it, and work a run left behind without closing.
#include <QDragEnterEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>

#include "ui/file_commands.h"
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/work_recovery.h"

namespace {

constexpr int kRecentFolderWidth = 360;  // pixels of a folder's name in the menu

// The one local file a drag carries; nothing for several or for none.
QString draggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return QString();
    return data->urls().front().toLocalFile();
}

}  // namespace

void DigitizeWindow::showRecentProjects()
{
    QMenu* menu = actions_.recentProjects;
    menu->clear();
    const QStringList recent = settings::recentProjects();
    // Projects of one name in different folders stay apart; a long folder
    // is shortened in its middle, the whole path is the tip.
    const QFontMetrics metrics(menu->font());
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        const QFileInfo file(path);
        const QString folder = metrics.elidedText(QDir::toNativeSeparators(file.absolutePath()), Qt::ElideMiddle,
                                                  kRecentFolderWidth);
        QAction* entry =
            menu->addAction(QStringLiteral("&%1 %2  (%3)").arg(i + 1).arg(file.fileName(), folder));
        entry->setObjectName(QStringLiteral("mnurecent(%1)").arg(i));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] {
            if (QFileInfo(path).isFile()) {
                openFile(path);
                return;
            }
            settings::removeRecentProject(path);
            messages_->showError(QStringLiteral("Open Project"),
                                 QStringLiteral("The project \"%1\" is no longer there. It is taken off the recent "
                                                "projects.")
                                     .arg(path));
        });
    }
    menu->setEnabled(!recent.isEmpty());
}

void DigitizeWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void DigitizeWindow::dropEvent(QDropEvent* event)
{
    const QString path = draggedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop ends before any prompt is shown: the source program is not
    // held while the user answers.
    QMetaObject::invokeMethod(this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

void DigitizeWindow::offerLeftWork()
{
    // A picture being read (one given at the start) comes first: the offer
    // follows it, as it would have waited for any other open.
    if (files_->reading()) {
        leftWorkWaiting_ = true;
        return;
    }
    // Unsaved work in hand is not to be replaced; what was left waits.
    if (session_.hasPicture() && !session_.saved())
        return;
    askAboutLeftWork(*messages_, [this](LeftWork& left) {
        if (!files_->openProject(left.file, left.workName))
            return;  // the message said why; the work is offered again at the next start
        showOpenedWork(true);
        // Saved where the user likes, under the work's own name by default.
        dialog_->remember(QFileInfo(session_.picturePath()).absoluteDir().filePath(session_.workName()));
        session_.adoptLeftWork(left);
    });
}
