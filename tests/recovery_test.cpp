#include <fstream>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>

#include "files/project_file.h"
#include "ui/log_view.h"
#include "session/work_recovery.h"
#include "window_fixture.h"

namespace {

class RecoveryTest : public MouseWindowTest {
protected:
    QString recoveryFolder() const { return QDir(dataHome_.path()).filePath(QStringLiteral("dipdigitizer/recovery")); }

    // Work that is not saved; the milliseconds from its first change until
    // its recovery file is written.
    qint64 unsavedWorkKept()
    {
        openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
        clickIndicator(window_->scaleForm().option(1));
        QSignalSpy written(&window_->recovery(), &WorkRecovery::written);
        QElapsedTimer sinceFirstChange;
        sinceFirstChange.start();
        QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
        addRow(100, "1000");
        EXPECT_TRUE(written.wait(10000));
        return sinceFirstChange.elapsed();
    }
};

ProjectFile readBack(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::string error;
    std::optional<ProjectFile> read = readProject(in, error);
    EXPECT_TRUE(read) << error;
    return read.value_or(ProjectFile{});
}

}  // namespace

TEST_F(RecoveryTest, AKilledRunIsOfferedAtTheNextStartWithItsPicture)
{
    const QString picture = writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24);
    const QString reference = folder_.filePath("reference.ddp");
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome_.path());
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    run.setProcessEnvironment(environment);
    run.start(QStringLiteral(RECOVERY_CHILD), {picture, reference});
    ASSERT_TRUE(run.waitForReadyRead(60000)) << run.readAllStandardError().toStdString();
    ASSERT_EQ(run.readLine().trimmed(), "kept");
    run.kill();  // SIGKILL: nothing runs at its end
    ASSERT_TRUE(run.waitForFinished());
    EXPECT_EQ(run.exitStatus(), QProcess::CrashExit);

    // Started with a picture to open: the offer follows its reading, and
    // the recovered work replaces the picture's clean start.
    recoverLeftWork_ = true;
    start(writeBitmap("given.bmp", RgbPicture(300, 300, 0xffffff), 24));
    ASSERT_EQ(messages_->questions.size(), 1);
    EXPECT_EQ(messages_->questionTitles[0], "Recover Work");
    const QRegularExpression question(QStringLiteral(
        R"(^Unsaved work on "log\.bmp" from \d{4}-\d\d-\d\d \d\d:\d\d was found\. Recover it\?$)"));
    EXPECT_TRUE(question.match(messages_->questions[0]).hasMatch()) << messages_->questions[0].toStdString();

    const ProjectFile expected = readBack(reference);
    EXPECT_EQ(pictureName(), "log.bmp");
    ASSERT_EQ(dipCount(), 3);
    EXPECT_TRUE(work() == expected.work);
    EXPECT_EQ(window_->logView().surface().image().pixel(300, 100), qRgb(160, 82, 45));  // a depth line on the picture
    EXPECT_TRUE(window_->isWindowModified());

    // Kept as this window's own until saved, wherever the user likes.
    EXPECT_TRUE(QFileInfo::exists(window_->recovery().currentFile()));
    dialog_->files.push_back(folder_.filePath("recovered.ddp"));
    // The calibration window the given picture showed is gone: the user
    // comes back to the main window.
    window_->activateWindow();
    ASSERT_SOON(window_->isActiveWindow());
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialog_->lastRequest.initialName, "log.ddp");
    EXPECT_EQ(QFileInfo(dialog_->lastRequest.directory).canonicalFilePath(), QFileInfo(folder_.path()).canonicalFilePath());
    EXPECT_TRUE(window_->recovery().currentFile().isEmpty());
    EXPECT_FALSE(window_->isWindowModified());
}

TEST_F(RecoveryTest, NoPutsTheWorkAsideAndACleanEndLeavesNothing)
{
    EXPECT_LT(unsavedWorkKept(), 2000);
    const QString kept = window_->recovery().currentFile();
    click(200, 300);  // a depth line awaiting its depth is no action yet
    ASSERT_TRUE(window_->depthForm().isVisible());
    window_->recovery().writeNow();
    window_->recovery().waitForWrite();
    EXPECT_EQ(readBack(kept).work.depthRows.size(), 1u);
    QTest::keyClick(&window_->depthForm(), Qt::Key_Escape);

    // Two windows at once keep their own files and never take each other's.
    DigitizeWindow other(nullptr, std::make_unique<FakeMessages>());
    other.show();
    ASSERT_TRUE(other.openFile(writeBitmap("other.bmp", RgbPicture(100, 100, 0xffffff), 24)));
    QSignalSpy otherWritten(&other.recovery(), &WorkRecovery::written);
    QString error;
    other.session().apply(SetDipScale{DipScale{DipScaleKind::Linear, 0, 90, {}}}, error);
    ASSERT_TRUE(otherWritten.wait(10000));
    EXPECT_NE(QFileInfo(other.recovery().currentFile()).absolutePath(), QFileInfo(kept).absolutePath());
    EXPECT_TRUE(WorkRecovery::leftWork().empty());
    EXPECT_TRUE(QFileInfo::exists(kept));

    SetUp();  // the run before went without closing; No to its work
    ASSERT_EQ(messages_->questions.size(), 1);
    const QString aside = QDir(WorkRecovery::setAsideFolder()).filePath("log.bmp.recovery.ddp");
    EXPECT_EQ(readBack(aside).work.depthRows.size(), 1u);
    SetUp();
    EXPECT_TRUE(messages_->questions.isEmpty());  // asked once

    unsavedWorkKept();
    const QString closed = window_->recovery().currentFile();
    messages_->answer = QMessageBox::No;
    window_->close();
    EXPECT_FALSE(QFileInfo::exists(closed));
    SetUp();
    EXPECT_TRUE(messages_->questions.isEmpty());
    other.close();
    EXPECT_EQ(QDir(recoveryFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList(QStringLiteral("set-aside")));
}
