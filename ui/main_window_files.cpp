// The file commands of the main window: the project saved and opened again,
// the dip exports, and a file named on the command line. Every file is
// written through a temporary file, and an open that fails changes nothing.
#include <fstream>
#include <utility>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUndoStack>

#include "core/calibration_dialogs.h"
#include "core/dipdigitize.h"
#include "files/dip_export.h"
#include "files/dip_interchange.h"
#include "files/project_file.h"
#include "files/safe_save.h"
#include "ui/busy_pointer.h"
#include "ui/common_dialog.h"
#include "ui/dip_statistics_window.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/picture_reading.h"
#include "ui/program_settings.h"
#include "ui/set_scale_form.h"
#include "ui/user_messages.h"
#include "ui/view_rules.h"

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

int* DigitizeWindow::trackedDip()
{
    return state_.interaction.AwaitingAzimuth ? &state_.interaction.PendingRow : nullptr;
}

bool DigitizeWindow::saveThrough(const QString& title, const QString& path,
                                 const std::function<bool(std::ostream&)>& writer, const QString& failureNote)
{
    std::string error;
    bool saved = false;
    {
        BusyPointer busy;
        saved = saveFileSafely(localPath(path), writer, error);
    }
    if (!saved) {
        QString text = QString::fromStdString(error);
        if (!failureNote.isEmpty())
            text += QLatin1Char('\n') + failureNote;
        messages_->showError(title, text);
    }
    return saved;
}

void DigitizeWindow::mnusave_Click()
{
    if (projectPath_.isEmpty())
        saveProjectAs();
    else
        writeProjectFile(projectPath_);
}

void DigitizeWindow::mnusavecal_Click() { saveProjectAs(); }

