// Which commands and controls each state of the work offers, as a table.
#include <gtest/gtest.h>

#include <string>

#include "session/work_controls.h"

namespace {

using C = WorkControl;

// One letter a control, in the order of WorkControl.
const char kLetters[] = "SENXWFLRGDMZQOC";
static_assert(sizeof kLetters - 1 == std::size_t(C::Count));

std::string letters(WorkControls on)
{
    std::string s;
    for (std::size_t i = 0; i < std::size_t(C::Count); ++i)
        s += on.test(i) ? kLetters[i] : '.';
    return s;
}

WorkControls controls(const std::string& letters)
{
    WorkControls on;
    for (std::size_t i = 0; i < letters.size(); ++i)
        on.set(i, letters[i] != '.');
    return on;
}

struct Row {
    const char* what;
    WorkState state;
    const char* before;  // usable before, as letters
    const char* expected;
};

WorkState facts(bool picture = false, bool project = false, bool scale = false, bool digitizing = false,
                bool calibrated = false, bool dips = false, bool searching = false, bool reviewing = false,
                bool reviewingCalibration = false)
{
    return {picture, project, scale, digitizing, calibrated, dips, searching, reviewing, reviewingCalibration, {}};
}

const Row kTable[] = {
    {"no picture", facts(), "", "..............."},
    {"a picture just opened", facts(true), "", "....W.L...MZ..."},
    {"its scale defined, or a custom one's positions pressed", facts(true, false, true), "", "....W.L..DMZ..C"},
    {"two depth rows, calibrating", facts(true, false, true, false, true), "", "S...WFL.GDMZ..C"},
    {"digitizing", facts(true, false, true, true, true), "S...WFL.GDMZ..C", "SENXWFL.G.MZQOC"},
    {"digitizing without two rows", facts(true, false, true, true), "", "....W.L...MZ..C"},
    {"back to calibrating: the exports and edits stay", facts(true, false, true, false, true, true), "SENXWFL.G.MZQOC",
     "SENXWFL.GDMZ..C"},
    {"a depth row undone: the saves and the grid stay", facts(true, false, true, false, false, true), "SENXWFL.GDMZ..C",
     "SENXW.L.GDMZ..C"},
    {"a project opened", facts(true, true, true, false, true), "", "SE..WFL.GDMZ..C"},
    {"a project without rows", facts(true, true, true), "", "SE..W.L..DMZ..C"},
    {"searching", facts(true, false, true, true, true, false, true), "SENX...........", "SENXW...G.MZQOC"},
    {"reviewing", facts(true, false, true, true, true, false, false, true), "", "SENXWF.RG.MZQOC"},
    {"a calibration under review: no search of tadpoles by the old one",
     facts(true, false, true, false, true, false, false, false, true), "", "S...W.LRGDMZ..C"},
    {"nothing lasts without a picture", facts(), "SENXWFLRGDMZQOC", "..............."},
};

}  // namespace

TEST(WorkControls, EachStateOffersItsControlsAndTheSavesAndExportsOnceOfferedStay)
{
    for (const Row& row : kTable) {
        WorkState state = row.state;
        state.before = controls(row.before);
        EXPECT_EQ(letters(workControls(state)), row.expected) << row.what;
    }
}
