#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/work.h"

// The rules of the calibration dialogs, apart from their windows.

// The prompt of "Enter Dip Scales": "Please left click on Dip = " and the
// whole number of degrees.
std::string dipScalePrompt(int degrees);

// "Define Dip Scale" OK: the limits as typed, each a number rounded to whole
// degrees (halves to even) within the 16-bit range, the minimum below the
// maximum, and a custom scale of at most 10 steps of 10 degrees. The scale
// (a custom one still without its positions), or the message telling the
// user what to correct.
std::variant<DipScale, std::string> readDipScale(DipScaleKind kind, const std::string& minText,
                                                 const std::string& maxText);

// How many positions the user clicks for a custom scale: one for each 10
// degrees from the minimum to the maximum, both included.
std::size_t customPositions(const DipScale& scale);

// The depth "Enter Depth" proposes for a new depth line at row y: the
// straight line through the two lowest rows of the work read at y, rounded
// to a multiple of 10 (halves to even). Nothing with fewer than two rows,
// or where those two stand at one height.
std::optional<double> proposeDepth(const Work& work, double y);

// Where a depth typed for a new depth line at row y breaks the trend of the
// rows already there (a digit slipped, a depth out of order, a step ten
// times the others): the depth that would fit, written as finely as the
// rows' depths are. Nothing where it fits, or with too few rows to tell.
std::optional<double> depthThatFits(const Work& work, double y, double typed);

// A depth row whose depth breaks the trend of the others, and what fits.
struct DepthMisfit {
    std::size_t row = 0;
    double depth = 0;
    double fits = 0;
};

// The rows whose depths break the trend of the others; none with fewer
// than four rows, where no majority tells which is wrong.
std::vector<DepthMisfit> depthMisfits(const Work& work);

// "2041 does not fit the lines around it: 2410 would."
std::string depthMisfitMessage(double typed, double fits);

// The depths the calibration covers, in words ("2400–2830"); empty with
// fewer than two depth rows.
std::string calibratedDepths(const Work& work);
