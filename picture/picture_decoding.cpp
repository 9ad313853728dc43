#include "picture/picture_decoding.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <thread>
#include <vector>

#ifdef __linux__
#include <unistd.h>
#endif

#include "picture/picture_levels.h"
#include "picture/picture_rows.h"
#include "files/bitmap_decoder.h"
#include "files/tiff_strips.h"

namespace {

bool isOpaqueGrey(QRgb c) { return qAlpha(c) == 255 && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); }

// A premultiplied pixel laid over white paper.
inline std::uint32_t overWhite(std::uint32_t p)
{
    const std::uint32_t clear = 255 - (p >> 24);
    return 0xff000000u | ((p & 0xffffff) + (clear << 16 | clear << 8 | clear));
}

void packRgb(const std::uint32_t* from, int count, std::uint8_t* to)
{
    for (int x = 0; x < count; ++x, to += 3) {
        to[0] = std::uint8_t(from[x] >> 16);
        to[1] = std::uint8_t(from[x] >> 8);
        to[2] = std::uint8_t(from[x]);
    }
}

constexpr int kBand = 256;  // rows decoded between progress reports; a multiple of 8

bool goOn(const LogPicture::Progress& progress, int done, int height)
{
    return !progress || progress(double(done) / std::max(1, height));
}

using Advanced = std::function<bool(int rows)>;

// The picture's rows decoded by decode(top, bottom, advanced) in two halves
// at once, which meet at a multiple of step rows (a multiple of 8, so that
// neither half needs the other's rows for its copies). decode tells
// advanced of each band of rows it finishes and stops when told no. The
// progress is told from this thread only.
DecodeOutcome inTwoHalves(int height, int step, const LogPicture::Progress& progress,
                    const std::function<DecodeOutcome(int top, int bottom, const Advanced& advanced)>& decode)
{
    const int middle = (height / 2 + step - 1) / step * step;
    const bool halves = middle > 0 && middle < height && std::thread::hardware_concurrency() > 1;
    const int split = halves ? middle : height;
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    DecodeOutcome lower = DecodeOutcome::Done;
    std::thread second;
    if (halves)
        second = std::thread([&] {
            lower = decode(split, height, [&](int rows) {
                done += rows;
                return !stop;
            });
            if (lower != DecodeOutcome::Done)
                stop = true;
        });
    const DecodeOutcome upper = decode(0, split, [&](int rows) {
        done += rows;
        if (!goOn(progress, done, height))
            stop = true;
        return !stop;
    });
    if (upper != DecodeOutcome::Done)
        stop = true;
    if (second.joinable())
        second.join();
    if (upper == DecodeOutcome::Cancelled || lower == DecodeOutcome::Cancelled)
        return DecodeOutcome::Cancelled;
    if (upper != DecodeOutcome::Done || lower != DecodeOutcome::Done)
        return DecodeOutcome::Damaged;
    // The second half may end after the first: its progress too.
    return goOn(progress, height, height) ? DecodeOutcome::Done : DecodeOutcome::Cancelled;
}

// The copies of rows top to bottom made as each band of 256 rows is written.
DecodeOutcome inBands(int top, int bottom, const LevelBuilder& levels, const Advanced& advanced,
                const std::function<void(int y)>& writeRow)
{
    for (int y = top; y < bottom;) {
        const int end = std::min(bottom, y + kBand);
        for (int r = y; r < end; ++r)
            writeRow(r);
        levels.reduceRows(y, end);
        if (!advanced(end - y))
            return DecodeOutcome::Cancelled;
        y = end;
    }
    return DecodeOutcome::Done;
}

// Rows top to bottom of a TIFF, a band at a time, with their share of the
// reduced copies; told each band's rows, advanced says whether to go on.
DecodeOutcome decodeTiffRows(TiffStrips& tiff, int top, int bottom, const LevelBuilder& levels,
                             const Advanced& advanced)
{
    std::string error;
    int reduced = top;
    for (int y = top; y < bottom;) {
        const int rows = tiff.readBand(y, levels.row(y), levels.stride(), error);
        if (rows <= 0)
            return DecodeOutcome::Damaged;
        y += rows;
        const int upTo = y >= bottom ? bottom : y / 8 * 8;
        levels.reduceRows(reduced, upTo);
        reduced = upTo;
        if (!advanced(rows))
            return DecodeOutcome::Cancelled;
    }
    return DecodeOutcome::Done;
}

}  // namespace

bool fitsInMemory(QSize size, double bytesPerPixel)
{
    const double bytes = double(std::max(0, size.width())) * std::max(0, size.height()) * bytesPerPixel;
#ifdef __linux__
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        return bytes <= double(pages) * double(pageSize);
#endif
    return bytes <= double(std::numeric_limits<qsizetype>::max());
}

