#include "interaction_fixture.h"

namespace {

constexpr Rgb kMagenta{255, 0, 255}, kRed{255, 0, 0};

// Dips with their tails to the right at the given heights (pixels), x 190.
void placeDips(MouseScene& sc, std::initializer_list<double> heights)
{
    for (double y : heights) {
        sc.press(190, y);
        sc.move(250, y);
        sc.press(190, y);
    }
}

std::vector<double> heightsLeft(const MouseScene& sc)
{
    std::vector<double> out;
    for (int i = 1; i <= sc.state.NumPoints; ++i)
        out.push_back(sc.state.dips[i].YPIX / MouseScene::kTpp);
    return out;
}

}  // namespace

TEST(AreaErase, ADraggedBandErasesTheDipsBetweenItsEdgesBothIncluded)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    placeDips(sc, {150, 250, 200, 120});
    sc.mouse.mnuerase_Click();
    sc.press(190, 230, kRightButton);  // starts no band and, armed, places no dip
    sc.press(30, 250);
    sc.move(60, 220, kLeftButton);
    sc.move(60, 200, kLeftButton | kRightButton);  // not the left button alone: no band
    sc.move(60, 200, kLeftButton);
    EXPECT_EQ(sc.image().pixel(5, 200), rgb(kMagenta));
    EXPECT_EQ(sc.image().pixel(5, 220), qRgb(255, 255, 255));  // the earlier outline went
    EXPECT_EQ(sc.state.NumPoints, 4);
    sc.release(60, 200, kRightButton);
    EXPECT_TRUE(sc.state.interaction.EraseArmed);
    sc.release(60, 200);  // upward, from 250 to 200
    EXPECT_FALSE(sc.state.interaction.EraseArmed);
    EXPECT_EQ(heightsLeft(sc), (std::vector<double>{150, 120}));
    EXPECT_EQ(sc.state.dips[3].YPIX, 0);  // rows beyond the table lose their positions
    EXPECT_EQ(sc.state.dips[3].DIPPIX, 0);
    EXPECT_EQ(sc.image().pixel(5, 200), qRgb(255, 255, 255));  // the band goes with the redraw

    sc.mouse.mnuerase_Click();
    sc.press(0, 150);
    sc.release(0, 150);  // a band of no height: the dips exactly there
    EXPECT_EQ(heightsLeft(sc), std::vector<double>{120});
}

TEST(AreaErase, RemainingDipsAreReadAgainUnderTheCalibrationOfTheMoment)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    placeDips(sc, {150, 250});
    sc.state.depths[2].DEPTHTWIP = MouseScene::tw(200);  // the bottom line moved up
    sc.mouse.mnuerase_Click();
    sc.press(0, 140);
    sc.release(0, 160);
    ASSERT_EQ(sc.state.NumPoints, 1);
    EXPECT_EQ(sc.state.dips[1].Depth, Reading());  // now below the last line
    EXPECT_EQ(sc.state.dips[1].Dip, Reading());
    EXPECT_EQ(sc.state.dips[1].Azimuth, 90);
}

TEST(AreaErase, APendingDipIsEitherErasedOrKeptOnItsOwnRow)
{
    MouseScene sc;
    sc.calibrateAndDigitize();
    placeDips(sc, {150});
    sc.press(190, 250);  // pending
    sc.mouse.mnuerase_Click();
    sc.press(0, 140);
    sc.release(0, 160);
    ASSERT_EQ(sc.state.NumPoints, 1);
    EXPECT_TRUE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(sc.image().pixel(210, 250), rgb(kRed));  // its guide circle again
    sc.move(190, 100);
    sc.press(190, 100);
    EXPECT_EQ(sc.state.dips[1].YPIX, MouseScene::tw(250));
    EXPECT_EQ(sc.state.dips[1].Azimuth, 0);
    EXPECT_EQ(sc.state.dips[1].Quality, "A");

    sc.press(190, 200);
    sc.mouse.mnuerase_Click();
    sc.press(0, 190);
    sc.release(0, 210);
    EXPECT_FALSE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(heightsLeft(sc), std::vector<double>{250});
    sc.press(190, 280);  // a new dip, not a tail for another
    EXPECT_EQ(sc.state.NumPoints, 2);
    EXPECT_TRUE(sc.state.interaction.AwaitingAzimuth);
    EXPECT_EQ(sc.state.dips[1].Azimuth, 0);
}
