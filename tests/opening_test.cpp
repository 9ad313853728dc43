#include <QColor>
#include <QDir>
#include <QFontMetrics>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QUrl>

#include "tiff_writer.h"
#include "ui/program_settings.h"
#include "window_fixture.h"

namespace {

class OpeningTest : public MouseWindowTest {
protected:
    // A saved project of one dip on a picture of its own.
    QString savedProject(const QString& name)
    {
        SetUp();
        calibrateTwoRowsAndDigitize();
        tadpole(190, 200, 250, 200);
        const QString path = folder_.filePath(name);
        dialog_->files.push_back(path);
        action("mnusavecal")->trigger();
        EXPECT_TRUE(QFile::exists(path));
        return path;
    }

    // Digitized work not saved yet: a second picture and two dips.
    void unsavedWork()
    {
        openAndDefineLinearScale("other.bmp");
        addRow(100, "2000");
        addRow(300, "2100");
        digitizeMode();
        tadpole(150, 150, 150, 120);
        tadpole(160, 250, 190, 250);
        ASSERT_TRUE(unsaved());
    }

    void drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint place = window_->rect().center();
        QDragEnterEvent enter(place, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(place), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &dropped);
        QCoreApplication::processEvents();  // the file opens once the drop has ended
    }

    // The submenu as the File menu shows it on opening.
    QMenu* recentMenu()
    {
        emit child<QMenu>("mnufile")->aboutToShow();
        return child<QMenu>("mnurecent");
    }
};

}  // namespace

