#include "picture/log_picture.h"

#include <array>
#include <cstring>

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
