// A day of log after log at the window: what carries over from one log to
// the next, what the exports write at once, and refusals that say what helps.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>

#include "ui/log_view.h"
#include "ui/set_scale_form.h"
#include "window_fixture.h"

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class DayAtWindowTest : public MouseWindowTest {
protected:
    QString status() { return child<QStatusBar>("statusbar")->currentMessage(); }
};

}  // namespace

TEST_F(DayAtWindowTest, TheFirstWindowTakesMostOfTheScreenInItsMiddle)
{
    const QRect room = window_->screen()->availableGeometry();
    EXPECT_NEAR(window_->width(), 0.8 * room.width(), 1);
    EXPECT_NEAR(window_->height(), 0.8 * room.height(), 1);
    EXPECT_NEAR(window_->geometry().center().x(), room.center().x(), 2);
    EXPECT_EQ(captions(child<QMenu>("mnuhelp")), QStringList({"Keys and Mouse", "About"}));
    key(Qt::Key_F1);
    ASSERT_EQ(messages_->infos.size(), 1);
    EXPECT_TRUE(messages_->infos[0].contains(QStringLiteral("Ctrl+L: Find Calibration"))) << messages_->infos[0].toStdString();
    EXPECT_TRUE(messages_->infos[0].contains(QStringLiteral("Ctrl+R: Review Least Sure")));
}

TEST_F(DayAtWindowTest, TheLastDipScaleIsProposedForTheNextPicture)
{
    openThroughMenu(writeBitmap(QStringLiteral("a.bmp"), RgbPicture(400, 600, 0xffffff), 24));
    clickIndicator(window_->scaleForm().option(2));
    window_->scaleForm().limitBox(1)->setText(QStringLiteral("80"));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    ASSERT_EQ(work().scale->kind, DipScaleKind::Sine);

    openThroughMenu(writeBitmap(QStringLiteral("b.bmp"), RgbPicture(400, 600, 0xffffff), 24));
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_TRUE(window_->scaleForm().option(2)->isChecked());
    EXPECT_EQ(window_->scaleForm().maxDipText(), QStringLiteral("80"));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    EXPECT_EQ(work().scale->kind, DipScaleKind::Sine);
    EXPECT_EQ(work().scale->maxDip, 80);
}

TEST_F(DayAtWindowTest, ExportAllWritesTheThreeFilesBesideTheWorkAndRemembersTheUnit)
{
    calibrateTwoRowsAndDigitize();
    tadpole(150, 150, 160, 140);
    messages_->texts = {"FT"};
    action("mnuexportall")->trigger();
    EXPECT_EQ(messages_->lastChoices, QStringList({"M", "FT", "none"}));
    ASSERT_EQ(messages_->infos.size(), 1) << messages_->errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(messages_->infos[0], QStringLiteral("Export All: Wrote log.dip, log.csv, log.las in %1.")
                                       .arg(QFileInfo(folder_.path()).absoluteFilePath()));
    for (const char* name : {"log.dip", "log.csv", "log.las"})
        EXPECT_TRUE(QFileInfo::exists(folder_.filePath(QLatin1String(name)))) << name;
    EXPECT_TRUE(QFile(folder_.filePath("log.las")).open(QIODevice::ReadOnly));

    // Again: the unit chosen comes first, and nothing is replaced unasked.
    messages_->texts = {"FT"};
    messages_->yes = false;
    action("mnuexportall")->trigger();
    EXPECT_EQ(messages_->lastChoices, QStringList({"FT", "M", "none"}));
    EXPECT_EQ(messages_->questions.last(), QStringLiteral("Replace log.dip, log.csv, log.las?"));
    EXPECT_EQ(messages_->infos.size(), 1);
}

TEST_F(DayAtWindowTest, ACalibrationAppliedFromAnotherProjectIsOneStep)
{
    calibrateTwoRowsAndDigitize();
    dialog_->files.push_back(folder_.filePath("first.ddp"));
    key(Qt::Key_S, Qt::ControlModifier);
    const Work first = work();

    openThroughMenu(writeBitmap(QStringLiteral("next.bmp"), RgbPicture(400, 700, 0xffffff), 24));
    window_->scaleForm().hide();
    dialog_->files.push_back(folder_.filePath("first.ddp"));
    messages_->yes = false;
    action("mnuapplycalibration")->trigger();
    ASSERT_EQ(messages_->questions.size(), 1);
    EXPECT_EQ(messages_->questions[0], QStringLiteral("\"first.ddp\" calibrates a picture of 400 × 600 pixels; this "
                                                      "one is 400 × 700. Apply its calibration all the same?"));
    EXPECT_EQ(rowCount(), 0);

    dialog_->files.push_back(folder_.filePath("first.ddp"));
    messages_->yes = true;
    action("mnuapplycalibration")->trigger();
    EXPECT_EQ(work().depthRows, first.depthRows);
    EXPECT_EQ(work().scale, first.scale);
    EXPECT_EQ(session().undoName(), QStringLiteral("Apply Calibration"));
    backToTheWindow();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(work().scale);
}

TEST_F(DayAtWindowTest, RefusalsSayWhichDepthsAreCalibrated)
{
    calibrateTwoRowsAndDigitize();
    click(150, 400);  // below the last row
    EXPECT_EQ(status(), QStringLiteral("Outside the calibrated depths 1000–1100"));
    EXPECT_EQ(messages_->errors.last(), QStringLiteral("Not Calibrated: This area of the log is not calibrated."));

    messages_->texts = {"3500"};
    backToTheWindow();
    key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(messages_->labels.last(), QStringLiteral("Depth (1000–1100):"));
    EXPECT_EQ(messages_->errors.last(),
              QStringLiteral("Go to Depth: The depth 3500 lies outside the calibrated depths 1000–1100."));
}

TEST_F(DayAtWindowTest, FitWidthShowsThePicturesWholeWidth)
{
    openThroughMenu(writeBitmap(QStringLiteral("wide.bmp"), RgbPicture(3000, 600, 0xffffff), 24));
    window_->scaleForm().hide();
    backToTheWindow();
    key(Qt::Key_W);
    const LogView& view = window_->logView();
    EXPECT_NEAR(view.shownWidth(), 3000, 1);
    EXPECT_NEAR(view.viewport().left, 0, 0.5);
}
