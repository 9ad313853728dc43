#include "session/log_batch.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include "files/dip_interchange.h"
#include "files/picture_file.h"
#include "model/calibration_rules.h"
#include "model/number_format.h"
#include "session/borrowed_calibration.h"
#include "session/calibration_finder.h"
#include "session/picture_place.h"
#include "session/tadpole_search.h"
#include "session/work_session.h"

namespace {

using OutputWriter = std::function<bool(WorkSession&, const QString&, QString&)>;

struct Output {
    QString path;
    QString temporary;
    OutputWriter write;
};

QString pictureKindOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray head = file.read(16);
    switch (pictureKind(reinterpret_cast<const unsigned char*>(head.constData()), std::size_t(head.size()))) {
    case PictureKind::Bitmap:
        return QStringLiteral("bmp");
    case PictureKind::Tiff:
        return QStringLiteral("tiff");
    case PictureKind::Png:
        return QStringLiteral("png");
    case PictureKind::Jpeg:
        return QStringLiteral("jpeg");
    case PictureKind::Unknown:
        break;
    }
    return QString();
}

// Why the calibration cannot serve on a picture of this size; empty when it can.
QString misfit(const Work& calibration, int width, int height)
{
    // Dips are placed on a complete calibration only, as in the window.
    if (!Calibration(calibration).complete()) {
        if (!calibration.scale)
            return QStringLiteral("The calibration project has no dip scale.");
        return QStringLiteral("The calibration project has %1 depth row%2; two at least are needed.")
            .arg(calibration.depthRows.size())
            .arg(calibration.depthRows.size() == 1 ? QString() : QStringLiteral("s"));
    }
    return borrowedCalibrationMisfit(calibration, width, height);
}

// A rename that never replaces a file, unless replacing is allowed.
bool renameInto(const QString& from, const QString& to, bool replace)
{
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (replace)
        return std::rename(a.constData(), b.constData()) == 0;
    return renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0;
}

// Seconds to the millisecond, as people read them.
double seconds(const QElapsedTimer& clock) { return std::round(double(clock.nsecsElapsed()) / 1e6) / 1e3; }

// A calibration over less of the picture's height than this is told.
constexpr double kCoveredEnough = 0.8;

}  // namespace

QJsonObject LogReport::toJson() const
{
    QJsonArray histogram;
    for (int n : confidence)
        histogram.append(n);
    QJsonObject o{
        {QStringLiteral("picture"), picture},
        {QStringLiteral("width"), width},
        {QStringLiteral("height"), height},
        {QStringLiteral("kind"), kind},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("dips"), dips},
        {QStringLiteral("filled"), filled},
        {QStringLiteral("hollow"), hollow},
        {QStringLiteral("review"), review},
        {QStringLiteral("dotSize"), dotSize},
        {QStringLiteral("noise"), noise},
        {QStringLiteral("confidence"), histogram},
        {QStringLiteral("outputs"), QJsonArray::fromStringList(outputs)},
        {QStringLiteral("warnings"), QJsonArray::fromStringList(warnings)},
        {QStringLiteral("calibration"), calibration},
        {QStringLiteral("seconds"), QJsonObject{{QStringLiteral("read"), readSeconds},
                                                {QStringLiteral("find"), findSeconds},
                                                {QStringLiteral("write"), writeSeconds},
                                                {QStringLiteral("total"), totalSeconds}}},
        {QStringLiteral("status"), exit == BatchExit::Done ? QStringLiteral("done") : QStringLiteral("failed")},
    };
    if (exit != BatchExit::Done) {
        o.insert(QStringLiteral("error"), error);
        o.insert(QStringLiteral("exitCode"), int(exit));
    }
    return o;
}

namespace {

// One log's run, step by step; each step says whether the next may follow,
// and a step that fails leaves its reason in the report.
class LogRun {
public:
    LogRun(const QString& picture, const LogWells& wells, const BatchOptions& options, const std::atomic<bool>& stop,
           const std::function<void(const QString&)>& say)
        : picture_(picture), name_(QFileInfo(picture).fileName()), wells_(wells), options_(options), stop_(stop),
          say_(say)
    {
        total_.start();
        r_.picture = picture;
    }

