#include "session/search_settings.h"

#include "model/work.h"

bool dotRangeValid(double least, double most)
{
    return least >= kLeastDotDiameter && most <= kMostDotDiameter && least <= most;
}

SearchSettings validSearchSettings(const SearchSettings& settings)
{
    const SearchSettings defaults;
    SearchSettings s = settings;
    if (!dotRangeValid(s.minDiameter, s.maxDiameter)) {
        s.minDiameter = defaults.minDiameter;
        s.maxDiameter = defaults.maxDiameter;
    }
    if (!(s.minConfidence >= 0 && s.minConfidence <= 1))
        s.minConfidence = defaults.minConfidence;
    if (gradeIndex(s.filledGrade) < 0)
        s.filledGrade = defaults.filledGrade;
    if (gradeIndex(s.hollowGrade) < 0)
        s.hollowGrade = defaults.hollowGrade;
    return s;
}

DetectionSettings detectionSettings(const SearchSettings& settings)
{
    return {settings.minDiameter, settings.maxDiameter, 0};
}
