#pragma once

#include <vector>

#include "core/found_review.h"
#include "core/project_state.h"
#include "drawing/drawing_surface.h"

// The tadpoles found and not yet accepted, over the dip plot: dashed rings
// and tails in a colour no grade has, those dropped in grey and crossed out,
// and a square round the one stepped to. Leaves the pen solid.
void drawProposals(const ProjectState& state, DrawingSurface& surface, const std::vector<Proposal>& proposals,
                   int current);
