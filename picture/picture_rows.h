#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Row kernels of the log picture's forms: a black-and-white scan at one bit a
// pixel (most significant bit first, each bit an index into two greys), 8-bit
// grey, and 24-bit RGB (red first). Each turns rows into what the view shows
// (0xffRRGGBB words) or into the rows of the half-size copy, every pixel the
// mean of the darkest two of the 2 x 2 it covers (each channel's, for RGB),
// an odd last column taken twice: zoomed out, a line a pixel thin stays
// whole and a lone speck fades.

void monoToRgb32(const std::uint8_t* bits, int first, int count, const std::uint8_t greys[2], std::uint32_t* out);
void greyToRgb32(const std::uint8_t* grey, int count, std::uint32_t* out);
void rgbToRgb32(const std::uint8_t* rgb, int count, std::uint32_t* out);
// And back: 0xAARRGGBB words packed as RGB, their alpha dropped.
void rgb32ToRgb(const std::uint32_t* words, int count, std::uint8_t* rgb);
// True for a colour 0xAARRGGBB that is an opaque grey.
inline bool isOpaqueGrey(std::uint32_t c)
{
    return c >> 24 == 0xff && (c >> 16 & 0xff) == (c >> 8 & 0xff) && (c >> 8 & 0xff) == (c & 0xff);
}

// 1-bit rows turned grey eight pixels at a time, through a table of the
// greys of every byte made once.
class MonoToGrey {
public:
    explicit MonoToGrey(const std::uint8_t greys[2]);
    void operator()(const std::uint8_t* bits, int first, int count, std::uint8_t* out) const;

private:
    std::uint8_t greys_[2];
    std::uint64_t eights_[256];
};
// By the weights of Qt's own grey conversion (11, 16 and 5 of 32).
void rgbToGrey(const std::uint8_t* rgb, int count, std::uint8_t* out);

// RGB rows turned into ink on white paper by each pixel's distance below
// the paper's colour: the root mean square of how far each channel falls
// short of the paper's, so that grey ink on white keeps its grey and
// coloured ink on tinted paper stays dark whatever its brightness.
class RgbToInk {
public:
    explicit RgbToInk(const std::uint8_t paper[3]);
    void operator()(const std::uint8_t* rgb, int count, std::uint8_t* out) const;

private:
    std::uint8_t paper_[3];
    std::vector<std::uint8_t> inkOf_;  // by the sum of the squared shortfalls
};

// width is the source rows' width in pixels; out takes (width + 1) / 2.
// Halving 1-bit rows looks up each pair of bytes, one above the other, in a
// table of the four grey pixels they give.
class MonoHalver {
public:
    explicit MonoHalver(const std::uint8_t greys[2]);
    void operator()(const std::uint8_t* row0, const std::uint8_t* row1, int width, std::uint8_t* out) const;

private:
    std::uint8_t byCount_[5];  // the darkest two of four pixels, by how many are set
    std::vector<std::uint32_t> fours_;
};
void halveGreyRows(const std::uint8_t* row0, const std::uint8_t* row1, int width, std::uint8_t* out);
void halveRgbRows(const std::uint8_t* row0, const std::uint8_t* row1, int width, std::uint8_t* out);
