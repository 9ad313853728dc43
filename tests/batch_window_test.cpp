// The command line and the window are two front ends of one session: the
// same log, calibration and settings give the same files.
#include <sstream>

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QProcess>

#include "printed_log.h"
#include "window_fixture.h"

namespace {

QByteArray bytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

TEST_F(MouseWindowTest, TheBatchWritesTheDipsTheWindowFindsAndAccepts)
{
    const QString log = folder_.filePath("log.bmp");
    const ProjectFile calibration = calibrationFor(400, 1200);
    std::ostringstream text;
    ASSERT_TRUE(writeProject(text, calibration));
    writeFile(folder_.filePath("calibration.ddp").toStdString(), text.str());

    openAndDefineLinearScale(QStringLiteral("log.bmp"), printedLog(400, 1200, 80), 8);
    ASSERT_EQ(work().scale, calibration.work.scale);
    QString error;
    ASSERT_TRUE(session().apply(AddDepthRows{calibration.work.depthRows}, error));
    digitizeMode();
    // Back to the main window from "Define Dip Scale", as a window manager does.
    window_->activateWindow();
    ASSERT_SOON(window_->isActiveWindow());
    ASSERT_TRUE(action("mnufindtadpoles")->isEnabled());
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_SOON(action("mnufindtadpoles")->isEnabled());
    ASSERT_GE(session().found().proposals().size(), 13u) << child<QLabel>("foundcount")->text().toStdString();
    const int shown = int(session().found().proposals().size());
    key(Qt::Key_Return);
    ASSERT_EQ(dipCount(), shown);
    dialog_->files = {folder_.filePath("window.dip"), folder_.filePath("window.csv"), folder_.filePath("window.las")};
    key(Qt::Key_E, Qt::ControlModifier);
    action("mnucsv")->trigger();
    messages_->texts = {"M"};
    action("mnulas")->trigger();

    QProcess batch;
    batch.start(QStringLiteral(BATCH_PROGRAM),
                {QStringLiteral("--quiet"), QStringLiteral("--calibration"), folder_.filePath("calibration.ddp"),
                 QStringLiteral("--out"), folder_.filePath("batch"), QStringLiteral("--formats"),
                 QStringLiteral("las,csv,dip"), QStringLiteral("--depth-unit"), QStringLiteral("m"), log});
    ASSERT_TRUE(batch.waitForFinished(300000));
    ASSERT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().toStdString();
    for (const char* kind : {"dip", "csv", "las"}) {
        const QByteArray fromWindow = bytes(folder_.filePath(QStringLiteral("window.%1").arg(kind)));
        EXPECT_FALSE(fromWindow.isEmpty()) << kind;
        EXPECT_EQ(bytes(folder_.filePath(QStringLiteral("batch/log.%1").arg(kind))), fromWindow) << kind;
    }
}

TEST_F(MouseWindowTest, WellDetailsAreOneActionKeptInTheProjectAndWrittenToTheLas)
{
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    action("mnuwelldetails")->trigger();
    QDialog* details = child<QDialog>("welldetails");
    ASSERT_TRUE(details->isVisible());
    EXPECT_FALSE(child<QLabel>("wellrefused")->isVisible());
    QTest::keyClicks(child<QLineEdit>("wellname"), "Vell \"7\"");  // the quotes are refused as typed, and told
    EXPECT_TRUE(child<QLabel>("wellrefused")->isVisible());
    EXPECT_TRUE(child<QLabel>("wellrefused")->text().startsWith(QStringLiteral("A well detail holds no double quote")));
    QTest::keyClicks(child<QLineEdit>("welluwi"), "100/12");
    child<QComboBox>("wellunit")->setCurrentText(QStringLiteral("FT"));
    QTest::keyClick(child<QLineEdit>("welluwi"), Qt::Key_Return);
    EXPECT_FALSE(details->isVisible());
    EXPECT_EQ(work().well, (WellDetails{"Vell 7", "", "", "", "", "", "100/12", "FT"}));
    EXPECT_EQ(action("mnuundo")->text(), QStringLiteral("Undo Well Details"));

    dialog_->files = {folder_.filePath("well.las"), folder_.filePath("well.ddp")};
    action("mnulas")->trigger();  // the unit is known: no question
    EXPECT_TRUE(messages_->errors.isEmpty()) << messages_->errors.join(' ').toStdString();
    const QByteArray las = bytes(folder_.filePath("well.las"));
    EXPECT_TRUE(las.contains(" WELL.               Vell 7 : Well\r\n")) << las.toStdString();
    EXPECT_TRUE(las.contains(" STRT.FT ")) << las.toStdString();
    action("mnusavecal")->trigger();
    EXPECT_TRUE(bytes(folder_.filePath("well.ddp")).endsWith("UWI,\"100/12\"\r\nUNIT,\"FT\"\r\n"));

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(work().well, WellDetails{});
    SetUp();
    dialog_->files = {folder_.filePath("well.ddp")};
    key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog_->lastRequest.title, "Open Project");
    EXPECT_EQ(work().well.uwi, "100/12");
    action("mnuwelldetails")->trigger();
    EXPECT_EQ(child<QLineEdit>("wellname")->text(), QStringLiteral("Vell 7"));
    EXPECT_EQ(child<QComboBox>("wellunit")->currentText(), QStringLiteral("FT"));
}
