#pragma once

#include <vector>

#include <opencv2/core.hpp>

#include "detection/log_layout.h"

// The depth printed beside a depth line, as pictures to read: the text
// nearest the line left of the dip track, above the line or in a gap cut
// into it, boxed tight with a margin of paper and prepared as the scan's
// traits say; on a speckled scan cleared of its specks by a median and then
// as printed (each reads best where the other fails). None where no text
// stands there. spacing is the usual distance between depth lines, which
// bounds how far from the line a label may stand.
std::vector<cv::Mat> depthLabel(const GreyRows& picture, const ScanTraits& traits, const FoundDepthLine& line, double spacing);

// The number printed over the dip track's grid line at x, above the first
// depth line (the scale's degrees), as pictures to read. None where no text
// is centred there.
std::vector<cv::Mat> scaleNumber(const GreyRows& picture, const ScanTraits& traits, double x, double firstLineY);