DecodeOutcome decodeBitmap(const PlainBitmap& layout, const uchar* data, const LogPicture::Progress& progress,
                     LogPicture& picture)
{
    const bool grey = layout.bitsPerPixel <= 8
                      && std::all_of(layout.palette.begin(), layout.palette.end(), [](std::uint32_t c) {
                             return isOpaqueGrey(c);
                         });
    const PictureForm form = grey ? PictureForm::Grey : PictureForm::Rgb;
    if (!fitsInMemory({layout.width, layout.height}, bytesPerPixel(form)))
        return DecodeOutcome::TooLarge;
    LevelBuilder levels(layout.width, layout.height, form);
    if (!levels.ok())
        return DecodeOutcome::TooLarge;
    const int width = layout.width;
    const auto decode = [&](int top, int bottom, const Advanced& advanced) {
        std::vector<std::uint32_t> decoded(static_cast<std::size_t>(width));
        return inBands(top, bottom, levels, advanced, [&](int y) {
            std::uint8_t* to = levels.row(y);
            if (layout.bitsPerPixel == 24) {
                const std::size_t stored = std::size_t(layout.topDown ? y : layout.height - 1 - y);
                const uchar* from = data + layout.pixelOffset + layout.stride * stored;
                for (int x = 0; x < width; ++x, from += 3, to += 3) {
                    to[0] = from[2];
                    to[1] = from[1];
                    to[2] = from[0];
                }
                return;
            }
            decodeBitmapRow(layout, data, y, decoded.data());
            if (grey)
                for (int x = 0; x < width; ++x)
                    to[x] = std::uint8_t(decoded[std::size_t(x)]);
            else
                packRgb(decoded.data(), width, to);
        });
    };
    const DecodeOutcome outcome = inTwoHalves(layout.height, kBand, progress, decode);
    if (outcome == DecodeOutcome::Done)
        levels.finish(picture);
    return outcome;
}

DecodeOutcome decodeTiff(const std::string& path, TiffStrips& tiff, const LogPicture::Progress& progress,
                   LogPicture& picture)
{
    const TiffLayout& layout = tiff.layout();
    const PictureForm form = layout.samples == TiffSamples::Bilevel ? PictureForm::Mono
                      : layout.samples == TiffSamples::Grey  ? PictureForm::Grey
                                                              : PictureForm::Rgb;
    if (!fitsInMemory({layout.width, layout.height}, bytesPerPixel(form)))
        return DecodeOutcome::TooLarge;
    const std::uint8_t greys[2] = {std::uint8_t(layout.zeroIsWhite ? 255 : 0),
                                   std::uint8_t(layout.zeroIsWhite ? 0 : 255)};
    LevelBuilder levels(layout.width, layout.height, form, greys);
    if (!levels.ok())
        return DecodeOutcome::TooLarge;
    const auto decode = [&](int top, int bottom, const Advanced& advanced) {
        std::string error;
        const std::unique_ptr<TiffStrips> own = top == 0 ? nullptr : TiffStrips::open(path, error);
        if (top != 0 && !own)
            return DecodeOutcome::Damaged;
        return decodeTiffRows(top == 0 ? tiff : *own, top, bottom, levels, advanced);
    };
    const int step = int(std::min<long long>(std::lcm<long long>(layout.bandRows, 8), layout.height));
    const DecodeOutcome outcome = inTwoHalves(layout.height, step, progress, decode);
    if (outcome == DecodeOutcome::Done)
        levels.finish(picture);
    return outcome;
}

DecodeOutcome convertDecoded(const QImage& image, const LogPicture::Progress& progress, LogPicture& picture)
{
    const QImage::Format format = image.format();
    const QList<QRgb> table = image.colorTable();
    const bool greyTable = !table.isEmpty() && std::all_of(table.begin(), table.end(), isOpaqueGrey);
    PictureForm form = PictureForm::Rgb;
    if ((format == QImage::Format_Mono || format == QImage::Format_MonoLSB) && table.size() == 2 && greyTable)
        form = PictureForm::Mono;
    else if (format == QImage::Format_Grayscale8 || (format == QImage::Format_Indexed8 && greyTable))
        form = PictureForm::Grey;
    const std::uint8_t greys[2] = {std::uint8_t(table.value(0)), std::uint8_t(table.value(1))};
    std::uint8_t greyOf[256] = {};
    for (int i = 0; i < std::min<int>(256, int(table.size())); ++i)
        greyOf[i] = std::uint8_t(table[i]);
    LevelBuilder levels(image.width(), image.height(), form, greys);
    if (image.isNull() || !levels.ok())
        return DecodeOutcome::TooLarge;
    const int width = image.width();
    for (int top = 0; top < image.height(); top += kBand) {
        const int rows = std::min(kBand, image.height() - top);
        if (form == PictureForm::Mono) {
            const QImage band = image.copy(0, top, width, rows).convertToFormat(QImage::Format_Mono);
            for (int r = 0; r < rows; ++r)
                std::memcpy(levels.row(top + r), band.constScanLine(r), std::size_t(width + 7) / 8);
        } else if (form == PictureForm::Grey) {
            for (int r = 0; r < rows; ++r) {
                const uchar* from = image.constScanLine(top + r);
                std::uint8_t* to = levels.row(top + r);
                if (format == QImage::Format_Grayscale8)
                    std::memcpy(to, from, std::size_t(width));
                else
                    for (int x = 0; x < width; ++x)
                        to[x] = greyOf[from[x]];
            }
        } else {
            const QImage part = image.copy(0, top, width, rows);
            const bool clear = part.hasAlphaChannel();
            const QImage band = part.convertToFormat(clear ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
            std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
            for (int r = 0; r < rows; ++r) {
                const auto* from = reinterpret_cast<const std::uint32_t*>(band.constScanLine(r));
                if (clear)
                    for (int x = 0; x < width; ++x)
                        row[std::size_t(x)] = overWhite(from[x]);
                packRgb(clear ? row.data() : from, width, levels.row(top + r));
            }
        }
        levels.written(top + rows);
        if (!goOn(progress, top + rows, image.height()))
            return DecodeOutcome::Cancelled;
    }
    levels.finish(picture);
    return DecodeOutcome::Done;
}
