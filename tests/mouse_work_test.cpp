#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include "ui/enter_dip_scales.h"
#include "window_fixture.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255), kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255),
           kPurple = qRgb(128, 0, 255), kMagenta = qRgb(255, 0, 255);

}  // namespace

TEST_F(MouseWindowTest, CalibrationDialogsBesideTheLogMarkersAndTheKeyboard)
{
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    window_->scaleForm().close();
    click(50, 50);  // no way to calibrate without a dip scale: the dialog comes back
    ASSERT_TRUE(window_->scaleForm().isVisible());
    clickIndicator(window_->scaleForm().option(1));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);

    SetDepthForm& form = window_->depthForm();
    EnterDipScales& prompt = window_->dipScalePrompt();
    move(200, 100);
    EXPECT_EQ(shown().pixel(5, 100), kBlue);  // the line marker across the view
    click(200, 100);
    EXPECT_EQ(shown().pixel(5, 101), kRed);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::WindowModal);  // shown, not run: the window waits for no answer
    EXPECT_EQ(form.depthBox()->text(), " ");
    EXPECT_EQ(form.focusWidget(), form.depthBox());
    EXPECT_FALSE(window_->centralWidget()->isEnabled());
    QTest::keyClick(&form, Qt::Key_Escape);  // the line goes, the window takes input again
    EXPECT_FALSE(window_->tools().calibration().enteringRow());
    EXPECT_TRUE(window_->menuBar()->isEnabled());
    EXPECT_EQ(shown().pixel(5, 101), kWhite);

    click(200, 100);
    enterDepth("1e999");  // too large a number: refused, the dialog stays
    EXPECT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(form.isVisible());
    form.depthBox()->clear();
    enterDepth("1000 ft");
    move(120, 300);  // the marker stays on the newest line, 50/3 pixels either side
    EXPECT_EQ(shown().pixel(120, 110), kPurple);
    EXPECT_EQ(shown().pixel(120, 125), kWhite);
    ASSERT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.findChild<QLabel*>("Label2")->text(), "Please left click on Dip = 0");
    const int lineRow = view()->mapToGlobal(at(0, 100)).y();
    EXPECT_FALSE(lineRow >= prompt.frameGeometry().top() && lineRow <= prompt.frameGeometry().bottom())
        << "the prompt covers the line to click on";
    click(100, 100);
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    EXPECT_TRUE(work().depthRows.empty());  // the row is one action, once whole
    click(280, 100);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_EQ(work().depthRows, (std::vector<DepthRow>{{1000, 100, 100, 280}}));
    EXPECT_EQ(action("mnuundo")->text(), "Undo Add Depth Row");
    EXPECT_FALSE(action("mnusavecal")->isEnabled());  // one row is no calibration yet
    addRow(300, "1100");
    EXPECT_TRUE(action("mnusavecal")->isEnabled());
    click(200, 420);
    EXPECT_EQ(form.depthBox()->text(), "1160");  // proposed: Enter takes it
    EXPECT_EQ(form.focusWidget(), form.okButton());
    QTest::keyClick(&form, Qt::Key_Return);
    click(100, 420);
    click(280, 420);
    EXPECT_EQ(work().depthRows[2].depth, 1160);
}

TEST_F(MouseWindowTest, OneMarkerIsShownWhateverCameBeforeAndNoneOutsideTheView)
{
    const auto lineEntered = [this] {
        openAndDefineLinearScale();
        click(200, 100);
        enterDepth("1000");
    };
    lineEntered();
    const QImage unmarked = shown();
    move(150, 120);
    const QImage once = shown();
    leaveView();
    leaveView();
    EXPECT_EQ(shown(), unmarked);  // gone on leaving the view, once

    SetUp();
    lineEntered();
    for (int x = 10; x < 390; x += 23)
        move(x, 200 - x / 3);
    window_->redraw();  // clears what was shown: the next move removes nothing
    move(150, 120);
    EXPECT_EQ(shown(), once);
}

