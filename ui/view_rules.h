#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The zoom ratios and the scroll-bar rule of the log view; plain arithmetic.

// ZoomFactor after the "+" (index 0) or "-" (index 1) button: one step along
// 8, 4, 2, 1, 0.5, 0.25, 0.125, from between two of them to the next one;
// unchanged at either end.
double zoomAfterButton(int index, double factor);

// "8:1" ... "1:8" for the seven ratios; nothing for any other factor.
std::optional<std::string> zoomCaption(double factor);

// The scroll bars move in whole units of the window's design, 15 to a
// picture pixel at 1:1, as many to a step as keep the range within 16 bits.
inline constexpr double kDesignUnitsPerPixel = 15;

struct ScrollSettings {
    double unit = 1;  // design units per scroll step
    int maximum = 0;
    int largeChange = 1;
    int smallChange = 1;
};

// The range of the horizontal bar: 95 % of the picture width in design
// units, in steps of whole units grown only as far as needed to stay within
// 32766. pixels is the picture's width (at least 1), viewUnits the inner
// width of the log view.
ScrollSettings horizontalScroll(double unitsPerPixel, std::int32_t pixels, double viewUnits);

// The vertical bar: the height given in design units, at least 25.
ScrollSettings verticalScroll(double unitsPerPixel, std::int32_t pixels, double viewUnits);

// A small or large change as the 16-bit scroll bar takes it: 1 to 32767.
int clampChange(double change);
