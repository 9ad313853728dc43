#pragma once

#include <functional>
#include <vector>

#include <opencv2/core.hpp>

#include "detection/ink_layers.h"
#include "detection/tadpole_detector.h"

// The steps the whole-log search and the lookup round a press share: where
// they read, with which limits, and how the dots they measure are sorted.
namespace dot_search {

// Rows of the picture, a part of a picture, or the part of it searched.
struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom excluded
    bool empty() const { return right <= left || bottom <= top; }
};
Area clipped(const GreyPicture& p, Area a);
cv::Mat view(const GreyPicture& p, const Area& a);

// The limits of the ink layers for the settings, prepared as the scan's
// traits say.
InkLimits inkLimits(const DetectionSettings& settings, const ScanTraits& traits);
// How far beyond a dot's centre its tail may reach.
int tailReach(const InkLimits& limits);
// The least distance peak worth measuring.
double smallestRadius(const DetectionSettings& settings, const ScanTraits& traits);
// The smallest dot taken when its size is estimated.
double smallestDiameter(const ScanTraits& traits);

// The scan's traits from blocks of the area spread down it.
ScanTraits studyArea(const Area& area, const std::function<cv::Mat(const Area& block)>& block, double maxDiameter);

// Every dot measured in the area of the picture, read with its surroundings
// out to the longest tail; want says which to keep, and may move a centre
// (onto the track's edge).
void searchArea(const GreyPicture& picture, const Area& area, const ScanTraits& traits, const InkLimits& limits,
                double smallestRadius, const std::function<bool(FoundTadpole&)>& want, InkLayers& layers,
                std::vector<FoundTadpole>& found);

// One tadpole for each dot, the surest: a plateau of the distance peak gives
// several, and a dot is no bit of a surer tadpole's tail.
std::vector<FoundTadpole> withoutRepeats(std::vector<FoundTadpole> found);
// The dots' usual diameter among the sure tadpoles; 0 with none.
double usualDiameter(const std::vector<FoundTadpole>& found, double smallest);
// Whether a dot's size fits the settings' range, or the usual size.
bool sizeFits(const FoundTadpole& t, const DetectionSettings& s, double usual);

}  // namespace dot_search
