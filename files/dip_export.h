#pragma once

#include <ostream>

#include "model/work.h"

// The dip table for other programs: one line per dip, sorted by depth, its
// depth, dip and azimuth in 14-character columns, then its grade. A field of
// 14 characters or more is followed by one space so that fields never run
// together. Depths and dips are read under the calibration in force.

// "Save Digitized Dips As": depths to one decimal.
bool writeDips(std::ostream& out, const Work& work);

// "Save at Nearest Integer Depth": each depth rounded to a whole number, a
// fraction of one half rounding up (-2.5 gives -2). A "NO CAL" depth is
// written as "NO CAL".
bool writeDipsAtNearestInteger(std::ostream& out, const Work& work);
