// dipdigitizer-batch run as a scheduler runs it: a process per call, its exit
// code, its outputs and its report.
#include <csignal>
#include <sstream>

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "batch_fixture.h"

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

// With --force too, all or nothing: an output that cannot be replaced (a
// folder of its name) fails the log before anything is touched, and the
// earlier outputs stay as they were.
TEST_F(BatchTest, ForceNeverLosesAnEarlierOutput)
{
    const QString log = writeLog(QStringLiteral("w1.bmp"));
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    QDir().mkpath(path("out/w1.csv"));
    writeFile(path("out/w1.las").toStdString(), "earlier");
    const QStringList force{QStringLiteral("--quiet"), QStringLiteral("--force"), QStringLiteral("--formats"),
                            QStringLiteral("las,csv"), QStringLiteral("--calibration"), calibration,
                            QStringLiteral("--out"), path("out"), log};
    Finished r = run(force);
    EXPECT_EQ(r.exitCode, 7) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("w1.csv\" is no file that an output can replace"))) << r.err.toStdString();
    EXPECT_EQ(text(path("out/w1.las")), QStringLiteral("earlier"));
    EXPECT_EQ(filesIn(path("out")), QStringList("w1.las"));

    // Once it can be, every earlier output is replaced and none is left aside.
    QDir(path("out/w1.csv")).removeRecursively();
    writeFile(path("out/w1.csv").toStdString(), "earlier too");
    r = run(force);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(filesIn(path("out")), QStringList({"w1.csv", "w1.las"}));
    EXPECT_TRUE(text(path("out/w1.las")).startsWith(QStringLiteral("~Version Information")));
}

// A report names its outputs whole, whichever folder the run started in.
TEST_F(BatchTest, AReportNamesItsOutputsWhole)
{
    writeLog(QStringLiteral("w1.bmp"));
    writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    const Finished r = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), QStringLiteral("calibration.ddp"),
                            QStringLiteral("--out"), QStringLiteral("out"), QStringLiteral("--report"),
                            QStringLiteral("-"), QStringLiteral("w1.bmp")},
                           path(QString()));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray outputs = QJsonDocument::fromJson(r.out.toUtf8())
                                   .object()[QStringLiteral("logs")]
                                   .toArray()[0]
                                   .toObject()[QStringLiteral("outputs")]
                                   .toArray();
    ASSERT_EQ(outputs.size(), 3);
    for (const QJsonValue o : outputs) {
        EXPECT_TRUE(QFileInfo(o.toString()).isAbsolute()) << o.toString().toStdString();
        EXPECT_TRUE(QFileInfo::exists(o.toString())) << o.toString().toStdString();
    }
}

// The depths of every log a calibration serves are in its unit; the well's
// name stays each picture's own.
TEST_F(BatchTest, TheCalibrationsDepthUnitReachesEveryLog)
{
    ProjectFile made = calibrationFor(400, 1200);
    made.picture = "w1.bmp";
    made.work.well.name = "Vell 1";
    made.work.well.depthUnit = "FT";
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), made);
    const Finished r = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, QStringLiteral("--out"),
                            path("out"), writeLog(QStringLiteral("w1.bmp")), writeLog(QStringLiteral("w2.bmp"))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const char* name : {"w1", "w2"}) {
        const QString las = text(path("out/%1.las").arg(QLatin1String(name)));
        EXPECT_TRUE(las.contains(QStringLiteral(" STRT.FT "))) << name;
        EXPECT_TRUE(las.contains(QStringLiteral(" DEPT.FT "))) << name;
    }
    EXPECT_EQ(wellOf(text(path("out/w2.las"))), QStringLiteral("w2"));
    EXPECT_TRUE(text(path("out/w2.ddp")).contains(QStringLiteral("WELL,\"w2\"")));
}

