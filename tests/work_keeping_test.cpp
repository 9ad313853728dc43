// Work is never dropped by a habit of the keyboard, found again wherever its
// picture lies, and left alone by view settings.
#include <map>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "ui/dip_statistics_window.h"
#include "window_fixture.h"

namespace {

// Answers the program's own modal dialogs with Enter, as a hurried user
// does, noting what each showed.
class EnterPresser {
public:
    EnterPresser()
    {
        timer_.callOnTimeout([this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == last_)
                return;
            last_ = modal;
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                shown << box->text();
            else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                shown << dialog->windowTitle();
                titleRoom = dialog->width() - dialog->fontMetrics().horizontalAdvance(dialog->windowTitle());
            }
            QTest::keyClick(modal, Qt::Key_Return);
        });
        timer_.start(10);
    }
    QStringList shown;
    int titleRoom = 0;

private:
    QTimer timer_;
    QWidget* last_ = nullptr;
};

class WorkKeepingTest : public MouseWindowTest {
protected:
    QString makeFolder(const QString& name)
    {
        QDir(folder_.path()).mkpath(name);
        return folder_.filePath(name);
    }
    void openProject(const QString& path)
    {
        dialog_->files.push_back(path);
        key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    }
    void saveAs(const QString& path)
    {
        dialog_->files.push_back(path);
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    }
    static std::string fileText(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }
};

}  // namespace

TEST_F(WorkKeepingTest, EnterAtTheCloseQuestionSavesTheWork)
{
    realMessages_ = true;
    SetUp();
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    const QString project = folder_.filePath("kept.ddp");
    dialog_->files.push_back(project);
    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    EnterPresser enter;
    key(Qt::Key_Q, Qt::ControlModifier);
    ASSERT_SOON(ended.count() == 1);
    EXPECT_EQ(enter.shown, QStringList("Project information has changed.\nSave changes?"));
    EXPECT_EQ(dialog_->lastRequest.title, "Save Project");
    EXPECT_NE(fileText(project).find("NumPoints,1\r\n"), std::string::npos);
}

TEST_F(WorkKeepingTest, TheLasUnitDialogShowsItsWholeTitle)
{
    realMessages_ = true;
    SetUp();
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    dialog_->files.push_back(folder_.filePath("log.las"));
    EnterPresser enter;
    action("mnulas")->trigger();
    ASSERT_EQ(enter.shown, QStringList("Export Dips as LAS"));
    EXPECT_GT(enter.titleRoom, 100) << enter.titleRoom;  // the title and the title bar's buttons fit
    EXPECT_NE(fileText(folder_.filePath("log.las")).find(" STRT.M "), std::string::npos);
}

