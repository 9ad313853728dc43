#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// An uncompressed Windows bitmap of 1, 4, 8, 24 or 32 bits per pixel, the
// kinds scanners write, read straight from its bytes: for a long log this is
// several times faster than a general picture decoder.
struct PlainBitmap {
    int width = 0;
    int height = 0;  // rows, positive also for a file stored top-down
    bool topDown = false;
    int bitsPerPixel = 0;
    std::size_t pixelOffset = 0;
    std::size_t stride = 0;              // bytes a stored row, padded to 4
    std::vector<std::uint32_t> palette;  // 0xffRRGGBB
};

// The layout of the bitmap in the size bytes at data; nothing for any other
// kind of file or bitmap (compressed, 16 bits, bit fields, the old short
// header) and for a file too short for its pixels: those are left to a
// general decoder.
std::optional<PlainBitmap> plainBitmapLayout(const unsigned char* data, std::size_t size);

// Row y of the picture (0 the top row) as width values 0xffRRGGBB. A palette
// index beyond the palette gives black.
void decodeBitmapRow(const PlainBitmap& bitmap, const unsigned char* data, int y, std::uint32_t* out);
