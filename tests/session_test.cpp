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
    // A dip by its two presses, the tail pointing from (x, y) to (tx, ty).
    void tadpole(int x, int y, int tx, int ty)
    {
        click(x, y);
        move(tx, ty);
        click(x, y);
    }
    void grade(int index) { clickIndicator(child<QRadioButton>(QStringLiteral("Option1(%1)").arg(index))); }

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

    void shortcut(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window_.get(), Qt::Key(key), modifiers);
    }

    QString path(const QString& name) { return folder_.filePath(name); }
};

}  // namespace

TEST_F(SessionTest, CalibrateDigitizeSaveExportReopenAndSaveAgain)
{
    calibrateAndDigitize();
    ASSERT_EQ(state().NumPoints, 5);
    dialog_->files.push_back(path("session.ddp"));
    shortcut(Qt::Key_S, Qt::ControlModifier);  // no project file yet: "Save Project As"
    EXPECT_EQ(dialog_->lastRequest.title, "Save Project");
    EXPECT_EQ(dialog_->lastRequest.filter, "Project files (*.ddp)");
    EXPECT_EQ(dialog_->lastRequest.initialName, "log.ddp");
    EXPECT_TRUE(dialog_->lastRequest.confirmOverwrite);
    EXPECT_EQ(fileBytes(path("session.ddp")), golden("session.ddp"));
    EXPECT_FALSE(state().ProjectChanged);

    dialog_->files.push_back(path("session.dip"));
    shortcut(Qt::Key_E, Qt::ControlModifier);
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
    EXPECT_EQ(fileBytes(path("session.las")), golden("session.las"));
    EXPECT_FALSE(state().ProjectChanged);  // exports for other programs are not saves of the work

    // The dip left waiting was sorted with the others and still takes its tail.
    move(100, 450);
    click(300, 300);
    shortcut(Qt::Key_S, Qt::ControlModifier);  // to the same file, unasked
    std::string completed = golden("session.ddp");
    completed.insert(completed.size() - 2, 1, 'A');  // the grade at the end of the last row
    EXPECT_EQ(fileBytes(path("session.ddp")), completed);

    SetUp();
    dialog_->files.push_back(path("session.ddp"));
    shortcut(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog_->lastRequest.filter, "Dipmeter Digitizer Project (*.ddp)");
    ASSERT_EQ(state().FILE, "log.bmp");
    EXPECT_EQ(state().NUMDEP, 3);
    EXPECT_EQ(state().depths[3], (DepthCalibrationPoint{1200, 7500, 1500, 4200}));
    ASSERT_EQ(state().NumPoints, 5);
    EXPECT_EQ(state().dips[1], (DipPoint{1010.0, 1800, 90.0, 4200, 45, "D"}));
    EXPECT_EQ(state().dips[5], (DipPoint{1199.5, 7485, 0.0, 1500, 0, "A"}));
    EXPECT_EQ(state().WorkMode, 0);
    EXPECT_TRUE(child<QRadioButton>("OptDigCal(0)")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("Option1(2)")->isEnabled());
    EXPECT_EQ(label("Label11"), "Linear Dip Scale");
    EXPECT_EQ(label("Label60"), "1:1");
    EXPECT_FALSE(action("mnuopen")->isEnabled());
    EXPECT_TRUE(action("mnusave")->isEnabled());
    EXPECT_FALSE(state().ProjectChanged);
    EXPECT_EQ(window_->logView().surface().image().pixel(190, 200), qRgb(255, 0, 0));  // the dips are drawn

    dialog_->files.push_back(path("again.ddp"));
    shortcut(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
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

    dialog_->files.push_back(path("vanished/work.dip"));
    action("mnusavedig")->trigger();
    EXPECT_EQ(messages_->errors.size(), 2);
    EXPECT_TRUE(state().ProjectChanged);  // not saved: still asked about
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
    EXPECT_TRUE(action("mnuopen")->isEnabled());
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

TEST_F(SessionTest, CommandLineFilesAndZoomKeys)
{
    EXPECT_FALSE(window_->openFile(path("missing.bmp")));
    EXPECT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    ASSERT_TRUE(window_->openFile(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24)));
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_EQ(dialog_->FileTitle, "log.bmp");

    shortcut(Qt::Key_Plus);
    EXPECT_EQ(label("Label60"), "2:1");
    shortcut(Qt::Key_Minus);
    shortcut(Qt::Key_Minus);
    EXPECT_EQ(label("Label60"), "1:2");
    QWheelEvent wheel(QPointF(20, 20), view()->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 60), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(label("Label60"), "1:2");  // half a notch
    QApplication::sendEvent(view(), &wheel);
    EXPECT_EQ(label("Label60"), "1:1");
}
