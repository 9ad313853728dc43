#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "drawing/drawing_surface.h"
#include "drawing/viewport.h"
#include "model/found_review.h"
#include "model/work.h"

// What the log view shows, drawn in view pixels. Figures keep their size at
// every zoom.

using GradeColours = std::array<Rgb, 4>;  // "A" to "D"

// Sizes of the figures.
inline constexpr double kDipDotRadius = 10.0 / 3;
inline constexpr double kDipTailLength = 20;

// The calibration overlay: clears the surface, paints the visible part of the
// picture (pictureWidth pixels wide), then the depth ticks, the depth rows
// with their depths and the dip scale's ends on them, header, footer and
// edges. True when there are two depth rows or more, that is when a grid
// can be shown.
bool drawOverlay(const Work& work, const Viewport& view, int pictureWidth, DrawingSurface& surface);

// A depth row as it is drawn, also one still being entered: its depth and
// the dip scale's ends are there once given.
struct DrawnRow {
    double y = 0;
    std::optional<double> depth;
    std::optional<double> minDipX;
    std::optional<double> maxDipX;
};

// Where a depth's tag starts, in view pixels: just left of the track's
// left end, clear of the printed depth column's border, and never left of
// the view, so that it stays in sight while the view shows any of the row.
double depthTagLeft(const Viewport& view, std::optional<double> trackLeftX, double tagWidth);

// A depth row across the picture: its line and its depth as a tag above it,
// its ends as circles, joined to those of the row before it when there is one.
void drawDepthRow(const Viewport& view, DrawingSurface& surface, const DrawnRow& row, const DrawnRow* before,
                  double pictureWidth);

// Every dip as a tadpole in its grade's colour, over what the overlay left;
// a dip of no grade in the colour of the one drawn before it, the first of
// them in colour. Then the dip scale's grid when gridShown.
void drawDips(const Work& work, const Viewport& view, const GradeColours& colours, Rgb colour,
              DrawingSurface& surface, bool gridShown);

// The tadpoles found and not yet accepted, over the dips: dashed rings and
// tails in a colour no grade has, those dropped in grey and crossed out, and
// a square round the one stepped to. Leaves the pen solid.
void drawProposals(const Viewport& view, DrawingSurface& surface, const std::vector<Proposal>& proposals,
                   int current);

// The dips selected in the dip table: a solid ring round each in sight, in
// a colour of its own.
struct SelectedDip {
    double x = 0;
    double y = 0;
    double radius = 0;  // the dot's, in picture pixels
};
void drawSelectedDips(const Viewport& view, DrawingSurface& surface, const std::vector<SelectedDip>& dips);

// A printed depth that disagreed with the depths found: the row it names,
// what was read and what fits there.
struct DrawnMisread {
    double y = 0;
    std::string read;
    double fits = 0;
};

// A calibration found and not yet accepted, over the dips: its depth rows
// dashed in a colour of their own with the depths found right of the track
// and the track's edges on them, and a boxed note on every printed depth that disagreed.
// Only the rows in sight are drawn, so that a whole well's stays quick.
// Leaves the pen solid.
void drawFoundCalibration(const Viewport& view, DrawingSurface& surface, const std::vector<DepthRow>& rows,
                          const std::vector<DrawnMisread>& misreads, double pictureWidth);
