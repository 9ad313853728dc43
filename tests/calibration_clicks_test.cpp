#include "interaction_fixture.h"

namespace {

constexpr Rgb kBlue{0, 0, 255}, kPurple{128, 0, 255}, kRed{255, 0, 0};
const QRgb kWhite = qRgb(255, 255, 255);

}  // namespace

TEST(CalibrationClicks, CustomScaleTakesOnePositionPerTenDegreesThenDepthLines)
{
    MouseScene sc;
    sc.defineScale(4, "0", "90");
    sc.host.promptShown = true;  // as the dialog's OK leaves it
    std::vector<std::string> prompts;
    for (int i = 0; i < 10; ++i) {
        sc.move(100 + 20 * i, 200);
        EXPECT_EQ(sc.image().pixel(100 + 20 * i, 25), rgb(kPurple)) << "marker near the top at step " << i;
        sc.press(100 + 20 * i, 200);
        prompts.push_back(sc.host.prompt);
        EXPECT_EQ(sc.state.CustomDipTwip[i], MouseScene::tw(100 + 20 * i));
    }
    EXPECT_EQ(prompts.front(), "Please left click on Dip = 10");
    EXPECT_EQ(prompts[8], "Please left click on Dip = 90");
    EXPECT_EQ(prompts.back(), "Please left click on Dip = 100");
    EXPECT_EQ(sc.state.CustomClicks, 10);
    EXPECT_FALSE(sc.host.promptShown);
    EXPECT_FALSE(sc.state.AwaitCustomClick);
    EXPECT_TRUE(sc.state.AwaitDepthLine);
    sc.press(200, 100);  // the next Add press is a depth line
    EXPECT_EQ(sc.state.NUMDEP, 1);
    EXPECT_TRUE(sc.host.enterDepthShown);
}

TEST(CalibrationClicks, ADepthRowIsALineItsDepthAndBothEndsThenTakesItsPlace)
{
    MouseScene sc;
    sc.defineScale();
    sc.move(200, 100);
    EXPECT_EQ(sc.image().pixel(5, 100), rgb(kBlue));  // the line marker across the view
    sc.press(200, 100);
    ASSERT_EQ(sc.state.NUMDEP, 1);
    EXPECT_EQ(sc.state.depths[1].DEPTHTWIP, MouseScene::tw(100));
    EXPECT_EQ(sc.image().pixel(5, 101), rgb(kRed));
    EXPECT_FALSE(sc.host.mainEnabled);
    EXPECT_TRUE(sc.host.enterDepthShown);
    EXPECT_FALSE(sc.host.promptShown);
    EXPECT_EQ(sc.host.prompt, "Please left click on Dip = 0");

    EXPECT_TRUE(sc.mouse.setdepthform_Command1_Click(" 1000 ft"));
    EXPECT_EQ(sc.state.depths[1].DEPTH, 1000);
    EXPECT_TRUE(sc.host.mainEnabled);
    EXPECT_FALSE(sc.host.enterDepthShown);
    EXPECT_TRUE(sc.host.promptShown);
    EXPECT_TRUE(sc.state.AwaitMinDipClick);
    sc.move(120, 300);  // the marker stays on the newest line, 250 twips either side
    EXPECT_EQ(sc.image().pixel(120, 110), rgb(kPurple));
    EXPECT_EQ(sc.image().pixel(120, 125), kWhite);

    sc.press(100, 100);
    EXPECT_EQ(sc.state.depths[1].MINDIPTWIP, MouseScene::tw(100));
    EXPECT_EQ(sc.host.prompt, "Please left click on Dip = 90");
    EXPECT_TRUE(sc.host.promptShown);
    EXPECT_TRUE(sc.state.AwaitMaxDipClick);
    sc.press(280, 100);
    EXPECT_EQ(sc.state.depths[1].MAXDIPTWIP, MouseScene::tw(280));
    EXPECT_FALSE(sc.host.promptShown);
    EXPECT_TRUE(sc.state.GridReady);
    EXPECT_TRUE(sc.state.AwaitDepthLine);
    EXPECT_FALSE(sc.host.saveProjectAsEnabled);  // one row is no calibration yet

    sc.addRow(300, "1100", 100, 280);
    EXPECT_TRUE(sc.host.saveProjectAsEnabled);
    sc.press(200, 50);  // above every row: stands last while entered...
    sc.mouse.setdepthform_Command1_Click("900");
    EXPECT_EQ(sc.state.depths[3].DEPTHTWIP, MouseScene::tw(50));
    sc.move(150, 300);
    EXPECT_EQ(sc.image().pixel(150, 60), rgb(kPurple));
    sc.press(100, 50);
    sc.press(280, 50);
    EXPECT_EQ(sc.state.depths[1].DEPTH, 900);  // ...and first once complete
    EXPECT_EQ(sc.state.depths[3].DEPTH, 1100);
}

