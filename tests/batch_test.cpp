// dipdigitizer-batch run as a scheduler runs it: a process per call, its exit
// code, its outputs and its report.
#include <csignal>
#include <sstream>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "labelled_log.h"
#include "printed_log.h"

namespace {

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

QProcessEnvironment terminal()
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
    Finished run(const QStringList& arguments)
    {
        QProcess p;
        p.setProcessEnvironment(terminal());
        p.start(QStringLiteral(BATCH_PROGRAM), arguments);
        EXPECT_TRUE(p.waitForFinished(300000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString path(const QString& name) const { return folder_.filePath(name); }
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

}  // namespace

TEST_F(BatchTest, ALogIsDigitizedIntoItsOutputsAndReported)
{
    const QString log = writeLog(QStringLiteral("well 7.bmp"));
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    const Finished done = run({QStringLiteral("--calibration"), calibration, QStringLiteral("--out"), path("out"),
                          QStringLiteral("--report"), QStringLiteral("-"), QStringLiteral("--formats"),
                          QStringLiteral("las,csv,dip,ddp"), QStringLiteral("--well"), QStringLiteral("Vell 7"),
                          QStringLiteral("--depth-unit"), QStringLiteral("ft"), log});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    EXPECT_EQ(filesIn(path("out")), QStringList({"well 7.csv", "well 7.ddp", "well 7.dip", "well 7.las"}));
    const QJsonObject report = QJsonDocument::fromJson(done.out.toUtf8()).object();
    EXPECT_EQ(report[QStringLiteral("version")].toString(), QStringLiteral(DIP_VERSION));
    ASSERT_EQ(report[QStringLiteral("logs")].toArray().size(), 1);
    const QJsonObject entry = report[QStringLiteral("logs")].toArray()[0].toObject();
    EXPECT_EQ(entry[QStringLiteral("picture")].toString(), log);
    EXPECT_EQ(entry[QStringLiteral("width")].toInt(), 400);
    EXPECT_EQ(entry[QStringLiteral("height")].toInt(), 1200);
    EXPECT_EQ(entry[QStringLiteral("kind")].toString(), QStringLiteral("bmp"));
    EXPECT_EQ(entry[QStringLiteral("rows")].toInt(), 2);
    EXPECT_EQ(entry[QStringLiteral("status")].toString(), QStringLiteral("done"));
    EXPECT_FALSE(entry.contains(QStringLiteral("error")));
    const int dips = entry[QStringLiteral("dips")].toInt();
    EXPECT_GE(dips, 13);  // 15 printed, the first and last at the calibration's ends
    EXPECT_EQ(entry[QStringLiteral("filled")].toInt() + entry[QStringLiteral("hollow")].toInt(), dips);
    int found = 0;
    for (const QJsonValue n : entry[QStringLiteral("confidence")].toArray())
        found += n.toInt();
    EXPECT_GE(found, dips);
    EXPECT_EQ(entry[QStringLiteral("confidence")].toArray().size(), 10);
    EXPECT_NEAR(entry[QStringLiteral("dotSize")].toDouble(), 10, 1.5);
    EXPECT_EQ(entry[QStringLiteral("outputs")].toArray().size(), 4);
    for (const char* part : {"read", "find", "write", "total"})
        EXPECT_GE(entry[QStringLiteral("seconds")].toObject()[QLatin1String(part)].toDouble(), 0) << part;
    EXPECT_TRUE(done.err.contains(QStringLiteral("well 7.bmp: found")));

    const QString las = text(path("out/well 7.las"));
    EXPECT_TRUE(las.contains(QStringLiteral(" WELL.               Vell 7 : Well\r\n"))) << las.toStdString();
    EXPECT_TRUE(las.contains(QStringLiteral(" STRT.FT ")));
    const QString project = text(path("out/well 7.ddp"));
    EXPECT_TRUE(project.startsWith(QStringLiteral("FILE,\"../well 7.bmp\"\r\n")));
    EXPECT_TRUE(project.contains(QStringLiteral("NumPoints,%1\r\n").arg(dips)));
    // The well, then each found dip's confidence.
    EXPECT_TRUE(project.contains(QStringLiteral("WELL,\"Vell 7\"\r\nCOMP,\"\"\r\nFLD,\"\"\r\nLOC,\"\"\r\nPROV,\"\"\r\n"
                                                "SRVC,\"\"\r\nUWI,\"\"\r\nUNIT,\"FT\"\r\nCONFIDENCE,%1\r\n")
                                     .arg(dips)));
    EXPECT_TRUE(text(path("out/well 7.csv")).startsWith(QStringLiteral("Depth,Dip,Azimuth,Quality,X,Y,Confidence\r\n")));

    // Quiet: nothing on standard error; beside the picture by default.
    const Finished quiet = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, log});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, QString());
    EXPECT_TRUE(QFileInfo::exists(path("well 7.las")) && QFileInfo::exists(path("well 7.csv"))
                && QFileInfo::exists(path("well 7.ddp")) && !QFileInfo::exists(path("well 7.dip")));
}

