#pragma once

#include <vector>

#include "detection/tadpole_detector.h"
#include "model/found_review.h"

// Between the work's calibration and the tadpole search.

// The calibrated part of the log: one stretch between each two depth rows,
// within the dip scale's ends on each.
std::vector<TrackStretch> calibratedTrack(const Work& work);

// The tadpoles found, as proposals, leaving out those without a tail and
// those where a dip of the work lies within the dot's radius.
std::vector<Proposal> proposalsFrom(const std::vector<FoundTadpole>& found, const Work& work);