    LogReport run(const Work& calibration)
    {
        (void)(planOutputs() && read() && calibrate(calibration) && findAndAccept() && write());
        r_.totalSeconds = seconds(total_);
        return r_;
    }

private:
    bool fail(BatchExit exit, const QString& why)
    {
        r_.exit = exit;
        r_.error = why;
        return false;
    }
    bool stopped() { return fail(BatchExit::Stopped, QStringLiteral("Stopped before the log was done.")); }
    static QString exists(const QString& path)
    {
        return QStringLiteral("\"%1\" exists already; --force replaces it.").arg(path);
    }

    // The outputs, and none of them there already unless they may be replaced.
    bool planOutputs()
    {
        folder_ = QDir(options_.outFolder.isEmpty() ? QFileInfo(picture_).absolutePath() : options_.outFolder);
        const QString base = QFileInfo(picture_).completeBaseName();
        const QString suffix = QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid());
        replacedSuffix_ = QStringLiteral(".%1.replaced").arg(QCoreApplication::applicationPid());
        const auto add = [&](bool wanted, const char* extension, OutputWriter write) {
            if (wanted) {
                const QString path = folder_.filePath(base + QLatin1Char('.') + QLatin1String(extension));
                outputs_.push_back({path, path + suffix, std::move(write)});
            }
        };
        add(options_.las, "las", [](WorkSession& s, const QString& path, QString& error) {
            return s.exportLas(path, QString::fromStdString(s.work().well.depthUnit), QDate::currentDate(), error);
        });
        add(options_.csv, "csv", [](WorkSession& s, const QString& path, QString& error) {
            return s.exportDips(path, WorkSession::DipTable::Csv, error);
        });
        add(options_.dip, "dip", [](WorkSession& s, const QString& path, QString& error) {
            return s.exportDips(path, WorkSession::DipTable::OneDecimal, error);
        });
        add(options_.ddp, "ddp", [](WorkSession& s, const QString& path, QString& error) {
            return s.saveProject(path, 1, error);
        });
        for (const Output& o : outputs_) {
            const QFileInfo there(o.path);
            if (!there.exists() && !there.isSymLink())
                continue;
            if (!options_.force)
                return fail(BatchExit::OutputExists, exists(o.path));
            if (!there.isFile())
                return fail(BatchExit::Unwritable,
                            QStringLiteral("\"%1\" is no file that an output can replace.").arg(o.path));
        }
        return true;
    }

    bool read()
    {
        QElapsedTimer clock;
        clock.start();
        QString error;
        std::optional<LogPicture> read =
            WorkSession::readPicture(picture_, error, [this](double) { return !stop_.load(); });
        if (stop_)
            return stopped();
        if (!read)
            return fail(BatchExit::Unreadable, error);
        r_.width = read->width();
        r_.height = read->height();
        r_.kind = pictureKindOf(picture_);
        r_.readSeconds = seconds(clock);
        say_(QStringLiteral("%1: read, %2 x %3 pixels (%4 s)")
                 .arg(name_)
                 .arg(r_.width)
                 .arg(r_.height)
                 .arg(r_.readSeconds, 0, 'f', 2));
        session_.startWithPicture(picture_, std::move(*read));
        return true;
    }

