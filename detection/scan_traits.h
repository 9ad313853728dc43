#pragma once

#include <vector>

#include <opencv2/core.hpp>

// What the search learns of a whole scan from samples of its dip track
// before it looks for dots, and how it prepares each band by that: uneven or
// tinted paper levelled to white, faded ink stretched back towards black,
// and specks cleared where the scan is noisy. A clean scan is read as it is.
struct ScanTraits {
    bool bilevel = false;     // black and white only, as a fax: nothing to level
    bool levelPaper = false;  // the paper's own level varies or is tinted
    int paperKernel = 35;     // a closing this wide takes every dot and tail off the paper
    double stretch = 1;       // how far darkness is stretched, so that ink lands near black
    double noise = 0;         // the share of the paper's pixels that are isolated specks
    bool despeckle = false;   // specks are cleared by a median of 3 first
    int threshold = 128;      // grey levels below it are ink, in the prepared picture
    double inkContrast = 1;   // the ink's dark end against the paper, in the prepared picture, 0 to 1
};

// The traits of a scan from samples of its track (8-bit grey), its dots at
// most maxDiameter across.
ScanTraits studyScan(const std::vector<cv::Mat>& samples, double maxDiameter);

// The band as the search reads it: grey itself when nothing is to be done,
// else prepared, with scratch as working space.
const cv::Mat& prepareBand(const cv::Mat& grey, const ScanTraits& traits, cv::Mat& prepared, cv::Mat& scratch);
