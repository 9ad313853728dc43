#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture as 0xRRGGBB values, row by row from the top.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RgbPicture(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

// An uncompressed Windows bitmap of 1, 4, 8, 24 or 32 bits per pixel, stored
// bottom-up or (negative height) top-down. Indexed depths take a palette of
// the picture's colours and throw std::invalid_argument when there are more
// colours than the depth can index.
std::string encodeBmp(const RgbPicture& picture, int bitsPerPixel, bool topDown = false);