TEST_F(MouseWindowTest, AFullDepthTableRefusesAndDeleteEndsTheRowBeingEntered)
{
    openAndDefineLinearScale();
    std::vector<DepthRow> full;
    for (int i = 1; i <= kMaxDepthRows; ++i)
        full.push_back({1000.0 + i, 2.0 * i, 100, 200});
    QString error;
    ASSERT_TRUE(session().apply(AddDepthRows{full}, error));
    const QImage before = shown();
    click(200, 590);
    EXPECT_EQ(messages_->errors,
              QStringList("Depth Table Full: The depth table holds at most 32767 depth lines; this line was not placed."));
    EXPECT_EQ(work().depthRows.size(), std::size_t(kMaxDepthRows));
    EXPECT_FALSE(window_->depthForm().isVisible());
    EXPECT_EQ(shown(), before);

    SetUp();
    openAndDefineLinearScale();
    addRow(100, "1000");
    addRow(300, "1100");
    option("Option2", 1);
    click(0, 106, Qt::RightButton);  // 6 pixels off the line, with any button
    ASSERT_EQ(work().depthRows.size(), 1u);
    EXPECT_EQ(shown().pixel(5, 100), kWhite);
    option("Option2", 0);
    click(200, 200);
    enterDepth("1050");
    option("Option2", 1);
    click(0, 200);  // the row awaiting its dip-scale ends
    EXPECT_FALSE(window_->dipScalePrompt().isVisible());
    EXPECT_FALSE(window_->tools().calibration().enteringRow());
    option("Option2", 0);
    click(100, 350);  // a new line, not an end of the row that went
    EXPECT_TRUE(window_->depthForm().isVisible());
    EXPECT_EQ(work().depthRows, (std::vector<DepthRow>{{1100, 300, 100, 280}}));
}

TEST_F(MouseWindowTest, HeaderFooterAndEdgesArePicturePositions)
{
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    window_->scaleForm().close();
    option("Option2", 2);
    click(10, 10);  // no dip scale yet: the dialog again, no mark
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_FALSE(work().marks[std::size_t(Mark::HeaderTop)]);

    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command1(0)"), Qt::LeftButton);  // 2:1, about the view's middle
    for (const char* bar : {"HScroll1", "VScroll1"})
        QTest::keyClick(child<QScrollBar>(bar), Qt::Key_Home);  // back to the picture's corner
    click(0, 7);
    EXPECT_EQ(work().marks[std::size_t(Mark::HeaderTop)], 3.5);
    EXPECT_EQ(action("mnuundo")->text(), "Undo Set Header Top");
    option("Option2", 5);
    click(0, 20);
    EXPECT_EQ(work().marks[std::size_t(Mark::FooterBottom)], 10);

    QTest::mouseClick(child<QPushButton>("Command1(1)"), Qt::LeftButton);  // 1:1
    child<QScrollBar>("HScroll1")->setValue(30);
    const double left = window_->logView().viewport().left;
    ASSERT_GT(left, 0);
    option("Option2", 6);
    click(10, 10);
    EXPECT_EQ(work().marks[std::size_t(Mark::LeftEdge)], left + 10);
    EXPECT_EQ(shown().pixel(10, 150), qRgb(70, 130, 180));  // the edge's colour, drawn back where it was pressed
    child<QScrollBar>("HScroll1")->setValue(0);
    option("Option2", 7);
    click(450, 10);  // beyond the picture's right end
    EXPECT_EQ(work().marks[std::size_t(Mark::RightEdge)], 400);
}

