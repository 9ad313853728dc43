#pragma once

#include <opencv2/core.hpp>

#include "detection/log_layout.h"

// The depth printed beside a depth line, as a picture to read: the text
// nearest the line left of the dip track, above the line or in a gap cut
// into it, boxed tight with a margin of paper and prepared as the scan's
// traits say. Empty where no text stands there. spacing is the usual
// distance between depth lines, which bounds how far from the line a label
// may stand.
cv::Mat depthLabel(const GreyRows& picture, const ScanTraits& traits, const FoundDepthLine& line, double spacing);

// The number printed over the dip track's grid line at x, above the first
// depth line (the scale's degrees), as a picture to read. Empty where no
// text is centred there.
cv::Mat scaleNumber(const GreyRows& picture, const ScanTraits& traits, double x, double firstLineY);
