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

// Log ASCII Standard 2.0: the version, well and curve sections, then one row
// per dip (DEPT, DIP, AZIM in degrees, QUAL 1 to 4 for A to D). Dips are
// irregularly sampled (STEP 0); what has no value is the NULL value -999.25.
// depthUnit is "M", "FT" or empty; the well is named after the picture.
bool writeDipsLas(std::ostream& out, ProjectState& state, const std::string& depthUnit, int* trackedDip = nullptr);
