#pragma once

#include <cstdint>
#include <istream>
#include <optional>

struct BitmapSize {
    std::int32_t width;
    std::int32_t height;  // negative for a bitmap stored top-down
};

// Width and height from a Windows bitmap's information header: the signed
// 32-bit little-endian values at byte offsets 18 and 22. Nothing for a file
// shorter than 26 bytes; the signature and header size are not examined.
std::optional<BitmapSize> readBitmapSize(std::istream& in);