// A depth mistyped in the calibration project is reported, naming what fits.
TEST_F(BatchTest, ADepthThatBreaksTheCalibrationsTrendIsAWarning)
{
    const QString log = writeLog(QStringLiteral("log.bmp"));
    ProjectFile project = calibrationFor(400, 1200);
    project.work.depthRows = {{2400, 5, 100, 280}, {2410, 305, 100, 280}, {2042, 605, 100, 280},
                              {2430, 905, 100, 280}, {2440, 1195, 100, 280}};
    const Finished done = run({QStringLiteral("--calibration"),
                               writeCalibration(QStringLiteral("calibration.ddp"), project), QStringLiteral("--report"),
                               QStringLiteral("-"), QStringLiteral("--out"), path("out"), log});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    const QJsonObject entry =
        QJsonDocument::fromJson(done.out.toUtf8()).object()[QStringLiteral("logs")].toArray()[0].toObject();
    EXPECT_EQ(entry[QStringLiteral("warnings")].toArray(),
              QJsonArray({QStringLiteral("The calibration's depth line 3 (row 605 of the picture): 2042 does not fit "
                                         "the lines around it: 2420 would.")}));
}

// Each log calibrated from its own lines, labels and track: the report
// says what the calibration rests on, a misprinted label is outvoted and
// named, and a log without lines fails with its reason and nothing written.
TEST_F(BatchTest, AutoCalibrationReadsEachLogsOwnLinesAndLabels)
{
    writeFile(path("labelled.bmp").toStdString(), encodeBmp(labelledLog(1500, "2950"), 8));
    const Finished done = run({QStringLiteral("--calibration"), QStringLiteral("auto"), QStringLiteral("--report"),
                               QStringLiteral("-"), QStringLiteral("--out"), path("out"), path("labelled.bmp")});
    ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
    const QJsonObject entry =
        QJsonDocument::fromJson(done.out.toUtf8()).object()[QStringLiteral("logs")].toArray()[0].toObject();
    const QJsonObject calibration = entry[QStringLiteral("calibration")].toObject();
    EXPECT_EQ(calibration[QStringLiteral("source")].toString(), QStringLiteral("auto"));
    EXPECT_EQ(calibration[QStringLiteral("rows")].toInt(), 14);
    EXPECT_EQ(calibration[QStringLiteral("labelsRead")].toInt(), 12);  // a dozen spread along it, enough
    EXPECT_EQ(calibration[QStringLiteral("labelsAgreeing")].toInt(), 11);
    EXPECT_EQ(calibration[QStringLiteral("depthStep")].toDouble(), 10);
    EXPECT_EQ(calibration[QStringLiteral("scale")].toString(), QStringLiteral("Linear Dip Scale"));
    EXPECT_NEAR(calibration[QStringLiteral("skewDegrees")].toDouble(), 0, 0.05);
    const QJsonArray disagreeing = calibration[QStringLiteral("disagreeing")].toArray();
    ASSERT_EQ(disagreeing.size(), 1);
    EXPECT_NEAR(disagreeing[0][QStringLiteral("row")].toDouble(), 600.5, 0.05);
    EXPECT_EQ(disagreeing[0][QStringLiteral("read")].toString(), QStringLiteral("2950"));
    EXPECT_EQ(disagreeing[0][QStringLiteral("fits")].toDouble(), 2450);
    // The drawn log prints no numbers over its grid: its limits are assumed, and said so.
    EXPECT_FALSE(calibration[QStringLiteral("limitsRead")].toBool());
    EXPECT_EQ(entry[QStringLiteral("warnings")].toArray(),
              QJsonArray({QStringLiteral("The dip scale's numbers were not read over its grid: the scale was taken to run "
                                         "from 0 to 90."),
                          QStringLiteral("The depth printed at row 600.5 was read as \"2950\"; 2450 fits the others.")}));
    // The tadpole between the first two lines: 2405 at row 150.5, dip 0 + (190.5 - 150.5) / 400 * 90.
    const QStringList rows = text(path("out/labelled.csv")).split(QStringLiteral("\r\n"));
    ASSERT_GE(rows.size(), 3);
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("2405.0,9.0,"))) << rows[1].toStdString();

    writeLog(QStringLiteral("plain.bmp"));
    const Finished plain = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), QStringLiteral("auto"),
                                QStringLiteral("--out"), path("plain"), path("plain.bmp")});
    EXPECT_EQ(plain.exitCode, 4);
    EXPECT_TRUE(plain.err.contains(QStringLiteral("No calibration was found on the log: No dip track was found")))
        << plain.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("plain")) && !filesIn(path("plain")).isEmpty());

    // Lines and a track, but words where the depths should be: refused, the
    // report telling what was read, nothing written.
    writeFile(path("words.bmp").toStdString(), encodeBmp(labelledLog(1500, Labels{{}, 1, false, true}), 8));
    const Finished words = run({QStringLiteral("--calibration"), QStringLiteral("auto"), QStringLiteral("--report"),
                                QStringLiteral("-"), QStringLiteral("--out"), path("words"), path("words.bmp")});
    EXPECT_EQ(words.exitCode, 4);
    const QJsonObject refused =
        QJsonDocument::fromJson(words.out.toUtf8()).object()[QStringLiteral("logs")].toArray()[0].toObject();
    EXPECT_EQ(refused[QStringLiteral("status")].toString(), QStringLiteral("failed"));
    EXPECT_TRUE(refused[QStringLiteral("error")].toString().startsWith(
        QStringLiteral("No calibration was found on the log: The depths printed beside the lines could not be read")))
        << refused[QStringLiteral("error")].toString().toStdString();
    const QJsonObject read = refused[QStringLiteral("calibration")].toObject();
    EXPECT_GE(read[QStringLiteral("labelsLooked")].toInt(), 12);
    EXPECT_EQ(read[QStringLiteral("labelsRead")].toInt(), 0);
    EXPECT_EQ(read[QStringLiteral("labelsAgreeing")].toInt(), 0);
    EXPECT_FALSE(QFileInfo::exists(path("words")) && !filesIn(path("words")).isEmpty());
}

