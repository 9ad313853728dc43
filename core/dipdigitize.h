#pragma once

#include "core/project_state.h"

// The shared calculations of the digitizer. Positions are image twips.

// Depth at image Y, read piecewise linearly between the depth lines; "NO CAL"
// on or above the first line, below the last, or with fewer than two lines.
Reading getdepth(const ProjectState& state, double y);

// Dip in degrees at image position (x, y) under the dip scale in force;
// "NO CAL" outside the calibrated part of the log and wherever the scale has
// no defined value (a zero divisor).
Reading getdip(const ProjectState& state, double x, double y);

// The image Y of a depth through the depth lines, the way back of getdepth:
// on the first stretch between two lines whose depths hold it. Nothing for a
// depth no stretch holds, or with fewer than two lines.
std::optional<double> depthToImageY(const ProjectState& state, double depth);

// The rows of the depth table that are complete: all but the newest while
// its dip-scale ends are still being clicked. They are rows 1 to the count.
int completeDepthRows(const ProjectState& state);

// Dips can be placed: a dip scale is defined and two depth rows are complete.
bool digitizingPossible(const ProjectState& state);

// Fraction of the dip track (0 at the MINDIP end, 1 at the MAXDIP end) at
// which the scale puts the 10-degree line of dip d. NaN where the scale
// defines no position (equal limits, equal custom ends, d not a custom step).
double dipfraction(const ProjectState& state, double d);

// Heap sorts of rows 1 to count, all columns moving together.
void sortdepths(ProjectState& state);  // by DEPTHTWIP
// By Depth, "NO CAL" after every number. A dip row given in tracked (one
// that must be found again, such as the dip awaiting its tail) is followed to
// its new number; a number outside the table is left as it is.
void sortdips(ProjectState& state, int* tracked = nullptr);

// Depth and Dip of every dip worked out again from its position with the
// calibration in force, then the dips sorted by depth: what the project save
// and the one-decimal export do before they write.
void recomputeAndSortDips(ProjectState& state, int* tracked = nullptr);

// 0 to 3 for the quality grades "A" to "D" (exact, case-sensitive); -1 for
// any other text.
int gradeIndex(const std::string& grade);

// The drawing colour of a quality grade "A" to "D"; nothing for any other text.
std::optional<Rgb> gradeColour(const ProjectState& state, const std::string& grade);

// Degrees clockwise from straight up of the direction (dx, dy), dx to the
// right and dy upward; 90 for no direction at all, never 360.
double azimuthTowards(double dx, double dy);

// Pi as every degree-radian conversion of the program takes it; stored
// azimuths and dips depend on this exact value.
inline constexpr double kPi = 3.14159;
