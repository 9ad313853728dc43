#pragma once

// dipdigitizer-batch run as a scheduler runs it, and the archive script as
// a user runs it: a process per call, its exit code, its outputs and its
// report.
#include <sstream>

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "labelled_log.h"
#include "printed_log.h"

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

inline QProcessEnvironment terminal()
{
    // As on a cluster's node: no display, no platform chosen.
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("DISPLAY"));
    e.remove(QStringLiteral("QT_QPA_PLATFORM"));
    e.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    return e;
}

class BatchTest : public ::testing::Test {
protected:
    Finished run(const QStringList& arguments, const QString& workingFolder = QString())
    {
        QProcess p;
        p.setProcessEnvironment(terminal());
        if (!workingFolder.isEmpty())
            p.setWorkingDirectory(workingFolder);
        p.start(QStringLiteral(BATCH_PROGRAM), arguments);
        EXPECT_TRUE(p.waitForFinished(300000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString path(const QString& name) const { return folder_.filePath(name); }
    // The well a LAS file names.
    static QString wellOf(const QString& las)
    {
        const auto named = QRegularExpression(QStringLiteral("\r\n WELL\\. +(.*) : Well\r\n")).match(las);
        return named.hasMatch() ? named.captured(1) : QString();
    }
    QString writeLog(const QString& name, int width = 400, int height = 1200)
    {
        writeFile(path(name).toStdString(), encodeBmp(printedLog(width, height, 80), 8));
        return path(name);
    }
    QString writeCalibration(const QString& name, const ProjectFile& project)
    {
        std::ostringstream text;
        EXPECT_TRUE(writeProject(text, project));
        writeFile(path(name).toStdString(), text.str());
        return path(name);
    }
    QStringList filesIn(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    static QString text(const QString& file)
    {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    QTemporaryDir folder_;
};

// scripts/digitize-archive.sh over path("archive"), as a user runs it.
class ArchiveTest : public BatchTest {
protected:
    void SetUp() override
    {
        QDir().mkpath(path("archive"));
        calibration_ = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    }
    int archive(const QStringList& more = {}) { return archiveFrom(QString(), {path("archive"), calibration_, path("out")}, more); }
    // The script started in a folder, with the folders given as they are.
    int archiveFrom(const QString& workingFolder, const QStringList& folders, const QStringList& more = {},
                    const QString& batch = QStringLiteral(BATCH_PROGRAM))
    {
        QProcess p;
        QProcessEnvironment e = terminal();
        e.insert(QStringLiteral("DIPDIGITIZER_BATCH"), batch);
        p.setProcessEnvironment(e);
        if (!workingFolder.isEmpty())
            p.setWorkingDirectory(workingFolder);
        p.start(QStringLiteral("bash"),
                QStringList{QStringLiteral(ARCHIVE_SCRIPT)} + folders + QStringList{QStringLiteral("-j"), QStringLiteral("2")}
                    + more);
        EXPECT_TRUE(p.waitForFinished(300000));
        err_ = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QStringList summary() const { return text(path("out/summary.csv")).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    // The jobs parallel ran, over every run.
    int jobs() const { return int(text(path("out/jobs.log")).count(QStringLiteral("dipdigitizer-batch"))); }
    QDateTime written(const char* name) const { return QFileInfo(path("out/%1").arg(QLatin1String(name))).lastModified(); }

    QString calibration_;
    QString err_;
};

