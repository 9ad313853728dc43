#pragma once

#include <string>
#include <vector>

#include "bmp_encoder.h"

// TIFF files as scanners write them, for the tests and benchmarks: a
// picture as 8-bit grey in strips, or black and white at one bit a pixel
// compressed as CCITT Group 4 fax, in strips of the given number of rows.
// Returns false when the file cannot be written.
bool writeGreyTiff(const std::string& path, const RgbPicture& picture, int rowsPerStrip);

// Black where dark(x, y) holds, else white.
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
