// The first inputs of the picture fuzzers: a small log picture in every
// kind and layout the program reads, written to the folder given.
#include <cstdio>
#include <functional>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <tiffio.h>

#include "layout_writers.h"
#include "tiff_writer.h"

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;

std::uint32_t ink(int x, int y) { return (x * 3 + y * 5) % 11 < 3 || y % 10 == 0 ? 0x102040 : 0xfff8f0; }

bool writeBmp(const std::string& path, int bits)
{
    RgbPicture picture(kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.at(x, y) = bits == 1 ? (ink(x, y) == 0x102040 ? 0 : 0xffffff) : ink(x, y);
    const std::string bytes = encodeBmp(picture, bits);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return file && std::fclose(file) == 0 && written;
}

bool writeTiffOf(const std::string& path, TiffOptions options)
{
    return writeTiff(path, kWidth, kHeight, options, [](int y, std::uint32_t* row) {
        for (int x = 0; x < kWidth; ++x)
            row[x] = ink(x, y);
    });
}

bool writeQt(const std::string& path, QImage::Format format, const char* kind, bool progressive = false)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, 0xff000000u | ink(x, y));
    QImageWriter writer(QString::fromStdString(path), kind);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image.convertToFormat(format));
}

bool writePngOf(const std::string& path, PngLayout layout)
{
    return writePng(path, kWidth, kHeight, layout, [&layout](int x, int y, int channel) {
        const unsigned most = (1u << layout.depth) - 1;
        if (layout.colourType == 3)
            return unsigned(ink(x, y) & 1) % unsigned(layout.palette.size());
        return ink(x, y) == 0x102040 ? unsigned(channel * 7) % (most + 1) : most;
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_seeds FOLDER\n");
        return 1;
    }
    QGuiApplication application(argc, argv);
    const std::string folder = std::string(argv[1]) + "/";
    using S = TiffOptions::Samples;
    const std::pair<const char*, std::function<bool(const std::string&)>> seeds[] = {
        {"1.bmp", [](const std::string& p) { return writeBmp(p, 1); }},
        {"8.bmp", [](const std::string& p) { return writeBmp(p, 8); }},
        {"24.bmp", [](const std::string& p) { return writeBmp(p, 24); }},
        {"rle.bmp", [](const std::string& p) { return writeQt(p, QImage::Format_Indexed8, "BMP"); }},
        {"fax.tif", [](const std::string& p) { return writeTiffOf(p, {S::Bilevel, COMPRESSION_CCITTFAX4, 8, 0, true, {}}); }},
        {"grey.tif", [](const std::string& p) { return writeTiffOf(p, {S::Grey, COMPRESSION_ADOBE_DEFLATE, 8, 0, false, {}}); }},
        {"tiles.tif", [](const std::string& p) { return writeTiffOf(p, {S::Rgb, COMPRESSION_LZW, 0, 16, false, {}}); }},
        {"packbits.tif", [](const std::string& p) { return writeTiffOf(p, {S::Grey, COMPRESSION_PACKBITS, 5, 0, true, {}}); }},
        {"grey.png", [](const std::string& p) { return writePngOf(p, {8, 0, false, {}, -1}); }},
        {"rgba16.png", [](const std::string& p) { return writePngOf(p, {16, 6, false, {}, -1}); }},
        {"interlaced.png", [](const std::string& p) { return writePngOf(p, {8, 2, true, {}, -1}); }},
        {"palette.png", [](const std::string& p) { return writePngOf(p, {2, 3, false, {0xff000000, 0x80ffffff}, -1}); }},
        {"colour.jpg", [](const std::string& p) { return writeQt(p, QImage::Format_RGB32, "JPEG"); }},
        {"grey.jpg", [](const std::string& p) { return writeQt(p, QImage::Format_Grayscale8, "JPEG"); }},
        {"progressive.jpg", [](const std::string& p) { return writeQt(p, QImage::Format_RGB32, "JPEG", true); }},
        {"cmyk.jpg", [](const std::string& p) { return writeCmykJpeg(p, kWidth, kHeight, [](int x, int y) { return ink(x, y); }); }},
    };
    for (const auto& [name, write] : seeds)
        if (!write(folder + name)) {
            std::fprintf(stderr, "%s could not be written\n", name);
            return 1;
        }
    return 0;
}
