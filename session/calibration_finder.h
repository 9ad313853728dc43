#pragma once

#include <string>
#include <vector>

#include "detection/tadpole_detector.h"
#include "model/work_edits.h"

// A log calibrated from its own picture: its depth lines and dip track
// found, the lines counted, the depths printed beside them read, and every
// line given the depth printed at its place in the count.
struct FoundCalibration {
    SetCalibration calibration;  // the scale's limits 0 and 90
    // No grid was seen on the track (a fax keeps none): its scale is taken
    // to be linear.
    bool scaleAssumed = false;
    // The scale's numbers over its grid lines were read where limits of 0
    // and 90 put them; where they were not, 0 to 90 is kept all the same.
    bool limitsRead = false;
    int labelsLooked = 0;        // labels given to the reader
    int labelsRead = 0;          // labels read as numbers
    int labelsAgreeing = 0;
    double depthStep = 0;  // from one line to the next, round
    double skewDegrees = 0;
    // A label that disagrees with the others: a misprint, or a misreading.
    struct Misread {
        double y = 0;
        std::string read;
        double fits = 0;
    };
    std::vector<Misread> disagreeing;
    // Printed lines the search missed between found ones, placed where the
    // spacing puts them (their rows are among the calibration's).
    struct Missed {
        double y = 0;
        double depth = 0;
    };
    std::vector<Missed> missed;
    std::string failure;  // why no calibration was found; empty when one was
};

// Labels read first, spread along the log: a dozen where enough of them
// agree; else more, a few at a time, spread over the 40 and then the rest.
// Each reading costs 25 to 60 ms.
inline constexpr std::size_t kFirstLabels = 12;
inline constexpr std::size_t kMoreLabels = 40;
inline constexpr std::size_t kLabelsBetweenFits = 4;
inline constexpr std::size_t kAgreeingEnough = 6;

// The words a calibration's missed lines are told in: "3 printed lines were
// not found and were placed from the spacing: near rows 162, 172 and 180."
std::string missedLinesNote(const std::vector<FoundCalibration::Missed>& missed);

// Nothing, and cancelled set, when progress cancels.
FoundCalibration findCalibration(const GreyRows& picture, const DetectionProgress& progress = {},
                                 bool* cancelled = nullptr);
