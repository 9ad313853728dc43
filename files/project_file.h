#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "core/project_state.h"

// Writes the project file: recomputes Depth and Dip of every dip with the
// calibration in force and sorts the dips by depth (both stay in the state),
// then writes the file. Returns false, writing nothing, when the state holds
// something the file cannot carry faithfully (a picture name with a double
// quote, a count beyond its capacity, a number that is not finite, a grade the
// reader would take apart), and false when the stream fails. A dip row given
// in trackedDip is followed through the sort to its new number.
bool writeProject(std::ostream& out, ProjectState& state, int* trackedDip = nullptr);

// Reads a project file by position. On success the file's fields replace
// those in the state and every other field is kept. On failure the state is
// untouched and error holds a message naming the line and what was expected.
bool readProject(std::istream& in, ProjectState& state, std::string& error);

// Default name for a new file: the title of the file last chosen with its
// one-, two- or three-character extension replaced by extension ("ddp" or
// "dip"); empty when the title has no such extension.
std::string defaultFileName(const std::string& lastTitle, const std::string& extension);
