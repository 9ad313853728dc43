// A day of log after log at the window: what carries over from one log to
// the next, what the exports write at once, and refusals that say what helps.
#include <cmath>
#include <random>

#include <QAction>
#include <QProcess>
#include <QTemporaryDir>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>

#include "model/number_format.h"
#include "ui/log_view.h"
#include "ui/set_scale_form.h"
#include "window_fixture.h"

namespace {

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
    // Every key says what it does.
    for (const QString& line : messages_->infos[0].split(QLatin1Char('\n')))
        EXPECT_FALSE(line.endsWith(QLatin1String(": "))) << line.toStdString();
    EXPECT_TRUE(messages_->infos[0].contains(QStringLiteral("Esc: Step back")));
    // Keys as a user types them.
    EXPECT_TRUE(messages_->infos[0].contains(QStringLiteral("+, + (keypad), =: Zoom in"))) << messages_->infos[0].toStdString();
    EXPECT_FALSE(messages_->infos[0].contains(QStringLiteral("Num+")));
    EXPECT_TRUE(messages_->infos[0].contains(QStringLiteral("Ctrl+End: End of the Log")));
}

// The readout follows the view: the wheel moves the picture under a pointer
// that stays, and the depth shown is that under it now.
TEST_F(DayAtWindowTest, TheReadoutFollowsTheWheel)
{
    calibrateTwoRowsAndDigitize(RgbPicture(400, 3000, 0xffffff));
    move(150, 150);
    const QString before = label("Label3");
    EXPECT_EQ(before, QStringLiteral("1025.0"));
    QWheelEvent down(at(150, 150), view()->mapToGlobal(at(150, 150)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &down);
    ASSERT_GT(window_->logView().viewport().top, 0);
    const double y = window_->logView().viewport().toPictureY(150);
    EXPECT_EQ(label("Label3"), QString::fromStdString(formatOneDecimal(session().calibration().depthAt(y))));
    EXPECT_NE(label("Label3"), before);
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

TEST_F(DayAtWindowTest, ExportAllWritesTheThreeFilesBesideTheWorkAndAsksTheUnitOnceAWork)
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

    // Asked once a work, and kept in it as Well Details keeps it: one step
    // to undo, saved with the project.
    EXPECT_EQ(work().well.depthUnit, "FT");
    EXPECT_EQ(action("mnuundo")->text(), QStringLiteral("Undo Depth Unit"));

    // Again: no question of the unit, and nothing is replaced unasked.
    messages_->texts = {};
    messages_->lastChoices.clear();
    messages_->yes = false;
    action("mnuexportall")->trigger();
    EXPECT_TRUE(messages_->lastChoices.isEmpty());
    EXPECT_EQ(messages_->questions.last(), QStringLiteral("Replace log.dip, log.csv, log.las?"));
    EXPECT_EQ(messages_->infos.size(), 1);

    // Nor when the saved work is opened again.
    dialog_->files.push_back(folder_.filePath("log.ddp"));
    key(Qt::Key_S, Qt::ControlModifier);
    dialog_->files.push_back(folder_.filePath("log.ddp"));
    key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(work().well.depthUnit, "FT");
    action("mnuexportall")->trigger();
    EXPECT_TRUE(messages_->lastChoices.isEmpty());

    // On the next log, the unit chosen last comes first; "none" is asked
    // once for that log too.
    openAndDefineLinearScale(QStringLiteral("next.bmp"));
    addRow(100, "1000");
    addRow(300, "1100");
    digitizeMode();
    tadpole(150, 150, 160, 140);
    messages_->texts = {"none"};
    messages_->yes = true;
    action("mnuexportall")->trigger();
    EXPECT_EQ(messages_->lastChoices, QStringList({"FT", "M", "none"}));
    messages_->lastChoices.clear();
    action("mnuexportall")->trigger();
    EXPECT_TRUE(messages_->lastChoices.isEmpty());
}

TEST_F(DayAtWindowTest, ACalibrationAppliedFromAnotherProjectIsOneStepAndRefusedWhereItDoesNotFit)
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
    EXPECT_EQ(dialog_->lastRequest.title, "Apply Calibration From");
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

    // On a picture its rows lie outside of, refused as the batch refuses it,
    // without a question.
    openThroughMenu(writeBitmap(QStringLiteral("short.bmp"), RgbPicture(400, 250, 0xffffff), 24));
    window_->scaleForm().hide();
    dialog_->files.push_back(folder_.filePath("first.ddp"));
    const auto asked = messages_->questions.size();
    action("mnuapplycalibration")->trigger();
    EXPECT_EQ(messages_->questions.size(), asked);
    ASSERT_FALSE(messages_->errors.isEmpty());
    EXPECT_EQ(messages_->errors.last(), QStringLiteral("Apply Calibration From: \"first.ddp\" cannot calibrate this log. "
                                                       "The depth row at depth 1100 lies outside the picture of 400 by "
                                                       "250 pixels."));
    EXPECT_EQ(rowCount(), 0);
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
    // "+" steps from there to the next ratio; the panel's button fits again.
    QTest::mouseClick(child<QPushButton>("Command1(0)"), Qt::LeftButton);
    EXPECT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("1:4"));
    ASSERT_LT(view.shownWidth(), 2999);
    QTest::mouseClick(child<QPushButton>("fitwidthbutton"), Qt::LeftButton);
    EXPECT_NEAR(view.shownWidth(), 3000, 1);
}

