// The picture kept in its own form (one bit, grey or RGB) must look exactly
// as the same file decoded whole to 32-bit RGB and halved, each pixel the
// mean of the darkest two of four, at every level and through the view at
// every zoom.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <tiffio.h>

#include "bmp_encoder.h"
#include "layout_writers.h"
#include "picture/log_picture.h"
#include "drawing/qt_surface.h"
#include "tiff_writer.h"

namespace {

constexpr int kWidth = 203;  // odd, and no whole number of bytes at one bit
constexpr int kHeight = 77;

std::uint32_t grey(int x, int y)
{
    const std::uint32_t g = (x % 40 == 0 || y % 25 == 0) ? 0 : std::uint32_t(x * 7 + y * 13) % 256;
    return g * 0x010101u;
}
std::uint32_t blackOrWhite(int x, int y) { return (x * x + 3 * y) % 7 < 3 || y % 20 == 0 ? 0 : 0xffffff; }
std::uint32_t colour(int x, int y)
{
    return std::uint32_t(x * 5 % 256) << 16 | std::uint32_t(y * 9 % 256) << 8 | std::uint32_t((x + y) * 3 % 256);
}
// Sixteen colours, for the palettes of bitmaps and TIFFs.
std::uint32_t fewColours(int x, int y)
{
    return 0x550000u * std::uint32_t(x / 32 % 4) | 0x5500u * std::uint32_t(y / 20 % 4);
}

RgbPicture drawn(const std::function<std::uint32_t(int, int)>& pixel)
{
    RgbPicture p(kWidth, kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            p.at(x, y) = pixel(x, y);
    return p;
}

QImage asImage(const RgbPicture& p, QImage::Format format)
{
    QImage rgb(p.width, p.height, QImage::Format_RGB32);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            rgb.setPixel(x, y, 0xff000000u | p.at(x, y));
    return rgb.convertToFormat(format, Qt::ThresholdDither | Qt::AvoidDither);
}

// The file decoded whole by Qt, laid over white, and halved three times,
// each pixel the mean of the darkest two of the four it stands for.
std::array<QImage, LogPicture::kLevels> wholeLevels(const QString& path)
{
    QImageReader reader(path);
    const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::array<QImage, LogPicture::kLevels> levels;
    levels[0] = QImage(decoded.size(), QImage::Format_RGB32);
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x) {
            const QRgb p = decoded.pixel(x, y);
            const int clear = 255 - qAlpha(p);
            levels[0].setPixel(x, y, qRgb(qRed(p) + clear, qGreen(p) + clear, qBlue(p) + clear));
        }
    for (std::size_t n = 1; n < levels.size(); ++n) {
        const QImage& from = levels[n - 1];
        QImage half(std::max(1, (from.width() + 1) / 2), std::max(1, (from.height() + 1) / 2), QImage::Format_RGB32);
        for (int y = 0; y < half.height(); ++y)
            for (int x = 0; x < half.width(); ++x) {
                const QRgb a = from.pixel(std::min(2 * x, from.width() - 1), 2 * y);
                const QRgb b = from.pixel(std::min(2 * x + 1, from.width() - 1), 2 * y);
                const QRgb c = from.pixel(std::min(2 * x, from.width() - 1), std::min(2 * y + 1, from.height() - 1));
                const QRgb d =
                    from.pixel(std::min(2 * x + 1, from.width() - 1), std::min(2 * y + 1, from.height() - 1));
                const auto darkestTwo = [&](int (*channel)(QRgb)) {
                    std::array<int, 4> four{channel(a), channel(b), channel(c), channel(d)};
                    std::sort(four.begin(), four.end());
                    return (four[0] + four[1] + 1) / 2;
                };
                half.setPixel(x, y, qRgb(darkestTwo(qRed), darkestTwo(qGreen), darkestTwo(qBlue)));
            }
        levels[n] = half;
    }
    return levels;
}

QImage shownLevel(const LogPicture& picture, int n)
{
    const QImage& level = picture.level(n);
    QImage rgb(level.size(), QImage::Format_RGB32);
    picture.toRgb32(n, level.rect(), reinterpret_cast<std::uint32_t*>(rgb.bits()), rgb.bytesPerLine() / 4);
    return rgb;
}

struct Case {
    const char* name;
    QImage::Format kept;
    std::function<bool(const std::string& path)> write;
};

bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

bool writeTiffOf(const std::string& path, const std::function<std::uint32_t(int, int)>& pixel, TiffOptions o)
{
    return writeTiff(path, kWidth, kHeight, o, [&](int y, std::uint32_t* row) {
        for (int x = 0; x < kWidth; ++x)
            row[x] = pixel(x, y);
    });
}

std::vector<std::uint32_t> paletteOf(const std::function<std::uint32_t(int, int)>& pixel)
{
    std::vector<std::uint32_t> colours;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (std::find(colours.begin(), colours.end(), pixel(x, y)) == colours.end())
                colours.push_back(pixel(x, y));
    return colours;
}

std::vector<Case> everyKind()
{
    using S = TiffOptions::Samples;
    const auto tiff = [](auto pixel, TiffOptions o) {
        return [pixel, o](const std::string& path) { return writeTiffOf(path, pixel, o); };
    };
    const auto bmp = [](auto pixel, int bits) {
        return [pixel, bits](const std::string& path) { return writeBytes(path, encodeBmp(drawn(pixel), bits)); };
    };
    const auto qt = [](auto pixel, QImage::Format format, const char* kind) {
        return [pixel, format, kind](const std::string& path) {
            return asImage(drawn(pixel), format).save(QString::fromStdString(path), kind, 95);
        };
    };
    TiffOptions palette{S::Palette, COMPRESSION_LZW, 16, 0, false, paletteOf(fewColours)};
    std::vector<Case> cases = {
        {"fax.tif", QImage::Format_Mono, tiff(blackOrWhite, {S::Bilevel, COMPRESSION_CCITTFAX4, 10, 0, true, {}})},
        {"bilevel-tiles.tif", QImage::Format_Mono,
         tiff(blackOrWhite, {S::Bilevel, COMPRESSION_NONE, 0, 32, false, {}})},
        {"grey-lzw.tif", QImage::Format_Grayscale8, tiff(grey, {S::Grey, COMPRESSION_LZW, 7, 0, false, {}})},
        {"grey-tiles.tif", QImage::Format_Grayscale8,
         tiff(grey, {S::Grey, COMPRESSION_ADOBE_DEFLATE, 0, 48, false, {}})},
        {"grey-inverted.tif", QImage::Format_Grayscale8, tiff(grey, {S::Grey, COMPRESSION_NONE, 16, 0, true, {}})},
        {"rgb-lzw.tif", QImage::Format_RGB888, tiff(colour, {S::Rgb, COMPRESSION_LZW, 13, 0, false, {}})},
        {"rgb-tiles.tif", QImage::Format_RGB888, tiff(colour, {S::Rgb, COMPRESSION_LZW, 0, 32, false, {}})},
        {"palette.tif", QImage::Format_RGB888, tiff(fewColours, palette)},
        {"1.bmp", QImage::Format_Grayscale8, bmp(blackOrWhite, 1)},
        {"4.bmp", QImage::Format_RGB888, bmp(fewColours, 4)},
        {"8-grey.bmp", QImage::Format_Grayscale8, bmp(grey, 8)},
        {"24.bmp", QImage::Format_RGB888, bmp(colour, 24)},
        {"32.bmp", QImage::Format_RGB888, bmp(colour, 32)},
        {"mono.png", QImage::Format_Mono, qt(blackOrWhite, QImage::Format_Mono, "PNG")},
        {"grey.png", QImage::Format_Grayscale8, qt(grey, QImage::Format_Grayscale8, "PNG")},
        {"indexed.png", QImage::Format_RGB888, qt(fewColours, QImage::Format_Indexed8, "PNG")},
        {"rgb.png", QImage::Format_RGB888, qt(colour, QImage::Format_RGB32, "PNG")},
        {"grey.jpg", QImage::Format_Grayscale8, qt(grey, QImage::Format_Grayscale8, "JPEG")},
        {"colour.jpg", QImage::Format_RGB888, qt(colour, QImage::Format_RGB32, "JPEG")},
        {"progressive.jpg", QImage::Format_RGB888,
         [](const std::string& path) {
             QImageWriter writer(QString::fromStdString(path), "JPEG");
             writer.setProgressiveScanWrite(true);
             return writer.write(asImage(drawn(colour), QImage::Format_RGB32));
         }},
        {"cmyk.jpg", QImage::Format_RGB888,
         [](const std::string& path) {
             return writeCmykJpeg(path, kWidth, kHeight, [](int x, int y) {
                 return std::uint32_t(x * 5 % 256) << 24 | std::uint32_t(y * 9 % 256) << 16
                        | std::uint32_t((x + y) % 256) << 8 | std::uint32_t(x * y % 256);
             });
         }},
    };
    // PNGs of every depth and colour type, some transparent or interlaced.
    const auto png = [](PngLayout layout) {
        return [layout](const std::string& path) {
            return writePng(path, kWidth, kHeight, layout, [&layout](int x, int y, int channel) {
                const unsigned most = (1u << layout.depth) - 1;
                if (layout.colourType == 3)
                    return unsigned(x / 16 + y / 8) % unsigned(layout.palette.size());
                if ((layout.colourType == 4 && channel == 1) || (layout.colourType == 6 && channel == 3))
                    return unsigned(x * 37 + y * 11) % (most + 1);  // alpha
                return unsigned(x * 7 + y * 13 + channel * 61) * (most / 255 + 1) % (most + 1);
            });
        };
    };
    const std::vector<std::uint32_t> twoGreys = {0xff202020, 0xffe0e0e0};
    const std::vector<std::uint32_t> clearColours = {0xff000000, 0x80ff0000, 0x0000ff00, 0xff0000ff, 0xffffffff};
    const std::vector<std::uint32_t> greyLevels = {0xff000000, 0xff555555, 0xffaaaaaa, 0xffffffff};
    cases.insert(cases.end(), {
        {"grey2.png", QImage::Format_Grayscale8, png({2, 0, false, {}, -1})},
        {"grey4-interlaced.png", QImage::Format_Grayscale8, png({4, 0, true, {}, -1})},
        {"grey16.png", QImage::Format_RGB888, png({16, 0, false, {}, -1})},
        {"grey16-keyed.png", QImage::Format_RGB888, png({16, 0, false, {}, 0x1c1c})},
        {"grey8-keyed.png", QImage::Format_RGB888, png({8, 0, false, {}, 40})},
        {"grey1-keyed.png", QImage::Format_RGB888, png({1, 0, false, {}, 0})},
        {"grey-alpha.png", QImage::Format_RGB888, png({8, 4, false, {}, -1})},
        {"grey-alpha16.png", QImage::Format_RGB888, png({16, 4, false, {}, -1})},
        {"rgb16.png", QImage::Format_RGB888, png({16, 2, false, {}, -1})},
        {"rgb-keyed.png", QImage::Format_RGB888, png({8, 2, false, {}, 61})},
        {"rgb-interlaced.png", QImage::Format_RGB888, png({8, 2, true, {}, -1})},
        {"rgba.png", QImage::Format_RGB888, png({8, 6, false, {}, -1})},
        {"rgba16-interlaced.png", QImage::Format_RGB888, png({16, 6, true, {}, -1})},
        {"palette1-grey.png", QImage::Format_Mono, png({1, 3, false, twoGreys, -1})},
        {"palette2-grey.png", QImage::Format_Grayscale8, png({2, 3, false, greyLevels, -1})},
        {"palette4-clear.png", QImage::Format_RGB888, png({4, 3, false, clearColours, -1})},
        {"palette8-interlaced.png", QImage::Format_RGB888, png({8, 3, true, clearColours, -1})},
    });
    return cases;
}

}  // namespace

