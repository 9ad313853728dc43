#pragma once

#include <vector>

#include "model/calibration.h"

// A dip as the files write it: the dip, and its depth and dip as the
// calibration reads them at its place.
struct DipWithReadings {
    const Dip* dip = nullptr;
    Reading depth;
    Reading dipAngle;
};

// The work's dips with their readings, by depth, "NO CAL" after every
// number. Dips already in that order keep it; otherwise the sort the files
// have always been written in puts them so. The dips stay the work's: the
// list is valid while the work is unchanged.
std::vector<DipWithReadings> dipsByDepth(const Work& work);
