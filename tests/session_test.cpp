#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QWheelEvent>

#include <QFileInfo>

#include "golden.h"
#include "ui/log_view.h"
#include "ui/set_depth_form.h"
#include "window_fixture.h"

namespace {

std::string fileBytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

class SessionTest : public MouseWindowTest {
protected:
    void grade(int index) { option("Option1", index); }

    // Three depth lines and five dips with their tails.
    void calibrateAndDigitize()
    {
        openAndDefineLinearScale();
        addRow(100, "1000");
        addRow(300, "1100");
        click(200, 500);
        EXPECT_EQ(window_->depthForm().depthBox()->text(), "1200");
        QTest::keyClick(&window_->depthForm(), Qt::Key_Return);
        click(100, 500);
        click(280, 500);
        clickIndicator(child<QRadioButton>("OptDigCal(0)"));
        tadpole(190, 200, 250, 200);
        grade(1);
        tadpole(145, 350, 145, 300);
        grade(2);
        tadpole(235, 450, 235, 500);
        grade(3);
        tadpole(280, 120, 300, 100);
        grade(0);
        click(100, 499);
        move(100, 450);  // the tail up; the second press may land anywhere
        click(300, 300);
    }

    // The title with the mark Qt shows for unsaved work.
    QString title() const
    {
        QString shown = window_->windowTitle();
        return shown.replace(QStringLiteral("[*]"), window_->isWindowModified() ? QStringLiteral("*") : QString());
    }


    QString path(const QString& name) { return folder_.filePath(name); }
};

}  // namespace

TEST_F(SessionTest, CalibrateDigitizeSaveExportCloseReopenAndSaveAgain)
{
    window_->close();  // nothing to save: no question
    EXPECT_TRUE(messages_->questions.isEmpty());
    EXPECT_FALSE(window_->isVisible());
    SetUp();
    EXPECT_EQ(title(), "Vellwick Dipmeter Digitizer");
    calibrateAndDigitize();
    ASSERT_EQ(work().dips.size(), 5u);
    EXPECT_EQ(title(), "log.bmp* - Vellwick Dipmeter Digitizer");
    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    messages_->answer = QMessageBox::Cancel;
    window_->close();
    messages_->answer = QMessageBox::Yes;  // and no file chosen in "Save Project"
    window_->close();
    EXPECT_EQ(messages_->errors, QStringList("Save Project: Nothing was saved. The program stays open with the work."));
    EXPECT_TRUE(window_->isVisible());

    dialog_->files.push_back(path("session.ddp"));
    key(Qt::Key_S, Qt::ControlModifier);  // no project file yet: "Save Project As"
    EXPECT_EQ(dialog_->lastRequest.title, "Save Project");
    EXPECT_EQ(dialog_->lastRequest.filter, "Project files (*.ddp)");
    EXPECT_EQ(dialog_->lastRequest.initialName, "log.ddp");
    EXPECT_TRUE(dialog_->lastRequest.confirmOverwrite);
    EXPECT_EQ(fileBytes(path("session.ddp")), golden("session.ddp"));
    EXPECT_EQ(title(), "session.ddp - Vellwick Dipmeter Digitizer");
    dialog_->files.push_back(path("session.las"));
    messages_->texts = {"M"};
    action("mnulas")->trigger();
    EXPECT_EQ(dialog_->lastRequest.title, "Export Dips as LAS");
    std::string las = golden("session.las");
    las.replace(las.find("2000-01-01"), 10, QDate::currentDate().toString(Qt::ISODate).toStdString());
    EXPECT_EQ(fileBytes(path("session.las")), las);
    // An export is no save; the unit it asked for is kept in the work, a
    // step of its own.
    EXPECT_EQ(work().well.depthUnit, "M");
    EXPECT_TRUE(window_->isWindowModified());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(window_->isWindowModified());
    click(150, 250);  // a dip waiting for its tail is no change of the work yet
    move(150, 200);
    EXPECT_FALSE(window_->isWindowModified());

    dialog_->files.push_back(path("session.dip"));
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(dialog_->lastRequest.title, "Save Digitized Dips");
    EXPECT_EQ(dialog_->lastRequest.initialName, "session.dip");
    EXPECT_EQ(fileBytes(path("session.dip")), golden("session.dip"));
    EXPECT_FALSE(window_->isWindowModified());
    dialog_->files.push_back(path("session_integer.dip"));
    action("mnureslog")->trigger();
    EXPECT_EQ(dialog_->lastRequest.title, "Save At Nearest Integer Depth");
    EXPECT_EQ(dialog_->lastRequest.filter, "Dip table (*.dip)");
    EXPECT_EQ(dialog_->lastRequest.initialName, "session-integer.dip");
    EXPECT_EQ(fileBytes(path("session_integer.dip")), golden("session_integer.dip"));
    dialog_->files.push_back(path("session.csv"));
    action("mnucsv")->trigger();
    EXPECT_EQ(dialog_->lastRequest.initialName, "session.csv");  // named after the work
    EXPECT_EQ(dialog_->lastRequest.filter, "CSV files (*.csv)");
    EXPECT_EQ(fileBytes(path("session.csv")), golden("session.csv"));
    EXPECT_FALSE(window_->isWindowModified());  // exports for other programs are not saves of the work

    // The dip left waiting takes its tail.
    click(300, 300);
    EXPECT_EQ(title(), "session.ddp* - Vellwick Dipmeter Digitizer");
    key(Qt::Key_Z, Qt::ControlModifier);  // back at the saved point
    EXPECT_FALSE(window_->isWindowModified());
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(window_->isWindowModified());
    dialog_->lastRequest = {};
    window_->close();  // Yes: to the same file, unasked, and the end
    EXPECT_EQ(dialog_->lastRequest.title, "");
    EXPECT_EQ(ended.count(), 1);
    const std::string completed = fileBytes(path("session.ddp"));
    std::string expected = golden("session.ddp");
    expected.replace(expected.find("NumPoints,5"), 11, "NumPoints,6");
    expected.insert(expected.find("1125.0,"), "1075.0, 3750 ,25.0, 2250 ,0.0,A\r\n");
    EXPECT_EQ(completed, expected);

    SetUp();
    dialog_->files.push_back(path("session.ddp"));
    key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog_->lastRequest.filter, "Dipmeter Digitizer Project (*.ddp)");
    ASSERT_EQ(QFileInfo(session().picturePath()).fileName(), "log.bmp");
    ASSERT_EQ(work().depthRows.size(), 3u);
    EXPECT_EQ(work().depthRows[2], (DepthRow{1200, 500, 100, 280}));
    ASSERT_EQ(work().dips.size(), 6u);
    EXPECT_EQ(work().dips[0], (Dip{280, 120, 45, "D"}));
    EXPECT_EQ(work().dips[2], (Dip{150, 250, 0, "A"}));
    EXPECT_EQ(work().dips[5], (Dip{100, 499, 0, "A"}));
    EXPECT_TRUE(child<QRadioButton>("OptDigCal(0)")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("Option1(2)")->isEnabled());
    EXPECT_EQ(label("Label11"), "Linear Dip Scale");
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_EQ(window_->logView().surface().image().pixel(190, 200), qRgb(255, 0, 0));  // the dips are drawn

    dialog_->files.push_back(path("again.ddp"));
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog_->lastRequest.initialName, "session.ddp");
    EXPECT_EQ(fileBytes(path("again.ddp")), completed);
}

