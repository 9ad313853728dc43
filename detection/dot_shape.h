#pragma once

#include "detection/ink_layers.h"

// The shape of a dot round a distance peak.

// The dot's radius: the median distance from its centre to where the filled
// ink ends, over all directions, so that a tail or a line through the dot
// does not count; and how much that distance varies, which is little for a
// round dot.
struct DotEdge {
    double radius = 0;
    double spread = 0;  // between the 10th and the 60th percentile
};
DotEdge dotEdge(const InkLayers& l, double cx, double cy, double peak);

// Whether the paper inside a hollow dot is round, as a printed ring's is and
// a letter's (an "0", an "e") mostly is not: the distances from the centre
// to the ink all round, leaving out where a line crosses, within the
// raggedness allowed.
bool roundHole(const InkLayers& l, double cx, double cy, double radius, double raggedness = 1);
