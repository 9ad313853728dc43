#include "session/work_session.h"

#include <fstream>

#include <QFile>
#include <QFileInfo>

#include "detection/project_track.h"
#include "files/dip_export.h"
#include "files/dip_interchange.h"
#include "files/safe_save.h"
#include "session/calibration_search.h"
#include "session/picture_place.h"
#include "session/tadpole_search.h"
#include "session/work_recovery.h"

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The picture's part round (x, y) that the snap search reads: a grey picture
// as it is kept, any other as an 8-bit grey copy of its ink.
struct SearchPart {
    GreyCopy copy;
    GreyPicture view;
};

SearchPart searchPart(const LogPicture& picture, QRgb paper, int left, int top, int right, int bottom)
{
    left = std::clamp(left, 0, picture.width());
    right = std::clamp(right, left, picture.width());
    top = std::clamp(top, 0, picture.height());
    bottom = std::clamp(bottom, top, picture.height());
    const QImage& kept = picture.level(0);
    if (kept.format() == QImage::Format_Grayscale8 && bottom > top)
        return {{}, {kept.constScanLine(top) + left, right - left, bottom - top, kept.bytesPerLine(), left, top}};
    SearchPart part{blankGreyCopy(left, top, right - left, bottom - top), {}};
    picture.toInk(QRect(left, top, right - left, bottom - top), paper, part.copy.pixels.data(), right - left);
    part.view = part.copy.picture;
    return part;
}

}  // namespace

WorkSession::WorkSession() = default;

WorkSession::~WorkSession() = default;

std::optional<LogPicture> WorkSession::readPicture(const QString& path, QString& error,
                                                   const LogPicture::Progress& progress)
{
    LogPicture picture;
    if (!picture.load(path, error, progress))
        return std::nullopt;
    return picture;
}

void WorkSession::start(const QString& picturePath, LogPicture picture, Work work, bool unsaved)
{
    picture_ = std::move(picture);
    picturePath_ = QFileInfo(picturePath).absoluteFilePath();
    history_.start(std::move(work), unsaved);
    found_.clear();
    foundCalibration_.reset();
    scanContext_.reset();
    paper_.reset();
    workReplaced();
    emit foundChanged();
}

void WorkSession::startWithPicture(const QString& path, LogPicture picture)
{
    projectPath_.clear();
    workName_ = QFileInfo(path).fileName();
    openedZoom_ = 1;
    start(path, std::move(picture), Work{}, false);
}

std::optional<WorkSession::ProjectOpening> WorkSession::readProjectFile(const QString& path, QString& error)
{
    std::ifstream in(localPath(path), std::ios::binary);
    if (!in) {
        error = QStringLiteral("The project \"%1\" cannot be opened.").arg(path);
        return std::nullopt;
    }
    std::string why;
    auto file = readProject(in, why);
    if (!file) {
        error = QStringLiteral("The project \"%1\" cannot be read.\n%2").arg(path, QString::fromStdString(why));
        return std::nullopt;
    }
    ProjectOpening opening{QFileInfo(path).absoluteFilePath(), std::move(*file), QString(), QString()};
    opening.picturePath = findPicture(opening.file.picture, path);
    opening.pictureName = QFileInfo(QFile::decodeName(QByteArray::fromStdString(opening.file.picture))).fileName();
    return opening;
}

void WorkSession::startWithProject(const ProjectOpening& opening, const QString& picturePath, LogPicture picture,
                                   const QString& recoveredName)
{
    const bool recovered = !recoveredName.isEmpty();
    const bool moved = opening.picturePath.isEmpty()
                       || QFileInfo(picturePath).absoluteFilePath() != opening.picturePath;
    projectPath_ = recovered ? QString() : opening.path;
    workName_ = recovered ? recoveredName : QFileInfo(opening.path).fileName();
    openedZoom_ = opening.file.zoom;
    start(picturePath, std::move(picture), opening.file.work, moved || recovered);
}

bool WorkSession::openPicture(const QString& path, QString& error, const LogPicture::Progress& progress)
{
    auto picture = readPicture(path, error, progress);
    if (!picture)
        return false;
    startWithPicture(path, std::move(*picture));
    return true;
}

