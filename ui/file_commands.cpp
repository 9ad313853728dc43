#include "ui/file_commands.h"

#include <utility>

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include "files/dip_interchange.h"
#include "session/borrowed_calibration.h"
#include "ui/busy_pointer.h"
#include "ui/common_dialog.h"
#include "ui/picture_reading.h"
#include "ui/program_settings.h"
#include "ui/user_messages.h"

// Scans come as TIFF, PNG and JPEG besides Windows bitmaps.
const QString FileCommands::kPictureFilter =
    QStringLiteral("Windows Bitmap|*.bmp|All log pictures|*.bmp;*.tif;*.tiff;*.png;*.jpg;*.jpeg|"
                   "TIFF|*.tif;*.tiff|PNG|*.png|JPEG|*.jpg;*.jpeg");

FileCommands::FileCommands(WorkSession& session, CommonDialog& dialog, UserMessages& messages, QWidget* parent)
    : session_(session), dialog_(dialog), messages_(messages), parent_(parent)
{
}

bool FileCommands::report(const QString& title, bool done, const QString& error, const QString& failureNote)
{
    if (!done) {
        QString text = error;
        if (!failureNote.isEmpty())
            text += QLatin1Char('\n') + failureNote;
        messages_.showError(title, text);
    }
    return done;
}

std::optional<QString> FileCommands::askPicture()
{
    // Titled by its command, every kind of log picture shown at first.
    dialog_.DialogTitle = QStringLiteral("Open Picture");
    dialog_.Filter = kPictureFilter;
    dialog_.FilterIndex = 2;
    dialog_.FileName = QStringLiteral("*.bmp");
    if (!dialog_.ShowOpen())
        return std::nullopt;
    return dialog_.FileName;
}

std::optional<QString> FileCommands::askProject(const QString& title)
{
    dialog_.DialogTitle = title;
    dialog_.Filter = QStringLiteral("Dipmeter Digitizer Project|*.ddp");
    dialog_.FilterIndex = 1;
    dialog_.FileName = QStringLiteral("*.ddp");
    if (!dialog_.ShowOpen())
        return std::nullopt;
    return dialog_.FileName;
}

std::optional<LogPicture> FileCommands::readPicture(const QString& path, const QString& title)
{
    QString error;
    std::optional<LogPicture> picture;
    reading_ = true;
    readShowingProgress(parent_, title, progressDelay_, [&](const LogPicture::Progress& progress) {
        picture = WorkSession::readPicture(path, error, progress);
        return picture.has_value();
    });
    reading_ = false;
    if (readEnded_)
        readEnded_();
    if (!picture && !error.isEmpty())  // else cancelled: the work stays as it was
        messages_.showError(title, error);
    return picture;
}

bool FileCommands::openPicture(const QString& path)
{
    auto picture = readPicture(path, QStringLiteral("Open Picture"));
    if (!picture)
        return false;
    session_.startWithPicture(path, std::move(*picture));
    return true;
}

bool FileCommands::openProject(const QString& path, const QString& recoveredName)
{
    const QString title = recoveredName.isEmpty() ? QStringLiteral("Open Project") : QStringLiteral("Recover Work");
    QString error;
    const auto opening = WorkSession::readProjectFile(path, error);
    if (!opening)
        return report(title, false, error);
    QString picturePath = opening->picturePath;
    if (picturePath.isEmpty()
        && !locatePicture(opening->pictureName, QFileInfo(path).absolutePath(), picturePath))
        return false;
    auto picture = readPicture(picturePath, title);
    if (!picture)
        return false;
    session_.startWithProject(*opening, picturePath, std::move(*picture), recoveredName);
    if (recoveredName.isEmpty())
        settings::addRecentProject(session_.projectPath());
    return true;
}

bool FileCommands::locatePicture(const QString& name, const QString& folder, QString& found)
{
    if (!messages_.askYesNo(QStringLiteral("Open Project"),
                            QStringLiteral("The picture \"%1\" named in the project is not in the project's folder "
                                           "\"%2\".\nLocate it?")
                                .arg(name, folder)))
        return false;
    dialog_.DialogTitle = QStringLiteral("Locate %1").arg(name);
    dialog_.Filter = kPictureFilter;
    dialog_.FilterIndex = 2;  // all kinds: the picture may be any of them
    // Opened in the project's folder, the name it looks for proposed.
    dialog_.FileName = QDir(folder).filePath(name);
    if (!dialog_.ShowOpen())
        return false;
    found = dialog_.FileName;
    return true;
}

QString FileCommands::proposedName(const QString& suffix, bool inFolder) const
{
    const QFileInfo work(session_.workName());
    const QString name = work.completeBaseName() + suffix;
    if (!inFolder)
        return name;
    const QString place = session_.projectPath().isEmpty() ? session_.picturePath() : session_.projectPath();
    return QFileInfo(place).absoluteDir().filePath(name);
}

