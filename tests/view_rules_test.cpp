#include "ui/view_rules.h"

#include <gtest/gtest.h>

TEST(Zoom, OneStepPerPressAndStopsAtTheEnds)
{
    double f = 1;
    const double up[] = {2, 4, 8, 8, 8};
    for (double expected : up)
        EXPECT_EQ(f = zoomAfterButton(0, f), expected);
    const double down[] = {4, 2, 1, 0.5, 0.25, 0.125, 0.125};
    for (double expected : down)
        EXPECT_EQ(f = zoomAfterButton(1, f), expected);
    EXPECT_EQ(zoomAfterButton(0, 0.125), 0.25);
    EXPECT_EQ(zoomAfterButton(0, 3), 3);  // off the ladder: stays
    EXPECT_EQ(zoomAfterButton(1, 3), 3);

    EXPECT_EQ(zoomCaption(8), "8:1");
    EXPECT_EQ(zoomCaption(1), "1:1");
    EXPECT_EQ(zoomCaption(0.125), "1:8");
    EXPECT_FALSE(zoomCaption(3));
}

TEST(ScrollRange, UnitGrowsOnlyAsFarAsNeeded)
{
    ScrollSettings h = horizontalScroll(15, 2000, 9000);
    EXPECT_EQ(h.unit, 1);
    EXPECT_EQ(h.maximum, 28500);
    h = horizontalScroll(15, 3000, 9000);
    EXPECT_EQ(h.unit, 2);
    EXPECT_EQ(h.maximum, 21375);

    const ScrollSettings v = verticalScroll(15, 40000, 5000);
    EXPECT_EQ(v.unit, 19);
    EXPECT_EQ(v.maximum, 31574);
    EXPECT_EQ(verticalScroll(15, 30000, 5000).unit, 14);

    // No picture yet: width and height 1.
    EXPECT_EQ(horizontalScroll(15, 1, 9000).maximum, 25);
    EXPECT_EQ(verticalScroll(15, 1, 5000).maximum, 25);
    // A top-down height kept negative would collapse the range to 25 steps.
    EXPECT_EQ(verticalScroll(15, -30000, 5000).maximum, 25);
}

TEST(ScrollRange, ChangesFollowTheViewAndStayWithin16Bits)
{
    // 2000 px wide picture in a 9000-twip view: q = 30000 / 9000.
    const ScrollSettings h = horizontalScroll(15, 2000, 9000);
    EXPECT_EQ(h.largeChange, 7695);  // 28500 / (3.333 / 0.9)
    EXPECT_EQ(h.smallChange, 855);   // 0.1 * 28500 / 3.333

    // No picture in a very wide view: large change would exceed 32767.
    const ScrollSettings wide = horizontalScroll(15, 1, 30000);
    EXPECT_EQ(wide.largeChange, 32767);
    // A view of no size at all still gives usable steps.
    const ScrollSettings none = verticalScroll(15, 30000, 0);
    EXPECT_GE(none.largeChange, 1);
    EXPECT_GE(none.smallChange, 1);
    EXPECT_EQ(clampChange(0.2), 1);
    EXPECT_EQ(clampChange(1e9), 32767);
    EXPECT_EQ(clampChange(-5), 1);
    EXPECT_EQ(clampChange(2.5), 2);
}
