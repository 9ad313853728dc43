// scripts/digitize-archive.sh as a user runs it over a folder of logs.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <sstream>

#include "batch_fixture.h"
#include "files/csv_text.h"

TEST_F(ArchiveTest, EveryPictureIsRunOnceAndResumingRunsWhatIsNotDoneByPicture)
{
    for (const char* name : {"archive/w2.bmp", "archive/w3.bmp", "archive/w4.bmp"})
        writeLog(QString::fromLatin1(name));
    writeFile(path("archive/w5.png").toStdString(), "not a picture");
    EXPECT_EQ(archive(), 1);  // one log failed
    QStringList rows = summary();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0], QStringLiteral("picture,status,dips,filled,hollow,seconds,error,warnings,review,exit_code"));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("\"%1\",\"done\",").arg(path("archive/w2.bmp"))));
    // A failure's seconds to the millisecond, never in exponent form.
    const auto failed = QRegularExpression(QStringLiteral("^\"%1\",\"failed\",0,0,0,\"[0-9]+\\.[0-9]{3}\",\".*is not a "
                                                          "picture the program reads.*\",\"\",0,2$")
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
    const auto well = [&](const char* name) { return wellOf(las(name)); };
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
    EXPECT_TRUE(rows[3].endsWith(QStringLiteral(",\"\",\"\",%1,0").arg(review))) << rows[3].toStdString();
}


namespace {

// The summary read as CSV: its rows after the header, each by its cells.
std::vector<std::vector<std::string>> summaryRows(const QString& file)
{
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    std::istringstream in(f.readAll().toStdString());
    std::string error;
    auto records = readCsv(in, error);
    EXPECT_TRUE(records) << error;
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 1; records && i < records->size(); ++i)
        rows.push_back((*records)[i].fields);
    return rows;
}

// A stand-in for the batch program: the script, written and made runnable.
QString runnable(const QString& file, const std::string& script)
{
    writeFile(file.toStdString(), script);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return file;
}

}  // namespace

// Run from one folder with the folders named relative to it, resumed from
// another: what is done stays done, and nothing runs again.
TEST_F(ArchiveTest, ResumingFromAnotherFolderKeepsWhatIsDone)
{
    for (const char* name : {"archive/w1.bmp", "archive/w2.bmp"})
        writeLog(QString::fromLatin1(name));
    QDir().mkpath(path("elsewhere/deeper"));
    EXPECT_EQ(archiveFrom(path(QString()), {QStringLiteral("archive"), QStringLiteral("calibration.ddp"),
                                            QStringLiteral("out")}),
              0)
        << err_.toStdString();
    const QString report = text(path("out/reports/w1.json"));
    EXPECT_EQ(archiveFrom(path("elsewhere/deeper"), {QStringLiteral("../../archive"), QStringLiteral("../../calibration.ddp"),
                                                     QStringLiteral("../../out"), QStringLiteral("--resume")}),
              0)
        << err_.toStdString();
    EXPECT_EQ(jobs(), 2);
    EXPECT_EQ(text(path("out/reports/w1.json")), report);
    for (const auto& row : summaryRows(path("out/summary.csv"))) {
        ASSERT_GE(row.size(), 2u);
        EXPECT_EQ(row[1], "done") << row[0];
    }
}

// Pictures that differ only in their extension would share their outputs
// and report: refused, naming them, before anything runs.
TEST_F(ArchiveTest, PicturesThatShareANameAreRefusedBeforeAnythingRuns)
{
    for (const char* name : {"archive/w1.bmp", "archive/w1.png", "archive/w2.bmp"})
        writeLog(QString::fromLatin1(name));
    EXPECT_EQ(archive(), 255);
    EXPECT_TRUE(err_.contains(QStringLiteral("\"%1\" and \"%2\" would both write w1.* and its report")
                                  .arg(path("archive/w1.bmp"), path("archive/w1.png"))))
        << err_.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("out/reports")));
    EXPECT_FALSE(QFileInfo::exists(path("out/summary.csv")));
}

// The summary tells what this run found: a log whose outputs were removed
// and whose job then crashed is no longer done, a crashed job without a
// report failed (with its exit code), and a log done stays done.
TEST_F(ArchiveTest, TheSummarySaysWhatThisRunFound)
{
    for (const char* name : {"archive/w1.bmp", "archive/w2.bmp"})
        writeLog(QString::fromLatin1(name));
    ASSERT_EQ(archive(), 0) << err_.toStdString();
    for (const char* kind : {"las", "csv", "ddp"})
        QFile::remove(path("out/w1.%1").arg(QLatin1String(kind)));
    writeLog(QStringLiteral("archive/w3.bmp"));
    // A batch that crashes on the logs named w1 and w3.
    const QString crashing = runnable(path("crashing"), "#!/bin/bash\nfor a; do case $a in */w1.bmp|*/w3.bmp) kill -9 $$;; esac; done\n"
                                                         "exec '" BATCH_PROGRAM "' \"$@\"\n");
    EXPECT_EQ(archiveFrom(QString(), {path("archive"), calibration_, path("out")}, {QStringLiteral("--resume")}, crashing),
              2);
    const auto rows = summaryRows(path("out/summary.csv"));
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows)
        ASSERT_EQ(row.size(), 10u) << row[0];
    for (const std::size_t crashed : {0u, 2u}) {
        EXPECT_EQ(rows[crashed][1], "failed") << rows[crashed][0];
        EXPECT_EQ(rows[crashed][6], "The job ended with exit code 137 and wrote no report.") << rows[crashed][0];
        EXPECT_EQ(rows[crashed][9], "137") << rows[crashed][0];
    }
    EXPECT_EQ(rows[1][1], "done");
    EXPECT_EQ(rows[1][9], "0");

    // Run again as it should: w1 and w3 done, w2 untouched.
    EXPECT_EQ(archive({QStringLiteral("--resume")}), 0) << err_.toStdString();
    for (const auto& row : summaryRows(path("out/summary.csv")))
        EXPECT_EQ(row[1], "done") << row[0];
}

