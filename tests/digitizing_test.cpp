#include <cmath>
#include <iomanip>

#include "core/dipdigitize.h"
#include "interaction_fixture.h"

namespace {

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255};
const QRgb kWhite = qRgb(255, 255, 255);

}  // namespace

TEST(Digitizing, FirstPressPlacesTheDipAndTheSecondFixesItsTail)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    const int edits = sc.host.edits;
    sc.move(190, 200);
    EXPECT_EQ(sc.host.edits, edits);  // a move alone is no change of the work
    EXPECT_EQ(sc.host.readout[kDepthValue], "1050.0");
    EXPECT_EQ(sc.host.readout[kDipValue], "45.0");
    EXPECT_EQ(sc.host.readout[kAzimuthValue], "");
    EXPECT_EQ(sc.host.readout[kQualityValue], "A");
    EXPECT_TRUE(sc.host.readoutShown[kDepthCaption]);

    sc.press(190, 200);
    ASSERT_EQ(sc.state.NumPoints, 1);
    const DipPoint& dip = sc.state.dips[1];
    EXPECT_EQ(dip.Depth, Reading(1050.0));
    EXPECT_EQ(dip.Dip, Reading(45.0));
    EXPECT_EQ(dip.YPIX, MouseScene::tw(200));
    EXPECT_EQ(dip.DIPPIX, MouseScene::tw(190));
    EXPECT_TRUE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(sc.image().pixel(190, 200), rgb(kRed));  // the dot
    EXPECT_EQ(sc.image().pixel(210, 200), rgb(kRed));  // the guide circle, 300 twips out

    sc.move(190, 150);
    sc.move(250, 150);
    sc.move(190, 150);  // straight up
    EXPECT_EQ(sc.state.interaction.PendingAzimuth, 0);
    EXPECT_EQ(sc.host.readout[kAzimuthValue], "0.0");
    EXPECT_EQ(sc.host.readout[kDepthValue], "1050.0");  // frozen while pending
    EXPECT_TRUE(sc.host.readoutShown[kAzimuthValue]);

    sc.press(10, 390);  // outside the calibration: still completes the dip
    EXPECT_TRUE(sc.host.messages.empty());
    EXPECT_FALSE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(dip.Azimuth, 0);
    EXPECT_EQ(dip.Quality, "A");
    EXPECT_EQ(sc.image().pixel(210, 200), kWhite);    // guide circle gone
    EXPECT_EQ(sc.image().pixel(190, 185), rgb(kRed));  // tail drawn for good

    sc.press(150, 250, kRightButton);  // any button digitizes
    EXPECT_EQ(sc.state.NumPoints, 2);
    sc.press(150, 250, kMiddleButton);
    EXPECT_FALSE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(sc.state.dips[2].Azimuth, 90);  // no move: the azimuth of a cursor on the centre
}

TEST(Digitizing, AzimuthIsClockwiseFromUpWithTheProgramsPiAndTheTailRule)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    sc.press(190, 200);
    const double cx = MouseScene::tw(190), cy = MouseScene::tw(200);
    struct Case {
        double dx, dy, azimuth;
    };
    const Case cases[] = {{0, -150, 0},   {150, 0, 90},  {0, 150, 180},  {-150, 0, 270}, {0, 0, 90},
                          {150, -150, 45.0000380099}, {150, 150, 134.9999619901}, {-150, 150, 225.0000380099},
                          {-15, -1500, 359.4270608184}};
    for (const Case& c : cases) {
        sc.mouse.Picture1_MouseMove(0, 0, cx + c.dx, cy + c.dy);
        EXPECT_NEAR(sc.state.interaction.PendingAzimuth, c.azimuth, 1e-6)
            << c.dx << ", " << c.dy << ": " << std::setprecision(12) << sc.state.interaction.PendingAzimuth;
        EXPECT_LT(sc.state.interaction.PendingAzimuth, 360);
    }
    auto tailLength = [&] {
        return std::hypot(sc.state.interaction.TailEndX - cx, sc.state.interaction.TailEndY - cy);
    };
    sc.mouse.Picture1_MouseMove(0, 0, cx, cy - 39);
    EXPECT_EQ(tailLength(), 0);
    sc.mouse.Picture1_MouseMove(0, 0, cx, cy - 40);
    EXPECT_DOUBLE_EQ(tailLength(), 300);
    sc.mouse.Picture1_MouseMove(0, 0, cx + 3000, cy + 4000);
    EXPECT_DOUBLE_EQ(tailLength(), 300);
}