TEST_F(OpeningTest, AnotherLogOverUnsavedWorkAsksFirstThenReplacesEverything)
{
    const QString first = savedProject("first.ddp");
    SetUp();
    unsavedWork();
    const int dips = dipCount();

    // Cancel: the work stays as it was, unasked by any dialog.
    messages_->answer = QMessageBox::Cancel;
    dialog_->files.push_back(first);
    key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(messages_->questions, QStringList("Project information has changed.\nSave changes?"));
    EXPECT_EQ(pictureName(), "other.bmp");
    EXPECT_EQ(dipCount(), dips);
    EXPECT_TRUE(session().canUndo());
    EXPECT_EQ(dialog_->files.size(), 1u);  // the open dialog was not shown

    // Discard: the project replaces the work whole, with a history of its own.
    messages_->answer = QMessageBox::No;
    key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(pictureName(), "log.bmp");
    EXPECT_EQ(dipCount(), 1);
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(work().depthRows[0].depth, 1000);
    EXPECT_FALSE(session().canUndo());
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(window_->windowTitle(), "first.ddp[*] - Vellwick Dipmeter Digitizer");
    EXPECT_TRUE(action("mnuopen")->isEnabled());

    // A picture over saved work: no question, a fresh start in Calibrate Log
    // at the top of the log.
    child<QScrollBar>("VScroll1")->setValue(5);
    ASSERT_EQ(child<QScrollBar>("VScroll1")->value(), 5);
    messages_->questions.clear();
    openThroughMenu(writeBitmap("third.bmp", RgbPicture(200, 2000, 0xffffff), 24));
    EXPECT_TRUE(messages_->questions.isEmpty());
    EXPECT_EQ(pictureName(), "third.bmp");
    EXPECT_EQ(dipCount(), 0);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(work().scale.has_value());
    EXPECT_EQ(child<QScrollBar>("VScroll1")->value(), 0);
    EXPECT_EQ(child<QScrollBar>("VScroll1")->value(), 0);
    EXPECT_TRUE(child<QRadioButton>("OptDigCal(1)")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("Option1(0)")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_FALSE(action("mnusavecal")->isEnabled());
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_EQ(window_->windowTitle(), "third.bmp[*] - Vellwick Dipmeter Digitizer");

    // A picture that fails leaves the new work untouched.
    openThroughMenu(folder_.filePath("missing.png"));
    EXPECT_EQ(pictureName(), "third.bmp");
    EXPECT_EQ(messages_->errors.size(), 1);
}

TEST_F(OpeningTest, RecentProjectsDroppedFilesAndSettingsOutliveTheRun)
{
    const QString first = savedProject("first.ddp");
    const QString second = savedProject("second.ddp");
    EXPECT_EQ(settings::recentProjects(), QStringList({second, first}));
    ASSERT_EQ(recentMenu()->actions().size(), 2);
    // Each name with its folder, and its whole path as the tip.
    const QString folder = QDir::toNativeSeparators(QFileInfo(second).absolutePath());
    EXPECT_EQ(recentMenu()->actions()[0]->text(),
              QStringLiteral("&1 second.ddp  (%1)").arg(QFontMetrics(recentMenu()->font()).elidedText(folder, Qt::ElideMiddle, 360)));
    EXPECT_TRUE(recentMenu()->actions()[0]->text().contains(QStringLiteral("second.ddp")));
    EXPECT_EQ(recentMenu()->actions()[0]->toolTip(), second);

    // Window place, a grade colour, a folder: kept by the end of the run.
    window_->resize(900, 640);
    dialog_->colour = QColor(10, 20, 30);
    action("mnucolB")->trigger();
    EXPECT_EQ(dialog_->Flags, CommonDialog::kInitialColour);
    EXPECT_EQ(dialog_->lastInitialColour, QColor(0, 255, 0));
    dialog_->colour.reset();  // cancel
    action("mnucolA")->trigger();
    const QString pictures = QDir(folder_.path()).filePath("scans");
    QDir().mkpath(pictures);
    const QString scan = writeBitmap("scans/scan.bmp", RgbPicture(100, 100, 0xffffff), 24);
    openThroughMenu(scan);
    window_->close();

    SetUp();
    EXPECT_EQ(window_->size(), QSize(900, 640));
    EXPECT_EQ(child<QLabel>("Label9(0)")->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(child<QLabel>("Label9(1)")->palette().color(QPalette::Window), QColor(10, 20, 30));
    QDir::setCurrent(QDir::rootPath());
    dialog_->files.push_back(QString());
    action("mnuopen")->trigger();
    EXPECT_EQ(dialog_->lastRequest.directory, pictures);
    QSettings stored(settingsHome_.filePath("dipdigitizer/dipdigitizer.conf"), QSettings::NativeFormat);
    EXPECT_EQ(stored.value("colours/gradeB").toString(), "#0a141e");

    // A vanished project goes from the list with a word; a kept one opens.
    QFile::remove(second);
    recentMenu()->actions()[0]->trigger();
    EXPECT_EQ(messages_->errors, QStringList(QStringLiteral("Open Project: The project \"%1\" is no longer there. It "
                                                            "is taken off the recent projects.")
                                                 .arg(second)));
    EXPECT_EQ(settings::recentProjects(), QStringList(first));
    ASSERT_EQ(recentMenu()->actions().size(), 1);
    recentMenu()->actions()[0]->trigger();
    EXPECT_EQ(window_->windowTitle(), "first.ddp[*] - Vellwick Dipmeter Digitizer");

    // Drops go the way of the menu commands, prompt included.
    tadpole(160, 250, 190, 250);
    messages_->answer = QMessageBox::Cancel;
    QImage png(50, 80, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    const QString pngPath = folder_.filePath("dropped.png");
    ASSERT_TRUE(png.save(pngPath));
    drop(pngPath);
    EXPECT_EQ(pictureName(), "log.bmp");
    messages_->answer = QMessageBox::No;
    drop(pngPath);
    EXPECT_EQ(pictureName(), "dropped.png");
    EXPECT_EQ(session().picture().height(), 80);
    EXPECT_EQ(window_->logView().surface().image().pixel(10, 10), 0xffffffffu);  // transparent: white paper
    drop(first);
    EXPECT_EQ(window_->windowTitle(), "first.ddp[*] - Vellwick Dipmeter Digitizer");
    EXPECT_EQ(dipCount(), 1);
}

TEST_F(OpeningTest, ACancelledReadOfALongScanLeavesTheWorkAsItWas)
{
    unsavedWork();
    const int dips = dipCount();
    const int width = session().picture().width();
    // A scan of a long log: 2400 x 80000 pixels at one bit, striped.
    constexpr int kWidth = 2400, kHeight = 80000;
    std::vector<unsigned char> rows(std::size_t(kWidth / 8) * kHeight);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<unsigned char>(i % 300 == (i / 300) % 300 ? 0xff : 0);
    const QString scan = folder_.filePath("well.tif");
    ASSERT_TRUE(writeFaxTiffRows(scan.toStdString(), kWidth, kHeight, 64, rows));

    // Work is discarded for the scan, whose reading is then cancelled.
    window_->setProgressDelay(0);
    bool cancelled = false;
    QTimer watch;
    watch.callOnTimeout([&] {
        auto* progress = window_->findChild<QProgressDialog*>(QStringLiteral("openprogress"));
        if (!cancelled && progress && progress->isVisible()) {
            EXPECT_EQ(progress->windowTitle(), QStringLiteral("Open Picture"));
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            cancelled = true;
        }
    });
    watch.start(5);
    messages_->answer = QMessageBox::No;
    openThroughMenu(scan);
    watch.stop();
    ASSERT_TRUE(cancelled);
    EXPECT_TRUE(messages_->errors.isEmpty());
    EXPECT_EQ(pictureName(), "other.bmp");
    EXPECT_EQ(session().picture().width(), width);
    EXPECT_EQ(window_->logView().surface().picture()->width(), width);
    EXPECT_EQ(dipCount(), dips);
    EXPECT_TRUE(unsaved());
    EXPECT_TRUE(session().canUndo());
    EXPECT_EQ(window_->windowTitle(), "other.bmp[*] - Vellwick Dipmeter Digitizer");

    // Uncancelled, the same scan opens.
    openThroughMenu(scan);
    EXPECT_EQ(pictureName(), "well.tif");
    EXPECT_EQ(session().picture().height(), kHeight);
}