TEST_F(WorkKeepingTest, AProjectAwayFromItsPictureFindsItAtEveryOpening)
{
    const QString scans = makeFolder("scans"), projects = makeFolder("projects"), moved = makeFolder("moved");
    const QString picture = writeBitmap("scans/well.bmp", RgbPicture(400, 600, 0xffffff), 24);
    openThroughMenu(picture);
    clickIndicator(window_->scaleForm().option(1));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    addRow(100, "1000");
    addRow(300, "1100");
    saveAs(projects + "/well.ddp");
    EXPECT_EQ(fileText(projects + "/well.ddp").substr(0, 24), "FILE,\"../scans/well.bmp\"");

    for (int i = 0; i < 2; ++i) {
        SetUp();
        openProject(projects + "/well.ddp");
        EXPECT_TRUE(messages_->questions.isEmpty());
        EXPECT_EQ(session().picturePath(), picture);
        EXPECT_EQ(rowCount(), 2);
        EXPECT_FALSE(unsaved());
    }

    // Copied where the relative path leads nowhere: located once, saved,
    // and found from then on.
    QFile::copy(projects + "/well.ddp", moved + "/well.ddp");
    QDir(folder_.path()).rename("scans", "archive");
    const QString archived = folder_.filePath("archive/well.bmp");
    for (int i = 0; i < 3; ++i) {
        SetUp();
        messages_->yes = true;
        dialog_->files.push_back(moved + "/well.ddp");
        if (i == 0)
            dialog_->files.push_back(archived);  // where the user locates the picture
        key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(messages_->questions.size(), i == 0 ? 1 : 0);
        EXPECT_EQ(session().picturePath(), archived);
        EXPECT_EQ(unsaved(), i == 0);  // a picture found elsewhere changes the work
        if (i == 0)
            key(Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(unsaved());
    }
    EXPECT_EQ(fileText(moved + "/well.ddp").substr(0, 26), "FILE,\"../archive/well.bmp\"");
}

TEST_F(WorkKeepingTest, TheGridSwitchInTheMiddleOfADepthRowIsNoAction)
{
    openAndDefineLinearScale();
    addRow(100, "1000");
    addRow(300, "1100");
    addRow(500, "1200");
    saveAs(folder_.filePath("grid.ddp"));
    key(Qt::Key_Z, Qt::ControlModifier);  // the row at 500 left to redo
    ASSERT_TRUE(unsaved());
    click(200, 400);
    enterDepth("1150");
    click(100, 400);  // the row half entered
    const QString undo = action("mnuundo")->text();
    auto* grid = child<QCheckBox>("Check1");
    clickIndicator(grid);
    ASSERT_TRUE(grid->isChecked());
    clickIndicator(grid);
    EXPECT_EQ(action("mnuundo")->text(), undo);
    EXPECT_TRUE(session().canRedo());
    key(Qt::Key_Y, Qt::ControlModifier);  // the row at 500 back: the saved work
    EXPECT_FALSE(unsaved());
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_EQ(rowCount(), 3);
}

TEST_F(WorkKeepingTest, SaveImageProposesTheWorksNameInItsFolder)
{
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    action("mnustatistics")->trigger();
    auto* save = window_->statisticsWindow().findChild<QPushButton*>("statSave");
    dialog_->files.push_back(QString());  // cancelled
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(dialog_->lastRequest.title, "Save Image");
    EXPECT_EQ(dialog_->lastRequest.initialName, "log-statistics.png");
    EXPECT_EQ(dialog_->lastRequest.directory, folder_.path());

    const QString projects = makeFolder("projects");
    saveAs(projects + "/well 7.ddp");
    dialog_->files.push_back(projects + "/rose.png");
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(dialog_->lastRequest.initialName, "well 7-statistics.png");
    EXPECT_EQ(dialog_->lastRequest.directory, projects);
    EXPECT_TRUE(QFileInfo::exists(projects + "/rose.png"));
    EXPECT_EQ(QImage(folder_.filePath("log.bmp")).size(), QSize(400, 600));  // the scan untouched

    dialog_->files.push_back(QString());
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialog_->lastRequest.initialName, "well 7.ddp");  // not the image's name
}

TEST(Program, HelpAndVersionNeedNoDisplay)
{
    QProcessEnvironment terminal = QProcessEnvironment::systemEnvironment();
    terminal.remove(QStringLiteral("DISPLAY"));
    terminal.remove(QStringLiteral("WAYLAND_DISPLAY"));
    terminal.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const char* option : {"--help", "--version"}) {
        QProcess run;
        run.setProcessEnvironment(terminal);
        run.start(QStringLiteral(DIGITIZER_PROGRAM), {QString::fromLatin1(option)});
        ASSERT_TRUE(run.waitForFinished(60000)) << option;
        const QString said = QString::fromLocal8Bit(run.readAllStandardOutput());
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(run.exitCode(), 0) << option << run.readAllStandardError().toStdString();
        if (std::string(option) == "--help")
            EXPECT_TRUE(said.contains("Digitizer of dipmeter logs.")) << said.toStdString();
        else
            EXPECT_EQ(said, QStringLiteral("dipdigitizer " DIP_VERSION "\n"));
    }
}

TEST_F(WorkKeepingTest, TheScreensScaleMovesNothingOfTheWork)
{
    const QString picture = writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24);
    std::map<QString, std::string> saved;
    for (const QString& dpi : {QStringLiteral("72"), QStringLiteral("96")}) {
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_FONT_DPI"), dpi);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome_.path());
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        run.setProcessEnvironment(environment);
        const QString project = folder_.filePath("at" + dpi + ".ddp");
        run.start(QStringLiteral(SCREEN_SCALE_CHILD), {picture, project});
        ASSERT_TRUE(run.waitForFinished(60000));
        ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
        EXPECT_EQ(QString::fromLatin1(run.readAllStandardOutput()).trimmed(), dpi);
        saved[dpi] = fileText(project);
    }
    EXPECT_EQ(saved["72"], saved["96"]);

    openProject(folder_.filePath("at72.ddp"));
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(work().depthRows[0], (DepthRow{1000, 100, 100, 280}));
    EXPECT_EQ(work().depthRows[1], (DepthRow{1100, 300, 100, 280}));
    ASSERT_EQ(dipCount(), 1);
    EXPECT_EQ(work().dips[0], (Dip{190, 200, 90, "A"}));
    EXPECT_EQ(session().calibration().depthAt(200), 1050);
}
