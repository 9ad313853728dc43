#include "picture/band_conversion.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "picture/picture_rows.h"

namespace {

// A premultiplied pixel laid over white paper.
inline std::uint32_t overWhite(std::uint32_t p)
{
    const std::uint32_t clear = 255 - (p >> 24);
    return 0xff000000u | ((p & 0xffffff) + (clear << 16 | clear << 8 | clear));
}

}  // namespace

BandConversion::BandConversion(QImage::Format format, const QList<QRgb>& colours)
{
    const bool greyTable = !colours.isEmpty() && std::all_of(colours.begin(), colours.end(), isOpaqueGrey);
    if ((format == QImage::Format_Mono || format == QImage::Format_MonoLSB) && colours.size() == 2 && greyTable)
        form_ = PictureForm::Mono;
    else if (format == QImage::Format_Grayscale8 || (format == QImage::Format_Indexed8 && greyTable))
        form_ = PictureForm::Grey;
    greys_ = {std::uint8_t(colours.value(0)), std::uint8_t(colours.value(1))};
    for (int i = 0; i < std::min<int>(256, int(colours.size())); ++i)
        greyOf_[std::size_t(i)] = std::uint8_t(colours[i]);
}

void BandConversion::convert(const QImage& from, int first, int rows, int top, const LevelBuilder& levels) const
{
    const int width = from.width();
    if (form_ == PictureForm::Mono) {
        const QImage band = from.copy(0, first, width, rows).convertToFormat(QImage::Format_Mono);
        for (int r = 0; r < rows; ++r)
            std::memcpy(levels.row(top + r), band.constScanLine(r), std::size_t(width + 7) / 8);
    } else if (form_ == PictureForm::Grey) {
        for (int r = 0; r < rows; ++r) {
            const uchar* in = from.constScanLine(first + r);
            std::uint8_t* to = levels.row(top + r);
            if (from.format() == QImage::Format_Grayscale8)
                std::memcpy(to, in, std::size_t(width));
            else
                for (int x = 0; x < width; ++x)
                    to[x] = greyOf_[in[x]];
        }
    } else if (from.format() == QImage::Format_RGB32) {
        for (int r = 0; r < rows; ++r)
            rgb32ToRgb(reinterpret_cast<const std::uint32_t*>(from.constScanLine(first + r)), width,
                    levels.row(top + r));
    } else {
        const QImage part = from.copy(0, first, width, rows);
        const bool clear = part.hasAlphaChannel();
        const QImage band =
            part.convertToFormat(clear ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        for (int r = 0; r < rows; ++r) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(band.constScanLine(r));
            if (clear)
                for (int x = 0; x < width; ++x)
                    row[std::size_t(x)] = overWhite(in[x]);
            rgb32ToRgb(clear ? row.data() : in, width, levels.row(top + r));
        }
    }
}