TEST(CalibrationClicks, EnterDepthClosedWithdrawsItsLineAndRefusesNoNumberButAHugeOne)
{
    MouseScene sc;
    sc.defineScale();
    sc.addRow(100, "1000", 100, 280);
    sc.addRow(300, "1100", 100, 280);
    sc.press(200, 200);
    EXPECT_FALSE(sc.state.GridReady);
    EXPECT_FALSE(sc.mouse.setdepthform_Command1_Click("1e999"));
    ASSERT_EQ(sc.host.messages.size(), 1u);
    EXPECT_TRUE(sc.host.enterDepthShown);
    EXPECT_EQ(sc.state.depths[3].DEPTH, 0);

    sc.mouse.setdepthform_Closed();
    EXPECT_EQ(sc.state.NUMDEP, 2);
    EXPECT_TRUE(sc.state.GridReady);
    EXPECT_TRUE(sc.host.mainEnabled);
    EXPECT_EQ(sc.image().pixel(5, 200), kWhite);  // the red line went with the redraw
    EXPECT_TRUE(sc.state.AwaitDepthLine);
    sc.press(200, 220);
    EXPECT_EQ(sc.state.NUMDEP, 3);
    EXPECT_EQ(sc.state.depths[3].DEPTHTWIP, MouseScene::tw(220));
    EXPECT_TRUE(sc.mouse.setdepthform_Command1_Click(" "));  // nothing typed: depth 0
    EXPECT_EQ(sc.state.depths[3].DEPTH, 0);
}

TEST(CalibrationClicks, FullTablesRefuseWithAMessageAndChangeNothing)
{
    MouseScene sc;
    sc.defineScale();
    sc.state.NUMDEP = kMaxDepthRows;
    for (int i = 1; i <= kMaxDepthRows; ++i)
        sc.state.depths[i] = {1000.0 + i, 10.0 * i, 100, 200};
    const auto rows = sc.state.depths;
    const QImage before = sc.image();
    sc.press(200, 390);
    EXPECT_EQ(sc.host.messages, std::vector<std::string>{
                                    "Depth Table Full: The depth table holds at most 200 depth lines; this line was "
                                    "not placed."});
    EXPECT_EQ(sc.state.NUMDEP, kMaxDepthRows);
    EXPECT_TRUE(sc.state.depths == rows);
    EXPECT_TRUE(sc.host.mainEnabled);
    EXPECT_FALSE(sc.host.enterDepthShown);
    EXPECT_EQ(sc.image(), before);

    MouseScene custom;
    custom.defineScale(4, "0", "100");
    custom.state.CustomClicks = kMaxCustomSteps + 1;  // a custom table already full
    custom.press(100, 100);
    EXPECT_EQ(custom.host.messages.size(), 1u);
    EXPECT_EQ(custom.state.CustomClicks, kMaxCustomSteps + 1);
}

TEST(CalibrationClicks, DeleteTakesRowsWithinAHundredTwipsAndEndsTheRowBeingEntered)
{
    MouseScene sc;
    sc.defineScale();
    sc.addRow(100, "1000", 100, 280);  // DEPTHTWIP 1500
    sc.addRow(300, "1100", 100, 280);
    sc.mouse.Option2_Click(1);
    sc.mouse.Picture1_MouseDown(kLeftButton, 0, 0, 1500 + 101);
    EXPECT_EQ(sc.state.NUMDEP, 2);
    sc.mouse.Picture1_MouseDown(kRightButton, 0, 0, 1500 - 100);
    ASSERT_EQ(sc.state.NUMDEP, 1);
    EXPECT_EQ(sc.state.depths[1].DEPTH, 1100);
    EXPECT_EQ(sc.image().pixel(5, 100), kWhite);

    sc.mouse.Option2_Click(0);
    sc.press(200, 200);
    sc.mouse.setdepthform_Command1_Click("1050");
    EXPECT_TRUE(sc.host.promptShown);
    sc.mouse.Option2_Click(1);
    sc.press(0, 200);  // the row awaiting its dip-scale ends
    EXPECT_EQ(sc.state.NUMDEP, 1);
    EXPECT_FALSE(sc.host.promptShown);
    EXPECT_TRUE(sc.state.AwaitDepthLine);
    sc.mouse.Option2_Click(0);
    sc.press(100, 300);  // a new line, not an end written into the complete row
    EXPECT_EQ(sc.state.NUMDEP, 2);
    EXPECT_EQ(sc.state.depths[1].MINDIPTWIP, MouseScene::tw(100));
    EXPECT_EQ(sc.state.depths[1].DEPTH, 1100);
}

