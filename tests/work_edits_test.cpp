#include <gtest/gtest.h>

#include <set>

#include "model/calibration_rules.h"
#include "model/work_edits.h"
#include "model/work_history.h"

namespace {

Work withDips(int count)
{
    Work w;
    for (int i = 1; i <= count; ++i)
        w.dips.push_back(Dip{5.0 * i, 10.0 * i, double(i % 360), "B"});
    return w;
}

std::size_t distinctBlocks(std::initializer_list<const DipList*> lists)
{
    std::set<const void*> blocks;
    for (const auto* l : lists)
        l->forEachBlock([&](const void* b) { blocks.insert(b); });
    return blocks.size();
}

std::string refusal(DipScaleKind kind, const char* minText, const char* maxText)
{
    const auto choice = readDipScale(kind, minText, maxText);
    const auto* text = std::get_if<std::string>(&choice);
    return text ? *text : std::string();
}

}  // namespace

TEST(DefineDipScale, ReadsWholeDegreesAndRefusesWhatCannotBeAScale)
{
    const auto choice = readDipScale(DipScaleKind::Linear, " 10.5 ", "89.5");
    ASSERT_TRUE(std::holds_alternative<DipScale>(choice));
    const DipScale scale = std::get<DipScale>(choice);
    EXPECT_EQ(scale.kind, DipScaleKind::Linear);
    EXPECT_EQ(scale.minDip, 10);  // halves to even
    EXPECT_EQ(scale.maxDip, 90);
    EXPECT_NE(refusal(DipScaleKind::Linear, "abc", "90"), "");
    EXPECT_NE(refusal(DipScaleKind::Linear, "0", "40000"), "");
    EXPECT_EQ(refusal(DipScaleKind::Linear, "90", "0"), "Min Dip Value must be less than Max Dip Value.");
    EXPECT_NE(refusal(DipScaleKind::Custom, "0", "120"), "");  // 12 custom steps
    EXPECT_EQ(refusal(DipScaleKind::Custom, "0", "105"), "");  // 10.5 steps round to 10
    EXPECT_EQ(customPositions(std::get<DipScale>(readDipScale(DipScaleKind::Custom, "0", "95"))), 11u);
    EXPECT_EQ(dipScalePrompt(-10), "Please left click on Dip = -10");
}

TEST(EnterDepth, ProposesTheLineThroughTheTwoLowestRowsRoundedToTens)
{
    Work w;
    w.depthRows = {{1000, 1500, 100, 900}};
    EXPECT_FALSE(proposeDepth(w, 4200));  // one row only
    w.depthRows.push_back({1010, 3000, 100, 900});
    EXPECT_EQ(proposeDepth(w, 4200), 1020);  // P = 1018
    EXPECT_EQ(proposeDepth(w, 5250), 1020);  // P = 1025, half to even
    EXPECT_EQ(proposeDepth(w, 6750), 1040);  // P = 1035
    EXPECT_EQ(proposeDepth(w, 500), 990);    // above both: the same straight line
    w.depthRows[1].y = 1500;                 // two rows at one height: no line to read
    EXPECT_FALSE(proposeDepth(w, 4200));
}

TEST(WorkEdits, DeleteScansDownAndSkipsTheRowThatClosesUp)
{
    Work w;
    w.depthRows = {{1000, 1000, 1, 2}, {1010, 2000, 1, 2}, {1015, 2100, 1, 2}, {1020, 3000, 1, 2}};
    // Row 3 is within 100 of 2050 too, but moves up into row 2's place.
    EXPECT_EQ(depthRowsAt(w, 2050, 100), (std::vector<std::size_t>{1}));
    applyEdit(w, DeleteDepthRows{depthRowsAt(w, 2050, 100)});
    ASSERT_EQ(w.depthRows.size(), 3u);
    EXPECT_EQ(w.depthRows[1].depth, 1015);
    EXPECT_TRUE(depthRowsAt(w, 899, 100).empty());  // 101 away
    applyEdit(w, DeleteDepthRows{depthRowsAt(w, 1100, 100)});  // exactly 100 away
    ASSERT_EQ(w.depthRows.size(), 2u);
    EXPECT_EQ(w.depthRows[0].depth, 1015);
    EXPECT_EQ(w.depthRows[1].depth, 1020);
}

TEST(WorkEdits, DipsGoByPlaceOrByBandAndTheRestKeepTheirOrder)
{
    Work w = withDips(6);
    applyEdit(w, DeleteDip{1});
    ASSERT_EQ(w.dips.size(), 5u);
    EXPECT_EQ(w.dips[1], (Dip{15, 30, 3, "B"}));
    applyEdit(w, EraseDips{0, 45});  // heights 10, 30 and 40
    ASSERT_EQ(w.dips.size(), 2u);
    EXPECT_EQ(w.dips[0].y, 50);
    EXPECT_EQ(dipNearest(w, 31, 61, 2, 1), std::optional<std::size_t>(1));
    EXPECT_FALSE(dipNearest(w, 31, 61, 2, 2));  // 2.8 view pixels away at 2:1
}