TEST_F(SessionTest, AFailedSaveLosesNothingAndKeepsTheWindow)
{
    calibrateAndDigitize();
    const QString target = path("work.ddp");
    dialog_->files.push_back(target);
    action("mnusavecal")->trigger();
    const std::string earlier = fileBytes(target);
    ASSERT_FALSE(earlier.empty());
    tadpole(150, 260, 150, 230);  // unsaved again
    ASSERT_TRUE(QDir(folder_.path()).mkdir("work.ddp.saving"));  // the temporary file cannot be made

    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    messages_->answer = QMessageBox::Yes;  // to the project's own file, without a dialog
    window_->close();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(window_->isVisible());
    ASSERT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(messages_->errors[0].startsWith("Save Project: Cannot save \"" + target + "\""));
    EXPECT_TRUE(messages_->errors[0].endsWith("\nThe program stays open with the work.")) << messages_->errors[0].toStdString();
    EXPECT_EQ(fileBytes(target), earlier);
    EXPECT_EQ(work().dips.size(), 6u);
    EXPECT_TRUE(window_->isWindowModified());
}

TEST_F(SessionTest, AProjectThatCannotBeOpenedChangesNothing)
{
    calibrateAndDigitize();
    dialog_->files.push_back(path("work.ddp"));
    action("mnusavecal")->trigger();
    const std::string whole = fileBytes(path("work.ddp"));
    QFile truncated(path("cut.ddp"));
    truncated.open(QIODevice::WriteOnly);
    truncated.write(whole.substr(0, whole.find("NumPoints")).c_str());
    truncated.close();
    QDir(folder_.path()).mkdir("elsewhere");
    QFile::copy(path("work.ddp"), path("elsewhere/work.ddp"));

    SetUp();
    dialog_->files.push_back(path("cut.ddp"));
    action("mnuopenprj")->trigger();
    ASSERT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(messages_->errors[0].contains("The file ends early, at line")) << messages_->errors[0].toStdString();
    messages_->yes = false;  // the missing picture not located
    window_->openFile(path("elsewhere/work.ddp"));
    ASSERT_EQ(messages_->questions.size(), 1);
    EXPECT_TRUE(messages_->questions[0].contains("\"log.bmp\"") && messages_->questions[0].contains("elsewhere"));
    EXPECT_FALSE(session().hasPicture());
    EXPECT_TRUE(work().depthRows.empty());
    EXPECT_TRUE(action("mnuopenprj")->isEnabled());

    messages_->yes = true;
    const QString other = writeBitmap("other.bmp", RgbPicture(400, 600, 0xeeeeee), 8);
    dialog_->files.push_back(other);
    ASSERT_TRUE(window_->openFile(path("elsewhere/work.ddp")));
    EXPECT_EQ(session().picturePath(), other);
    // The locating dialog opened in the project's folder, proposing the name sought.
    EXPECT_EQ(QFileInfo(dialog_->lastRequest.directory).canonicalFilePath(),
              QFileInfo(path("elsewhere")).canonicalFilePath());
    EXPECT_EQ(dialog_->lastRequest.initialName, "log.bmp");
    EXPECT_TRUE(window_->isWindowModified());
    EXPECT_EQ(work().depthRows.size(), 3u);
    EXPECT_EQ(session().workName(), "work.ddp");  // the project still gives the default names
}

TEST_F(SessionTest, CommandLineFilesAndTheZoomWheel)
{
    EXPECT_FALSE(window_->openFile(path("missing.bmp")));
    EXPECT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    ASSERT_TRUE(window_->openFile(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24)));
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_EQ(session().workName(), "log.bmp");

    QWheelEvent wheel(QPointF(20, 20), view()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 60), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(label("Label60"), "1:1");  // half a notch
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(label("Label60"), "2:1");
}