TEST(CalibrationClicks, HeaderFooterAndEdgesAreImagePositionsInWholeTwips)
{
    MouseScene sc(400, 400, QSize(500, 300));
    sc.press(10, 10);  // no dip scale yet: the dialog again, no tool
    EXPECT_EQ(sc.host.defineDipScaleShown, 1);
    sc.mouse.Option2_Click(2);
    sc.press(10, 10);
    EXPECT_EQ(sc.state.HeaderTop, 0);

    sc.defineScale();
    sc.state.ZoomFactor = 2;
    sc.state.VScrollValue = 10;
    sc.state.VScrollUnit = 3;
    sc.mouse.Picture1_MouseDown(kLeftButton, 0, 0, 105);  // 30 + 52.5
    EXPECT_EQ(sc.state.HeaderTop, 82);                    // halves to even
    for (int tool : {3, 4, 5}) {
        sc.mouse.Option2_Click(tool);
        sc.mouse.Picture1_MouseDown(kLeftButton, 0, 0, 300);
    }
    EXPECT_EQ(sc.state.FooterBottom, 180);
    EXPECT_EQ(sc.host.redraws, 5);

    sc.state.ZoomFactor = 1;
    sc.state.VScrollValue = 0;
    sc.state.HScrollValue = 50;
    sc.state.HScrollUnit = 2;  // a picture wide enough for two twips a step
    sc.mouse.Option2_Click(6);
    sc.press(10, 10);
    EXPECT_EQ(sc.state.LeftEdge, 100 + 150);
    EXPECT_EQ(sc.host.overlayRedraws, 1);
    EXPECT_EQ(sc.image().pixel(10, 150), rgb(kBlue));  // drawn back where it was pressed
    sc.state.HScrollValue = 0;
    sc.mouse.Option2_Click(7);
    sc.press(450, 10);  // beyond the picture's right end
    EXPECT_EQ(sc.state.RightEdge, MouseScene::tw(400));
}

TEST(CalibrationClicks, OneMarkerIsShownWhateverMovesAndRedrawsCameBefore)
{
    auto lineEntered = [](MouseScene& sc) {
        sc.defineScale();
        sc.press(200, 100);
        sc.mouse.setdepthform_Command1_Click("1000");
    };
    MouseScene once, many;
    lineEntered(once);
    lineEntered(many);
    once.move(150, 120);
    for (int x = 10; x < 390; x += 23)
        many.move(x, 200 - x / 3);
    many.host.redraw();  // clears what was shown: the next move removes nothing
    many.move(150, 120);
    EXPECT_EQ(many.image(), once.image());

    // A double click forgets the marker shown, which then stays until a redraw.
    MouseScene sc;
    sc.defineScale();
    const QImage clean = sc.image();
    sc.move(200, 120);
    sc.mouse.Picture1_DblClick();
    sc.move(200, 150);
    EXPECT_EQ(sc.image().pixel(5, 120), rgb(kBlue));
    EXPECT_EQ(sc.image().pixel(5, 150), rgb(kBlue));
    EXPECT_EQ(sc.image().copy(0, 0, 400, 2), clean.copy(0, 0, 400, 2));
}

TEST(CalibrationClicks, TheMarkerGoesWhenTheCursorLeavesTheView)
{
    MouseScene sc;
    sc.defineScale();
    const QImage clean = sc.image();
    sc.move(200, 120);
    sc.mouse.Picture1_MouseLeave();
    EXPECT_EQ(sc.image(), clean);
    sc.move(200, 150);  // drawn afresh on coming back
    EXPECT_EQ(sc.image().pixel(5, 150), rgb(kBlue));
    EXPECT_EQ(sc.image().pixel(5, 120), kWhite);

    sc.press(200, 100);
    sc.mouse.setdepthform_Command1_Click("1000");
    const QImage entered = sc.image();
    sc.move(150, 300);
    sc.mouse.Picture1_MouseLeave();
    sc.mouse.Picture1_MouseLeave();
    EXPECT_EQ(sc.image(), entered);
}
