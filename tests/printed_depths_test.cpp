// Depth lines counted by their spacing and given the depths printed beside
// them: round steps, exact depths, and labels that cannot be trusted.
#include <gtest/gtest.h>

#include "model/printed_depths.h"

namespace {

std::vector<int> placesOf(const LineCount& count)
{
    std::vector<int> places;
    for (const std::optional<int>& p : count.place)
        places.push_back(p ? *p : -1);
    return places;
}

}  // namespace

TEST(CountLines, RulesBetweenTheLinesAreLeftOutAndMissedLinesPlaced)
{
    // Every 50 rows, stretched by 1 % towards the end; a rule at 130 (a
    // header's, or a grid line's), and the line at 300 missed.
    const std::vector<double> rows{100, 130, 150, 200, 250, 350, 400.5, 451, 501.5, 552};
    const LineCount count = countLines(rows);
    EXPECT_EQ(placesOf(count), (std::vector<int>{0, -1, 1, 2, 3, 5, 6, 7, 8, 9}));
    ASSERT_EQ(count.missing.size(), 1u);
    EXPECT_EQ(count.missing[0].place, 4);
    EXPECT_DOUBLE_EQ(count.missing[0].y, 300);
    EXPECT_NEAR(count.spacing, 50, 0.6);
}

// A rule of the header a little above the first line is no line of the
// count, whichever comes first.
TEST(CountLines, ARuleBeforeTheFirstLineIsNotCounted)
{
    const LineCount count = countLines({80, 100, 160, 220, 280, 340});
    EXPECT_EQ(placesOf(count), (std::vector<int>{-1, 0, 1, 2, 3, 4}));
    EXPECT_TRUE(count.missing.empty());
}

TEST(CountLines, TooFewLinesCountNothing)
{
    EXPECT_EQ(placesOf(countLines({120})), (std::vector<int>{-1}));
    EXPECT_TRUE(countLines({}).place.empty());
}

TEST(PrintedDepths, TheStepIsRoundAndEachDepthExactAsPrinted)
{
    // A stretched log: its rows would give a step of 9.99; its count gives 10.
    const std::optional<PrintedDepths> d =
        fitPrintedDepths({{0, 2400}, {5, 2450}, {10, 2500}, {15, 2950}, {20, 2600}});
    ASSERT_TRUE(d);
    EXPECT_EQ(d->step, 10);
    EXPECT_EQ(d->agrees, (std::vector<bool>{true, true, true, false, true}));
    EXPECT_EQ(d->depthAt(3), 2430);
    EXPECT_EQ(d->depthAt(137), 3770);

    const std::optional<PrintedDepths> quarter = fitPrintedDepths({{0, 1502.5}, {2, 1507.5}, {4, 1512.5}});
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->step, 2.5);
    EXPECT_EQ(quarter->depthAt(7), 1520);  // never 1519.9999999
    EXPECT_EQ(quarter->depthAt(41), 1605);
}

TEST(PrintedDepths, NoRoundStepOrTwoLinesAgreedOnAlikeGiveNothing)
{
    EXPECT_FALSE(fitPrintedDepths({{0, 2400}, {3, 2421}}));  // 7 a line
    EXPECT_FALSE(fitPrintedDepths({{0, 2400}, {1, 2410}, {5, 9000}, {6, 9100}}));
    EXPECT_FALSE(fitPrintedDepths({}));
    for (const double step : {1.0, 2.0, 2.5, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 0.5, -10.0})
        EXPECT_TRUE(isRoundStep(step)) << step;
    for (const double step : {3.0, 7.5, 9.99, 15.0, 0.0})
        EXPECT_FALSE(isRoundStep(step)) << step;
}

// Of many labels each is paired with its neighbours only: the line most of
// them lie on is still found, with every misreading among them named.
TEST(PrintedDepths, ManyLabelsFindTheirLineWithTheMisreadingsAmongThem)
{
    std::vector<LabelAtPlace> labels;
    for (int place = 0; place < 200; ++place)
        labels.push_back({place, place % 17 == 3 ? 7777.0 + place : 1000 + 2.5 * place});
    const std::optional<PrintedDepths> d = fitPrintedDepths(labels);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->step, 2.5);
    EXPECT_EQ(d->firstDepth, 1000);
    EXPECT_EQ(d->agreeing(), 188u);
    for (std::size_t k = 0; k < labels.size(); ++k)
        EXPECT_EQ(d->agrees[k], labels[k].place % 17 != 3) << k;
}

TEST(PrintedDepths, TooFewAgreeingLabelsSettleNothing)
{
    EXPECT_EQ(unsettledBy(12, 3), "Only 3 of the 12 depths read agree: at least half of them must.");
    EXPECT_EQ(unsettledBy(2, 2), "Only 2 of the 2 depths read agree: at least three must.");
    EXPECT_EQ(unsettledBy(6, 3), "");
}

TEST(PrintedDepths, LabelsAWholeLineOffTellOfALineMissedOrTakenTwice)
{
    // The labels from place 20 on are one line behind the count: a line
    // was taken twice between 15 and 20.
    const std::vector<LabelAtPlace> labels{{0, 2400}, {5, 2450}, {10, 2500}, {15, 2550}, {20, 2590},
                                           {25, 2640}, {30, 2690}, {35, 2777}};
    const std::optional<PrintedDepths> d = fitPrintedDepths(labels);
    ASSERT_TRUE(d);
    const std::optional<MiscountedRun> run = miscountedRun(labels, *d);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->firstPlace, 20);
    EXPECT_EQ(run->lastPlace, 30);
    EXPECT_EQ(run->stepsOff, -1);

    // One label a line off is a misreading (2450 as 2460), not a miscount.
    const std::vector<LabelAtPlace> one{{0, 2400}, {5, 2460}, {10, 2500}, {15, 2550}};
    EXPECT_FALSE(miscountedRun(one, *fitPrintedDepths(one)));
}
