#pragma once

#include <string>

#include "detection/tadpole_detector.h"

// How "Find Tadpoles" looks for tadpoles and what it keeps of them: the one
// set of settings the panel, the user's settings and dipdigitizer-batch
// share, with its defaults and limits.
struct SearchSettings {
    // The dots' diameter range in pixels; both 0: estimated from the picture.
    double minDiameter = 0;
    double maxDiameter = 0;
    // The least confidence (0 to 1) of a tadpole shown for review and accepted.
    double minConfidence = 0.5;
    // The grades of the dips that filled and hollow dots make.
    std::string filledGrade = "A";
    std::string hollowGrade = "C";

    bool operator==(const SearchSettings&) const = default;
};

// The dot diameters a range may give, in pixels.
inline constexpr double kLeastDotDiameter = 3;
inline constexpr double kMostDotDiameter = 60;

// A diameter range the search takes: from kLeastDotDiameter to
// kMostDotDiameter, the least no larger than the most.
bool dotRangeValid(double least, double most);

// The settings with every part checked: a part out of its limits takes its
// default (a dot range as a whole), so that stored settings from another
// version never reach the search.
SearchSettings validSearchSettings(const SearchSettings& settings);

// What the search itself is asked. Every tadpole with a tail is kept,
// however sure: the review shows those sure enough, and the least
// confidence can change without searching again.
DetectionSettings detectionSettings(const SearchSettings& settings);
