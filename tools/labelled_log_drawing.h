#pragma once

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "model/dip_scale.h"

// A printed log that carries its own calibration, drawn as printers draw
// them: a depth column whose lines carry their depths in a typeface of the
// system's, right-aligned against its border, above the line or in a gap cut
// into it; a dip track with its 10-degree grid where its scale puts it and
// the scale's numbers along its top; depth lines across both; tadpoles in
// the track. The paper may be stretched unevenly along the log and the
// sheet turned on the scanner. For the calibration's tests, benchmarks and
// the logs it is measured on.

struct LabelledLogStyle {
    int width = 1200;
    int height = 8000;
    std::string family = "DejaVu Sans";  // the labels' typeface
    int pixelSize = 14;
    int weight = 400;  // as CSS weighs: 300 light, 400 regular, 700 bold
    double firstDepth = 2400;
    double step = 10;            // depth from one line to the next
    double spacing = 60;         // rows from one line to the next
    int firstRow = 250;          // of the first line
    int labelEvery = 1;          // only every so many lines are labelled, from the first
    bool inGap = false;          // labels in a gap cut into their line
    double skewDegrees = 0;      // the sheet turned on the scanner, clockwise
    double stretch = 0;          // how far the spacing drifts along the log, as a share
    DipScaleKind scale = DipScaleKind::Linear;
    int tadpoles = 100;
    std::set<int> undrawnLines;               // lines left out (by their count from the first)
    std::map<int, std::string> misprints;     // labels printed in place of the depth, by line
    unsigned seed = 1;
};

// A printed depth line, as it lies on the scanned picture.
struct PrintedLine {
    double row = 0;    // where it crosses the dip track's middle
    double depth = 0;
    bool labelled = false;
    double slope = 0;  // rows down for each column to the right
    double minDipX = 0, maxDipX = 0;  // where the track's 0 and 90 degrees cross it
};

// The log as drawn (8-bit grey, black ink on white), with its lines.
cv::Mat drawLabelledLog(const LabelledLogStyle& style, std::vector<PrintedLine>* lines = nullptr);

// The typefaces the project's labelled logs are printed in: monospaced,
// narrow, bold, light and serif faces of Debian's font packages.
struct Typeface {
    std::string family;
    int weight = 400;
};
const std::vector<Typeface>& labelTypefaces();

// A log of every kind the archives hold, drawn from the seed: typeface and
// size (11 to 18 px), step (1 to 100) and spacing, labels every 1, 2 or 5
// lines, above or in gaps, turned up to 2 degrees either way, stretched up
// to 1.2 %, any scale.
LabelledLogStyle drawnStyle(std::mt19937& rng);