// A file name is never a reason to fail: a well's name is made from it
// without the quotes and line breaks no file can carry there, and a project
// that cannot name its picture is left out and told.
TEST_F(BatchTest, AFileNameIsNeverAReasonToFail)
{
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    const QString quoted = writeLog(QStringLiteral("w \"1\".bmp")), broken = writeLog(QStringLiteral("w\n2, é.bmp"));
    const Finished r = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, QStringLiteral("--out"),
                            path("out"), QStringLiteral("--report"), QStringLiteral("-"), quoted, broken});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(filesIn(path("out")),
              QStringList({"w\n2, é.csv", "w\n2, é.ddp", "w\n2, é.las", "w \"1\".csv", "w \"1\".las"}));
    EXPECT_EQ(wellOf(text(path("out/w \"1\".las"))), QStringLiteral("w '1'"));
    EXPECT_EQ(wellOf(text(path("out/w\n2, é.las"))), QStringLiteral("w 2, é"));
    EXPECT_TRUE(text(path("out/w\n2, é.ddp")).startsWith(QStringLiteral("FILE,\"../w\n2, é.bmp\"\r\n")));
    const QJsonArray logs = QJsonDocument::fromJson(r.out.toUtf8()).object()[QStringLiteral("logs")].toArray();
    ASSERT_EQ(logs.size(), 2);
    const QStringList warnings = logs[0].toObject()[QStringLiteral("warnings")].toVariant().toStringList();
    EXPECT_TRUE(warnings.contains(QStringLiteral("The well is named \"w '1'\": a well's name holds no double quote nor "
                                                 "line break.")))
        << warnings.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(warnings.filter(QStringLiteral("no project was written")).size() == 1)
        << warnings.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(logs[0].toObject()[QStringLiteral("outputs")].toArray().size(), 2);
}

// Two pictures of one run whose outputs would be the same files: refused
// before any log runs, naming both.
TEST_F(BatchTest, PicturesWhoseOutputsWouldBeTheSameAreRefusedBeforeAnyRuns)
{
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    QDir().mkpath(path("a"));
    const QString bmp = writeLog(QStringLiteral("a/w1.bmp")), png = writeLog(QStringLiteral("a/w1.png"));
    const Finished r = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, bmp, png});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("\"%1\" and \"%2\" would write the same outputs").arg(bmp, png)))
        << r.err.toStdString();
    EXPECT_EQ(filesIn(path("a")), QStringList({"w1.bmp", "w1.png"}));
}

// An output or the report that cannot be written has its own code; the
// report's place is claimed before any log runs.
TEST_F(BatchTest, WhatCannotBeWrittenHasItsOwnCodeAndTheReportIsClaimedFirst)
{
    const QString log = writeLog(QStringLiteral("w1.bmp"));
    const QString calibration = writeCalibration(QStringLiteral("calibration.ddp"), calibrationFor(400, 1200));
    Finished r = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, QStringLiteral("--out"),
                      path("out"), QStringLiteral("--report"), path("missing/report.json"), log});
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_TRUE(r.err.contains(QStringLiteral("the report \"%1\" cannot be written").arg(path("missing/report.json"))))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("No log was digitized."))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("out")));

    writeFile(path("taken").toStdString(), "a file where the outputs' folder would be");
    r = run({QStringLiteral("--quiet"), QStringLiteral("--calibration"), calibration, QStringLiteral("--out"),
             path("taken"), log});
    EXPECT_EQ(r.exitCode, 7);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot be made"))) << r.err.toStdString();
    EXPECT_TRUE(run({QStringLiteral("--help")}).out.contains(QStringLiteral("  7  an output or the report cannot be written")));
}

// The pictures a wells file names, as the batch reads them, for the archive
// script's check: one rule for every CSV.
TEST_F(BatchTest, TheWellsFilesPicturesAreListedAsTheBatchReadsThem)
{
    writeFile(path("wells.csv").toStdString(), "\xEF\xBB\xBFwell,picture\r\nVell 1,\"w \"\"1\"\", east.bmp\"\r\n"
                                               "Vell 2,\"w\n2.bmp\"\r\n");
    const Finished r = run({QStringLiteral("--wells"), path("wells.csv"), QStringLiteral("--wells-pictures")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toUtf8(), QByteArray("w\n2.bmp\0w \"1\", east.bmp\0", 24));
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