// A zoom keeps the place: the buttons and keys about the view's middle,
// Ctrl and the wheel about the pointer, Fit Width about the middle; the
// picture's row under that point stays under it within a view pixel.
TEST_F(DayAtWindowTest, ZoomKeepsThePointItIsAbout)
{
    openThroughMenu(writeBitmap(QStringLiteral("long.bmp"), RgbPicture(1500, 8000, 0xffffff), 24));
    window_->scaleForm().hide();
    backToTheWindow();
    LogView& shown = window_->logView();
    const QRect inner = shown.contentsRect();
    const double middleX = inner.width() / 2.0, middleY = inner.height() / 2.0;
    const auto under = [&](double x, double y) {
        return QPointF(shown.viewport().toPictureX(x), shown.viewport().toPictureY(y));
    };
    // The depth (the row) is what stays; across, a view wider than the
    // picture shows it whole from its left edge.
    const auto expectKept = [&](QPointF before, double x, double y) {
        const QPointF after = under(x, y);
        EXPECT_LE(std::abs(after.y() - before.y()) * shown.viewport().zoom, 1.0) << before.y() << " " << after.y();
    };
    QString error;
    ASSERT_TRUE(session().apply(SetCalibration{DipScale{DipScaleKind::Linear, 0, 90, {}},
                                               {{1000, 100, 100, 1400}, {1790, 7900, 100, 1400}}, {}, {}},
                                error));
    messages_->texts = {"1395"};  // row 4000
    key(Qt::Key_G, Qt::ControlModifier);
    QPointF before = under(middleX, middleY);
    EXPECT_NEAR(before.y(), 4000, 2);

    QTest::mouseClick(child<QPushButton>("Command1(0)"), Qt::LeftButton);  // + : 2:1
    ASSERT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("2:1"));
    expectKept(before, middleX, middleY);
    backToTheWindow();
    key(Qt::Key_Minus);
    key(Qt::Key_Minus);  // 1:2
    ASSERT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("1:2"));
    expectKept(before, middleX, middleY);

    // Ctrl and the wheel, a notch in, about the pointer.
    const QPointF pointer(120, inner.height() / 4.0);
    before = under(pointer.x(), pointer.y());
    const QPointF at = pointer + inner.topLeft();
    QWheelEvent notch(at, shown.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&shown, &notch);
    ASSERT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("1:1"));
    expectKept(before, pointer.x(), pointer.y());

    before = under(middleX, middleY);
    key(Qt::Key_W);
    expectKept(before, middleX, middleY);
}