TEST_F(MouseWindowTest, FirstPressPlacesTheDipAndTheSecondFixesItsTail)
{
    calibrateTwoRowsAndDigitize();
    const QString undo = action("mnuundo")->text();
    move(190, 200);
    EXPECT_EQ(action("mnuundo")->text(), undo);  // a move alone is no change of the work
    EXPECT_EQ(label("Label3"), "1050.0");
    EXPECT_EQ(label("Label2"), "45.0");
    EXPECT_EQ(label("Label8"), "A");

    click(190, 200);
    EXPECT_TRUE(work().dips.empty());  // a dip is one action, with its tail
    EXPECT_EQ(shown().pixel(190, 200), kRed);  // the dot
    EXPECT_EQ(shown().pixel(210, 200), kRed);  // the guide circle, 20 pixels out
    move(190, 150);
    move(250, 150);
    move(190, 150);  // straight up
    EXPECT_EQ(label("Label6"), "0.0");
    EXPECT_EQ(label("Label3"), "1050.0");  // the dip's own while pending

    option("Option1", 2);  // the grade of the second press counts
    click(10, 390);        // outside the calibration: still completes the dip
    EXPECT_TRUE(messages_->errors.isEmpty());
    ASSERT_EQ(work().dips.size(), 1u);
    EXPECT_EQ(work().dips[0], (Dip{190, 200, 0, "C"}));
    EXPECT_EQ(action("mnuundo")->text(), "Undo Add Dip");
    EXPECT_EQ(shown().pixel(210, 200), kWhite);  // the red guide circle went whole
    EXPECT_EQ(shown().pixel(190, 185), kBlue);   // tail drawn for good

    click(150, 250, Qt::RightButton);  // any button digitizes
    click(150, 250, Qt::MiddleButton);
    ASSERT_EQ(work().dips.size(), 2u);
    EXPECT_EQ(work().dips[1].azimuth, 90);  // no move: the azimuth of a cursor on the centre
}

TEST_F(MouseWindowTest, AzimuthIsClockwiseFromUpWithTheProgramsPi)
{
    calibrateTwoRowsAndDigitize();
    struct Case {
        int dx, dy;
        double azimuth;
    };
    const Case cases[] = {{0, -10, 0},   {10, 0, 90},  {0, 10, 180},  {-10, 0, 270}, {0, 0, 90},
                          {10, -10, 45.0000380099}, {10, 10, 134.9999619901}, {-10, 10, 225.0000380099},
                          {-1, -100, 359.4270608184}};
    for (const Case& c : cases) {
        click(190, 200);
        move(190 + c.dx, 200 + c.dy);
        click(190, 200);
        EXPECT_NEAR(work().dips.back().azimuth, c.azimuth, 1e-6) << c.dx << ", " << c.dy;
    }
}

TEST_F(MouseWindowTest, ManyMovesLeaveExactlyOneRubberTail)
{
    calibrateTwoRowsAndDigitize();
    click(190, 200);
    move(230, 170);
    const QImage once = shown();
    click(1, 1);
    const QImage finished = shown();

    SetUp();
    calibrateTwoRowsAndDigitize();
    click(190, 200);
    for (int i = 0; i < 40; ++i)
        move(190 + int(60 * std::cos(i * 0.7)), 200 + int(60 * std::sin(i * 0.7)));
    move(190, 201);  // a tail of no length
    move(230, 170);
    EXPECT_EQ(shown(), once);
    click(1, 1);
    EXPECT_EQ(shown(), finished);
}

TEST_F(MouseWindowTest, PressesOutsideTheCalibrationAndBeyondTheTableAreRefused)
{
    calibrateTwoRowsAndDigitize();
    const QString undo = action("mnuundo")->text();
    click(190, 50);  // above the first depth line
    click(50, 200);  // left of the dip scale
    EXPECT_EQ(messages_->errors, QStringList(2, "Not Calibrated: This area of the log is not calibrated."));
    EXPECT_EQ(action("mnuundo")->text(), undo);
    move(190, 50);
    EXPECT_EQ(label("Label3"), "NO CAL");
    EXPECT_EQ(label("Label2"), "NO CAL");

    QString error;
    ASSERT_TRUE(session().apply(AddDips{std::vector<Dip>(kMaxDips, Dip{150, 150, 0, "A"})}, error));
    const QImage before = shown();
    click(190, 200);
    EXPECT_EQ(messages_->errors.back(), "Dip Table Full: The dip table holds at most 32767 dips; this dip was not placed.");
    EXPECT_EQ(shown(), before);
}

