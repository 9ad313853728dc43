// Opening another log over the work in hand: the prompt to save it, the
// work replaced whole, the recent projects and files dropped on the window.
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QUndoStack>

#include "interaction/picture_mouse.h"
#include "ui/common_dialog.h"
#include "ui/enter_dip_scales.h"
#include "ui/found_tadpoles_panel.h"
#include "ui/main_window.h"
#include "ui/program_settings.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/user_messages.h"

namespace {

bool isProject(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("ddp"), Qt::CaseInsensitive) == 0;
}

// The one local file a drag carries; nothing for several or for none.
QString draggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return QString();
    return data->urls().front().toLocalFile();
}

}  // namespace

bool DigitizeWindow::settleUnsavedWork(const QString& keptNote)
{
    if (!state_.ProjectChanged)
        return true;
    const auto answer = messages_->askYesNoCancel(QStringLiteral("Warning"),
                                                  QStringLiteral("Project information has changed.\nSave changes?"));
    if (answer == QMessageBox::Cancel)
        return false;
    // Only a save that was written lets the work go.
    return answer == QMessageBox::No || saveWorkInHand(keptNote);
}

bool DigitizeWindow::saveWorkInHand(const QString& keptNote)
{
    if (!projectPath_.isEmpty())
        return writeProjectFile(projectPath_, keptNote);
    switch (saveProjectAs(keptNote)) {
    case SaveOutcome::Saved:
        return true;
    case SaveOutcome::Cancelled:
        messages_->showError(QStringLiteral("Save Project"), QStringLiteral("Nothing was saved. ") + keptNote);
        return false;
    case SaveOutcome::Failed:
        break;
    }
    return false;
}

ProjectState DigitizeWindow::freshWork() const
{
    ProjectState fresh;
    fresh.TwipsPerPixelX = state_.TwipsPerPixelX;
    fresh.TwipsPerPixelY = state_.TwipsPerPixelY;
    fresh.QualityColorA = state_.QualityColorA;
    fresh.QualityColorB = state_.QualityColorB;
    fresh.QualityColorC = state_.QualityColorC;
    fresh.QualityColorD = state_.QualityColorD;
    return fresh;
}

void DigitizeWindow::resetControls()
{
    mouse_->disarm();
    beforeDepthLine_.reset();
    setscaleform_->hide();
    setdepthform_->hide();
    enterDipScl_->hide();
    optDigCal_[1]->setChecked(true);
    for (QRadioButton* tool : option2_)
        tool->setEnabled(false);
    option2_[0]->setChecked(true);
    for (QRadioButton* grade : option1_)
        grade->setEnabled(false);
    option1_[0]->setChecked(true);
    for (QLabel* label : readout_)
        label->setVisible(false);
    check1_->setChecked(false);
    check1_->setEnabled(false);
    mnugrid_->setChecked(false);
    label11_->setVisible(false);
    label60_->setText(QStringLiteral("1:1"));
    for (QScrollBar* bar : {hScroll1_, vScroll1_}) {
        const QSignalBlocker quiet(bar);  // the new log's layout redraws once
        bar->setValue(0);
    }
    for (QAction* a : {mnusavecal_, mnusavedig_, mnureslog_, mnuerase_})
        a->setEnabled(false);
    found_.clear();  // found on the log being left
    scanContext_.reset();
    paper_.reset();
    foundPanel_->showCurrent(QString());
    followReview();
}

bool DigitizeWindow::openFile(const QString& path)
{
    if (!settleUnsavedWork(QStringLiteral("The work stays open.")))
        return false;
    const bool opened = isProject(path) ? openProject(path) : openPicture(path);
    if (opened)
        cmDialog1_->remember(path);
    return opened;
}

void DigitizeWindow::showRecentProjects()
{
    mnurecent_->clear();
    const QStringList recent = settings::recentProjects();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QAction* entry = mnurecent_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        entry->setObjectName(QStringLiteral("mnurecent(%1)").arg(i));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { openRecentProject(path); });
    }
    mnurecent_->setEnabled(!recent.isEmpty());
}

void DigitizeWindow::openRecentProject(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        settings::removeRecentProject(path);
        messages_->showError(QStringLiteral("Open Project"),
                             QStringLiteral("The project \"%1\" is no longer there. It is taken off the recent "
                                            "projects.")
                                 .arg(path));
        return;
    }
    openFile(path);
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
