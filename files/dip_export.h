#pragma once

#include <ostream>

#include "core/project_state.h"

// The dip table for other programs: one line per dip, depth, dip and azimuth
// in 14-character columns, then the grade. A field of 14 characters or more is
// followed by one space so that fields never run together. Both sort the
// dips; a dip row given in trackedDip is followed to its new number.

// "Save Digitized Dips As": recomputes Depth and Dip of every dip, sorts the
// dips by depth (both stay in the state) and writes depths to one decimal.
bool writeDips(std::ostream& out, ProjectState& state, int* trackedDip = nullptr);

// "Save at Nearest Integer Depth": sorts the dips by their stored depths and
// writes each depth rounded to a whole number, a fraction of one half rounding
// up (-2.5 gives -2). A "NO CAL" depth is written as "NO CAL".
bool writeDipsAtNearestInteger(std::ostream& out, ProjectState& state, int* trackedDip = nullptr);
