#pragma once

#include <vector>

#include <opencv2/core.hpp>

#include "detection/scan_traits.h"

// The traits of a scan from samples of its track (8-bit grey), its dots at
// most maxDiameter across.
ScanTraits studyScan(const std::vector<cv::Mat>& samples, double maxDiameter);

// The band as the search reads it: grey itself when nothing is to be done,
// else prepared, with scratch as working space. Where specks are cleared,
// strokesKept (when given) receives the band cleared of its specks but with
// its strokes a pixel thin kept, which the clearing takes too: tails are read
// there, dots in the band returned.
const cv::Mat& prepareBand(const cv::Mat& grey, const ScanTraits& traits, cv::Mat& prepared, cv::Mat& scratch,
                           cv::Mat* strokesKept = nullptr);
