#include "picture/picture_rows.h"

#include <algorithm>
#include <cmath>

#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t kOpaque = 0xff000000u;

inline int bitAt(const std::uint8_t* bits, int x) { return (bits[x >> 3] >> (7 - (x & 7))) & 1; }

// For each byte of a 1-bit row, the number of set bits in each of its four
// pixel pairs, one pair a byte lane, the first pair in the lowest lane.
constexpr std::array<std::uint32_t, 256> kPairCounts = [] {
    std::array<std::uint32_t, 256> counts{};
    for (unsigned byte = 0; byte < 256; ++byte)
        for (unsigned pair = 0; pair < 4; ++pair) {
            const unsigned bits = (byte >> (6 - 2 * pair)) & 3;
            counts[byte] |= ((bits & 1) + (bits >> 1)) << (8 * pair);
        }
    return counts;
}();

static_assert(std::endian::native == std::endian::little, "four grey pixels are stored as one word");

// The mean of the darkest two of four. A line a pixel thin crosses two of
// the four, and keeps its ink whole when zoomed out; a lone speck is one of
// them, and fades by half at each step, where the darkest of four would turn
// a speckled scan black at 1:8.
inline std::uint8_t darkestTwo(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d)
{
    const std::uint8_t lowAB = std::min(a, b), highAB = std::max(a, b);
    const std::uint8_t lowCD = std::min(c, d), highCD = std::max(c, d);
    const unsigned first = std::min(lowAB, lowCD);
    const unsigned second = std::min(std::max(lowAB, lowCD), std::min(highAB, highCD));
    return std::uint8_t((first + second + 1) / 2);
}

}  // namespace

void monoToRgb32(const std::uint8_t* bits, int first, int count, const std::uint8_t greys[2], std::uint32_t* out)
{
    const std::uint32_t colours[2] = {kOpaque | 0x010101u * greys[0], kOpaque | 0x010101u * greys[1]};
    int x = first;
    const int end = first + count;
    for (; x < end && (x & 7); ++x)
        *out++ = colours[bitAt(bits, x)];
    for (; x + 8 <= end; x += 8) {
        const unsigned byte = bits[x >> 3];
        for (int b = 7; b >= 0; --b)
            *out++ = colours[(byte >> b) & 1];
    }
    for (; x < end; ++x)
        *out++ = colours[bitAt(bits, x)];
}

void greyToRgb32(const std::uint8_t* grey, int count, std::uint32_t* out)
{
    for (int x = 0; x < count; ++x)
        out[x] = kOpaque | 0x010101u * grey[x];
}

void rgbToRgb32(const std::uint8_t* rgb, int count, std::uint32_t* out)
{
    for (int x = 0; x < count; ++x, rgb += 3)
        out[x] = kOpaque | std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
}

void rgb32ToRgb(const std::uint32_t* words, int count, std::uint8_t* rgb)
{
    for (int x = 0; x < count; ++x, rgb += 3) {
        rgb[0] = std::uint8_t(words[x] >> 16);
        rgb[1] = std::uint8_t(words[x] >> 8);
        rgb[2] = std::uint8_t(words[x]);
    }
}

MonoToGrey::MonoToGrey(const std::uint8_t greys[2]) : greys_{greys[0], greys[1]}
{
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint64_t eight = 0;
        for (unsigned b = 0; b < 8; ++b)
            eight |= std::uint64_t(greys[(byte >> (7 - b)) & 1]) << (8 * b);
        eights_[byte] = eight;
    }
}

void MonoToGrey::operator()(const std::uint8_t* bits, int first, int count, std::uint8_t* out) const
{
    int x = first;
    const int end = first + count;
    for (; x < end && (x & 7); ++x)
        *out++ = greys_[bitAt(bits, x)];
    for (; x + 8 <= end; x += 8, out += 8)
        std::memcpy(out, &eights_[bits[x >> 3]], 8);  // the first pixel in the lowest byte: little-endian
    for (; x < end; ++x)
        *out++ = greys_[bitAt(bits, x)];
}

void rgbToGrey(const std::uint8_t* rgb, int count, std::uint8_t* out)
{
    for (int x = 0; x < count; ++x, rgb += 3)
        out[x] = std::uint8_t((rgb[0] * 11 + rgb[1] * 16 + rgb[2] * 5) / 32);
}