    bool calibrate(const Work& calibration)
    {
        if (options_.autoCalibration())
            return calibrateFromPicture();
        if (const QString why = misfit(calibration, r_.width, r_.height); !why.isEmpty())
            return fail(BatchExit::CalibrationMisfit, why);
        QString error;
        if (!session_.apply(calibrationOf(calibration), error))
            return fail(BatchExit::CalibrationMisfit, error);
        if (!applyWell())
            return false;
        r_.rows = int(session_.work().depthRows.size());
        r_.calibration = {{QStringLiteral("source"), options_.calibration}, {QStringLiteral("rows"), r_.rows}};
        for (const DepthMisfit& m : depthMisfits(calibration))
            r_.warnings << QStringLiteral("The calibration's depth line %1 (row %2 of the picture): %3")
                               .arg(m.row + 1)
                               .arg(QString::fromStdString(formatPlain(calibration.depthRows[m.row].y)))
                               .arg(QString::fromStdString(depthMisfitMessage(m.depth, m.fits)));
        return true;
    }

    // The well's details: the picture's name made one a well may have, and
    // what the wells file and the command line give, each checked when it
    // was read. A refusal here is of what was given, never of a file name.
    bool applyWell()
    {
        QString error;
        if (!session_.apply(SetWellDetails{wellDetailsFor(picture_, wells_, options_, r_.warnings)}, error))
            return fail(BatchExit::BadArguments,
                        QStringLiteral("The well details given for \"%1\" cannot be written: %2").arg(name_, error));
        return true;
    }

    // The calibration the log's own lines, labels and track give.
    bool calibrateFromPicture()
    {
        QElapsedTimer clock;
        clock.start();
        bool cancelled = false;
        const FoundCalibration found =
            session_.findCalibration([this](double) { return !stop_.load(); }, &cancelled);
        if (cancelled || stop_)
            return stopped();
        r_.calibration = calibrationReport(found);
        if (!found.failure.empty())
            return fail(BatchExit::CalibrationMisfit,
                        QStringLiteral("No calibration was found on the log: %1").arg(QString::fromStdString(found.failure)));
        QString error;
        if (!session_.apply(found.calibration, error, "Find Calibration"))
            return fail(BatchExit::CalibrationMisfit, error);
        if (!applyWell())
            return false;
        r_.rows = int(session_.work().depthRows.size());
        if (found.scaleAssumed)
            r_.warnings << QStringLiteral("No grid was seen on the dip track: its scale was taken to be linear, 0 to 90.");
        else if (!found.limitsRead)
            r_.warnings << QStringLiteral("The dip scale's numbers were not read over its grid: the scale was taken to "
                                          "run from 0 to 90.");
        if (const std::string note = missedLinesNote(found.missed); !note.empty())
            r_.warnings << QString::fromStdString(note);
        for (const FoundCalibration::Misread& m : found.disagreeing)
            r_.warnings << QStringLiteral("The depth printed at row %1 was read as \"%2\"; %3 fits the others.")
                               .arg(m.y, 0, 'f', 1)
                               .arg(QString::fromStdString(m.read), QString::fromStdString(formatPlain(m.fits)));
        say_(QStringLiteral("%1: calibrated from the log, %2 depth lines, %3 of %4 printed depths agreeing (%5 s)")
                 .arg(name_)
                 .arg(r_.rows)
                 .arg(found.labelsAgreeing)
                 .arg(found.labelsRead)
                 .arg(seconds(clock), 0, 'f', 2));
        return true;
    }

    static QJsonObject calibrationReport(const FoundCalibration& found)
    {
        QJsonArray disagreeing;
        for (const FoundCalibration::Misread& m : found.disagreeing)
            disagreeing.append(QJsonObject{{QStringLiteral("row"), m.y},
                                           {QStringLiteral("read"), QString::fromStdString(m.read)},
                                           {QStringLiteral("fits"), m.fits}});
        QJsonArray missed;
        for (const FoundCalibration::Missed& m : found.missed)
            missed.append(QJsonObject{{QStringLiteral("row"), m.y}, {QStringLiteral("depth"), m.depth}});
        const std::optional<DipScale>& scale = found.calibration.scale;
        return {{QStringLiteral("source"), QStringLiteral("auto")},
                {QStringLiteral("rows"), int(found.calibration.rows.size())},
                {QStringLiteral("labelsLooked"), found.labelsLooked},
                {QStringLiteral("labelsRead"), found.labelsRead},
                {QStringLiteral("labelsAgreeing"), found.labelsAgreeing},
                {QStringLiteral("depthStep"), found.depthStep},
                {QStringLiteral("scale"), scale ? QString::fromStdString(dipScaleCaption(scale->kind)) : QString()},
                {QStringLiteral("scaleAssumed"), found.scaleAssumed},
                {QStringLiteral("limitsRead"), found.limitsRead},
                {QStringLiteral("skewDegrees"), found.skewDegrees},
                {QStringLiteral("disagreeing"), disagreeing},
                {QStringLiteral("missedLines"), missed}};
    }

