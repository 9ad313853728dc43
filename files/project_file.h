#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "model/work.h"

// The project file (".ddp"): positional text that keeps the work with the
// picture it was done on. Positions are written in twips at 15 a picture
// pixel, as the format was first written on a screen of 96 dots an inch,
// whatever screen the program runs on.
inline constexpr double kFileTwipsPerPixel = 15;

struct ProjectFile {
    // The picture: its path as the file gives it (a name beside the project,
    // a path relative to the project's folder, or a whole path), and its size.
    std::string picture;
    std::int32_t width = 0;
    std::int32_t height = 0;
    double zoom = 1;  // the view's, when the work was saved
    Work work;
};

// Writes the project: the dips sorted by depth, their depths and dips read
// under the calibration. False, writing nothing, when the project holds
// something the file cannot carry faithfully (a picture path with a double
// quote, a number that is not finite, a grade the reader would take apart),
// and false when the stream fails.
bool writeProject(std::ostream& out, const ProjectFile& project);

// Reads a project file by position: the project, or nothing with error
// naming the line and what was expected there.
std::optional<ProjectFile> readProject(std::istream& in, std::string& error);
