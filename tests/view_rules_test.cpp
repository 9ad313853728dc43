#include "ui/view_rules.h"

#include <gtest/gtest.h>

TEST(Zoom, AFactorOffTheLadderStepsToTheNextRatioAndHasNoCaption)
{
    // From between two ratios (Fit Width's), to the next one.
    EXPECT_EQ(zoomAfterButton(0, 3), 4);
    EXPECT_EQ(zoomAfterButton(1, 3), 2);
    EXPECT_EQ(zoomAfterButton(0, 0.3), 0.5);
    EXPECT_EQ(zoomAfterButton(1, 0.3), 0.25);
    EXPECT_EQ(zoomAfterButton(0, 8), 8);
    EXPECT_EQ(zoomAfterButton(1, 0.125), 0.125);
    EXPECT_EQ(zoomAfterButton(1, 0.1), 0.1);
    EXPECT_FALSE(zoomCaption(3));
}

TEST(ScrollRange, UnitGrowsOnlyAsFarAsNeededAndChangesStayWithin16Bits)
{
    const ScrollSettings h = horizontalScroll(15, 2000, 9000);
    EXPECT_EQ(h.maximum, 28500);
    EXPECT_EQ(h.largeChange, 7695);  // 28500 / (30000 / 9000 / 0.9)
    EXPECT_EQ(h.smallChange, 855);
    EXPECT_EQ(verticalScroll(15, 30000, 5000).unit, 14);
    EXPECT_EQ(verticalScroll(15, 1, 5000).maximum, 25);       // no picture yet
    EXPECT_EQ(verticalScroll(15, -30000, 5000).maximum, 25);  // why top-down heights are made positive
    EXPECT_EQ(horizontalScroll(15, 1, 30000).largeChange, 32767);
    EXPECT_GE(verticalScroll(15, 30000, 0).smallChange, 1);
    EXPECT_EQ(clampChange(-5), 1);
    EXPECT_EQ(clampChange(2.5), 2);
}
