#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QWheelEvent>

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

    // Three depth lines, four dips with their tails and one waiting for its tail.
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
    ASSERT_EQ(state().NumPoints, 5);
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
    move(150, 250);  // swings the tail of the dip left waiting: no change
    EXPECT_FALSE(state().ProjectChanged);

    dialog_->files.push_back(path("session.dip"));
    key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(dialog_->lastRequest.title, "Save Digitized Dips");
    EXPECT_EQ(dialog_->lastRequest.initialName, "session.dip");
    EXPECT_EQ(fileBytes(path("session.dip")), golden("session.dip"));
    EXPECT_FALSE(state().ProjectChanged);
    dialog_->files.push_back(path("session_integer.dip"));
    action("mnureslog")->trigger();
    EXPECT_EQ(dialog_->lastRequest.title, "Save At Nearest Integer Depth");
    EXPECT_EQ(dialog_->lastRequest.filter, "*.dip");
    EXPECT_EQ(fileBytes(path("session_integer.dip")), golden("session_integer.dip"));
    dialog_->files.push_back(path("session.csv"));
    action("mnucsv")->trigger();
    EXPECT_EQ(dialog_->lastRequest.initialName, "session_integer.csv");
    EXPECT_EQ(dialog_->lastRequest.filter, "CSV files (*.csv)");
    EXPECT_EQ(fileBytes(path("session.csv")), golden("session.csv"));
    dialog_->files.push_back(path("session.las"));
    messages_->texts = {"M"};
    action("mnulas")->trigger();
    EXPECT_EQ(dialog_->lastRequest.title, "Export Dips as LAS");
    std::string las = golden("session.las");
    las.replace(las.find("2000-01-01"), 10, QDate::currentDate().toString(Qt::ISODate).toStdString());
    EXPECT_EQ(fileBytes(path("session.las")), las);
    EXPECT_FALSE(state().ProjectChanged);  // exports for other programs are not saves of the work

    // The dip left waiting was sorted with the others and still takes its tail.
    move(100, 450);
    click(300, 300);
    EXPECT_EQ(title(), "session.ddp* - Vellwick Dipmeter Digitizer");
    key(Qt::Key_Z, Qt::ControlModifier);  // back at the saved point
    EXPECT_FALSE(state().ProjectChanged);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(state().ProjectChanged);
    dialog_->lastRequest = {};
    window_->close();  // Yes: to the same file, unasked, and the end
    EXPECT_EQ(dialog_->lastRequest.title, "");
    EXPECT_EQ(ended.count(), 1);
    std::string completed = golden("session.ddp");
    completed.insert(completed.size() - 2, 1, 'A');  // the grade at the end of the last row
    EXPECT_EQ(fileBytes(path("session.ddp")), completed);

    SetUp();
    dialog_->files.push_back(path("session.ddp"));
    key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog_->lastRequest.filter, "Dipmeter Digitizer Project (*.ddp)");
    ASSERT_EQ(state().FILE, "log.bmp");
    EXPECT_EQ(state().NUMDEP, 3);
    EXPECT_EQ(state().depths[3], (DepthCalibrationPoint{1200, 7500, 1500, 4200}));
    ASSERT_EQ(state().NumPoints, 5);
    EXPECT_EQ(state().dips[1], (DipPoint{1010.0, 1800, 90.0, 4200, 45, "D"}));
    EXPECT_EQ(state().dips[5], (DipPoint{1199.5, 7485, 0.0, 1500, 0, "A"}));
    EXPECT_TRUE(child<QRadioButton>("OptDigCal(0)")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("Option1(2)")->isEnabled());
    EXPECT_EQ(label("Label11"), "Linear Dip Scale");
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    EXPECT_FALSE(state().ProjectChanged);
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
    EXPECT_EQ(state().NumPoints, 6);
    EXPECT_TRUE(state().ProjectChanged);
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
    const ProjectState fresh = state();
    dialog_->files.push_back(path("cut.ddp"));
    action("mnuopenprj")->trigger();
    ASSERT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(messages_->errors[0].contains("The file ends early, at line")) << messages_->errors[0].toStdString();
    messages_->yes = false;  // the missing picture not located
    window_->openFile(path("elsewhere/work.ddp"));
    ASSERT_EQ(messages_->questions.size(), 1);
    EXPECT_TRUE(messages_->questions[0].contains("\"log.bmp\"") && messages_->questions[0].contains("elsewhere"));
    EXPECT_EQ(state().FILE, fresh.FILE);
    EXPECT_EQ(state().NUMDEP, 0);
    EXPECT_TRUE(action("mnuopenprj")->isEnabled());

    messages_->yes = true;
    const QString other = writeBitmap("other.bmp", RgbPicture(400, 600, 0xeeeeee), 8);
    dialog_->files.push_back(other);
    ASSERT_TRUE(window_->openFile(path("elsewhere/work.ddp")));
    EXPECT_EQ(state().FILE, "other.bmp");
    EXPECT_TRUE(state().ProjectChanged);
    EXPECT_EQ(state().NUMDEP, 3);
    EXPECT_EQ(dialog_->FileTitle, "work.ddp");  // the project still gives the default names
}

TEST_F(SessionTest, CommandLineFilesAndTheZoomWheel)
{
    EXPECT_FALSE(window_->openFile(path("missing.bmp")));
    EXPECT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    ASSERT_TRUE(window_->openFile(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24)));
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_EQ(dialog_->FileTitle, "log.bmp");

    QWheelEvent wheel(QPointF(20, 20), view()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 60), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(label("Label60"), "1:1");  // half a notch
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(label("Label60"), "2:1");
}