    bool findAndAccept()
    {
        QElapsedTimer clock;
        clock.start();
        const std::unique_ptr<TadpoleSearch> search = session_.tadpoleSearch(detectionSettings(options_.search));
        const FoundTadpoles found = search->runHere([this](double) { return !stop_.load(); });
        if (stop_ || search->cancelled())
            return stopped();
        for (const FoundTadpole& t : found.tadpoles)
            ++r_.confidence[std::size_t(std::clamp(int(t.confidence * 10), 0, 9))];
        r_.dotSize = found.context.dotDiameter;
        r_.noise = found.context.traits.noise;
        session_.review(found, options_.search.minConfidence);
        const FoundReview::Counts counts = session_.found().counts();
        r_.filled = counts.filled;
        r_.hollow = counts.hollow;
        QString error;
        // The work refuses found tadpoles only when its dip table cannot hold them.
        if (!session_.acceptFound(options_.search.filledGrade, options_.search.hollowGrade, error))
            return fail(BatchExit::TooManyDips, error);
        r_.dips = int(session_.work().dips.size());
        r_.review = int(leastSureDips(session_.work()).size());
        warnOfLeftOut(found, counts.kept);
        r_.findSeconds = seconds(clock);
        say_(QStringLiteral("%1: found %2 tadpoles, accepted %3 (%4 s)")
                 .arg(name_)
                 .arg(found.tadpoles.size())
                 .arg(r_.dips)
                 .arg(r_.findSeconds, 0, 'f', 2));
        return true;
    }