std::optional<QString> FileCommands::askSavePath(const QString& title, const QString& filter, const QString& proposal)
{
    dialog_.Flags = CommonDialog::kOverwritePrompt;
    dialog_.DialogTitle = title;
    dialog_.Filter = filter;
    dialog_.FilterIndex = 1;
    dialog_.FileName = proposal;
    if (!dialog_.ShowSave())
        return std::nullopt;
    return dialog_.FileName;
}

bool FileCommands::save(double zoom, const QString& failureNote)
{
    if (session_.projectPath().isEmpty())
        return saveAs(zoom, failureNote) == Saved::Yes;
    QString error;
    bool saved = false;
    {
        BusyPointer busy;
        saved = session_.saveProject(session_.projectPath(), zoom, error);
    }
    if (saved)
        settings::addRecentProject(session_.projectPath());
    return report(QStringLiteral("Save Project"), saved, error, failureNote);
}

FileCommands::Saved FileCommands::saveAs(double zoom, const QString& failureNote)
{
    // A project is proposed beside its picture, where it finds it again.
    const auto path = askSavePath(QStringLiteral("Save Project"), QStringLiteral("Project files (*.ddp)|*.ddp|"),
                                  proposedName(QStringLiteral(".ddp"), true));
    if (!path)
        return Saved::Cancelled;
    QString error;
    bool saved = false;
    {
        BusyPointer busy;
        saved = session_.saveProject(*path, zoom, error);
    }
    if (!report(QStringLiteral("Save Project"), saved, error, failureNote))
        return Saved::Failed;
    settings::addRecentProject(session_.projectPath());
    return Saved::Yes;
}

bool FileCommands::settleUnsavedWork(double zoom, const QString& keptNote)
{
    if (!session_.hasPicture() || session_.saved())
        return true;
    const auto answer = messages_.askYesNoCancel(QStringLiteral("Warning"),
                                                 QStringLiteral("Project information has changed.\nSave changes?"));
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::No)
        return true;
    // Only a save that was written lets the work go.
    if (!session_.projectPath().isEmpty())
        return save(zoom, keptNote);
    switch (saveAs(zoom, keptNote)) {
    case Saved::Yes:
        return true;
    case Saved::Cancelled:
        messages_.showError(QStringLiteral("Save Project"), QStringLiteral("Nothing was saved. ") + keptNote);
        return false;
    case Saved::Failed:
        break;
    }
    return false;
}

void FileCommands::exportDips(WorkSession::DipTable kind)
{
    std::optional<QString> path;
    QString title;
    switch (kind) {
    case WorkSession::DipTable::OneDecimal:
        title = QStringLiteral("Save Digitized Dips");
        path = askSavePath(title, QStringLiteral("Dip files (*.dip)|*.dip|"), proposedName(QStringLiteral(".dip"), false));
        break;
    case WorkSession::DipTable::NearestInteger:
        title = QStringLiteral("Save At Nearest Integer Depth");
        path = askSavePath(title, QStringLiteral("Dip table (*.dip)|*.dip|"),
                           proposedName(QStringLiteral("-integer.dip"), false));
        break;
    case WorkSession::DipTable::Csv:
        title = QStringLiteral("Export Dips as CSV");
        path = askSavePath(title, QStringLiteral("CSV files (*.csv)|*.csv|"), proposedName(QStringLiteral(".csv"), false));
        break;
    }
    if (!path)
        return;
    // An export keeps the dips for other programs, not the work: it is no save.
    QString error;
    BusyPointer busy;
    report(title, session_.exportDips(*path, kind, error), error);
}

void FileCommands::exportLas()
{
    const QString title = QStringLiteral("Export Dips as LAS");
    const LasCoverage coverage = lasCoverage(session_.work());
    if (!coverage.anything()) {
        messages_.showError(title, QString::fromStdString(coverage.refusal()));
        return;
    }
    const auto path = askSavePath(title, QStringLiteral("LAS files (*.las)|*.las|"), proposedName(QStringLiteral(".las"), false));
    if (!path)
        return;
    const std::optional<QString> unit = lasUnit(title);
    if (!unit)
        return;
    QString error;
    bool written = false;
    {
        BusyPointer busy;
        written = session_.exportLas(*path, *unit == QStringLiteral("none") ? QString() : *unit,
                                     QDate::currentDate(), error);
    }
    if (!report(title, written, error))
        return;
    if (const std::string note = coverage.leftOut(); !note.empty())
        messages_.showError(title, QString::fromStdString(note));
}