bool WorkSession::openProject(const QString& path, QString& error, const LogPicture::Progress& progress)
{
    const auto opening = readProjectFile(path, error);
    if (!opening)
        return false;
    if (opening->picturePath.isEmpty()) {
        error = QStringLiteral("The picture \"%1\" named in the project \"%2\" is not there.")
                    .arg(QFile::decodeName(QByteArray::fromStdString(opening->file.picture)), path);
        return false;
    }
    auto picture = readPicture(opening->picturePath, error, progress);
    if (!picture)
        return false;
    startWithProject(*opening, opening->picturePath, std::move(*picture));
    return true;
}

bool WorkSession::apply(const WorkEdit& edit, QString& error, const std::string& name)
{
    Work changed = work();
    try {
        applyEdit(changed, edit);
    } catch (const std::exception& refused) {
        error = QStringLiteral("This action was refused (%1); nothing was changed.")
                    .arg(QString::fromLatin1(refused.what()));
        return false;
    }
    // An action that leaves the work as it was is still shown: the tools'
    // figures of it go with the redraw.
    if (changed == work()) {
        emit workChanged();
        return true;
    }
    history_.record(name.empty() ? editName(edit) : name, std::move(changed));
    workReplaced();
    return true;
}

void WorkSession::undo()
{
    if (!history_.canUndo())
        return;
    history_.undo();
    workReplaced();
}

void WorkSession::redo()
{
    if (!history_.canRedo())
        return;
    history_.redo();
    workReplaced();
}

void WorkSession::workReplaced()
{
    calibration_ = Calibration(work());
    emit workChanged();
    historyMoved();
}

void WorkSession::historyMoved()
{
    if (recovery_) {
        if (hasPicture() && !saved())
            recovery_->workChanged();
        else
            recovery_->workSaved();
    }
    emit historyChanged();
}

void WorkSession::keepForRecovery(std::function<double()> zoom)
{
    recovery_ = std::make_unique<WorkRecovery>([this, zoom = std::move(zoom)] {
        return RecoveryContent{workName(), projectFile(zoom(), true)};
    });
}

void WorkSession::adoptLeftWork(LeftWork& left)
{
    if (recovery_ && !recovery_->adopt(left))
        recovery_->workChanged();  // written anew instead
}

void WorkSession::endCleanly()
{
    if (recovery_)
        recovery_->endCleanly();
}

ProjectFile WorkSession::projectFile(double zoom, bool whole) const
{
    ProjectFile p;
    p.picture = whole ? localPath(picturePath_) : pictureEntry(picturePath_, projectPath_);
    p.width = picture_.width();
    p.height = picture_.height();
    p.zoom = zoom;
    p.work = work();
    return p;
}