TEST_F(MouseWindowTest, APendingDipFollowsScrollAndZoomAndKeepsItsOwnCentre)
{
    calibrateTwoRowsAndDigitize();
    click(190, 200);
    move(250, 200);
    QTest::mouseClick(child<QPushButton>("Command1(1)"), Qt::LeftButton);  // 1:2
    EXPECT_EQ(shown().pixel(95, 120), kRed);    // guide circle round the new place
    EXPECT_EQ(shown().pixel(190, 180), kWhite);  // and not round the old one
    move(125, 100);
    EXPECT_EQ(label("Label6"), "90.0");  // measured from the dip itself
    click(300, 300);
    EXPECT_EQ(work().dips[0].azimuth, 90);
    EXPECT_EQ(shown().pixel(105, 100), kRed);
    EXPECT_EQ(shown().pixel(95, 120), kWhite);
}

TEST_F(MouseWindowTest, AreaEraseTakesTheDipsOfADraggedBand)
{
    calibrateTwoRowsAndDigitize();
    for (int y : {150, 250, 200, 120})
        tadpole(190, y, 250, y);
    const auto heightsLeft = [this] {
        std::vector<double> out;
        for (const Dip& d : work().dips)
            out.push_back(d.y);
        return out;
    };
    action("mnuerase")->trigger();
    click(190, 230, Qt::RightButton);  // starts no band and, armed, places no dip
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, at(30, 250));
    move(60, 220, Qt::LeftButton);
    move(60, 200, Qt::LeftButton | Qt::RightButton);  // not the left button alone: no band
    move(60, 200, Qt::LeftButton);
    EXPECT_EQ(shown().pixel(5, 200), kMagenta);
    EXPECT_EQ(shown().pixel(5, 220), kWhite);  // the earlier outline went
    EXPECT_EQ(work().dips.size(), 4u);
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, at(60, 200));  // upward, from 250 to 200
    EXPECT_FALSE(window_->tools().erase().armed());
    EXPECT_EQ(heightsLeft(), (std::vector<double>{150, 120}));
    EXPECT_EQ(shown().pixel(5, 200), kWhite);  // the band goes with the redraw

    action("mnuerase")->trigger();
    click(0, 150);  // a band of no height: the dips exactly there
    EXPECT_EQ(heightsLeft(), std::vector<double>{120});
}

// A depth that breaks the trend of the rows is questioned before the row is
// kept: No goes back to the box, Yes keeps the depth as typed.
TEST_F(MouseWindowTest, EnterDepthQuestionsADepthThatBreaksTheTrend)
{
    openAndDefineLinearScale();
    addRow(100, "2380");
    addRow(200, "2390");
    addRow(300, "2400");
    click(200, 400);
    SetDepthForm& form = window_->depthForm();
    ASSERT_TRUE(form.isVisible());
    messages_->yes = false;
    enterDepth("2041");
    EXPECT_EQ(messages_->questions,
              QStringList("2041 does not fit the lines around it: 2410 would. Keep 2041?"));
    EXPECT_TRUE(form.isVisible());  // back to the box, nothing kept
    EXPECT_EQ(form.depthText(), QStringLiteral("2041"));

    messages_->yes = true;
    QTest::keyClick(form.depthBox(), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    click(100, 400);
    click(280, 400);
    ASSERT_EQ(work().depthRows.size(), 4u);
    EXPECT_EQ(work().depthRows.back().depth, 2041);

    click(200, 500);  // a depth that fits is asked nothing
    messages_->questions.clear();
    enterDepth("2420");
    EXPECT_TRUE(messages_->questions.isEmpty());
    EXPECT_FALSE(form.isVisible());
}
