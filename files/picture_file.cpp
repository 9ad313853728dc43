#include "files/picture_file.h"

#include <cstring>

#include "files/picture_bytes.h"

using namespace picture_bytes;

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kJpegInside = 4, kPngInside = 5,
                        kAlphaBitFields = 6;

bool knownHeaderSize(std::uint32_t size)
{
    for (const std::uint32_t known : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u})
        if (size == known)
            return true;
    return false;
}

std::string bitmapDamage(Bytes data, std::size_t size)
{
    BitmapHeader h;
    if (!readBitmapHeader(data, size, h))
        return {};
    if (!knownHeaderSize(h.headerSize))
        return "its header is " + std::to_string(h.headerSize) + " bytes long, which no bitmap header is";
    if (h.width <= 0 || h.height == 0)
        return "it claims " + std::to_string(h.width) + " by " + std::to_string(h.height) + " pixels";
    if (h.planes != 1)
        return "it claims " + std::to_string(h.planes) + " colour planes where a bitmap has one";
    const std::uint32_t b = h.bitsPerPixel;
    const bool core = h.headerSize == 12;
    const bool knownDepth = b == 1 || b == 4 || b == 8 || b == 24 || (!core && (b == 16 || b == 32));
    const bool inside = h.compression == kJpegInside || h.compression == kPngInside;
    if (!knownDepth && !(inside && b == 0))
        return "it claims " + std::to_string(b) + " bits a pixel, which no bitmap has";
    if (h.compression > kAlphaBitFields)
        return "its compression is " + std::to_string(h.compression) + ", which no bitmap has";
    const bool fits = h.compression == kRgb || inside || (h.compression == kRle8 && b == 8)
                      || (h.compression == kRle4 && b == 4)
                      || ((h.compression == kBitFields || h.compression == kAlphaBitFields) && (b == 16 || b == 32));
    if (!fits)
        return "its compression, " + std::to_string(h.compression) + ", does not go with " + std::to_string(b)
               + " bits a pixel";
    return {};
}

bool bitmapEndsEarly(Bytes data, std::size_t size)
{
    BitmapHeader h;
    if (!readBitmapHeader(data, size, h))
        return true;
    const std::uint64_t width = std::uint64_t(h.width < 0 ? -h.width : h.width);
    const std::uint64_t height = std::uint64_t(h.height < 0 ? -h.height : h.height);
    // Uncompressed rows (also with bit fields) are padded to 4 bytes; a
    // compressed bitmap states the size of its pixel data.
    if (h.compression == kRgb || h.compression == kBitFields || h.compression == kAlphaBitFields) {
        const std::uint64_t stride = (width * h.bitsPerPixel + 31) / 32 * 4;
        return size < h.pixelOffset + stride * height;
    }
    return size < h.pixelOffset + h.imageBytes;
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
    while (at + 1 < size) {
        const auto* mark = static_cast<Bytes>(std::memchr(data + at, 0xff, size - at - 1));
        if (!mark)
            break;
        at = std::size_t(mark - data) + 1;
        if (data[at] == 0xd9)
            return false;
    }
    return true;
}

// Only the first directory, the picture shown, is checked; BigTIFF is left
// to its decoder.
bool tiffEndsEarly(Bytes data, std::size_t size)
{
    if (size < 8)
        return true;
    const TiffReader tiff{data, size, data[0] == 'I'};
    if (tiff.u16(2) != 42)
        return false;
    const auto directory = tiff.directory();
    if (!directory)
        return true;
    std::optional<std::vector<std::uint64_t>> offsets, counts;
    for (std::uint16_t e = 0; e < tiff.u16(*directory); ++e) {
        const std::size_t entry = *directory + 2 + e * 12u;
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

bool readBitmapHeader(const unsigned char* data, std::size_t size, BitmapHeader& h)
{
    if (size < 18 || data[0] != 'B' || data[1] != 'M')
        return false;
    h.headerSize = le32(data + 14);
    h.pixelOffset = le32(data + 10);
    if (h.headerSize == 12) {
        if (size < 26)
            return false;
        h.width = le16(data + 18);
        h.height = le16(data + 20);
        h.planes = le16(data + 22);
        h.bitsPerPixel = le16(data + 24);
        return true;
    }
    if (size < 30)
        return false;
    h.width = std::int32_t(le32(data + 18));
    h.height = std::int32_t(le32(data + 22));
    h.planes = le16(data + 26);
    h.bitsPerPixel = le16(data + 28);
    if (h.headerSize >= 20) {
        if (size < 34)
            return false;
        h.compression = le32(data + 30);
    }
    if (h.headerSize >= 24 && h.compression != kRgb && h.compression != kBitFields
        && h.compression != kAlphaBitFields) {
        if (size < 38)
            return false;
        h.imageBytes = le32(data + 34);
    }
    return true;
}

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

std::string headerDamage(PictureKind kind, const unsigned char* data, std::size_t size)
{
    return kind == PictureKind::Bitmap ? bitmapDamage(data, size) : std::string();
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
