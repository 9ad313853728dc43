#pragma once

#include <optional>

#include "detection/ink_layers.h"
#include "detection/tadpole_detector.h"

// Measures the dot whose distance peak is at pixel (x, y) of the layers: its
// centre, size, fill and tail. Nothing when the place holds no round dot.
// The tadpole found is in the layers' own picture units.
std::optional<FoundTadpole> measureTadpole(const InkLayers& layers, int x, int y, const InkLimits& limits);
