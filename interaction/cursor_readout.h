#pragma once

#include "interaction/picture_tool.h"

// The labels of the digitize-mode readout, by their numbers.
enum ReadoutLabel {
    kAzimuthCaption = 1,
    kDipValue = 2,
    kDepthValue = 3,
    kDipCaption = 4,
    kDepthCaption = 5,
    kAzimuthValue = 6,
    kQualityCaption = 7,
    kQualityValue = 8,
};

// Depth and dip under the cursor at (x, y), frozen while a dip is pending,
// with the captions and the grade of the next dip.
void showCursorReadout(PictureContext& c, double x, double y);

// The azimuth of the pending dip's rubber tail.
void showAzimuthReadout(PictureContext& c);
