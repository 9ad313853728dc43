#pragma once

#include <optional>
#include <utility>

#include "detection/ink_layers.h"
#include "detection/tadpole_geometry.h"

// Reading a dot's tail: the run of ink that leaves its edge, the tail's
// axis fitted to it, and a tail hidden along a line; each in the band's
// tail ink given (InkLayers::tails, or thinTails).

struct Tail {
    double angle = 0;  // radians clockwise from up
    tadpole_geometry::Step unit{0, 0};  // along it
    double length = 0;  // beyond the dot's edge, in pixels of ink
    bool doubtful = false;  // another direction runs nearly as far
    bool throughStroke = false;  // as long the other way: a point on a thick stroke, not a dot
    float endsInDot = 0;  // the distance peak of a dot the tail ran into; 0 none
    bool endless = false;  // it ran on as far as it was followed
};
// The bodies of other dots round the dot of radius at (cx, cy), as far as
// a tail longest beyond its edge may reach: ink as deep as most of the dot's
// radius, each such pixel with its depth about it, a float layer centred on
// the dot. A run of the tail ends where it reaches one: a dot printed close
// beside another is no tail of it, however little paper the blur left
// between them. The paper that lines and tails enclose, filled as holes
// are, is deep too, but little of it is ink, while a ring's ink is half its
// dot at least. Made once for every reading of the tail from there.
cv::Mat dotsBeside(const InkLayers& l, double cx, double cy, double radius, double longest);

// The longest run of ink leaving the edge of the dot of radius round
// (cx, cy), out to longest beyond it, none past the bodies of other dots
// (dotsBeside); nothing shorter than a tail.
std::optional<Tail> findTail(const InkLayers& l, const TailInk& tails, const cv::Mat& bodies, double cx, double cy,
                             double radius, double longest);

// The tail's direction fitted through the centre to the darkness of the
// pixels along it, so that a tail a pixel wide still gives a fraction of a
// degree; and how far its ink lies from that axis (the root mean square),
// which for a straight tail is below a pixel.
struct TailFit {
    double angle = 0;
    double spread = 0;
    double width = 0;  // the ink's darkness along the axis, as a width of black
    // How far the middle of the ink strays across the axis along the tail
    // (the root mean square, in pixels): blur and grain widen a tail but
    // leave its middle on the axis; a chain of specks wanders.
    double wander = 0;
};
TailFit fitTail(const InkLayers& l, const TailInk& tails, double cx, double cy, double radius, const Tail& tail);

// Whether the tail along angle leaves the dot's edge itself, with no paper
// between them: a letter beside a round letter has some.
bool attached(const TailInk& tails, double cx, double cy, double radius, double angle, int paleLevel);

// A tail that lies along a depth or grid line from the dot: its angle and
// length beyond the dot's edge; nothing without one.
std::optional<std::pair<double, double>> tailAlongLine(const InkLayers& l, const TailInk& tails, double cx, double cy, double radius,
                                                       double longest);
