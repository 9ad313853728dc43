#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bmp_encoder.h"

// TIFF files as scanners write them, for the tests and benchmarks. Each
// writer returns false when the file cannot be written.

// Any of the layouts the picture tests read: rows come from row(y, pixels)
// as 0xRRGGBB values and are stored as the options say.
struct TiffOptions {
    enum class Samples { Bilevel, Grey, Rgb, Palette } samples = Samples::Rgb;
    int compression = 1;  // libtiff's COMPRESSION_ number; 1 none
    int rowsPerStrip = 16;
    int tileSize = 0;           // tiles of this side (a multiple of 16) instead of strips
    bool zeroIsWhite = false;   // bilevel and grey: stored inverted
    // Palette: its 256 colours as 0xRRGGBB; a pixel takes the first exact match.
    std::vector<std::uint32_t> palette;
};
bool writeTiff(const std::string& path, int width, int height, const TiffOptions& options,
               const std::function<void(int y, std::uint32_t* pixels)>& row);

// Black and white at one bit a pixel, compressed as CCITT Group 4 fax, in
// strips of the given number of rows: black where dark(x, y) holds.
template <typename Dark>
bool writeFaxTiff(const std::string& path, int width, int height, int rowsPerStrip, Dark dark);

// The same with the packed rows given (one bit a pixel, 1 black, MSB first).
bool writeFaxTiffRows(const std::string& path, int width, int height, int rowsPerStrip,
                      const std::vector<unsigned char>& packedRows);

template <typename Dark>
bool writeFaxTiff(const std::string& path, int width, int height, int rowsPerStrip, Dark dark)
{
    const std::size_t stride = (std::size_t(width) + 7) / 8;
    std::vector<unsigned char> rows(stride * std::size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (dark(x, y))
                rows[std::size_t(y) * stride + std::size_t(x) / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return writeFaxTiffRows(path, width, height, rowsPerStrip, rows);
}