TEST_F(BatchTest, EachFailureHasItsExitCodeItsMessageAndNoOutput)
{
    const QString log = writeLog(QStringLiteral("log.bmp"));
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    const QStringList into{QStringLiteral("--quiet"), QStringLiteral("--out"), path("out")};
    const auto outputs = [&] { return filesIn(path("out")); };

    Finished r = run(into + QStringList{QStringLiteral("--calibration"), calibration, QStringLiteral("--shiny"), log});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Unknown option 'shiny'"))) << r.err.toStdString();
    r = run(into + QStringList{log});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("--calibration FILE.ddp or --calibration auto is required")));
    r = run(into + QStringList{QStringLiteral("--calibration"), calibration, QStringLiteral("--min-confidence"),
                               QStringLiteral("120"), log});
    EXPECT_EQ(r.exitCode, 1);

    r = run(into + QStringList{QStringLiteral("--calibration"), calibration, path("missing.bmp")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("missing.bmp"))) << r.err.toStdString();
    writeFile(path("damaged.png").toStdString(), "\x89PNG\r\n\x1a\n and no more");
    r = run(into + QStringList{QStringLiteral("--calibration"), calibration, path("damaged.png")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("is truncated"))) << r.err.toStdString();
    writeFile(path("cut.ddp").toStdString(), "FILE,\"log.bmp\"\r\nIMAGEWIDTH,400\r\n");
    r = run(into + QStringList{QStringLiteral("--calibration"), path("cut.ddp"), log});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("The file ends early, at line 3"))) << r.err.toStdString();
    r = run(into + QStringList{QStringLiteral("--calibration"),
                               writeCalibration(QStringLiteral("one.ddp"), calibrationFor(400, 1200, 1)), log});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("1 depth row; two at least are needed"))) << r.err.toStdString();
    r = run(into + QStringList{QStringLiteral("--calibration"),
                               writeCalibration(QStringLiteral("tall.ddp"), calibrationFor(400, 5000)), log});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("lies outside the picture"))) << r.err.toStdString();
    EXPECT_EQ(outputs(), QStringList());

    // An output there already stops the log whole; --force replaces it.
    QDir().mkpath(path("out"));
    writeFile(path("out/log.csv").toStdString(), "mine");
    r = run(into + QStringList{QStringLiteral("--calibration"), calibration, log});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("exists already; --force replaces it")));
    EXPECT_EQ(outputs(), QStringList("log.csv"));
    EXPECT_EQ(text(path("out/log.csv")), QStringLiteral("mine"));
    r = run(into + QStringList{QStringLiteral("--force"), QStringLiteral("--calibration"), calibration, log});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(outputs(), QStringList({"log.csv", "log.ddp", "log.las"}));
    EXPECT_TRUE(text(path("out/log.csv")).startsWith(QStringLiteral("Depth,Dip,Azimuth,Quality,X,Y,Confidence\r\n")));

    // The other logs still run; the exit code is the first failure's.
    const QString other = writeLog(QStringLiteral("other.bmp"));
    r = run(into + QStringList{QStringLiteral("--calibration"), calibration, QStringLiteral("--report"),
                               path("report.json"), path("missing.bmp"), log, other});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(outputs(), QStringList({"log.csv", "log.ddp", "log.las", "other.csv", "other.ddp", "other.las"}));
    const QJsonArray logs =
        QJsonDocument::fromJson(text(path("report.json")).toUtf8()).object()[QStringLiteral("logs")].toArray();
    ASSERT_EQ(logs.size(), 3);
    EXPECT_EQ(logs[0].toObject()[QStringLiteral("exitCode")].toInt(), 2);
    EXPECT_EQ(logs[1].toObject()[QStringLiteral("exitCode")].toInt(), 3);
    EXPECT_EQ(logs[2].toObject()[QStringLiteral("status")].toString(), QStringLiteral("done"));
}