TEST(WorkEdits, ARefusedEditChangesNothing)
{
    Work w = withDips(kMaxDips);
    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    w.depthRows.assign(kMaxDepthRows, DepthRow{});
    const Work before = w;
    EXPECT_THROW(applyEdit(w, AddDepthRows{{DepthRow{}}}), std::out_of_range);
    EXPECT_THROW(applyEdit(w, AddDips{{Dip{}}}), std::out_of_range);
    EXPECT_THROW(applyEdit(w, SetDipScale{DipScale{DipScaleKind::Custom, 0, 120, std::vector<double>(12)}}),
                 std::out_of_range);
    EXPECT_THROW(applyEdit(w, DeleteDip{kMaxDips}), std::out_of_range);
    EXPECT_THROW(applyEdit(w, DeleteDepthRows{{kMaxDepthRows}}), std::out_of_range);
    EXPECT_TRUE(w == before);
    EXPECT_THROW(w.dips.push_back(Dip{}), std::length_error);
    EXPECT_THROW((void)w.dips[kMaxDips], std::out_of_range);
}

TEST(WorkHistory, StepsShareTheDipBlocksTheyDoNotChange)
{
    WorkHistory history;
    history.start(withDips(kMaxDips - 1));
    const std::size_t all = distinctBlocks({&history.work().dips});
    Work after = history.work();
    applyEdit(after, AddDips{{Dip{1, 2, 3, "A"}}});
    history.record("Add Dip", after);
    Work before = history.undo();
    EXPECT_EQ(distinctBlocks({&history.work().dips, &after.dips}), all + 1);  // the last block only
    EXPECT_EQ(history.redoName(), "Add Dip");
    EXPECT_EQ(history.redo().dips.size(), std::size_t(kMaxDips));
    EXPECT_EQ(history.undo(), before);
}

TEST(WorkHistory, TheSavedPlaceAndTheLimit)
{
    WorkHistory history;
    history.start(Work{});
    EXPECT_TRUE(history.saved());
    for (int i = 0; i < 250; ++i) {
        Work w = history.work();
        w.dips.push_back(Dip{double(i), 0, 0, "A"});
        history.record("Add Dip", w);
        if (i == 10)
            history.markSaved();
    }
    EXPECT_FALSE(history.saved());
    int undone = 0;
    while (history.canUndo()) {
        history.undo();
        ++undone;
        EXPECT_FALSE(history.saved());  // the saved place fell off the front
    }
    EXPECT_EQ(undone, int(WorkHistory::kLimit));
    EXPECT_EQ(history.work().dips.size(), 50u);
    history.start(Work{}, true);  // recovered work: nothing is saved
    EXPECT_FALSE(history.saved());
    history.markSaved();
    EXPECT_TRUE(history.saved());
}

TEST(WorkEdits, WellDetailsAreOneActionAndRefuseWhatNoFileCarries)
{
    Work w;
    const WellDetails details{"Vell 7", "Vellwick", "", "", "", "", "", "M"};
    applyEdit(w, SetWellDetails{details});
    EXPECT_EQ(w.well, details);
    EXPECT_EQ(editName(SetWellDetails{details}), "Well Details");
    WellDetails quoted, twoLines, kilometres;
    quoted.name = "a\"b";
    twoLines.uwi = "a\nb";
    kilometres.depthUnit = "KM";
    for (const WellDetails& bad : {quoted, twoLines, kilometres}) {
        EXPECT_THROW(applyEdit(w, SetWellDetails{bad}), std::out_of_range);
        EXPECT_EQ(w.well, details);
    }
}

// A calibration found or borrowed replaces the scale, the rows and the
// track's edges in one action; the header, footer and dips stay.
TEST(WorkEdits, ACalibrationReplacesScaleRowsAndEdgesTogether)
{
    Work w = withDips(3);
    w.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    w.depthRows = {{1000, 150, 100, 900}, {1010, 300, 100, 900}, {1020, 450, 100, 900}};
    w.marks[std::size_t(Mark::HeaderTop)] = 40;
    w.marks[std::size_t(Mark::LeftEdge)] = 100;
    Work found;
    found.scale = DipScale{DipScaleKind::Sine, 0, 90, {}};
    found.depthRows = {{2420, 900, 120, 880}, {2400, 500, 121, 881}};
    found.marks[std::size_t(Mark::RightEdge)] = 880;

    applyEdit(w, calibrationOf(found));
    EXPECT_EQ(w.scale, found.scale);
    EXPECT_EQ(w.depthRows, (std::vector<DepthRow>{{2400, 500, 121, 881}, {2420, 900, 120, 880}}));
    EXPECT_FALSE(w.marks[std::size_t(Mark::LeftEdge)]);
    EXPECT_EQ(w.marks[std::size_t(Mark::RightEdge)], 880);
    EXPECT_EQ(w.marks[std::size_t(Mark::HeaderTop)], 40);
    EXPECT_EQ(w.dips.size(), 3u);
    EXPECT_EQ(editName(calibrationOf(found)), "Calibration");

    const Work before = w;
    SetCalibration tooLong = calibrationOf(found);
    tooLong.rows.assign(kMaxDepthRows + 1, DepthRow{});
    EXPECT_THROW(applyEdit(w, tooLong), std::out_of_range);
    SetCalibration badScale = calibrationOf(found);
    badScale.scale = DipScale{DipScaleKind::Custom, 0, 90, {}};  // no positions
    EXPECT_THROW(applyEdit(w, badScale), std::out_of_range);
    EXPECT_EQ(w, before);
}