TEST(Digitizing, ManyMovesLeaveExactlyOneRubberTail)
{
    MouseScene once, many;
    once.calibrateAndDigitize();
    many.calibrateAndDigitize();
    once.press(190, 200);
    many.press(190, 200);
    once.move(230, 170);
    for (int i = 0; i < 40; ++i)
        many.move(190 + 60 * std::cos(i * 0.7), 200 + 60 * std::sin(i * 0.7));
    many.move(190, 201);  // nearer than 40 twips: a tail of no length
    many.move(230, 170);
    EXPECT_EQ(many.image(), once.image());
    once.press(1, 1);
    many.press(1, 1);
    EXPECT_EQ(many.image(), once.image());
}

TEST(Digitizing, TheGradeOfTheSecondPressIsStoredAndDrawn)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    sc.press(190, 200);
    sc.move(190, 100);
    sc.mouse.Option1_Click({false, false, true, false});
    EXPECT_EQ(sc.state.CurrentQuality, "C");
    EXPECT_EQ(sc.host.readout[kQualityValue], "A");  // until the next move
    sc.press(190, 100);
    EXPECT_EQ(sc.state.dips[1].Quality, "C");
    EXPECT_EQ(sc.image().pixel(190, 185), rgb(kBlue));
    EXPECT_EQ(sc.image().pixel(210, 200), kWhite);  // the red guide circle went whole
    sc.mouse.Option1_Click({true, false, false, false});
    EXPECT_EQ(sc.state.CurrentQuality, "A");
}

TEST(Digitizing, PressesOutsideTheCalibrationAndBeyondTheTableAreRefused)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    const int edits = sc.host.edits;
    sc.press(190, 50);  // above the first depth line
    sc.press(50, 200);  // left of the dip scale
    EXPECT_EQ(sc.host.messages, std::vector<std::string>(2, "Not Calibrated: This area of the log is not calibrated."));
    EXPECT_EQ(sc.state.NumPoints, 0);
    EXPECT_FALSE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(sc.host.edits, edits);
    sc.move(190, 50);
    EXPECT_EQ(sc.host.readout[kDepthValue], "NO CAL");
    EXPECT_EQ(sc.host.readout[kDipValue], "NO CAL");

    sc.state.NumPoints = kMaxDips;
    const QImage before = sc.image();
    sc.press(190, 200);
    EXPECT_EQ(sc.host.messages.back(), "Dip Table Full: The dip table holds at most 10000 dips; this dip was not placed.");
    EXPECT_EQ(sc.state.NumPoints, kMaxDips);
    EXPECT_FALSE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(sc.image(), before);
}

TEST(Digitizing, APendingDipFollowsScrollAndZoomAndKeepsItsOwnCentre)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    sc.press(190, 200);
    sc.move(250, 200);
    sc.state.ZoomFactor = 0.5;
    sc.host.redraw();
    EXPECT_EQ(sc.state.interaction.PendingCentreX, MouseScene::tw(95));
    EXPECT_EQ(sc.image().pixel(95, 120), rgb(kRed));  // guide circle round the new place
    EXPECT_EQ(sc.image().pixel(190, 180), kWhite);    // and not round the old one
    sc.move(125, 100);
    EXPECT_EQ(sc.state.interaction.PendingAzimuth, 90);  // measured from the dip itself
    sc.press(300, 300);
    EXPECT_EQ(sc.state.dips[1].Azimuth, 90);
    EXPECT_EQ(sc.image().pixel(110, 100), rgb(kRed));
    EXPECT_EQ(sc.image().pixel(95, 120), kWhite);

    // Redrawn before any move: the tail shown before the redraw moves along.
    sc.state.ZoomFactor = 1;
    sc.host.redraw();
    sc.press(150, 250);
    sc.move(200, 250);
    sc.state.VScrollValue = 300;  // 300 twips, 20 pixels
    sc.host.redraw();
    sc.press(1, 1);
    EXPECT_EQ(sc.state.dips[2].Azimuth, 90);
    EXPECT_EQ(sc.image().pixel(165, 230), rgb(kRed));
}

TEST(Digitizing, ThePendingDipKeepsItsRowThroughASortAndAnErase)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    for (double y : {280, 150, 250}) {
        sc.press(190, y);
        sc.press(190, y);
    }
    sc.press(190, 200);  // pending, row 4
    sortdips(sc.state, &sc.state.interaction.PendingRow);  // as a save does
    ASSERT_EQ(sc.state.interaction.PendingRow, 2);
    sc.mouse.mnuerase_Click();
    sc.press(0, 140);
    sc.release(0, 160);  // row 1 goes
    ASSERT_EQ(sc.state.interaction.PendingRow, 1);
    sc.move(190, 100);
    sc.press(190, 100);
    EXPECT_EQ(sc.state.dips[1].YPIX, MouseScene::tw(200));
    EXPECT_EQ(sc.state.dips[1].Azimuth, 0);
    EXPECT_EQ(sc.state.dips[3].YPIX, MouseScene::tw(280));
    EXPECT_EQ(sc.state.dips[3].Azimuth, 90);  // the others keep theirs
}