std::optional<QString> FileCommands::lasUnit(const QString& title)
{
    // Depths carry whatever unit was typed: the well details say which, or
    // else the user.
    const QString given = QString::fromStdString(session_.work().well.depthUnit);
    if (!given.isEmpty())
        return given;
    // "none" is no unit the well details can hold: it is kept while the
    // work on this picture is open.
    const QString none = QStringLiteral("none");
    if (!noUnitFor_.isEmpty() && noUnitFor_ == session_.picturePath())
        return none;
    QStringList units{QStringLiteral("M"), QStringLiteral("FT"), none};
    if (const QString last = settings::lasUnit(); !last.isEmpty())
        units.move(units.indexOf(last), 0);
    const std::optional<QString> unit = messages_.askChoice(title, QStringLiteral("Unit of the depths:"), units);
    if (!unit)
        return unit;
    settings::setLasUnit(*unit);
    if (*unit == none) {
        noUnitFor_ = session_.picturePath();
        return unit;
    }
    // A unit is kept in the work, as Well Details would keep it, so that a
    // saved project is not asked again; the choice is one step to undo.
    WellDetails well = session_.work().well;
    well.depthUnit = unit->toStdString();
    QString error;
    if (!session_.apply(SetWellDetails{well}, error, "Depth Unit"))
        messages_.showError(title, error);
    return unit;
}

void FileCommands::exportAll()
{
    const QString title = QStringLiteral("Export All");
    const LasCoverage coverage = lasCoverage(session_.work());
    struct Export {
        QString path;
        std::function<bool(const QString&, QString&)> write;
    };
    std::vector<Export> exports;
    for (const auto& [suffix, kind] : {std::pair{QStringLiteral(".dip"), WorkSession::DipTable::OneDecimal},
                                       std::pair{QStringLiteral(".csv"), WorkSession::DipTable::Csv}})
        exports.push_back({proposedName(suffix, true), [this, kind](const QString& path, QString& error) {
                               return session_.exportDips(path, kind, error);
                           }});
    std::optional<QString> unit;
    if (coverage.anything()) {
        unit = lasUnit(title);
        if (!unit)
            return;
        exports.push_back({proposedName(QStringLiteral(".las"), true), [this, unit](const QString& path, QString& error) {
                               return session_.exportLas(path, *unit == QStringLiteral("none") ? QString() : *unit,
                                                         QDate::currentDate(), error);
                           }});
    }
    QStringList existing;
    for (const Export& e : exports)
        if (QFileInfo::exists(e.path))
            existing << QFileInfo(e.path).fileName();
    if (!existing.isEmpty()
        && !messages_.askYesNo(title, QStringLiteral("Replace %1?").arg(existing.join(QStringLiteral(", ")))))
        return;
    QStringList written;
    {
        BusyPointer busy;
        for (const Export& e : exports) {
            QString error;
            if (!e.write(e.path, error)) {
                messages_.showError(title, error + (written.isEmpty() ? QString()
                                                                      : QStringLiteral("\nWritten before it: %1.")
                                                                            .arg(written.join(QStringLiteral(", ")))));
                return;
            }
            written << QFileInfo(e.path).fileName();
        }
    }
    QString text = QStringLiteral("Wrote %1 in %2.")
                       .arg(written.join(QStringLiteral(", ")), QFileInfo(exports.front().path).absolutePath());
    if (!coverage.anything())
        text += QLatin1Char('\n') + QString::fromStdString(coverage.refusal()) + QStringLiteral(" No LAS file was written.");
    else if (const std::string note = coverage.leftOut(); !note.empty())
        text += QLatin1Char('\n') + QString::fromStdString(note);
    messages_.showInfo(title, text);
}

void FileCommands::applyCalibrationFrom()
{
    const QString title = QStringLiteral("Apply Calibration From");
    const auto path = askProject(title);
    if (!path)
        return;
    QString error;
    const auto opening = WorkSession::readProjectFile(*path, error);
    if (!opening) {
        messages_.showError(title, error);
        return;
    }
    const ProjectFile& from = opening->file;
    const LogPicture& picture = session_.picture();
    if (const QString misfit = borrowedCalibrationMisfit(from.work, picture.width(), picture.height());
        !misfit.isEmpty()) {
        messages_.showError(title, QStringLiteral("\"%1\" cannot calibrate this log. %2")
                                       .arg(QFileInfo(*path).fileName(), misfit));
        return;
    }
    if ((from.width != picture.width() || from.height != picture.height())
        && !messages_.askYesNo(title, QStringLiteral("\"%1\" calibrates a picture of %2 × %3 pixels; this one is "
                                                     "%4 × %5. Apply its calibration all the same?")
                                          .arg(QFileInfo(*path).fileName())
                                          .arg(from.width)
                                          .arg(from.height)
                                          .arg(picture.width())
                                          .arg(picture.height())))
        return;
    if (!session_.apply(calibrationOf(from.work), error, "Apply Calibration"))
        messages_.showError(title, error);
}

void FileCommands::saveStatisticsImage(const std::function<bool(const QString&)>& write)
{
    const QString title = QStringLiteral("Save Image");
    const auto path = askSavePath(title, QStringLiteral("PNG picture (*.png)|*.png|SVG drawing (*.svg)|*.svg|"),
                                  proposedName(QStringLiteral("-statistics.png"), true));
    if (!path)
        return;
    if (!write(*path))
        messages_.showError(title, QStringLiteral("Cannot save \"%1\". Any earlier file of that name is unchanged.")
                                       .arg(*path));
}
