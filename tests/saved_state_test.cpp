#include <fstream>

#include <QSignalSpy>

#include "files/project_file.h"
#include "window_fixture.h"

namespace {

class SavedStateTest : public MouseWindowTest {
protected:
    void tadpole(int x, int y, int tx, int ty)
    {
        click(x, y);
        move(tx, ty);
        click(x, y);
    }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window_.get(), Qt::Key(k), modifiers);
    }
    // The title with the mark Qt shows for unsaved work.
    QString title() const
    {
        QString shown = window_->windowTitle();
        return shown.replace(QStringLiteral("[*]"), window_->isWindowModified() ? QStringLiteral("*") : QString());
    }
};

}  // namespace

TEST_F(SavedStateTest, UnsavedWorkFollowsTheHistoryNotMovesOrExports)
{
    EXPECT_EQ(title(), "Vellwick Dipmeter Digitizer");
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    EXPECT_EQ(title(), "log.bmp - Vellwick Dipmeter Digitizer");  // a picture alone is nothing to save
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    EXPECT_EQ(title(), "log.bmp* - Vellwick Dipmeter Digitizer");
    EXPECT_TRUE(state().ProjectChanged);
    addRow(100, "1000");
    addRow(300, "1100");
    clickIndicator(child<QRadioButton>("OptDigCal(0)"));
    tadpole(190, 200, 250, 200);

    dialog_->files.push_back(folder_.filePath("work.ddp"));
    key(Qt::Key_S, Qt::ControlModifier);  // no project file yet: "Save Project As"
    EXPECT_EQ(title(), "work.ddp - Vellwick Dipmeter Digitizer");
    EXPECT_FALSE(state().ProjectChanged);
    move(150, 250);
    move(160, 240);
    EXPECT_EQ(title(), "work.ddp - Vellwick Dipmeter Digitizer");  // moves change nothing

    tadpole(150, 250, 150, 220);
    EXPECT_EQ(title(), "work.ddp* - Vellwick Dipmeter Digitizer");
    dialog_->files.push_back(folder_.filePath("work.dip"));
    key(Qt::Key_E, Qt::ControlModifier);  // the dips kept for other programs: not the work
    EXPECT_TRUE(state().ProjectChanged);
    key(Qt::Key_Z, Qt::ControlModifier);  // back at the saved point
    EXPECT_EQ(title(), "work.ddp - Vellwick Dipmeter Digitizer");
    EXPECT_FALSE(state().ProjectChanged);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(state().ProjectChanged);

    // Yes writes the project's own file, without a dialog, and ends.
    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    dialog_->lastRequest = {};
    messages_->answer = QMessageBox::Yes;
    window_->close();
    EXPECT_EQ(messages_->questions, QStringList("Project information has changed.\nSave changes?"));
    EXPECT_EQ(messages_->questionTitles, QStringList("Warning"));
    EXPECT_EQ(dialog_->lastRequest.title, "");
    EXPECT_EQ(ended.count(), 1);
    ProjectState saved;
    std::ifstream in(folder_.filePath("work.ddp").toStdString(), std::ios::binary);
    std::string error;
    ASSERT_TRUE(readProject(in, saved, error)) << error;
    EXPECT_EQ(saved.NumPoints, 2);
}

TEST_F(SavedStateTest, YesThenACancelledSaveKeepsTheWindowAndTheWork)
{
    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    window_->close();  // nothing to save: no question
    EXPECT_TRUE(messages_->questions.isEmpty());
    EXPECT_EQ(ended.count(), 1);

    SetUp();
    QSignalSpy secondEnded(window_.get(), &DigitizeWindow::programEnded);
    openAndDefineLinearScale();
    addRow(100, "1000");
    messages_->answer = QMessageBox::Cancel;
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    messages_->answer = QMessageBox::Yes;  // and no file chosen in "Save Project"
    action("mnuexit")->trigger();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(secondEnded.count(), 0);
    EXPECT_EQ(dialog_->lastRequest.title, "Save Project");
    EXPECT_EQ(messages_->errors, QStringList("Save Project: Nothing was saved. The program stays open with the work."));
    EXPECT_EQ(state().NUMDEP, 1);
    EXPECT_TRUE(window_->isWindowModified());

    messages_->answer = QMessageBox::No;
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(secondEnded.count(), 1);
    EXPECT_EQ(messages_->questions.size(), 3);
}