TEST(PictureForms, EveryKindIsKeptSmallAndShowsAsDecodedWholeAtEveryLevel)
{
    QTemporaryDir folder;
    for (const Case& c : everyKind()) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(c.write(path.toStdString()));
        LogPicture picture;
        QString error;
        ASSERT_TRUE(picture.load(path, error)) << error.toStdString();
        EXPECT_EQ(picture.level(0).format(), c.kept);
        const auto expected = wholeLevels(path);
        for (int n = 0; n < LogPicture::kLevels; ++n)
            ASSERT_EQ(shownLevel(picture, n), expected[std::size_t(n)]) << "level " << n;
        // The grey the tadpole search reads, a part at an odd place: by Qt's
        // grey weights of what is shown.
        const QRect part(3, 5, kWidth - 9, kHeight - 11);
        std::vector<std::uint8_t> grey(std::size_t(part.width()) * std::size_t(part.height()));
        picture.toGrey(part, grey.data(), part.width());
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x) {
                const QRgb p = expected[0].pixel(part.left() + x, part.top() + y);
                ASSERT_EQ(grey[std::size_t(y * part.width() + x)], (qRed(p) * 11 + qGreen(p) * 16 + qBlue(p) * 5) / 32)
                    << x << "," << y;
            }
    }
}

TEST(PictureForms, TheViewShowsWhatTheWholeLevelWouldAtEveryZoom)
{
    QTemporaryDir folder;
    for (const char* name : {"fax.tif", "grey-lzw.tif", "rgb-lzw.tif"}) {
        SCOPED_TRACE(name);
        const QString path = folder.filePath(QString::fromLatin1(name));
        for (const Case& c : everyKind()) {
            if (std::string(c.name) == name) {
                ASSERT_TRUE(c.write(path.toStdString()));
            }
        }
        LogPicture picture;
        QString error;
        ASSERT_TRUE(picture.load(path, error)) << error.toStdString();
        const auto levels = wholeLevels(path);
        QtSurface surface;
        surface.setPicture(&picture);
        surface.resize({700, 300});
        const Rgb paper = surface.background();

        // The whole picture in view, placed at (5, 3).
        for (double zoom : {1.0, 0.5, 0.25, 0.125, 2.0, 3.0, 0.7, 0.3, 0.06}) {
            SCOPED_TRACE(zoom);
            surface.clear();
            surface.paintPicture(5, 3, kWidth * zoom, kHeight * zoom, 0, 0, kWidth, kHeight);
            int n = 0;
            while (n + 1 < LogPicture::kLevels && zoom * (1 << n) < 0.999999)
                ++n;
            const double reduction = 1 << n;
            QImage expected(surface.sizeInPixels(), QImage::Format_RGB32);
            expected.fill(QColor(paper.r, paper.g, paper.b));
            QPainter p(&expected);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            if (zoom * reduction == 1)
                p.drawImage(QPointF(5, 3), levels[std::size_t(n)]);
            else
                p.drawImage(QRectF(5, 3, kWidth * zoom, kHeight * zoom), levels[std::size_t(n)],
                            QRectF(0, 0, kWidth / reduction, kHeight / reduction));
            p.end();
            ASSERT_EQ(surface.image(), expected);
        }
        // Scrolled into the picture, in a view smaller than it, at 1:1 and 1:2.
        surface.resize({60, 20});
        for (int n : {0, 1}) {
            surface.clear();
            surface.paintPicture(0, 0, kWidth / double(1 << n), kHeight / double(1 << n), 40, 20, kWidth, kHeight);
            ASSERT_EQ(surface.image(), levels[std::size_t(n)].copy(40 >> n, 20 >> n, 60, 20)) << "level " << n;
        }
    }
}