    // What the outputs do not hold: a log calibrated over part of its
    // height, tadpoles outside the calibration, those less sure than asked.
    void warnOfLeftOut(const FoundTadpoles& found, int kept)
    {
        const std::vector<DepthRow>& rows = session_.work().depthRows;
        const double covered = rows.empty() ? 0 : (rows.back().y - rows.front().y) / std::max(1, r_.height);
        if (covered < kCoveredEnough)
            r_.warnings << QStringLiteral("The calibration covers %1 % of the picture's height (rows %2 to %3 of "
                                          "%4): the rest of the log is not digitized.")
                               .arg(int(std::floor(100 * covered)))
                               .arg(rows.empty() ? 0 : int(rows.front().y))
                               .arg(rows.empty() ? 0 : int(rows.back().y))
                               .arg(r_.height);
        if (const int outside = kept - r_.dips; outside > 0)
            r_.warnings << QStringLiteral("%1 tadpole%2 found outside the calibrated depths %3 left out.")
                               .arg(outside)
                               .arg(outside == 1 ? QString() : QStringLiteral("s"))
                               .arg(outside == 1 ? QStringLiteral("was") : QStringLiteral("were"));
        const auto unsure = std::count_if(found.tadpoles.begin(), found.tadpoles.end(), [this](const FoundTadpole& t) {
            return t.azimuth && t.confidence < options_.search.minConfidence;
        });
        if (unsure > 0)
            r_.warnings << QStringLiteral("%1 tadpole%2 less sure than %3 % (--min-confidence) %4 left out.")
                               .arg(unsure)
                               .arg(unsure == 1 ? QString() : QStringLiteral("s"))
                               .arg(options_.search.minConfidence * 100)
                               .arg(unsure == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    }

    // Written aside, then renamed together: all or nothing.
    bool write()
    {
        QElapsedTimer clock;
        clock.start();
        if (options_.las) {
            const LasCoverage coverage = lasCoverage(session_.work());
            if (!coverage.anything()) {
                r_.warnings << QString::fromStdString(coverage.refusal()) + QStringLiteral(" No LAS file was written.");
                std::erase_if(outputs_, [](const Output& o) { return o.path.endsWith(QStringLiteral(".las")); });
            } else if (const std::string note = coverage.leftOut(); !note.empty()) {
                r_.warnings << QString::fromStdString(note);
            }
        }
        const auto project = std::find_if(outputs_.begin(), outputs_.end(),
                                          [](const Output& o) { return o.path.endsWith(QStringLiteral(".ddp")); });
        if (project != outputs_.end() && pictureEntry(picture_, project->path).find('"') != std::string::npos) {
            r_.warnings << QStringLiteral("A project cannot name a picture whose path holds a double quote: no "
                                          "project was written. Rename the picture to review its dips in the window.");
            outputs_.erase(project);
        }
        if (!folder_.mkpath(QStringLiteral(".")))
            return fail(BatchExit::Unwritable, QStringLiteral("The folder \"%1\" cannot be made.").arg(folder_.path()));
        if (!writeAside() || !renameTogether())
            return false;
        r_.writeSeconds = seconds(clock);
        say_(QStringLiteral("%1: wrote %2 (%3 s)")
                 .arg(name_, r_.outputs.join(QStringLiteral(", ")))
                 .arg(r_.writeSeconds, 0, 'f', 2));
        return true;
    }

    bool writeAside()
    {
        QString error;
        for (const Output& o : outputs_)
            if (stop_ || !o.write(session_, o.temporary, error)) {
                removeAside();
                return stop_ ? stopped() : fail(BatchExit::Unwritable, error);
            }
        return true;
    }

    // With --force an earlier output is moved aside first, and removed only
    // once every new one is in place; a failure puts each back.
    bool renameTogether()
    {
        std::vector<QString> placed, replaced;
        const auto undo = [&] {
            for (const QString& p : placed)
                QFile::remove(p);
            for (const QString& p : replaced)
                renameInto(p + replacedSuffix_, p, true);
            removeAside();
            r_.outputs.clear();
        };
        for (const Output& o : outputs_) {
            const QFileInfo there(o.path);
            if (options_.force && (there.exists() || there.isSymLink())) {
                if (!renameInto(o.path, o.path + replacedSuffix_, false)) {
                    undo();
                    return fail(BatchExit::Unwritable, QStringLiteral("\"%1\" cannot be replaced.").arg(o.path));
                }
                replaced.push_back(o.path);
            }
            if (!renameInto(o.temporary, o.path, false)) {
                const bool taken = errno == EEXIST;
                undo();
                return taken ? fail(BatchExit::OutputExists, exists(o.path))
                             : fail(BatchExit::Unwritable, QStringLiteral("\"%1\" cannot be written.").arg(o.path));
            }
            placed.push_back(o.path);
            r_.outputs << QFileInfo(o.path).absoluteFilePath();
        }
        for (const QString& p : replaced)
            QFile::remove(p + replacedSuffix_);
        return true;
    }

    void removeAside()
    {
        for (const Output& o : outputs_)
            QFile::remove(o.temporary);
    }

    const QString picture_;
    const QString name_;
    const LogWells& wells_;
    const BatchOptions& options_;
    const std::atomic<bool>& stop_;
    const std::function<void(const QString&)>& say_;
    QElapsedTimer total_;
    LogReport r_;
    QDir folder_;
    std::vector<Output> outputs_;
    QString replacedSuffix_;  // an earlier output's name while the new one takes its place
    WorkSession session_;
};

}  // namespace

LogReport digitizeLog(const QString& picture, const Work& calibration, const LogWells& wells,
                      const BatchOptions& options, const std::atomic<bool>& stop,
                      const std::function<void(const QString&)>& say)
{
    return LogRun(picture, wells, options, stop, say).run(calibration);
}
