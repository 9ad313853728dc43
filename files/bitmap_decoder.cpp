#include "files/bitmap_decoder.h"

#include <limits>

namespace {

std::uint32_t u16(const unsigned char* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }

std::uint32_t u32(const unsigned char* p) { return u16(p) | u16(p + 2) << 16; }

std::uint32_t rgb(const unsigned char* bgr)
{
    return 0xff000000u | std::uint32_t(bgr[2]) << 16 | std::uint32_t(bgr[1]) << 8 | bgr[0];
}

constexpr std::size_t kFileHeader = 14;

}  // namespace

std::optional<PlainBitmap> plainBitmapLayout(const unsigned char* data, std::size_t size)
{
    if (size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    const std::uint32_t infoSize = u32(data + 14);
    const auto width = static_cast<std::int32_t>(u32(data + 18));
    const auto height = static_cast<std::int32_t>(u32(data + 22));
    const std::uint32_t bits = u16(data + 28);
    const std::uint32_t compression = u32(data + 30);
    const std::uint32_t coloursUsed = u32(data + 46);
    const bool knownHeader = infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
    if (!knownHeader || !knownDepth || compression != 0 || u16(data + 26) != 1 || width <= 0 || height == 0
        || height == std::numeric_limits<std::int32_t>::min())
        return std::nullopt;

    PlainBitmap b;
    b.width = width;
    b.height = height < 0 ? -height : height;
    b.topDown = height < 0;
    b.bitsPerPixel = static_cast<int>(bits);
    b.pixelOffset = u32(data + 10);
    b.stride = static_cast<std::size_t>((std::uint64_t(width) * bits + 31) / 32 * 4);
    if (bits <= 8) {
        const std::uint32_t entries = coloursUsed != 0 ? coloursUsed : 1u << bits;
        const std::uint64_t paletteEnd = kFileHeader + std::uint64_t(infoSize) + 4ull * entries;
        if (entries > (1u << bits) || paletteEnd > size)
            return std::nullopt;
        const unsigned char* entry = data + kFileHeader + infoSize;
        for (std::uint32_t i = 0; i < entries; ++i, entry += 4)
            b.palette.push_back(rgb(entry));
    }
    if (std::uint64_t(b.pixelOffset) + std::uint64_t(b.stride) * std::uint64_t(b.height) > size)
        return std::nullopt;
    return b;
}

void decodeBitmapRow(const PlainBitmap& b, const unsigned char* data, int y, std::uint32_t* out)
{
    const std::size_t stored = static_cast<std::size_t>(b.topDown ? y : b.height - 1 - y);
    const unsigned char* row = data + b.pixelOffset + b.stride * stored;
    const auto colour = [&b](unsigned index) { return index < b.palette.size() ? b.palette[index] : 0xff000000u; };
    switch (b.bitsPerPixel) {
    case 32:
        for (int x = 0; x < b.width; ++x)
            out[x] = rgb(row + 4 * x);
        break;
    case 24:
        for (int x = 0; x < b.width; ++x)
            out[x] = rgb(row + 3 * x);
        break;
    case 8:
        for (int x = 0; x < b.width; ++x)
            out[x] = colour(row[x]);
        break;
    case 4:
        for (int x = 0; x < b.width; ++x)
            out[x] = colour((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0f);
        break;
    case 1:
        for (int x = 0; x < b.width; ++x)
            out[x] = colour((row[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    default:
        break;
    }
}
