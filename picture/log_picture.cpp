#include "picture/log_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "picture/picture_decoding.h"
#include "picture/picture_rows.h"

namespace {

// The two greys of a level kept at one bit a pixel.
std::array<std::uint8_t, 2> greysOf(const QImage& level)
{
    return {std::uint8_t(level.color(0)), std::uint8_t(level.color(1))};
}

// Each row of part that lies on the level, handed to convert with the part's
// first column, its width, and the row of out to fill.
template <typename Out, typename Convert>
void eachRow(const QImage& level, const QRect& part, Out* out, std::ptrdiff_t stride, Convert convert)
{
    const QRect r = part.intersected(level.rect());
    for (int y = r.top(); y <= r.bottom(); ++y, out += stride)
        convert(level.constScanLine(y), r.left(), r.width(), out);
}

}  // namespace

void LogPicture::setImage(const QImage& image) { convertDecoded(image, {}, *this); }

void LogPicture::toRgb32(int n, const QRect& part, std::uint32_t* out, std::ptrdiff_t stride) const
{
    const QImage& level = levels_[std::size_t(n)];
    if (level.format() == QImage::Format_Mono) {
        const std::array<std::uint8_t, 2> greys = greysOf(level);
        eachRow(level, part, out, stride, [&greys](const uchar* row, int first, int count, std::uint32_t* to) {
            monoToRgb32(row, first, count, greys.data(), to);
        });
    } else if (level.format() == QImage::Format_Grayscale8) {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint32_t* to) {
            greyToRgb32(row + first, count, to);
        });
    } else {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint32_t* to) {
            rgbToRgb32(row + 3 * first, count, to);
        });
    }
}

void LogPicture::toGrey(const QRect& part, std::uint8_t* out, std::ptrdiff_t stride) const
{
    const QImage& level = levels_[0];
    if (level.format() == QImage::Format_Mono) {
        const MonoToGrey toGrey(greysOf(level).data());
        eachRow(level, part, out, stride, [&toGrey](const uchar* row, int first, int count, std::uint8_t* to) {
            toGrey(row, first, count, to);
        });
    } else if (level.format() == QImage::Format_Grayscale8) {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint8_t* to) {
            std::memcpy(to, row + first, std::size_t(count));
        });
    } else {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint8_t* to) {
            rgbToGrey(row + 3 * first, count, to);
        });
    }
}

QRgb LogPicture::paperColour(const QRect& part) const
{
    const QImage& level = levels_[0];
    const QRect area = part.intersected(level.rect());
    if (level.format() != QImage::Format_RGB888 || area.isEmpty())
        return qRgb(255, 255, 255);
    // Some tens of thousands of pixels on a grid over the part.
    const int step = std::max(1, int(std::sqrt(double(area.width()) * area.height() / 40000)));
    std::vector<std::array<std::uint8_t, 3>> samples;
    for (int y = area.top(); y <= area.bottom(); y += step) {
        const uchar* row = level.constScanLine(y);
        for (int x = area.left(); x <= area.right(); x += step)
            samples.push_back({row[3 * x], row[3 * x + 1], row[3 * x + 2]});
    }
    const auto luma = [](const std::array<std::uint8_t, 3>& c) { return c[0] * 11 + c[1] * 16 + c[2] * 5; };
    const auto half = samples.begin() + std::ptrdiff_t(samples.size() / 2);
    std::nth_element(samples.begin(), half, samples.end(), [&](const auto& a, const auto& b) { return luma(a) < luma(b); });
    std::array<int, 3> paper{};
    for (std::size_t c = 0; c < 3; ++c) {
        std::vector<std::uint8_t> channel;
        for (auto it = half; it != samples.end(); ++it)
            channel.push_back((*it)[c]);
        std::nth_element(channel.begin(), channel.begin() + std::ptrdiff_t(channel.size() / 2), channel.end());
        paper[c] = channel[channel.size() / 2];
    }
    return qRgb(paper[0], paper[1], paper[2]);
}

void LogPicture::toInk(const QRect& part, QRgb paper, std::uint8_t* out, std::ptrdiff_t stride) const
{
    const QImage& level = levels_[0];
    if (level.format() != QImage::Format_RGB888) {
        toGrey(part, out, stride);
        return;
    }
    const std::uint8_t paperRgb[3] = {std::uint8_t(qRed(paper)), std::uint8_t(qGreen(paper)), std::uint8_t(qBlue(paper))};
    const RgbToInk toInk(paperRgb);
    eachRow(level, part, out, stride, [&toInk](const uchar* row, int first, int count, std::uint8_t* to) {
        toInk(row + 3 * first, count, to);
    });
}
