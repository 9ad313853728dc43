#pragma once

// The floors the benchmarks print beside their figures: the least the same
// work could take on this machine, measured in the same run, so that a
// reader sees the ratio whatever the machine's mood.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include <cstdio>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

// The best of some runs of work, in milliseconds.
template <typename Work>
double bestMs(int runs, Work work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// These bytes copied once.
inline double copyMs(const void* from, std::size_t bytes)
{
    std::vector<unsigned char> to(bytes);
    return bestMs(20, [&] {
        std::memcpy(to.data(), from, bytes);
        benchmark::DoNotOptimize(to.data());
    });
}

// libtiff alone: every strip of the file decoded into one buffer.
inline double libtiffDecodeMs(const std::string& path)
{
    return bestMs(3, [&] {
        TIFF* t = TIFFOpen(path.c_str(), "rm");
        if (!t)
            return;
        std::vector<unsigned char> strip(std::size_t(TIFFStripSize(t)));
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(t); ++s)
            TIFFReadEncodedStrip(t, s, strip.data(), tmsize_t(strip.size()));
        TIFFClose(t);
    });
}

// libpng alone: every row of the file decoded, as RGB, into one row.
inline double libpngDecodeMs(const std::string& path)
{
    return bestMs(2, [&] {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (file && !setjmp(png_jmpbuf(png))) {
            png_init_io(png, file);
            png_read_info(png, info);
            png_set_expand(png);
            png_read_update_info(png, info);
            std::vector<png_byte> row(png_get_rowbytes(png, info));
            for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y)
                png_read_row(png, row.data(), nullptr);
        }
        png_destroy_read_struct(&png, &info, nullptr);
        if (file)
            std::fclose(file);
    });
}

// libjpeg alone: every row of the file decoded, as RGB, into one row.
inline double libjpegDecodeMs(const std::string& path)
{
    return bestMs(2, [&] {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return;
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        std::vector<JSAMPLE> row(std::size_t(info.output_width) * std::size_t(info.output_components));
        while (info.output_scanline < info.output_height) {
            JSAMPROW pointer = row.data();
            jpeg_read_scanlines(&info, &pointer, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        std::fclose(file);
    });
}