RgbToInk::RgbToInk(const std::uint8_t paper[3]) : paper_{paper[0], paper[1], paper[2]}, inkOf_(3 * 255 * 255 + 1)
{
    for (std::size_t sum = 0; sum < inkOf_.size(); ++sum)
        inkOf_[sum] = std::uint8_t(255 - std::lround(std::sqrt(double(sum) / 3)));
}

void RgbToInk::operator()(const std::uint8_t* rgb, int count, std::uint8_t* out) const
{
    for (int x = 0; x < count; ++x, rgb += 3) {
        int sum = 0;
        for (int c = 0; c < 3; ++c) {
            const int shortfall = std::max(0, paper_[c] - rgb[c]);
            sum += shortfall * shortfall;
        }
        out[x] = inkOf_[std::size_t(sum)];
    }
}

MonoHalver::MonoHalver(const std::uint8_t greys[2]) : fours_(1 << 16)
{
    // Set bits are greys[1]. The darkest two of four, by how many of the
    // four are of the darker grey: none, one (half of each) or two and more.
    const bool setIsDarker = greys[1] < greys[0];
    const std::uint8_t dark = std::min(greys[0], greys[1]), light = std::max(greys[0], greys[1]);
    const std::uint8_t half = std::uint8_t((dark + light + 1) / 2);
    for (unsigned set = 0; set <= 4; ++set) {
        const unsigned darkOnes = setIsDarker ? set : 4 - set;
        byCount_[set] = darkOnes == 0 ? light : darkOnes == 1 ? half : dark;
    }
    for (unsigned above = 0; above < 256; ++above)
        for (unsigned below = 0; below < 256; ++below) {
            const std::uint32_t sums = kPairCounts[above] + kPairCounts[below];
            std::uint32_t four = 0;
            for (unsigned lane = 0; lane < 4; ++lane)
                four |= std::uint32_t(byCount_[(sums >> (8 * lane)) & 0xff]) << (8 * lane);
            fours_[above << 8 | below] = four;
        }
}

void MonoHalver::operator()(const std::uint8_t* row0, const std::uint8_t* row1, int width, std::uint8_t* out) const
{
    const int pairs = width / 2;
    const int wholeBytes = pairs / 4;
    const std::uint32_t* fours = fours_.data();
    for (int byte = 0; byte < wholeBytes; ++byte) {
        const std::uint32_t four = fours[unsigned(row0[byte]) << 8 | row1[byte]];
        std::memcpy(out + 4 * byte, &four, 4);  // the first pixel in the lowest byte: little-endian
    }
    for (int p = 4 * wholeBytes; p < pairs; ++p)
        out[p] = byCount_[bitAt(row0, 2 * p) + bitAt(row0, 2 * p + 1) + bitAt(row1, 2 * p) + bitAt(row1, 2 * p + 1)];
    if (width % 2)
        out[pairs] = byCount_[2 * (bitAt(row0, width - 1) + bitAt(row1, width - 1))];
}

void halveGreyRows(const std::uint8_t* row0, const std::uint8_t* row1, int width, std::uint8_t* out)
{
    const int pairs = width / 2;
    for (int p = 0; p < pairs; ++p)
        out[p] = darkestTwo(row0[2 * p], row0[2 * p + 1], row1[2 * p], row1[2 * p + 1]);
    if (width % 2)
        out[pairs] = darkestTwo(row0[width - 1], row0[width - 1], row1[width - 1], row1[width - 1]);
}

void halveRgbRows(const std::uint8_t* row0, const std::uint8_t* row1, int width, std::uint8_t* out)
{
    const int pairs = width / 2;
    for (int p = 0; p < pairs; ++p)
        for (int c = 0; c < 3; ++c)
            out[3 * p + c] = darkestTwo(row0[6 * p + c], row0[6 * p + 3 + c], row1[6 * p + c], row1[6 * p + 3 + c]);
    if (width % 2) {
        const int last = 3 * (width - 1);
        for (int c = 0; c < 3; ++c)
            out[3 * pairs + c] = darkestTwo(row0[last + c], row0[last + c], row1[last + c], row1[last + c]);
    }
}
