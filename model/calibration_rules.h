#pragma once

#include <optional>
#include <string>
#include <variant>

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