// More tadpoles than a dip table holds: a limit of the work, not of the
// calibration, with its own exit code.
TEST_F(BatchTest, ALogOfMoreTadpolesThanTheDipTableHoldsFailsWholeWithItsOwnExitCode)
{
    const int columns = 39, rows = kMaxDips / columns + 2, width = 1000, height = rows * 30 + 40;
    RgbPicture crowded(width, height, 0xffffff);
    const auto ink = [&](int x, int y, double share) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            crowded.at(x, y) = 0x010101u * std::uint32_t(std::lround(255 * (1 - share)));
    };
    for (int i = 0; i < rows * columns; ++i)
        sketchTadpole(TadpoleSketch{40.5 + 24 * (i % columns), 30.5 + 30 * (i / columns), 8, double((i * 53) % 360), 14,
                                    2, true},
                      ink, [](int, int, double) {});
    writeFile(path("crowded.bmp").toStdString(), encodeBmp(crowded, 8));
    ProjectFile calibration = calibrationFor(width, height);
    for (DepthRow& r : calibration.work.depthRows) {
        r.minDipX = 20;
        r.maxDipX = 980;
    }
    const Finished r = run({QStringLiteral("--quiet"), QStringLiteral("--min-confidence"), QStringLiteral("0"),
                            QStringLiteral("--calibration"), writeCalibration(QStringLiteral("wide.ddp"), calibration),
                            QStringLiteral("--report"), path("report.json"), QStringLiteral("--out"), path("out"),
                            path("crowded.bmp")});
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("The dip table holds at most 32767 dips"))) << r.err.toStdString();
    EXPECT_EQ(filesIn(path("out")), QStringList());
    const QJsonObject log = QJsonDocument::fromJson(text(path("report.json")).toUtf8())
                                .object()[QStringLiteral("logs")]
                                .toArray()[0]
                                .toObject();
    EXPECT_EQ(log[QStringLiteral("exitCode")].toInt(), 6);
    EXPECT_GT(log[QStringLiteral("filled")].toInt(), kMaxDips);
}

