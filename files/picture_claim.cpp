#include "files/picture_claim.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "files/picture_bytes.h"

using namespace picture_bytes;

namespace {

// Deflate codes a run of 258 bytes in 2 bits at best.
constexpr std::uint64_t kDeflateRatio = 1032;

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) { return a / b + (a % b != 0); }

// A product that stops at the largest number rather than wrap round.
std::uint64_t times(std::uint64_t a, std::uint64_t b)
{
    return b != 0 && a > std::numeric_limits<std::uint64_t>::max() / b ? std::numeric_limits<std::uint64_t>::max()
                                                                         : a * b;
}

// An RLE bitmap fills a row with runs of at most 255 pixels, 2 bytes each,
// and ends it with 2 more.
std::optional<PictureClaim> bitmapClaim(Bytes data, std::size_t size)
{
    BitmapHeader h;
    if (!readBitmapHeader(data, size, h) || (h.compression != 1 && h.compression != 2) || h.width <= 0)
        return std::nullopt;
    PictureClaim c;
    c.width = std::uint64_t(h.width);
    c.height = std::uint64_t(h.height < 0 ? -h.height : h.height);
    c.decodedBytes = c.width * c.height;
    c.leastBytes = c.height == 0 ? 0 : c.height * (2 * ceilDiv(c.width, 255) + 2) - 2;
    c.dataBytes = size > h.pixelOffset ? size - h.pixelOffset : 0;
    return c;
}

std::optional<PictureClaim> pngClaim(Bytes data, std::size_t size)
{
    const std::size_t header = sizeof kPngSignature;
    if (size < header + 8 + 13 || std::memcmp(data + header + 4, "IHDR", 4) != 0)
        return std::nullopt;
    const Bytes ihdr = data + header + 8;
    const int depth = ihdr[8];
    int channels = 0;
    switch (ihdr[9]) {
    case 0:
    case 3:
        channels = 1;
        break;
    case 2:
        channels = 3;
        break;
    case 4:
        channels = 2;
        break;
    case 6:
        channels = 4;
        break;
    default:
        return std::nullopt;  // the decoder names the damage
    }
    PictureClaim c;
    c.width = be32(ihdr);
    c.height = be32(ihdr + 4);
    // Each row starts with its filter's byte; interlacing only adds rows.
    c.decodedBytes = times(c.height, 1 + c.width * std::uint64_t(channels * depth) / 8);
    c.leastBytes = c.decodedBytes / kDeflateRatio;
    for (std::size_t at = header; at + 8 <= size;) {
        const std::uint64_t length = be32(data + at);
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0)
            c.dataBytes += std::min<std::uint64_t>(length, size - at - 8);
        if (std::memcmp(data + at + 4, "IEND", 4) == 0 || at + 12 + length > size)
            break;
        at += std::size_t(12 + length);
    }
    return c;
}

// Huffman coding gives every 8 x 8 block of every component at least a 1-bit
// code for its first coefficient and, in sequential scans, another for the
// end of the block. Arithmetic coding has no such floor.
std::optional<PictureClaim> jpegClaim(Bytes data, std::size_t size)
{
    for (std::size_t at = 2; at + 4 <= size;) {
        if (data[at] != 0xff)
            return std::nullopt;
        const unsigned char marker = data[at + 1];
        if (marker == 0xff) {
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
            at += 2;
            continue;
        }
        const std::size_t length = be16(data + at + 2);
        const bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (marker == 0xda || marker == 0xd9)
            return std::nullopt;
        if (!frame) {
            at += 2 + length;
            continue;
        }
        if (at + 10 > size)
            return std::nullopt;
        const Bytes sof = data + at + 4;
        PictureClaim c;
        c.height = be16(sof + 1);
        c.width = be16(sof + 3);
        const int components = sof[5];
        const int bitsPerBlock = marker == 0xc0 || marker == 0xc1 ? 2 : marker == 0xc2 ? 1 : 0;
        if (c.height == 0 || components == 0 || at + 10 + 3 * std::size_t(components) > size)
            return std::nullopt;
        int hMost = 1, vMost = 1;
        for (int i = 0; i < components; ++i) {
            hMost = std::max(hMost, sof[7 + 3 * i] >> 4);
            vMost = std::max(vMost, sof[7 + 3 * i] & 15);
        }
        std::uint64_t bits = 0;
        for (int i = 0; i < components; ++i) {
            const std::uint64_t h = std::max(1, sof[7 + 3 * i] >> 4), v = std::max(1, sof[7 + 3 * i] & 15);
            bits += ceilDiv(ceilDiv(c.width * h, std::uint64_t(hMost)), 8)
                    * ceilDiv(ceilDiv(c.height * v, std::uint64_t(vMost)), 8) * std::uint64_t(bitsPerBlock);
        }
        c.decodedBytes = c.width * c.height * std::uint64_t(components);
        c.leastBytes = bits / 8;
        c.dataBytes = size;
        return c;
    }
    return std::nullopt;
}

