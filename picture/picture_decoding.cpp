#include "picture/picture_decoding.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

#include "picture/decoding_bands.h"
#include "picture/memory_limit.h"
#include "picture/picture_levels.h"
#include "picture/picture_rows.h"
#include "files/bitmap_decoder.h"
#include "files/tiff_strips.h"

namespace {

using Advanced = std::function<bool(int rows)>;

// The picture's rows decoded by decode(top, bottom, advanced) in two halves
// at once, which meet at a multiple of step rows (a multiple of 8, so that
// neither half needs the other's rows for its copies). decode tells
// advanced of each band of rows it finishes and stops when told no: when the
// user cancels, or when the other half has failed. Only the user's cancel
// makes the whole read Cancelled; a half that failed makes it Damaged. The
// progress is told from this thread only.
DecodeOutcome inTwoHalves(int height, int step, const LogPicture::Progress& progress,
                    const std::function<DecodeOutcome(int top, int bottom, const Advanced& advanced)>& decode)
{
    const int middle = (height / 2 + step - 1) / step * step;
    const bool halves = middle > 0 && middle < height && std::thread::hardware_concurrency() > 1;
    const int split = halves ? middle : height;
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    bool cancelled = false;
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
        if (!goOn(progress, done, height)) {
            cancelled = true;
            stop = true;
        }
        return !stop;
    });
    if (upper != DecodeOutcome::Done)
        stop = true;
    if (second.joinable())
        second.join();
    for (const DecodeOutcome failed : {DecodeOutcome::Damaged, DecodeOutcome::TooLarge})
        if (upper == failed || lower == failed)
            return failed;
    if (cancelled)
        return DecodeOutcome::Cancelled;
    // The second half may end after the first: its progress too.
    return goOn(progress, height, height) ? DecodeOutcome::Done : DecodeOutcome::Cancelled;
}

// The copies of rows top to bottom made as each band of rows is written.
DecodeOutcome inBands(int top, int bottom, const LevelBuilder& levels, const Advanced& advanced,
                const std::function<void(int y)>& writeRow)
{
    for (int y = top; y < bottom;) {
        const int end = std::min(bottom, y + kDecodedBand);
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
        const int rows = tiff.readBand(y, bottom, levels.row(y), levels.stride(), error);
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
    return bytes <= double(pictureMemoryLimit());
}

Decoded decodeBitmap(const PlainBitmap& layout, const uchar* data, const LogPicture::Progress& progress,
                     LogPicture& picture)
{
    const QSize size(layout.width, layout.height);
    const bool grey = layout.bitsPerPixel <= 8
                      && std::all_of(layout.palette.begin(), layout.palette.end(), isOpaqueGrey);
    const PictureForm form = grey ? PictureForm::Grey : PictureForm::Rgb;
    if (!fitsInMemory(size, bytesPerPixel(form)))
        return {DecodeOutcome::TooLarge, size};
    LevelBuilder levels(layout.width, layout.height, form);
    if (!levels.ok())
        return {DecodeOutcome::TooLarge, size};
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
                rgb32ToRgb(decoded.data(), width, to);
        });
    };
    const DecodeOutcome outcome = inTwoHalves(layout.height, kDecodedBand, progress, decode);
    if (outcome == DecodeOutcome::Done)
        levels.finish(picture);
    return {outcome, size};
}

Decoded decodeTiff(const std::string& path, TiffStrips& tiff, const LogPicture::Progress& progress,
                   LogPicture& picture)
{
    const TiffLayout& layout = tiff.layout();
    const QSize size(layout.width, layout.height);
    const PictureForm form = layout.samples == TiffSamples::Bilevel ? PictureForm::Mono
                      : layout.samples == TiffSamples::Grey  ? PictureForm::Grey
                                                              : PictureForm::Rgb;
    if (!fitsInMemory(size, bytesPerPixel(form)))
        return {DecodeOutcome::TooLarge, size};
    const std::uint8_t greys[2] = {std::uint8_t(layout.zeroIsWhite ? 255 : 0),
                                   std::uint8_t(layout.zeroIsWhite ? 0 : 255)};
    LevelBuilder levels(layout.width, layout.height, form, greys);
    if (!levels.ok())
        return {DecodeOutcome::TooLarge, size};
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
    return {outcome, size};
}
