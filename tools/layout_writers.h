#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// PNG and JPEG files in layouts Qt's own writers do not make, for the
// picture tests and the fuzzers' first inputs. Each returns false when the
// file cannot be written.

struct PngLayout {
    int depth = 8;        // bits a sample: 1, 2, 4, 8 or 16
    int colourType = 2;   // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGB and alpha
    bool interlaced = false;
    std::vector<std::uint32_t> palette;  // 0xAARRGGBB: an alpha below 255 goes into tRNS
    int transparentGrey = -1;            // grey or RGB: the sample value made transparent
};
// sample(x, y, channel) gives each sample at the layout's depth, or the
// palette index.
bool writePng(const std::string& path, int width, int height, const PngLayout& layout,
              const std::function<unsigned(int x, int y, int channel)>& sample);

// A CMYK JPEG as Adobe's programs write it (inverted samples), quality 90;
// cmyk(x, y) gives 0xCCMMYYKK.
bool writeCmykJpeg(const std::string& path, int width, int height,
                   const std::function<std::uint32_t(int x, int y)>& cmyk);
