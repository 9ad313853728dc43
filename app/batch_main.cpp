// dipdigitizer-batch: scanned logs digitized without a window, one after the
// other, each all or nothing. Schedulers run one process per log or per
// batch; this program knows none of them.
#include <csignal>
#include <cstdio>
#include <fstream>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "session/batch_options.h"
#include "session/log_batch.h"
#include "session/work_session.h"

namespace {

std::atomic<bool> stopAsked{false};

void askStop(int) { stopAsked = true; }

void say(const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); }

// The report's file, claimed before any log runs so that a place it cannot
// be written to fails the run before any output is made.
class ReportFile {
public:
    explicit ReportFile(const QString& where) : where_(where), file_(where) {}
    bool claim() { return where_.isEmpty() || where_ == QStringLiteral("-") || file_.open(QIODevice::WriteOnly); }
    bool write(const QJsonArray& logs)
    {
        const QByteArray text = QJsonDocument(QJsonObject{{QStringLiteral("version"), QStringLiteral(DIP_VERSION)},
                                                          {QStringLiteral("logs"), logs}})
                                    .toJson(QJsonDocument::Indented);
        if (where_.isEmpty())
            return true;
        if (where_ == QStringLiteral("-"))
            return std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) == std::size_t(text.size());
        return file_.write(text) == text.size() && file_.commit();
    }
    QString why() const { return file_.errorString(); }

private:
    QString where_;
    QSaveFile file_;
};

// Rows for pictures that are not in this run: a slip, or another run's (a
// scheduler's run of one picture is quiet about the rest).
void warnOfUnusedRows(const WellTable& table, const QStringList& pictures)
{
    QStringList names;
    for (const QString& p : pictures)
        names << QFileInfo(p).fileName();
    for (const auto& [picture, row] : table)
        if (!names.contains(QString::fromStdString(picture)))
            say(QStringLiteral("dipdigitizer-batch: warning: line %1 of the wells file names \"%2\", which is not "
                               "among the pictures.")
                    .arg(row.line)
                    .arg(QString::fromStdString(picture)));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication program(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dipdigitizer-batch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DIP_VERSION));
    struct sigaction stop = {};
    stop.sa_handler = askStop;
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);

    QString error, text;
    const std::optional<BatchOptions> options = readBatchOptions(QCoreApplication::arguments(), error, text);
    if (!options) {
        if (!text.isEmpty()) {
            std::fputs(qPrintable(text), stdout);
            return 0;
        }
        say(QStringLiteral("dipdigitizer-batch: %1\nTry \"dipdigitizer-batch --help\".").arg(error));
        return int(BatchExit::BadArguments);
    }
    const auto progress = [&options](const QString& line) {
        if (!options->quiet)
            say(line);
    };

    LogWells wells;
    if (!options->wells.isEmpty()) {
        std::ifstream in(QFile::encodeName(options->wells).toStdString(), std::ios::binary);
        std::string why = "it cannot be read.";
        if (in)
            wells.table = readWellTable(in, why);
        if (!wells.table) {
            say(QStringLiteral("dipdigitizer-batch: the wells file \"%1\": %2")
                    .arg(options->wells, QString::fromStdString(why)));
            return int(BatchExit::Unreadable);
        }
        if (options->wellsPictures) {
            for (const auto& [picture, row] : *wells.table)
                std::fwrite(picture.c_str(), 1, picture.size() + 1, stdout);
            return int(BatchExit::Done);
        }
        if (!options->quiet)
            warnOfUnusedRows(*wells.table, options->pictures);
    }

    ReportFile report(options->report);
    if (!report.claim()) {
        say(QStringLiteral("dipdigitizer-batch: the report \"%1\" cannot be written: %2. No log was digitized.")
                .arg(options->report, report.why()));
        return int(BatchExit::Unwritable);
    }
    QJsonArray logs;
    int exitCode = 0;
    int done = 0;
    std::optional<WorkSession::ProjectOpening> opening;
    if (options->autoCalibration())
        opening.emplace();
    else
        opening = WorkSession::readProjectFile(options->calibration, error);
    if (opening && !options->autoCalibration()) {
        wells.calibration = opening->file.work.well;
        wells.calibrationPicture = QFileInfo(QString::fromStdString(opening->file.picture)).fileName();
    }
    for (const QString& picture : options->pictures) {
        LogReport log;
        if (!opening) {
            log.picture = picture;
            log.exit = BatchExit::Unreadable;
            log.error = error;
            say(QStringLiteral("%1: failed: %2").arg(picture, error));
        } else if (stopAsked) {
            log.picture = picture;
            log.exit = BatchExit::Stopped;
            log.error = QStringLiteral("Stopped before the log was begun.");
        } else {
            log = digitizeLog(picture, opening->file.work, wells, *options, stopAsked, progress);
            if (log.exit != BatchExit::Done)
                say(QStringLiteral("%1: failed: %2").arg(picture, log.error));
        }
        logs.append(log.toJson());
        done += log.exit == BatchExit::Done ? 1 : 0;
        if (exitCode == 0)
            exitCode = int(log.exit);
    }
    if (!report.write(logs)) {
        say(QStringLiteral("dipdigitizer-batch: the outputs of %1 log%2 were written, but the report \"%3\" could not "
                           "be: %4.")
                .arg(done)
                .arg(done == 1 ? QString() : QStringLiteral("s"))
                .arg(options->report, report.why()));
        if (exitCode == 0)
            exitCode = int(BatchExit::Unwritable);
    }
    return exitCode;
}