// The best ratio of each compression scanners use, as the fewest bytes for
// the raw rows (rowBytes each), the picture being width x height; 0 for
// others.
std::uint64_t tiffLeastBytes(std::uint64_t compression, std::uint64_t width, std::uint64_t height,
                                            std::uint64_t rowBytes)
{
    const std::uint64_t raw = times(rowBytes, height);
    switch (compression) {
    case 1:  // none
        return raw;
    case 2:  // CCITT modified Huffman: each row starts on a byte
        return height;
    case 3:  // CCITT Group 3: a 2-dimensional row in 2 bits
        return ceilDiv(height, 4);
    case 4:  // CCITT Group 4: a row like the one above in 1 bit
        return ceilDiv(height, 8);
    case 5:  // LZW: codes of at least 9 bits for strings of at most 4096 bytes
        return raw / (4096 * 8) * 9;
    case 7:  // JPEG: a bit for each block's first coefficient
        return ceilDiv(width, 8) * ceilDiv(height, 8) / 8;
    case 8:
    case 32946:  // Deflate
        return raw / kDeflateRatio;
    case 32773:  // PackBits: 128 bytes repeated in 2
        return raw / 64;
    default:
        return 0;
    }
}

std::optional<PictureClaim> tiffClaim(Bytes data, std::size_t size)
{
    if (size < 8)
        return std::nullopt;
    const TiffReader tiff{data, size, data[0] == 'I'};
    const auto width = tiff.tag(256), height = tiff.tag(257);
    if (!width || !height || width->empty() || height->empty())
        return std::nullopt;
    const auto first = [&](std::uint16_t tag, std::uint64_t fallback) {
        const auto values = tiff.tag(tag);
        return values && !values->empty() ? values->front() : fallback;
    };
    PictureClaim c;
    c.width = width->front();
    c.height = height->front();
    const std::uint64_t bits = times(first(258, 1), first(277, 1));
    const std::uint64_t rowBytes = ceilDiv(times(c.width, bits), 8);
    c.decodedBytes = times(rowBytes, c.height);
    c.leastBytes = tiffLeastBytes(first(259, 1), c.width, c.height, rowBytes);
    // Without their byte counts, the strips can hold no more than the file.
    auto counts = tiff.tag(279);
    if (!counts)
        counts = tiff.tag(325);
    if (!counts)
        c.dataBytes = size;
    for (const std::uint64_t count : counts.value_or(std::vector<std::uint64_t>{}))
        c.dataBytes += count;
    return c;
}

}  // namespace

std::optional<PictureClaim> pictureClaim(PictureKind kind, const unsigned char* data, std::size_t size)
{
    switch (kind) {
    case PictureKind::Bitmap:
        return bitmapClaim(data, size);
    case PictureKind::Tiff:
        return tiffClaim(data, size);
    case PictureKind::Png:
        return pngClaim(data, size);
    case PictureKind::Jpeg:
        return jpegClaim(data, size);
    case PictureKind::Unknown:
        break;
    }
    return std::nullopt;
}