bool WorkSession::saveProject(const QString& path, double zoom, QString& error)
{
    ProjectFile project = projectFile(zoom);
    project.picture = pictureEntry(picturePath_, path);
    std::string why;
    if (!saveFileSafely(localPath(path), [&project](std::ostream& out) { return writeProject(out, project); }, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    projectPath_ = QFileInfo(path).absoluteFilePath();
    workName_ = QFileInfo(path).fileName();
    history_.markSaved();
    historyMoved();
    return true;
}

bool WorkSession::exportDips(const QString& path, DipTable kind, QString& error) const
{
    const Work& w = work();
    std::string why;
    const bool written = saveFileSafely(
        localPath(path),
        [&w, kind](std::ostream& out) {
            switch (kind) {
            case DipTable::OneDecimal: return writeDips(out, w);
            case DipTable::NearestInteger: return writeDipsAtNearestInteger(out, w);
            case DipTable::Csv: return writeDipsCsv(out, w);
            }
            return false;
        },
        why);
    if (!written)
        error = QString::fromStdString(why);
    return written;
}

bool WorkSession::exportLas(const QString& path, const QString& unit, const QDate& date, QString& error) const
{
    LasWell well;
    well.picture = QFileInfo(picturePath_).fileName().toStdString();
    well.depthUnit = unit.toStdString();
    well.date = date.toString(Qt::ISODate).toStdString();
    const Work& w = work();
    std::string why;
    const bool written =
        saveFileSafely(localPath(path), [&](std::ostream& out) { return writeDipsLas(out, w, well); }, why);
    if (!written)
        error = QString::fromStdString(why);
    return written;
}

QRgb WorkSession::paperColour()
{
    if (!paper_) {
        const std::vector<TrackStretch> track = calibratedTrack(work());
        const QSize size(picture_.width(), picture_.height());
        paper_ = picture_.paperColour(track.empty() ? QRect(QPoint(0, 0), size) : trackBox(track, 0, size));
    }
    return *paper_;
}

FoundCalibration WorkSession::findCalibration(const DetectionProgress& progress, bool* cancelled) const
{
    CalibrationSearch search(picture_);
    FoundCalibration found = search.runHere(progress);
    if (cancelled)
        *cancelled = search.cancelled();
    return found;
}

std::unique_ptr<CalibrationSearch> WorkSession::calibrationSearch() const
{
    if (!hasPicture())
        return nullptr;
    return std::make_unique<CalibrationSearch>(picture_);
}

void WorkSession::reviewCalibration(FoundCalibration found)
{
    if (found.calibration.rows.empty())
        foundCalibration_.reset();
    else
        foundCalibration_ = std::move(found);
    emit foundChanged();
}

bool WorkSession::acceptFoundCalibration(QString& error)
{
    if (!foundCalibration_)
        return true;
    // The review goes only once the work holds what it offered.
    if (!apply(foundCalibration_->calibration, error, "Find Calibration"))
        return false;
    // What was read of the old track's paper and dots is no longer the track's.
    paper_.reset();
    scanContext_.reset();
    foundCalibration_.reset();
    emit foundChanged();
    return true;
}

void WorkSession::rejectFoundCalibration()
{
    foundCalibration_.reset();
    emit foundChanged();
}

std::unique_ptr<TadpoleSearch> WorkSession::tadpoleSearch(const DetectionSettings& wanted)
{
    if (!hasPicture() || !calibration_.complete())
        return nullptr;
    std::vector<TrackStretch> track = calibratedTrack(work());
    const QRect box = trackBox(track, searchMargin(wanted) + 2, QSize(picture_.width(), picture_.height()));
    return std::make_unique<TadpoleSearch>(picture_, paperColour(), std::move(track), wanted, box);
}

void WorkSession::review(const FoundTadpoles& found, double leastSure)
{
    scanContext_ = found.context;
    found_.show(proposalsFrom(found.tadpoles, work()), leastSure);
    emit foundChanged();
}

bool WorkSession::acceptFound(const std::string& filledGrade, const std::string& hollowGrade, QString& error)
{
    if (found_.empty())
        return true;
    std::vector<Dip> dips = keptDips(found_, work(), filledGrade, hollowGrade);
    const std::size_t kept = dips.size();
    QString refused;
    // The proposals go only once the work holds them.
    if (kept > 0 && !apply(AddDips{std::move(dips)}, refused, "Add Found Tadpoles")) {
        error = QStringLiteral("The dip table holds at most %1 dips: the %2 tadpoles kept do not fit beside the %3 "
                               "dips there are. Nothing was added; the tadpoles are still under review.")
                    .arg(kMaxDips)
                    .arg(kept)
                    .arg(work().dips.size());
        return false;
    }
    found_.clear();
    emit foundChanged();
    return true;
}

void WorkSession::rejectFound()
{
    found_.clear();
    emit foundChanged();
}

std::optional<FoundTadpole> WorkSession::tadpoleAt(double x, double y, double reach, const DetectionSettings& wanted)
{
    if (!hasPicture())
        return std::nullopt;
    if (!scanContext_ && calibration_.complete()) {
        const std::vector<TrackStretch> track = calibratedTrack(work());
        const QRect box = trackBox(track, 0, QSize(picture_.width(), picture_.height()));
        scanContext_ = studyTrack(inkRows(picture_, paperColour(), box), track, wanted);
    }
    const int around = int(std::ceil(reach)) + snapMargin(wanted) + 2;
    const SearchPart part = searchPart(picture_, paperColour(), int(x) - around, int(y) - around,
                                       int(x) + around + 1, int(y) + around + 1);
    return tadpoleNear(part.view, x, y, reach, wanted, scanContext_.value_or(ScanContext{}));
}
