#pragma once

#include <optional>
#include <string>
#include <variant>

#include "core/project_state.h"
#include "core/work_edits.h"

// The rules of the calibration dialogs, apart from their windows.

// The caption of the dip scale in force for DipScaleMode 0 to 4, empty for
// any other mode.
std::string dipScaleCaption(int mode);

// The prompt of "Enter Dip Scales": "Please left click on Dip = " and the
// whole number of degrees.
std::string dipScalePrompt(int degrees);

// "Define Dip Scale" OK: the limits as typed, each a number rounded to whole
// degrees (halves to even) within the 16-bit range, the minimum below the
// maximum, and a custom scale of at most 10 steps of 10 degrees. The edit to
// apply, or the message telling the user what to correct.
std::variant<DefineDipScale, std::string> readDipScale(int mode, const std::string& minText,
                                                       const std::string& maxText);

// The depth "Enter Depth" proposes for the newest row (row NUMDEP, placed but
// without its depth): the straight line through rows NUMDEP - 2 and NUMDEP - 1
// read at the new line, rounded to a multiple of 10 (halves to even). Nothing
// with fewer than two rows before it, or where those two rows stand at one
// height and the line through them has no value.
std::optional<double> proposeDepth(const ProjectState& state);
