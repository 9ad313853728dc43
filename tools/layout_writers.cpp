#include "layout_writers.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
#include <png.h>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

int channelsOf(int colourType)
{
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// The row packed at the layout's depth, most significant bits first.
std::vector<png_byte> packedRow(int width, int y, const PngLayout& layout,
                                const std::function<unsigned(int, int, int)>& sample)
{
    const int channels = channelsOf(layout.colourType);
    std::vector<png_byte> row((std::size_t(width) * std::size_t(channels) * std::size_t(layout.depth) + 7) / 8, 0);
    std::size_t bit = 0;
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < channels; ++c, bit += std::size_t(layout.depth)) {
            const unsigned v = sample(x, y, c);
            if (layout.depth == 16) {
                row[bit / 8] = png_byte(v >> 8);
                row[bit / 8 + 1] = png_byte(v);
            } else if (layout.depth == 8) {
                row[bit / 8] = png_byte(v);
            } else {
                row[bit / 8] |= png_byte((v & ((1u << layout.depth) - 1)) << (8 - layout.depth - bit % 8));
            }
        }
    return row;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const PngLayout& layout,
              const std::function<unsigned(int x, int y, int channel)>& sample)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<std::vector<png_byte>> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(packedRow(width, y, layout, sample));
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    for (const std::uint32_t c : layout.palette) {
        colours.push_back({png_byte(c >> 16), png_byte(c >> 8), png_byte(c)});
        alphas.push_back(png_byte(c >> 24));
    }
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), layout.depth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!colours.empty())
        png_set_PLTE(png, info, colours.data(), int(colours.size()));
    if (std::any_of(alphas.begin(), alphas.end(), [](png_byte a) { return a < 255; }))
        png_set_tRNS(png, info, alphas.data(), int(alphas.size()), nullptr);
    if (layout.transparentGrey >= 0) {
        png_color_16 key{};
        key.gray = key.red = key.green = key.blue = png_uint_16(layout.transparentGrey);
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool writeCmykJpeg(const std::string& path, int width, int height,
                   const std::function<std::uint32_t(int x, int y)>& cmyk)
{
    File file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    info.write_Adobe_marker = TRUE;
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
                row[std::size_t(x) * 4 + std::size_t(c)] = JSAMPLE(255 - (cmyk(x, y) >> (24 - 8 * c) & 0xff));
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}
