#pragma once

#include <string>
#include <vector>

#include "detection/tadpole_detector.h"
#include "model/work_edits.h"

// A log calibrated from its own picture: its depth lines and dip track
// found, the depths printed beside the lines read, and every line given the
// depth of the straight line most of the labels agree on.
struct FoundCalibration {
    SetCalibration calibration;  // the scale's limits 0 and 90
    // No grid was seen on the track (a fax keeps none): its scale is taken
    // to be linear.
    bool scaleAssumed = false;
    int labelsRead = 0;          // labels read as numbers
    int labelsAgreeing = 0;
    double depthStep = 0;  // from one line to the next
    double skewDegrees = 0;
    // A label that disagrees with the others: a misprint, or a misreading.
    struct Misread {
        double y = 0;
        std::string read;
        double fits = 0;
    };
    std::vector<Misread> disagreeing;
    std::string failure;  // why no calibration was found; empty when one was
};

// Labels read first, spread along the log: a dozen where they agree, then
// 40, and all of them only where too few of those agree. Each reading
// costs about 25 ms.
inline constexpr std::size_t kFirstLabels = 12;
inline constexpr std::size_t kMoreLabels = 40;
inline constexpr std::size_t kAgreeingEnough = 10;

// Nothing, and cancelled set, when progress cancels.
FoundCalibration findCalibration(const GreyRows& picture, const DetectionProgress& progress = {},
                                 bool* cancelled = nullptr);
