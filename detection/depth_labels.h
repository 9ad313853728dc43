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
