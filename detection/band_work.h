#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "detection/dot_search.h"

// The scaffolding every search of a whole log shares: the picture read a
// band of rows at a time, the bands shared among threads, progress told and
// a cancel heard between bands.
namespace band_work {

using dot_search::Area;

// Where a search takes the grey pixels of an area from: a picture held
// whole, or a buffer of the thread's own that is filled for the area.
using AreaPixels = std::function<GreyPicture(const Area& area, std::vector<std::uint8_t>& buffer)>;
AreaPixels wholePicture(const GreyPicture& picture);
AreaPixels filledPicture(const GreyRows& picture);

// Threads at most: more gain nothing on a band of a log.
inline constexpr int kMostWorkers = 8;

// Runs work on every band of bandRows rows of the region, on up to
// kMostWorkers threads; worker (0 to kMostWorkers - 1) tells a thread's
// state from another's. progress is told the share of bands done, one call
// at a time, and stops the rest when it returns false. False when stopped.
bool forEachBand(const Area& region, int bandRows, const std::function<void(int worker, const Area& band)>& work,
                 const DetectionProgress& progress);

}  // namespace band_work
