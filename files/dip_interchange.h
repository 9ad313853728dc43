#pragma once

#include <ostream>
#include <string>

#include "model/work.h"

// The dips for other programs' readers, sorted by depth, their depths and
// dips read under the calibration in force, as "Save Digitized Dips As"
// writes them.

// Comma-separated values with a heading line "Depth,Dip,Azimuth,Quality,X,Y":
// depth, dip and azimuth to one decimal as the dip file writes them, X and Y
// the dip's centre in picture pixels to two decimals, "." the decimal point,
// a value without one ("NO CAL") an empty field.
bool writeDipsCsv(std::ostream& out, const Work& work);

// What the LAS header says of the well beyond the picture's name.
struct LasWell {
    std::string picture;    // the picture's file name, which names a well of no name
    std::string depthUnit;  // "M", "FT" or empty
    std::string date;       // of the export
};

// Log ASCII Standard 2.0: the version and well sections (every mnemonic the
// standard requires, those unknown empty), the curves, the picture and its
// dip scale under "~Other", then one row per dip with a depth, ascending
// (DEPT, DIP, AZIM in degrees, QUAL 1 to 4 for A to D). Dips are irregularly
// sampled (STEP 0); what has no value is the NULL value -999.25. The well
// section gives the work's well details; a well of no name is named after
// the picture. Dips without a depth ("NO CAL") are left out:
// false, nothing written, when no dip has a depth.
bool writeDipsLas(std::ostream& out, const Work& work, const LasWell& well);

// What a LAS file of the work holds: its index holds real depths only, so a
// dip whose depth is "NO CAL" under the calibration in force is left out, and
// with no dip that has a depth there is no file to write. Every front end
// tells the user in these words.
struct LasCoverage {
    int dips = 0;
    int withoutDepth = 0;

    bool anything() const { return withoutDepth < dips; }
    // Why no file is written; empty when one is.
    std::string refusal() const;
    // What the file leaves out; empty when it holds every dip.
    std::string leftOut() const;
};
LasCoverage lasCoverage(const Work& work);