TEST_F(BatchTest, SigtermInTheMiddleOfALogLeavesNothingBehind)
{
    const QString log = writeLog(QStringLiteral("long.bmp"), 400, 40000);
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 40000));
    QProcess p;
    p.setProcessEnvironment(terminal());
    p.start(QStringLiteral(BATCH_PROGRAM),
            {QStringLiteral("--calibration"), calibration, QStringLiteral("--out"), path("out"), log});
    p.setReadChannel(QProcess::StandardError);
    // Once the picture is read, the search is under way.
    QString said;
    while (!said.contains(QStringLiteral("long.bmp: read")) && p.waitForReadyRead(60000))
        said += QString::fromUtf8(p.readAllStandardError());
    ASSERT_TRUE(said.contains(QStringLiteral("long.bmp: read"))) << said.toStdString();
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 5) << p.readAllStandardError().toStdString();
    EXPECT_EQ(filesIn(path("out")), QStringList());
}

TEST_F(BatchTest, TwoRunsAtOnceIntoOneFolder)
{
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(terminal());
        p->start(QStringLiteral(BATCH_PROGRAM),
                 {QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, QStringLiteral("--out"),
                  path("out"), writeLog(p == &first ? QStringLiteral("a.bmp") : QStringLiteral("b.bmp"))});
    }
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_EQ(filesIn(path("out")), QStringList({"a.csv", "a.ddp", "a.las", "b.csv", "b.ddp", "b.las"}));
    EXPECT_EQ(text(path("out/a.csv")), text(path("out/b.csv")));  // the same log twice
}

namespace {

// scripts/digitize-archive.sh over path("archive"), as a user runs it.
class ArchiveTest : public BatchTest {
protected:
    void SetUp() override
    {
        QDir().mkpath(path("archive"));
        calibration_ = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    }
    int archive(const QStringList& more = {})
    {
        QProcess p;
        QProcessEnvironment e = terminal();
        e.insert(QStringLiteral("DIPDIGITIZER_BATCH"), QStringLiteral(BATCH_PROGRAM));
        p.setProcessEnvironment(e);
        p.start(QStringLiteral("bash"), QStringList{QStringLiteral(ARCHIVE_SCRIPT), path("archive"), calibration_,
                                                    path("out"), QStringLiteral("-j"), QStringLiteral("2")}
                                            + more);
        EXPECT_TRUE(p.waitForFinished(300000));
        err_ = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    }
    QStringList summary() const { return text(path("out/summary.csv")).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    // The jobs parallel ran, over every run.
    int jobs() const { return int(text(path("out/jobs.log")).count(QStringLiteral("dipdigitizer-batch"))); }
    QDateTime written(const char* name) const { return QFileInfo(path("out/%1").arg(QLatin1String(name))).lastModified(); }

    QString calibration_;
    QString err_;
};

}  // namespace

TEST_F(ArchiveTest, EveryPictureIsRunOnceAndResumingRunsWhatIsNotDoneByPicture)
{
    for (const char* name : {"archive/w2.bmp", "archive/w3.bmp", "archive/w4.bmp"})
        writeLog(QString::fromLatin1(name));
    writeFile(path("archive/w5.png").toStdString(), "not a picture");
    EXPECT_EQ(archive(), 1);  // one log failed
    QStringList rows = summary();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], QStringLiteral("picture,status,dips,filled,hollow,seconds,error,warnings,review"));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("\"%1\",\"done\",").arg(path("archive/w2.bmp"))));
    // A failure's seconds to the millisecond, never in exponent form.
    const auto failed = QRegularExpression(QStringLiteral("^\"%1\",\"failed\",0,0,0,\"[0-9]+\\.[0-9]{3}\",\".*is not a "
                                                          "picture the program reads.*\",\"\",0$")
                                               .arg(QRegularExpression::escape(path("archive/w5.png"))));
    EXPECT_TRUE(failed.match(rows[4]).hasMatch()) << rows[4].toStdString();
    EXPECT_EQ(jobs(), 4);
    const QDateTime w2 = written("w2.las");

    // A picture added that sorts first, and the failed one: both run, the
    // three done stay as they are.
    writeLog(QStringLiteral("archive/w1.bmp"));
    EXPECT_EQ(archive({QStringLiteral("--resume")}), 1);
    EXPECT_EQ(jobs(), 6);
    EXPECT_EQ(written("w2.las"), w2);
    rows = summary();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("\"%1\",\"done\",").arg(path("archive/w1.bmp"))));
    EXPECT_TRUE(rows[2].startsWith(QStringLiteral("\"%1\",\"done\",").arg(path("archive/w2.bmp"))));

    // A picture removed: it leaves the summary; nothing done runs again,
    // twice in a row.
    QFile::remove(path("archive/w5.png"));
    EXPECT_EQ(archive({QStringLiteral("--resume")}), 0);
    EXPECT_EQ(archive({QStringLiteral("--resume")}), 0);
    EXPECT_EQ(jobs(), 6);
    rows = summary();
    ASSERT_EQ(rows.size(), 5);
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(rows[i].contains(QStringLiteral(",\"done\","))) << rows[i].toStdString();

    // Run again without --resume: the logs done fail (their outputs exist),
    // and their reports still say done.
    EXPECT_EQ(archive(), 4);
    EXPECT_EQ(summary(), rows);
    EXPECT_EQ(written("w2.las"), w2);
}

