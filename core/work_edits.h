#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/project_state.h"

// The user's actions on the work (dip scale, depth table, calibration marks,
// dips), one value each. The mouse work and the dialogs say what the user did
// and the window applies it: this is the one way those parts of the state
// change, so that every action can be recorded where it is applied.
// Positions are image twips.

// "Define Dip Scale" OK: the scale, its limits, and the first step of the
// calibration sequence (the custom positions first for mode 4).
struct DefineDipScale {
    std::int16_t mode = 0;
    std::int16_t minDip = 0;
    std::int16_t maxDip = 0;
};

// An Add press of the custom scale: the position of the next 10-degree value.
struct RecordCustomPosition {
    double x = 0;
};

// An Add press awaiting a depth line: a new row at the end of the depth
// table, clamped to the bottom of the picture, waiting for its depth.
struct PlaceDepthLine {
    double y = 0;
};

// "Enter Depth" closed without OK: the line placed for it goes again, and
// GridReady returns to what it was before the line was placed.
struct WithdrawDepthLine {
    bool gridReady = false;
};

// "Enter Depth" OK: the newest row's depth; its MINDIP click comes next.
struct EnterDepth {
    double depth = 0;
};

// The MINDIP click of the newest row.
struct SetMinDipPosition {
    double x = 0;
};

// The MAXDIP click: the newest row is complete and takes its place by height.
struct CompleteDepthRow {
    double x = 0;
};

// A Delete press: every depth row within 100 twips of y, scanning down.
struct DeleteDepthRows {
    double y = 0;
};

enum class Mark { HeaderTop, HeaderBottom, FooterTop, FooterBottom, LeftEdge, RightEdge };

// A header, footer or edge tool press.
struct SetMark {
    Mark mark = Mark::HeaderTop;
    std::int32_t value = 0;
};

// The first press on a tadpole: a new dip with its position and readings,
// awaiting its tail.
struct StartDip {
    double x = 0;
    double y = 0;
    Reading depth;
    Reading dip;
};

// The second press: the azimuth and grade of the dip awaiting its tail.
struct FinishDip {
    int row = 0;
    double azimuth = 0;
    std::string quality;
};

// An area erase: every dip whose YPIX lies from top to bottom, both included;
// the rest close up in their order and are read again under the calibration.
// A dip awaiting its tail stays so on its own row, unless it was erased.
struct EraseDips {
    double top = 0;
    double bottom = 0;
};

// "Delete Dip": one dip goes; the rest close up, their values unchanged.
struct DeleteDip {
    int row = 0;
};

// "Accept" of the tadpoles found: whole dips, added after the others in
// their order, all or none.
struct AddFoundDips {
    std::vector<DipPoint> dips;
};

// "Show Grid" switched on or off: the grid may be drawn from now on, also
// over a depth row still being entered.
struct SwitchGrid {};

using WorkEdit = std::variant<DefineDipScale, RecordCustomPosition, PlaceDepthLine, WithdrawDepthLine, EnterDepth,
                              SetMinDipPosition, CompleteDepthRow, DeleteDepthRows, SetMark, StartDip, FinishDip,
                              EraseDips, DeleteDip, AddFoundDips, SwitchGrid>;

// Carries the edit out on the state. The callers check the capacities and
// limits first (a full table gets a message there); an edit beyond them
// throws std::out_of_range and changes nothing.
void applyEdit(ProjectState& state, const WorkEdit& edit);