// Zoomed out, a grey line a pixel thin, turned 0.8 degrees as a sheet on a
// scanner is, stays whole across the view: every column shows at least half
// its ink (where the line steps a row between two reduced rows, half is what
// each of them keeps). Lone specks fade, so that a speckled scan does not
// turn dark.
TEST_F(DayAtWindowTest, AThinLineStaysWholeZoomedOut)
{
    constexpr int kHalfInk = (0x80 + 0xff + 1) / 2;
    RgbPicture page(1600, 1200, 0xffffff);
    const double slope = std::tan(0.8 * 3.14159265 / 180);
    for (int x = 0; x < page.width; ++x)
        page.at(x, int(std::lround(300 + x * slope))) = 0x808080;
    std::mt19937 specks(7);
    for (int y = 600; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            if (specks() % 20 == 0)
                page.at(x, y) = 0;
    openThroughMenu(writeBitmap(QStringLiteral("turned.bmp"), page, 24));
    window_->scaleForm().hide();
    backToTheWindow();
    LogView& view = window_->logView();
    const auto whole = [&] {
        const QImage shown = view.surface().image();
        const Viewport v = view.viewport();
        const int last = std::min(shown.width(), int(v.toViewX(page.width))) - 1;
        int gaps = 0;
        for (int x = int(std::ceil(v.toViewX(0))); x <= last; ++x) {
            const double y = v.toViewY(300 + v.toPictureX(x + 0.5) * slope);
            int darkest = 255;
            for (int dy = -2; dy <= 2; ++dy)
                if (const int sy = int(std::floor(y)) + dy; sy >= 0 && sy < shown.height())
                    darkest = std::min(darkest, qGray(shown.pixel(x, sy)));
            gaps += darkest > kHalfInk ? 1 : 0;
        }
        return gaps;
    };
    key(Qt::Key_Minus);
    key(Qt::Key_Minus);
    ASSERT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("1:4"));
    EXPECT_EQ(whole(), 0);
    key(Qt::Key_W);
    ASSERT_LT(view.viewport().zoom, 1);
    EXPECT_EQ(whole(), 0);

    // One pixel in twenty a black speck: at 1:8 the paper stays lighter
    // than half way to black.
    key(Qt::Key_Minus);
    key(Qt::Key_Minus);
    key(Qt::Key_Minus);
    ASSERT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("1:8"));
    const QImage shown = view.surface().image();
    const Viewport v = view.viewport();
    double sum = 0;
    int count = 0;
    for (int y = std::max(0, int(v.toViewY(650))); y < std::min(shown.height(), int(v.toViewY(1150))); ++y)
        for (int x = std::max(0, int(v.toViewX(50))); x < std::min(shown.width(), int(v.toViewX(1550))); ++x, ++count)
            sum += qGray(shown.pixel(x, y));
    ASSERT_GT(count, 1000);
    EXPECT_GT(sum / count, 128);
}

// Scrolled to the end at 1:1, 2:1 and Fit Width, the picture's last row is
// the view's last.
TEST_F(DayAtWindowTest, ScrolledToTheEndTheLastRowIsShown)
{
    openThroughMenu(writeBitmap(QStringLiteral("tall.bmp"), RgbPicture(1500, 3000, 0xffffff), 24));
    window_->scaleForm().hide();
    backToTheWindow();
    const LogView& view = window_->logView();
    auto* bar = child<QScrollBar>("VScroll1");
    const auto toTheEnd = [&] {
        QTest::keyClick(bar, Qt::Key_End);
        return view.viewport().top + view.shownHeight();
    };
    EXPECT_GE(toTheEnd(), 3000 - 1.0 / 15);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.viewport().top, 0);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_GE(view.viewport().top + view.shownHeight(), 3000 - 1.0 / 15);
    QTest::mouseClick(child<QPushButton>("Command1(0)"), Qt::LeftButton);  // 2:1
    ASSERT_EQ(child<QLabel>("Label60")->text(), QStringLiteral("2:1"));
    EXPECT_GE(toTheEnd(), 3000 - 1.0 / 15);
    backToTheWindow();
    key(Qt::Key_W);
    ASSERT_LT(view.viewport().zoom, 1);
    EXPECT_GE(toTheEnd(), 3000 - 1.0 / 15);
}

// On a 1600 by 1000 screen, "Define Dip Scale" leaves the printed scale it
// asks about in sight.
TEST(DipScalePlacement, TheFormStandsClearOfTheTracksPrintedScale)
{
    QTemporaryDir folder;
    const QString screens = folder.filePath(QStringLiteral("screens.json"));
    QFile config(screens);
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1600, "height": 1000,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.close();
    QProcess child;
    child.start(QStringLiteral(PLACEMENT_CHILD), {QStringLiteral(SAMPLE_LOG), screens});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const auto rect = [](const QString& line) {
        const QStringList n = line.split(QLatin1Char(' '));
        return QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
    };
    EXPECT_EQ(rect(lines[0]), QRect(0, 0, 1600, 1000));
    const QRect form = rect(lines[1]), scale = rect(lines[2]);
    EXPECT_FALSE(form.intersects(scale)) << lines[1].toStdString() << " over " << lines[2].toStdString();
    EXPECT_TRUE(QRect(0, 0, 1600, 1000).contains(form));
}