TEST_F(ArchiveTest, EachLogIsItsOwnWellAndWhatWasLeftOutIsWarned)
{
    // The calibration was made on w1.bmp, with its well.
    ProjectFile made = calibrationFor(400, 1200);
    made.picture = "w1.bmp";
    made.work.well.name = "Vell 1";
    made.work.well.uwi = "100/01";
    calibration_ = writeCalibration(QStringLiteral("calibration.ddp"), made);
    for (const char* name : {"archive/w1.bmp", "archive/w2.bmp", "archive/w3.bmp"})
        writeLog(QString::fromLatin1(name));
    writeLog(QStringLiteral("archive/long.bmp"), 400, 3000);  // calibrated over its top 40 %
    writeFile(path("wells.csv").toStdString(), "picture,well,company,field,location,province,service_company,uwi,"
                                               "depth_unit\r\nw2.bmp,Vell 2,Vellwick,,,,,,ft\r\n"
                                               "w3.bmp,,Vellwick,,,,,,\r\ngone.bmp,Vell 9,,,,,,,\r\n");
    EXPECT_EQ(archive({QStringLiteral("--wells"), path("wells.csv")}), 0) << err_.toStdString();
    EXPECT_TRUE(err_.contains(QStringLiteral("the wells file names \"gone.bmp\", which is not in")))
        << err_.toStdString();

    const auto las = [this](const char* name) { return text(path("out/%1.las").arg(QLatin1String(name))); };
    const auto well = [&](const char* name) {
        const auto named = QRegularExpression(QStringLiteral("\r\n WELL\\. +(.*) : Well\r\n")).match(las(name));
        return named.hasMatch() ? named.captured(1) : QString();
    };
    EXPECT_EQ(well("w1"), QStringLiteral("Vell 1"));
    EXPECT_TRUE(las("w1").contains(QStringLiteral("100/01")));
    EXPECT_EQ(well("w2"), QStringLiteral("Vell 2"));
    EXPECT_TRUE(las("w2").contains(QStringLiteral(" STRT.FT ")));
    EXPECT_FALSE(las("w2").contains(QStringLiteral("100/01")));
    EXPECT_EQ(well("w3"), QStringLiteral("w3"));
    EXPECT_TRUE(las("w3").contains(QStringLiteral("Vellwick")));
    EXPECT_EQ(well("long"), QStringLiteral("long"));

    const QStringList rows = summary();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_TRUE(rows[1].contains(QStringLiteral("The wells file has no row for \"\"long.bmp\"\": its well is named "
                                                 "\"\"long\"\".")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("The calibration covers 39 % of the picture's height (rows 5 to 1195 "
                                                 "of 3000)")))
        << rows[1].toStdString();
    // The dips under 90 % sure, last.
    const int review = QJsonDocument::fromJson(text(path("out/reports/w2.json")).toUtf8())
                           .object()[QStringLiteral("logs")].toArray()[0].toObject()[QStringLiteral("review")].toInt();
    EXPECT_TRUE(rows[3].endsWith(QStringLiteral(",\"\",\"\",%1").arg(review))) << rows[3].toStdString();
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
