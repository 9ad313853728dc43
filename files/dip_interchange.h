#pragma once

#include <ostream>
#include <string>

#include "core/project_state.h"

// The dips for other programs' readers. Both writers work the depths and
// dips out again and sort the dips by depth first, as "Save Digitized Dips
// As" does (a dip row given in trackedDip is followed to its new number). A
// dip still awaiting its tail has no azimuth and no grade yet.

// Comma-separated values with a heading line "Depth,Dip,Azimuth,Quality,X,Y":
// depth, dip and azimuth to one decimal as the dip file writes them, X and Y
// the dip's centre in picture pixels, "." the decimal point, a value without
// one ("NO CAL", no azimuth) an empty field.
bool writeDipsCsv(std::ostream& out, ProjectState& state, int* trackedDip = nullptr);

// What the LAS header says of the well beyond the picture's name.
struct LasWell {
    std::string depthUnit;  // "M", "FT" or empty
    std::string date;       // of the export
};

// Log ASCII Standard 2.0: the version and well sections (every mnemonic the
// standard requires, those unknown empty), the curves, the picture and its
// dip scale under "~Other", then one row per dip with a depth, ascending
// (DEPT, DIP, AZIM in degrees, QUAL 1 to 4 for A to D). Dips are irregularly
// sampled (STEP 0); what has no value is the NULL value -999.25. The well is
// named after the picture. Dips without a depth ("NO CAL") are left out:
// false, nothing written, when no dip has a depth.
bool writeDipsLas(std::ostream& out, ProjectState& state, const LasWell& well, int* trackedDip = nullptr);

// The dips whose depth is "NO CAL", as the last recomputation left them.
int dipsWithoutDepth(const ProjectState& state);
