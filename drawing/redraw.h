#pragma once

#include "core/project_state.h"
#include "drawing/drawing_surface.h"

// The calibration overlay: clears the surface, paints the visible part of the
// picture at the current zoom and scroll position, then the depth ticks, the
// depth lines with their depths, the dip-scale ends, header, footer and edges.
// Returns true when the depth table has two rows or more, that is when the
// grid switch is to be made usable.
bool replot2(ProjectState& state, DrawingSurface& surface);

// The dip plot, drawn over what replot2 left: every dip as a tadpole in its
// quality's colour (the dip awaiting its tail without one), then the
// dip-scale grid when gridShown is set.
void PP(ProjectState& state, DrawingSurface& surface, bool gridShown);

// Picture-box twips of an image position under the current view.
double viewX(const ProjectState& state, double imageX);
double viewY(const ProjectState& state, double imageY);
