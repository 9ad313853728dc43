#include "session/log_batch.h"

#include <algorithm>
#include <cerrno>
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
#include "session/tadpole_search.h"
#include "session/work_session.h"

namespace {

struct Output {
    QString path;
    QString temporary;
    std::function<bool(WorkSession&, const QString&, QString&)> write;
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
    if (!calibration.scale)
        return QStringLiteral("The calibration project has no dip scale.");
    if (calibration.depthRows.size() < 2)
        return QStringLiteral("The calibration project has %1 depth row%2; two at least are needed.")
            .arg(calibration.depthRows.size())
            .arg(calibration.depthRows.size() == 1 ? QString() : QStringLiteral("s"));
    for (const DepthRow& r : calibration.depthRows)
        if (r.y < 0 || r.y >= height || r.minDipX < 0 || r.minDipX >= width || r.maxDipX < 0 || r.maxDipX >= width)
            return QStringLiteral("The depth row at depth %1 lies outside the picture of %2 by %3 pixels.")
                .arg(r.depth)
                .arg(width)
                .arg(height);
    return QString();
}

// A rename that never replaces a file, unless replacing is allowed.
bool renameInto(const QString& from, const QString& to, bool replace)
{
    const QByteArray a = QFile::encodeName(from), b = QFile::encodeName(to);
    if (replace)
        return std::rename(a.constData(), b.constData()) == 0;
    return renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0;
}

double seconds(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e9; }

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
        {QStringLiteral("dotSize"), dotSize},
        {QStringLiteral("noise"), noise},
        {QStringLiteral("confidence"), histogram},
        {QStringLiteral("outputs"), QJsonArray::fromStringList(outputs)},
        {QStringLiteral("warnings"), QJsonArray::fromStringList(warnings)},
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

LogReport digitizeLog(const QString& picture, const Work& calibration, const BatchOptions& options,
                      const std::atomic<bool>& stop, const std::function<void(const QString&)>& say)
{
    QElapsedTimer total, step;
    total.start();
    LogReport r;
    r.picture = picture;
    const QString name = QFileInfo(picture).fileName();
    const auto failed = [&](BatchExit exit, const QString& why) {
        r.exit = exit;
        r.error = why;
        r.totalSeconds = seconds(total);
        return r;
    };
    const auto stopped = [&] { return failed(BatchExit::Stopped, QStringLiteral("Stopped before the log was done.")); };

    // The outputs, and none of them there already unless they may be replaced.
    const QDir folder(options.outFolder.isEmpty() ? QFileInfo(picture).absolutePath() : options.outFolder);
    const QString base = QFileInfo(picture).completeBaseName();
    const QString suffix = QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid());
    std::vector<Output> outputs;
    const auto add = [&](bool wanted, const char* extension, std::function<bool(WorkSession&, const QString&, QString&)> write) {
        if (wanted) {
            const QString path = folder.filePath(base + QLatin1Char('.') + QLatin1String(extension));
            outputs.push_back({path, path + suffix, std::move(write)});
        }
    };
    add(options.las, "las", [](WorkSession& s, const QString& path, QString& error) {
        return s.exportLas(path, QString::fromStdString(s.work().well.depthUnit), QDate::currentDate(), error);
    });
    add(options.csv, "csv", [](WorkSession& s, const QString& path, QString& error) {
        return s.exportDips(path, WorkSession::DipTable::Csv, error);
    });
    add(options.dip, "dip", [](WorkSession& s, const QString& path, QString& error) {
        return s.exportDips(path, WorkSession::DipTable::OneDecimal, error);
    });
    add(options.ddp, "ddp", [](WorkSession& s, const QString& path, QString& error) {
        return s.saveProject(path, 1, error);
    });
    if (!options.force)
        for (const Output& o : outputs)
            if (QFileInfo::exists(o.path))
                return failed(BatchExit::OutputExists,
                              QStringLiteral("\"%1\" exists already; --force replaces it.").arg(o.path));

