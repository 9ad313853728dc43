#include "files/picture_file.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Bytes = const unsigned char*;

std::uint32_t le32(Bytes p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(Bytes p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t be32(Bytes p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}
std::uint16_t be16(Bytes p) { return std::uint16_t(p[0] << 8 | p[1]); }

const unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

bool bitmapEndsEarly(Bytes data, std::size_t size)
{
    if (size < 18)
        return true;
    const std::uint32_t headerSize = le32(data + 14);
    const std::uint64_t pixelOffset = le32(data + 10);
    std::uint64_t width = 0, height = 0, bitsPerPixel = 0, compression = 0;
    if (headerSize == 12) {
        if (size < 26)
            return true;
        width = le16(data + 18);
        height = le16(data + 20);
        bitsPerPixel = le16(data + 24);
    } else {
        if (size < 34)
            return true;
        width = static_cast<std::uint64_t>(std::abs(std::int64_t(std::int32_t(le32(data + 18)))));
        height = static_cast<std::uint64_t>(std::abs(std::int64_t(std::int32_t(le32(data + 22)))));
        bitsPerPixel = le16(data + 28);
        compression = le32(data + 30);
    }
    // Uncompressed rows (also with bit fields) are padded to 4 bytes; a
    // compressed bitmap states the size of its pixel data.
    if (compression == 0 || compression == 3 || compression == 6) {
        const std::uint64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
        return size < pixelOffset + stride * height;
    }
    if (size < 38)
        return true;
    return size < pixelOffset + le32(data + 34);
}

bool pngEndsEarly(Bytes data, std::size_t size)
{
    std::size_t at = sizeof kPngSignature;
    while (at + 8 <= size) {
        const std::uint64_t next = std::uint64_t(at) + 12 + be32(data + at);
        if (next > size)
            return true;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0)
            return false;
        at = std::size_t(next);
    }
    return true;
}

// The entropy-coded data of a scan never holds 0xFF 0xD9: a 0xFF there is
// followed by 0x00 or a restart marker, so the end marker is searched for
// plainly after the first scan's header.
bool jpegEndsEarly(Bytes data, std::size_t size)
{
    std::size_t at = 2;
    for (;;) {
        while (at < size && data[at] == 0xff && at + 1 < size && data[at + 1] == 0xff)
            ++at;  // fill bytes before a marker
        if (at + 2 > size || data[at] != 0xff)
            return true;
        const unsigned char marker = data[at + 1];
        if (marker == 0xd9)
            return false;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
            at += 2;
            continue;
        }
        if (at + 4 > size)
            return true;
        at += 2 + std::size_t(be16(data + at + 2));
        if (marker == 0xda)
            break;
    }
    for (; at + 1 < size; ++at)
        if (data[at] == 0xff && data[at + 1] == 0xd9)
            return false;
    return true;
}

struct TiffReader {
    Bytes data;
    std::size_t size;
    bool little;
    std::uint16_t u16(std::size_t at) const { return little ? le16(data + at) : be16(data + at); }
    std::uint32_t u32(std::size_t at) const { return little ? le32(data + at) : be32(data + at); }

    // The values of one directory entry of type SHORT or LONG; nothing when
    // they lie beyond the end of the file.
    std::optional<std::vector<std::uint64_t>> values(std::size_t entry) const
    {
        const std::uint16_t type = u16(entry + 2);
        const std::uint64_t count = u32(entry + 4);
        const std::uint64_t width = type == 3 ? 2 : 4;
        std::uint64_t at = entry + 8;
        if (count * width > 4)
            at = u32(entry + 8);
        if (at + count * width > size)
            return std::nullopt;
        std::vector<std::uint64_t> out(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = width == 2 ? u16(std::size_t(at + i * 2)) : u32(std::size_t(at + i * 4));
        return out;
    }
};

// Only the first directory, the picture shown, is checked; BigTIFF is left
// to its decoder.
bool tiffEndsEarly(Bytes data, std::size_t size)
{
    if (size < 8)
        return true;
    const TiffReader tiff{data, size, data[0] == 'I'};
    if (tiff.u16(2) != 42)
        return false;
    const std::uint64_t directory = tiff.u32(4);
    if (directory + 2 > size)
        return true;
    const std::uint16_t entries = tiff.u16(std::size_t(directory));
    if (directory + 2 + std::uint64_t(entries) * 12 > size)
        return true;
    std::optional<std::vector<std::uint64_t>> offsets, counts;
    for (std::uint16_t e = 0; e < entries; ++e) {
        const std::size_t entry = std::size_t(directory + 2 + e * 12u);
        const std::uint16_t tag = tiff.u16(entry);
        if (tag == 273 || tag == 324 || tag == 279 || tag == 325) {
            auto read = tiff.values(entry);
            if (!read)
                return true;
            (tag == 273 || tag == 324 ? offsets : counts) = std::move(read);
        }
    }
    if (!offsets || !counts)
        return false;
    for (std::size_t i = 0; i < offsets->size() && i < counts->size(); ++i)
        if ((*offsets)[i] + (*counts)[i] > size)
            return true;
    return false;
}

}  // namespace

PictureKind pictureKind(const unsigned char* data, std::size_t size)
{
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return PictureKind::Bitmap;
    if (size >= 4 && ((std::memcmp(data, "II", 2) == 0 && (data[2] == 42 || data[2] == 43) && data[3] == 0)
                      || (std::memcmp(data, "MM", 2) == 0 && data[2] == 0 && (data[3] == 42 || data[3] == 43))))
        return PictureKind::Tiff;
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
        return PictureKind::Png;
    if (size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

std::string pictureKindName(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Bitmap:
        return "Windows bitmap";
    case PictureKind::Tiff:
        return "TIFF";
    case PictureKind::Png:
        return "PNG";
    case PictureKind::Jpeg:
        return "JPEG";
    case PictureKind::Unknown:
        break;
    }
    return "unknown";
}

bool endsEarly(PictureKind kind, const unsigned char* data, std::size_t size)
{
    switch (kind) {
    case PictureKind::Bitmap:
        return bitmapEndsEarly(data, size);
    case PictureKind::Tiff:
        return tiffEndsEarly(data, size);
    case PictureKind::Png:
        return pngEndsEarly(data, size);
    case PictureKind::Jpeg:
        return jpegEndsEarly(data, size);
    case PictureKind::Unknown:
        break;
    }
    return false;
}

std::optional<PngTransparentColour> png16TransparentColour(const unsigned char* data, std::size_t size)
{
    if (pictureKind(data, size) != PictureKind::Png || size < 33 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return std::nullopt;
    const int bitDepth = data[24];
    const int colourType = data[25];
    if (bitDepth != 16 || colourType != 2)
        return std::nullopt;
    std::size_t at = sizeof kPngSignature;
    while (at + 8 <= size) {
        const std::uint32_t length = be32(data + at);
        if (std::uint64_t(at) + 12 + length > size)
            return std::nullopt;
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0)
            return std::nullopt;  // a transparent colour comes before the pixels
        if (std::memcmp(data + at + 4, "tRNS", 4) == 0 && length == 6) {
            const Bytes key = data + at + 8;
            return PngTransparentColour{be16(key), be16(key + 2), be16(key + 4), at, std::size_t(length) + 12};
        }
        at += 12 + std::size_t(length);
    }
    return std::nullopt;
}
