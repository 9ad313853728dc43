#pragma once

#include <optional>
#include <string>
#include <vector>

#include "detection/scan_traits.h"
#include "detection/tadpole_detector.h"
#include "model/dip_scale.h"

// What a printed log shows of its own calibration, apart from its printed
// numbers: its depth lines, the dip track's edges on each of them, and the
// kind of dip scale its 10-degree grid is printed in.

// A depth line across the log.
struct FoundDepthLine {
    double y = 0;        // where it crosses the middle of the dip track
    double slope = 0;    // rows down for each column to the right
    double minDipX = 0;  // the dip track's edges on it
    double maxDipX = 0;
};

struct FoundLayout {
    std::vector<FoundDepthLine> lines;  // top first
    // The kind the grid matches, its limits 0 and 90 until they are read;
    // nothing where no grid was seen, and the track's edges are the two long
    // vertical lines farthest apart.
    std::optional<DipScale> scale;
    double skewDegrees = 0;  // of the depth lines, clockwise
    ScanTraits traits;       // how the scan was prepared for reading
    // Why no calibration can be made of it; empty when lines and a track
    // were found.
    std::string failure;
};

// The layout of the whole picture, read a band at a time. Nothing when
// cancelled (cancelled is then set, where given).
FoundLayout findLayout(const GreyRows& picture, const DetectionProgress& progress = {}, bool* cancelled = nullptr);
FoundLayout findLayout(const GreyPicture& picture, const DetectionProgress& progress = {},
                       bool* cancelled = nullptr);

// The grid lines at these x positions (any order) read as a dip track: its
// two edges and the kind of scale whose 10-degree lines lie between them as
// the lines do. Where no kind's do and custom allows, ten lines in a row at
// least minSpan wide, none of them crowding another, are a custom scale's 0
// to 90. Nothing when no two lines at least minSpan apart hold three
// quarters of a scale's lines.
struct TrackMatch {
    double left = 0;
    double right = 0;
    DipScaleKind kind = DipScaleKind::Linear;
    int matched = 0;  // 10-degree lines found between the edges
    std::vector<double> steps;  // a custom scale's ten lines, left to right
};
std::optional<TrackMatch> matchTrack(std::vector<double> xs, double minSpan, bool custom = true);