    step.start();
    QString error;
    std::optional<LogPicture> read =
        WorkSession::readPicture(picture, error, [&stop](double) { return !stop.load(); });
    if (stop)
        return stopped();
    if (!read)
        return failed(BatchExit::Unreadable, error);
    r.width = read->width();
    r.height = read->height();
    r.kind = pictureKindOf(picture);
    r.readSeconds = seconds(step);
    say(QStringLiteral("%1: read, %2 x %3 pixels (%4 s)").arg(name).arg(r.width).arg(r.height).arg(r.readSeconds, 0, 'f', 2));

    const QString why = misfit(calibration, r.width, r.height);
    if (!why.isEmpty())
        return failed(BatchExit::CalibrationMisfit, why);
    WorkSession session;
    session.startWithPicture(picture, std::move(*read));
    if (!session.apply(SetDipScale{*calibration.scale}, error) || !session.apply(AddDepthRows{calibration.depthRows}, error)
        || !session.apply(SetWellDetails{wellDetailsFor(calibration.well, options)}, error))
        return failed(BatchExit::CalibrationMisfit, error);
    r.rows = int(session.work().depthRows.size());

    step.restart();
    const std::unique_ptr<TadpoleSearch> search =
        session.tadpoleSearch(DetectionSettings{options.search.minDiameter, options.search.maxDiameter, 0});
    const FoundTadpoles found = search->runHere([&stop](double) { return !stop.load(); });
    if (stop || search->cancelled())
        return stopped();
    for (const FoundTadpole& t : found.tadpoles)
        ++r.confidence[std::size_t(std::clamp(int(t.confidence * 10), 0, 9))];
    r.dotSize = found.context.dotDiameter;
    r.noise = found.context.traits.noise;
    session.review(found, options.leastSure);
    const FoundReview::Counts counts = session.found().counts();
    r.filled = counts.filled;
    r.hollow = counts.hollow;
    if (!session.acceptFound(options.filledGrade, options.hollowGrade, error))
        return failed(BatchExit::CalibrationMisfit, error);
    r.dips = int(session.work().dips.size());
    r.findSeconds = seconds(step);
    say(QStringLiteral("%1: found %2 tadpoles, accepted %3 (%4 s)")
            .arg(name)
            .arg(found.tadpoles.size())
            .arg(r.dips)
            .arg(r.findSeconds, 0, 'f', 2));

    // Written aside, then renamed together: all or nothing.
    step.restart();
    const int withoutDepth = dipsWithoutDepth(session.work());
    if (options.las && withoutDepth == r.dips) {
        r.warnings << QStringLiteral("No dip has a depth: no LAS file was written.");
        std::erase_if(outputs, [](const Output& o) { return o.path.endsWith(QStringLiteral(".las")); });
    } else if (options.las && withoutDepth > 0) {
        r.warnings << QStringLiteral("%1 of the %2 dips lie outside the depth calibration and were left out of the "
                                     "LAS file.")
                          .arg(withoutDepth)
                          .arg(r.dips);
    }
    const auto removeAside = [&] {
        for (const Output& o : outputs)
            QFile::remove(o.temporary);
    };
    if (!folder.mkpath(QStringLiteral(".")))
        return failed(BatchExit::Unreadable, QStringLiteral("The folder \"%1\" cannot be made.").arg(folder.path()));
    for (const Output& o : outputs)
        if (stop || !o.write(session, o.temporary, error)) {
            removeAside();
            return stop ? stopped() : failed(BatchExit::Unreadable, error);
        }
    std::vector<QString> placed;
    for (const Output& o : outputs) {
        if (!renameInto(o.temporary, o.path, options.force)) {
            const bool exists = errno == EEXIST;
            const QString reason = exists ? QStringLiteral("\"%1\" exists already; --force replaces it.").arg(o.path)
                                          : QStringLiteral("\"%1\" cannot be written.").arg(o.path);
            for (const QString& p : placed)
                QFile::remove(p);
            removeAside();
            return failed(exists ? BatchExit::OutputExists : BatchExit::Unreadable, reason);
        }
        placed.push_back(o.path);
        r.outputs << o.path;
    }
    r.writeSeconds = seconds(step);
    r.totalSeconds = seconds(total);
    say(QStringLiteral("%1: wrote %2 (%3 s)").arg(name, r.outputs.join(QStringLiteral(", "))).arg(r.writeSeconds, 0, 'f', 2));
    return r;
}