DigitizeWindow::SaveOutcome DigitizeWindow::saveProjectAs(const QString& failureNote)
{
    CommonDialog& d = *cmDialog1_;
    d.FileName = QString::fromStdString(defaultFileName(d.FileTitle.toStdString(), "ddp"));
    d.DialogTitle = QStringLiteral("Save Project");
    d.Filter = QStringLiteral("Project files (*.ddp)|*.ddp|");
    d.Flags = CommonDialog::kOverwritePrompt;
    if (!d.ShowSave())
        return SaveOutcome::Cancelled;
    return writeProjectFile(d.FileName, failureNote) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

bool DigitizeWindow::writeProjectFile(const QString& path, const QString& failureNote)
{
    const bool saved = saveThrough(
        QStringLiteral("Save Project"), path,
        [this](std::ostream& out) { return writeProject(out, state_, trackedDip()); }, failureNote);
    if (!saved)
        return false;
    projectPath_ = QFileInfo(path).absoluteFilePath();
    workName_ = QFileInfo(path).fileName();
    undoStack_->setClean();
    showWorkName();
    settings::addRecentProject(projectPath_);
    return true;
}

void DigitizeWindow::mnusavedig_Click()
{
    CommonDialog& d = *cmDialog1_;
    d.Flags = CommonDialog::kOverwritePrompt;
    d.DialogTitle = QStringLiteral("Save Digitized Dips");
    d.Filter = QStringLiteral("Dip files (*.dip)|*.dip|");
    d.FileName = QString::fromStdString(defaultFileName(d.FileTitle.toStdString(), "dip"));
    if (!d.ShowSave())
        return;
    // An export keeps the dips for other programs, not the work: it is no save.
    saveThrough(d.DialogTitle, d.FileName, [this](std::ostream& out) { return writeDips(out, state_, trackedDip()); });
}

void DigitizeWindow::mnureslog_Click()
{
    sortdips(state_, trackedDip());
    CommonDialog& d = *cmDialog1_;
    d.Flags = CommonDialog::kOverwritePrompt;
    d.DialogTitle = QStringLiteral("Save At Nearest Integer Depth");
    d.Filter = QStringLiteral("*.dip");
    d.FileName = QStringLiteral("*.dip");
    if (!d.ShowSave())
        return;
    saveThrough(d.DialogTitle, d.FileName,
                [this](std::ostream& out) { return writeDipsAtNearestInteger(out, state_, trackedDip()); });
}

std::optional<QString> DigitizeWindow::askExportPath(const QString& title, const QString& description,
                                                    const char* extension)
{
    CommonDialog& d = *cmDialog1_;
    d.Flags = CommonDialog::kOverwritePrompt;
    d.DialogTitle = title;
    d.Filter = QStringLiteral("%1 (*.%2)|*.%2|").arg(description, QString::fromLatin1(extension));
    d.FileName = QString::fromStdString(defaultFileName(d.FileTitle.toStdString(), extension));
    if (!d.ShowSave())
        return std::nullopt;
    return d.FileName;
}

void DigitizeWindow::mnucsv_Click()
{
    const QString title = QStringLiteral("Export Dips as CSV");
    if (const auto path = askExportPath(title, QStringLiteral("CSV files"), "csv"))
        saveThrough(title, *path, [this](std::ostream& out) { return writeDipsCsv(out, state_, trackedDip()); });
}

void DigitizeWindow::mnulas_Click()
{
    const QString title = QStringLiteral("Export Dips as LAS");
    // The LAS index holds real depths only: a dip outside the depth
    // calibration has none.
    recomputeAndSortDips(state_, trackedDip());
    const int withoutDepth = dipsWithoutDepth(state_);
    if (withoutDepth == state_.NumPoints) {
        messages_->showError(title, QStringLiteral("No dip has a depth yet: there is nothing to export as LAS."));
        return;
    }
    const auto path = askExportPath(title, QStringLiteral("LAS files"), "las");
    if (!path)
        return;
    // Depths carry whatever unit was typed: the user says which.
    const auto unit = messages_->askChoice(title, QStringLiteral("Unit of the depths:"),
                                           {QStringLiteral("M"), QStringLiteral("FT"), QStringLiteral("none")});
    if (!unit)
        return;
    LasWell well;
    well.depthUnit = *unit == QStringLiteral("none") ? std::string() : unit->toStdString();
    well.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    const auto writer = [this, &well](std::ostream& out) { return writeDipsLas(out, state_, well, trackedDip()); };
    if (!saveThrough(title, *path, writer))
        return;
    if (withoutDepth > 0)
        messages_->showError(title, QStringLiteral("%1 of the %2 dips lie outside the depth calibration and have no "
                                                   "depth: they were left out of the LAS file.")
                                        .arg(withoutDepth)
                                        .arg(state_.NumPoints));
}

void DigitizeWindow::saveStatisticsImage()
{
    CommonDialog& d = *cmDialog1_;
    d.Flags = CommonDialog::kOverwritePrompt;
    d.DialogTitle = QStringLiteral("Save Image");
    d.Filter = QStringLiteral("PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg|");
    d.FilterIndex = 1;
    d.FileName = QString::fromStdString(defaultFileName(d.FileTitle.toStdString(), "png"));
    if (!d.ShowSave())
        return;
    if (!statistics_->saveImage(d.FileName))
        messages_->showError(d.DialogTitle, QStringLiteral("Cannot save \"%1\". Any earlier file of that name is "
                                                           "unchanged.")
                                                .arg(d.FileName));
}

void DigitizeWindow::mnuopenprj_Click()
{
    if (!settleUnsavedWork(QStringLiteral("The work stays open.")))
        return;
    CommonDialog& d = *cmDialog1_;
    d.Filter = QStringLiteral("Dipmeter Digitizer Project|*.ddp");
    d.FilterIndex = 1;
    d.FileName = QStringLiteral("*.ddp");
    if (!d.ShowOpen())
        return;
    openProject(d.FileName);
}

bool DigitizeWindow::openProject(const QString& path) { return openProjectFile(path); }

bool DigitizeWindow::openProjectFile(const QString& path, const QString& recoveredName)
{
    const bool recovered = !recoveredName.isEmpty();
    const QString title = recovered ? QStringLiteral("Recover Work") : QStringLiteral("Open Project");
    // Read into fresh work: the work in the window is replaced only when the
    // file and its picture are both whole.
    ProjectState opened = freshWork();
    {
        std::ifstream in(localPath(path), std::ios::binary);
        if (!in) {
            messages_->showError(title, QStringLiteral("The project \"%1\" cannot be opened.").arg(path));
            return false;
        }
        std::string error;
        if (!readProject(in, opened, error)) {
            messages_->showError(title, QStringLiteral("The project \"%1\" cannot be read.\n%2")
                                            .arg(path, QString::fromStdString(error)));
            return false;
        }
    }
    // A project names the picture without its folder: it is looked for
    // beside the project. Recovered work names it by its full path.
    const QFileInfo named(QString::fromStdString(opened.FILE));
    const QString folder = named.isAbsolute() ? named.absolutePath() : QFileInfo(path).absolutePath();
    QString picturePath = QDir(folder).filePath(named.filePath());
    const bool located = !QFileInfo(picturePath).isFile();
    if (located && !locatePicture(named.fileName(), folder, picturePath))
        return false;
    picturePath = QFileInfo(picturePath).absoluteFilePath();
    if (located || named.isAbsolute())
        opened.FILE = QFileInfo(picturePath).fileName().toStdString();
    LogPicture picture;
    if (!readPicture(picture, picturePath, title))
        return false;

    resetControls();
    state_ = std::move(opened);
    picture6_ = std::move(picture);
    picturePath_ = picturePath;
    projectPath_ = recovered ? QString() : QFileInfo(path).absoluteFilePath();
    workName_ = recovered ? recoveredName : QFileInfo(path).fileName();
    showWorkName();
    undoStack_->clear();
    // A project that now names another picture, and recovered work, are
    // not saved as they stand.
    if (located || recovered)
        undoStack_->resetClean();
    showOpenedProject();
    followSavedState();
    if (!recovered)
        settings::addRecentProject(projectPath_);
    return true;
}

bool DigitizeWindow::readPicture(LogPicture& picture, const QString& path, const QString& title)
{
    QString error;
    reading_ = true;
    const bool read = readShowingProgress(this, title, progressDelay_, [&](const LogPicture::Progress& progress) {
        return picture.load(path, error, progress);
    });
    reading_ = false;
    if (std::exchange(leftWorkWaiting_, false))
        QTimer::singleShot(0, this, &DigitizeWindow::offerLeftWork);
    if (read)
        return true;
    if (!error.isEmpty())  // else cancelled: the work stays as it was
        messages_->showError(title, error);
    return false;
}

bool DigitizeWindow::locatePicture(const QString& name, const QString& folder, QString& found)
{
    if (!messages_->askYesNo(QStringLiteral("Open Project"),
                             QStringLiteral("The picture \"%1\" named in the project is not in the project's folder "
                                            "\"%2\".\nLocate it?")
                                 .arg(name, folder)))
        return false;
    // The dialog's settings stay those of the project: its name gives the
    // default names of the saves.
    CommonDialog& d = *cmDialog1_;
    const QString fileName = d.FileName, fileTitle = d.FileTitle, dialogTitle = d.DialogTitle, filter = d.Filter;
    const int filterIndex = d.FilterIndex;
    d.DialogTitle = QStringLiteral("Locate %1").arg(name);
    d.Filter = kPictureFilter;
    d.FilterIndex = 2;  // all kinds: the picture may be any of them
    d.FileName = QString();
    const bool chosen = d.ShowOpen();
    found = d.FileName;
    d.FileName = fileName;
    d.FileTitle = fileTitle;
    d.DialogTitle = dialogTitle;
    d.Filter = filter;
    d.FilterIndex = filterIndex;
    return chosen;
}

void DigitizeWindow::showOpenedProject()
{
    if (const std::string caption = dipScaleCaption(state_.DipScaleMode); !caption.empty())
        label11_->setText(QString::fromStdString(caption));
    if (const auto caption = zoomCaption(state_.ZoomFactor))
        label60_->setText(QString::fromStdString(*caption));
    state_.interaction.PendingCentreX = state_.interaction.PendingCentreY = -1;
    state_.SkipNextPlot = false;
    state_.DipScaleDefined = true;
    state_.AwaitDepthLine = true;
    setscaleform_->hide();

    picture1_->surface().setPicture(&picture6_);
    picture1_->setBordered(true);
    option2_[0]->setEnabled(true);
    option2_[1]->setEnabled(true);
    label70_->setEnabled(true);
    label100_->setVisible(false);
    label90_->setVisible(false);
    command1_[0]->setEnabled(true);
    command1_[1]->setEnabled(true);
    mnusavecal_->setEnabled(true);
    mnusavedig_->setEnabled(true);
    label11_->setVisible(true);
    // The layout takes the scroll ranges of the picture and, a picture being
    // open now, redraws everything once.
    Form_Resize();
    optDigCal_[0]->setChecked(true);
    OptDigCal_Click(0);
    refreshStatistics();
}
