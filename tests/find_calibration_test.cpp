#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include "labelled_log.h"
#include "window_fixture.h"

namespace {

class FindCalibrationTest : public MouseWindowTest {
protected:
    // Calibrate → Find Calibration, through its key, to the search's end.
    void find()
    {
        ASSERT_TRUE(action("mnufindcalibration")->isEnabled());
        key(Qt::Key_L, Qt::ControlModifier);
        ASSERT_SOON(action("mnufindcalibration")->isEnabled());
        backToTheWindow();
    }
    QString summary() { return label("calibrationsummary"); }
    QString status() { return child<QStatusBar>("statusbar")->currentMessage(); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
};

TEST_F(FindCalibrationTest, AFoundCalibrationIsReviewedThenAcceptedAsOneStepThatUndoes)
{
    // Eleven labelled lines, the sixth misprinted.
    openThroughMenu(writeBitmap(QStringLiteral("log.bmp"), labelledLog(1200, "2041"), 24));
    const int actions = session().history().undoCount();
    find();
    ASSERT_TRUE(session().foundCalibration());
    EXPECT_TRUE(child<QWidget>("foundcalibration")->isVisible());
    EXPECT_EQ(summary(), QStringLiteral("Linear Dip Scale, 0 to 90 (limits assumed: the scale's numbers were not "
                                        "read).\n11 depth lines, 2400 to 2500, every 10.\n11 printed depths looked at, "
                                        "11 read as numbers, 10 agreeing.\nSkew 0.0°."))
        << summary().toStdString();
    EXPECT_EQ(label("calibrationmisreads"),
              QStringLiteral("Disagreeing with the others:\nRow 600: read 2041, fits 2450."));
    // Wrapped in the narrow panel, and shown whole.
    for (const char* name : {"calibrationsummary", "calibrationmisreads"}) {
        const auto* text = child<QLabel>(name);
        EXPECT_GE(text->height(), text->heightForWidth(text->width())) << name;
    }
    // Under review the calibration is no part of the work, and tadpoles are
    // not searched for by the calibration it would replace.
    EXPECT_EQ(session().history().undoCount(), actions);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(work().scale);
    EXPECT_FALSE(action("mnufindtadpoles")->isEnabled());

    // The dip scale's form, open since the picture, is answered too.
    QTest::mouseClick(button("acceptcalibration"), Qt::LeftButton);
    EXPECT_FALSE(window_->scaleForm().isVisible());
    EXPECT_FALSE(session().foundCalibration());
    EXPECT_EQ(session().history().undoCount(), actions + 1);
    EXPECT_EQ(session().undoName(), QStringLiteral("Find Calibration"));
    ASSERT_EQ(rowCount(), 11);
    ASSERT_TRUE(work().scale);
    EXPECT_EQ(work().scale->kind, DipScaleKind::Linear);
    EXPECT_NEAR(work().depthRows[5].y, 600.5, 1);
    EXPECT_EQ(work().depthRows[5].depth, 2450);
    EXPECT_NEAR(work().depthRows[5].minDipX, 150.5, 1);
    EXPECT_NEAR(work().depthRows[5].maxDipX, 550.5, 1);
    // The review is over: the panel makes room, the status bar says so.
    EXPECT_FALSE(child<QWidget>("foundcalibration")->isVisible());
    EXPECT_EQ(status(), QStringLiteral("Calibration accepted: 11 depth rows."));
    EXPECT_FALSE(button("acceptcalibration")->isEnabled());
    EXPECT_TRUE(action("mnufindtadpoles")->isEnabled());
    EXPECT_TRUE(messages_->questions.isEmpty());

    backToTheWindow();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(work().scale);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rowCount(), 11);
}

// The dip scale alone, which the program asks for first, is no calibration
// to ask about replacing.
TEST_F(FindCalibrationTest, AcceptingAfterTheDipScaleAloneAsksNothing)
{
    openAndDefineLinearScale(QStringLiteral("log.bmp"), labelledLog(800));
    ASSERT_TRUE(work().scale);
    find();
    ASSERT_TRUE(session().foundCalibration());
    QTest::mouseClick(button("acceptcalibration"), Qt::LeftButton);
    EXPECT_TRUE(messages_->questions.isEmpty()) << messages_->questions.join(' ').toStdString();
    EXPECT_EQ(rowCount(), 7);  // the log of 800 rows prints seven
}

TEST_F(FindCalibrationTest, RejectLeavesTheWorkAndAHandMadeCalibrationGoesOnlyWhenTheUserSays)
{
    openAndDefineLinearScale(QStringLiteral("log.bmp"), labelledLog(800));
    addRow(100, "1000");
    const Work before = work();
    find();
    ASSERT_TRUE(session().foundCalibration());
    QTest::mouseClick(button("rejectcalibration"), Qt::LeftButton);
    EXPECT_FALSE(session().foundCalibration());
    EXPECT_EQ(work(), before);
    EXPECT_FALSE(child<QWidget>("foundcalibration")->isVisible());
    EXPECT_EQ(status(), QStringLiteral("Calibration rejected: the work is as it was."));

    find();
    ASSERT_TRUE(session().foundCalibration());
    messages_->yes = false;
    QTest::mouseClick(button("acceptcalibration"), Qt::LeftButton);
    ASSERT_EQ(messages_->questions.size(), 1);
    EXPECT_EQ(messages_->questions[0], QStringLiteral("The log is calibrated already. Replace its dip scale, depth "
                                                      "rows and edges with those found on the log?"));
    EXPECT_EQ(work(), before);
    EXPECT_TRUE(session().foundCalibration());  // still under review

    messages_->yes = true;
    key(Qt::Key_Return);
    EXPECT_EQ(rowCount(), 7);
    EXPECT_EQ(work().depthRows[0].depth, 2400);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(work(), before);
}

TEST_F(FindCalibrationTest, ALogWithoutLinesSaysWhyAndOffersNothing)
{
    openThroughMenu(writeBitmap(QStringLiteral("blank.bmp"), RgbPicture(400, 600, 0xffffff), 24));
    find();
    EXPECT_FALSE(session().foundCalibration());
    ASSERT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(messages_->errors[0].startsWith(QStringLiteral("Find Calibration: No calibration was found on the log: ")))
        << messages_->errors[0].toStdString();
    // The panel tells why beside the log, with nothing to accept.
    EXPECT_TRUE(child<QWidget>("foundcalibration")->isVisible());
    EXPECT_TRUE(summary().startsWith(QStringLiteral("No calibration: "))) << summary().toStdString();
    EXPECT_FALSE(button("acceptcalibration")->isEnabled());
    EXPECT_FALSE(button("rejectcalibration")->isEnabled());
}

}  // namespace