// A wells file as a spreadsheet saves it: its byte-order mark, its columns
// in any order, quotes doubled, commas within; its names read by the batch's
// own reader, for the script's check too.
TEST_F(ArchiveTest, AWellsFileAsASpreadsheetSavesItIsReadAsMeant)
{
    for (const char* name : {"archive/w \"1\", east.bmp", "archive/w2.bmp"})
        writeLog(QString::fromUtf8(name));
    writeFile(path("wells.csv").toStdString(), "\xEF\xBB\xBFwell,uwi,picture\r\n"
                                               "\"Vell 1, east\",100/01,\"w \"\"1\"\", east.bmp\"\r\n"
                                               "Vell 2,,w2.bmp\r\nVell 9,,gone.bmp\r\n");
    EXPECT_EQ(archive({QStringLiteral("--wells"), path("wells.csv")}), 0) << err_.toStdString();
    EXPECT_TRUE(err_.contains(QStringLiteral("the wells file names \"gone.bmp\", which is not in"))) << err_.toStdString();
    EXPECT_EQ(err_.count(QStringLiteral("warning:")), 1) << err_.toStdString();
    EXPECT_EQ(wellOf(text(path("out/w \"1\", east.las"))), QStringLiteral("Vell 1, east"));
    EXPECT_TRUE(text(path("out/w \"1\", east.las")).contains(QStringLiteral("100/01")));
    EXPECT_EQ(wellOf(text(path("out/w2.las"))), QStringLiteral("Vell 2"));
}

// Names with spaces, commas, quotes, accents and a line break go through the
// whole archive: digitized, reported, summarised as CSV, resumed.
TEST_F(ArchiveTest, OddNamesGoThroughTheWholeArchive)
{
    const QStringList names{QStringLiteral("w 1, east.bmp"), QStringLiteral("w \"2\".bmp"), QStringLiteral("w3 é.bmp"),
                            QStringLiteral("w\n4.bmp")};
    for (const QString& name : names)
        writeLog(QStringLiteral("archive/") + name);
    EXPECT_EQ(archive(), 0) << err_.toStdString();
    auto rows = summaryRows(path("out/summary.csv"));
    ASSERT_EQ(rows.size(), 4u);
    QStringList summarised;
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 10u) << row[0];
        summarised << QFileInfo(QString::fromStdString(row[0])).fileName();
        EXPECT_EQ(row[1], "done") << row[0];
    }
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
    EXPECT_EQ(summarised, sorted);
    for (const QString& name : names) {
        const QString base = QFileInfo(name).completeBaseName();
        EXPECT_TRUE(QFileInfo::exists(path("out/reports/%1.json").arg(base))) << base.toStdString();
        EXPECT_TRUE(QFileInfo::exists(path("out/%1.las").arg(base))) << base.toStdString();
    }
    EXPECT_EQ(archive({QStringLiteral("--resume")}), 0) << err_.toStdString();
    EXPECT_EQ(jobs(), 4);
    EXPECT_EQ(summaryRows(path("out/summary.csv")), rows);
}

// A run stopped part way: the log that was running stopped cleanly and
// failed, the others never ran and say so, their names quoted as CSV
// quotes them.
TEST_F(ArchiveTest, AStoppedRunSaysWhichPicturesNeverRan)
{
    for (const char* name : {"archive/a \"1\".bmp", "archive/b \"2\", east.bmp", "archive/c.bmp"})
        writeLog(QString::fromUtf8(name));
    // A batch that, on the first log, stops the run as a scheduler would:
    // a SIGTERM to parallel.
    const QString stopping =
        runnable(path("stopping"), "#!/bin/bash\nfor a; do case $a in */a*) p=$PPID\n"
                                   "  while [ \"$p\" -gt 1 ]; do\n"
                                   "    if tr '\\0' ' ' < /proc/$p/cmdline | grep -q ' -0 -q -j'; then kill -TERM $p; sleep 5; break; fi\n"
                                   "    p=$(awk '{print $4}' /proc/$p/stat)\n"
                                   "  done;; esac; done\nexec '" BATCH_PROGRAM "' \"$@\"\n");
    EXPECT_EQ(archiveFrom(QString(), {path("archive"), calibration_, path("out")}, {QStringLiteral("-j"), QStringLiteral("1")},
                          stopping),
              255);
    const auto rows = summaryRows(path("out/summary.csv"));
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows)
        ASSERT_EQ(row.size(), 10u) << row[0];
    EXPECT_EQ(rows[0][0], path("archive/a \"1\".bmp").toStdString());
    EXPECT_EQ(rows[0][1], "failed");
    EXPECT_EQ(rows[1], (std::vector<std::string>{path("archive/b \"2\", east.bmp").toStdString(), "not run", "", "", "",
                                                 "", "", "", "", ""}));
    EXPECT_EQ(rows[2][1], "not run");
}
