#pragma once

#include <vector>

#include "core/found_review.h"
#include "core/project_state.h"
#include "detection/tadpole_detector.h"

// Between the work's calibration and the tadpole search, which speaks in
// picture units.

// The calibrated part of the log: one stretch between each two complete
// depth rows, within the dip scale's ends on each.
std::vector<TrackStretch> calibratedTrack(const ProjectState& state);

// The tadpoles found, as proposals in image twips, leaving out those without
// a tail and those where a dip of the work lies within the dot's radius.
std::vector<Proposal> proposalsFrom(const std::vector<FoundTadpole>& found, const ProjectState& state);
