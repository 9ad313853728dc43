#include "core/calibration_dialogs.h"

#include <gtest/gtest.h>

#include "core/work_edits.h"
#include "core/work_snapshot.h"

namespace {

std::string refusal(int mode, const char* minText, const char* maxText)
{
    const auto choice = readDipScale(mode, minText, maxText);
    const auto* text = std::get_if<std::string>(&choice);
    return text ? *text : std::string();
}

}  // namespace

TEST(DefineDipScale, ReadsWholeDegreesAndRefusesWhatCannotBeAScale)
{
    const auto choice = readDipScale(1, " 10.5 ", "89.5");
    ASSERT_TRUE(std::holds_alternative<DefineDipScale>(choice));
    const auto scale = std::get<DefineDipScale>(choice);
    EXPECT_EQ(scale.mode, 1);
    EXPECT_EQ(scale.minDip, 10);  // halves to even
    EXPECT_EQ(scale.maxDip, 90);
    EXPECT_NE(refusal(1, "abc", "90"), "");
    EXPECT_NE(refusal(1, "0", "40000"), "");
    EXPECT_EQ(refusal(1, "90", "0"), "Min Dip Value must be less than Max Dip Value.");
    EXPECT_NE(refusal(4, "0", "120"), "");  // 12 custom steps
    EXPECT_EQ(refusal(4, "0", "105"), "");  // 10.5 steps round to 10

    ProjectState s;
    applyEdit(s, std::get<DefineDipScale>(readDipScale(4, "0", "95")));
    EXPECT_EQ(s.NCUST, 10);
    EXPECT_TRUE(s.AwaitCustomClick);
    EXPECT_FALSE(s.AwaitDepthLine);
    applyEdit(s, std::get<DefineDipScale>(readDipScale(0, "0", "90")));
    EXPECT_TRUE(s.AwaitDepthLine);
    EXPECT_EQ(dipScalePrompt(-10), "Please left click on Dip = -10");
}

TEST(EnterDepth, ProposesTheLineThroughTheTwoLowestRowsRoundedToTens)
{
    ProjectState s;
    s.NUMDEP = 2;
    s.depths[1] = {1000, 1500, 100, 900};
    s.depths[2] = {1010, 3000, 100, 900};
    EXPECT_FALSE(proposeDepth(s));  // the new line not placed yet: two rows only
    s.depths[++s.NUMDEP] = {0, 4200, 0, 0};
    EXPECT_EQ(proposeDepth(s), 1020);  // P = 1018
    s.depths[3].DEPTHTWIP = 5250;      // P = 1025, half to even
    EXPECT_EQ(proposeDepth(s), 1020);
    s.depths[3].DEPTHTWIP = 6750;  // P = 1035
    EXPECT_EQ(proposeDepth(s), 1040);
    s.depths[3].DEPTHTWIP = 500;  // above both: the same straight line
    EXPECT_EQ(proposeDepth(s), 990);
    s.depths[2].DEPTHTWIP = 1500;  // two rows at one height: no line to read
    EXPECT_FALSE(proposeDepth(s));
}

TEST(WorkEdits, DeleteScansDownAndSkipsTheRowThatClosesUp)
{
    ProjectState s;
    s.NUMDEP = 4;
    s.depths[1] = {1000, 1000, 1, 2};
    s.depths[2] = {1010, 2000, 1, 2};
    s.depths[3] = {1015, 2100, 1, 2};  // within 100 of 2000 too, but moves into row 2
    s.depths[4] = {1020, 3000, 1, 2};
    applyEdit(s, DeleteDepthRows{2050});
    ASSERT_EQ(s.NUMDEP, 3);
    EXPECT_EQ(s.depths[2].DEPTH, 1015);
    applyEdit(s, DeleteDepthRows{899});  // 101 away
    EXPECT_EQ(s.NUMDEP, 3);
    applyEdit(s, DeleteDepthRows{1100});  // exactly 100 away
    EXPECT_EQ(s.NUMDEP, 2);
    EXPECT_EQ(s.depths[1].DEPTH, 1015);
    EXPECT_EQ(s.depths[2].DEPTH, 1020);
}

TEST(WorkEdits, ARefusedEditChangesNothing)
{
    ProjectState s;
    applyEdit(s, DefineDipScale{1, 0, 90});
    s.NUMDEP = kMaxDepthRows;
    s.NumPoints = kMaxDips;
    s.CustomClicks = kMaxCustomSteps + 1;
    const WorkSnapshot before = takeSnapshot(s);
    EXPECT_THROW(applyEdit(s, PlaceDepthLine{10}), std::out_of_range);
    EXPECT_THROW(applyEdit(s, StartDip{1, 2, 3.0, 4.0}), std::out_of_range);
    EXPECT_THROW(applyEdit(s, RecordCustomPosition{5}), std::out_of_range);
    EXPECT_THROW(applyEdit(s, DefineDipScale{4, 0, 120}), std::out_of_range);  // 12 custom steps
    EXPECT_THROW(applyEdit(s, FinishDip{kMaxDips + 1, 90, "A"}), std::out_of_range);
    EXPECT_TRUE(takeSnapshot(s) == before);
}
