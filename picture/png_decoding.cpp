// PNG pictures through libpng, a band of rows at a time. The rows are asked
// of libpng in the formats Qt's own reader gives, and turned into the
// picture's form as that reader's picture would be, so that every pixel
// comes out the same; the whole picture is never held twice.
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "picture/band_conversion.h"
#include "picture/decoding_bands.h"
#include "picture/picture_decoding.h"

namespace {

// The file's bytes as libpng reads them, and what it said of them.
struct PngSource {
    const uchar* data;
    std::size_t size;
    std::size_t at = 0;
    bool endedEarly = false;
};

void readBytes(png_structp png, png_bytep out, std::size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->at) {
        source->endedEarly = true;
        png_error(png, "the file ends early");
    }
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

// libpng names the end of the pixels' data before the last row so.
[[noreturn]] void giveUp(png_structp png, png_const_charp message)
{
    if (std::strcmp(message, "Not enough image data") == 0)
        static_cast<PngSource*>(png_get_error_ptr(png))->endedEarly = true;
    png_longjmp(png, 1);
}
void ignoreWarning(png_structp, png_const_charp) {}

// Runs step, whose calls into libpng may jump back here on an error: false
// then. step holds nothing that needs destroying while it calls libpng.
template <typename Step>
bool guarded(png_structp png, const Step& step)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step();
    return true;
}

// What the header and the chunks before the pixels say, copied out of
// libpng's keeping.
struct PngHeader {
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0, channels = 0;
    bool transparent = false;  // a tRNS chunk
    png_color_16 transparentColour{};
    int transparentCount = 0;
    png_byte alphas[256]{};
    int paletteSize = -1;  // no PLTE chunk
    png_color palette[256]{};
};

void readHeader(png_structp png, png_infop info, PngHeader& h)
{
    png_read_info(png, info);
    png_get_IHDR(png, info, &h.width, &h.height, &h.depth, &h.colourType, &h.interlace, nullptr, nullptr);
    h.channels = png_get_channels(png, info);
    png_bytep alphas = nullptr;
    png_color_16p colour = nullptr;
    if (png_get_tRNS(png, info, &alphas, &h.transparentCount, &colour) != 0) {
        h.transparent = true;
        if (colour)
            h.transparentColour = *colour;
        if (alphas)
            std::memcpy(h.alphas, alphas, std::size_t(std::clamp(h.transparentCount, 0, 256)));
    }
    png_colorp palette = nullptr;
    int size = 0;
    if (png_get_PLTE(png, info, &palette, &size) != 0 && size >= 0 && size <= 256) {
        h.paletteSize = size;
        std::memcpy(h.palette, palette, sizeof(png_color) * std::size_t(size));
    }
}

// The libpng transforms that give rows in Qt's format, and that format.
enum Transform : unsigned {
    kInvertMono = 1,
    kSwap = 2,
    kExpand = 4,
    kGreyToRgb = 8,
    kPacking = 16,
    kFiller16 = 32,
    kFiller8 = 64,
    kBgr = 128,
};

struct RowFormat {
    QImage::Format format = QImage::Format_Invalid;
    QList<QRgb> colours;
    unsigned transforms = 0;
};

RowFormat rowFormat(const PngHeader& h)
{
    RowFormat f;
    const bool alpha = (h.colourType & PNG_COLOR_MASK_ALPHA) != 0;
    if (h.colourType == PNG_COLOR_TYPE_GRAY) {
        if (h.depth == 1 && h.channels == 1) {
            f = {QImage::Format_Mono, {qRgb(255, 255, 255), qRgb(0, 0, 0)}, kInvertMono};
            if (h.transparent && h.transparentColour.gray == 0)
                f.colours[1] = qRgba(0, 0, 0, 0);
            else if (h.transparent && h.transparentColour.gray == 1)
                f.colours[0] = qRgba(255, 255, 255, 0);
        } else if (h.depth == 16 && !h.transparent) {
            f = {QImage::Format_Grayscale16, {}, kSwap};
        } else if (h.depth == 16) {
            f = {QImage::Format_RGBA64, {}, kExpand | kGreyToRgb | kSwap};
        } else if (h.depth == 8 && !h.transparent) {
            f = {QImage::Format_Grayscale8, {}, kExpand};
        } else {
            const int count = h.depth < 8 ? 1 << h.depth : 256;
            f = {QImage::Format_Indexed8, {}, h.depth < 8 ? unsigned(kPacking) : 0u};
            for (int i = 0; i < count; ++i) {
                const int c = i * 255 / (count - 1);
                f.colours.append(qRgba(c, c, c, 255));
            }
            if (h.transparent && h.transparentColour.gray < count)
                f.colours[h.transparentColour.gray] = 0;
        }
    } else if (h.colourType == PNG_COLOR_TYPE_PALETTE && h.paletteSize >= 0) {
        const bool mono = h.depth == 1;
        f = {mono ? QImage::Format_Mono : QImage::Format_Indexed8, {}, (mono ? 0u : unsigned(kPacking)) | kBgr};
        f.colours.resize(mono ? 2 : h.paletteSize, 0);
        for (int i = 0; i < std::min<int>(h.paletteSize, int(f.colours.size())); ++i) {
            const png_color& p = h.palette[i];
            f.colours[i] = qRgba(p.red, p.green, p.blue, h.transparent && i < h.transparentCount ? h.alphas[i] : 255);
        }
    } else if (h.depth == 16) {
        // A transparent colour becomes an alpha: Qt's reader here would
        // misplace the samples.
        f = {QImage::Format_RGBA64, {}, kSwap | (h.transparent ? unsigned(kExpand) : 0u)};
        if (!alpha && !h.transparent) {
            f.format = QImage::Format_RGBX64;
            f.transforms |= kFiller16;
        }
        if (!(h.colourType & PNG_COLOR_MASK_COLOR))
            f.transforms |= kGreyToRgb;
    } else {
        f = {QImage::Format_ARGB32, {}, kExpand | kBgr};
        if (h.colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            f.transforms |= kGreyToRgb;
        if (!alpha && !h.transparent) {
            f.format = QImage::Format_RGB32;
            f.transforms |= kFiller8;
        }
    }
    return f;
}

void setTransforms(png_structp png, png_infop info, unsigned t)
{
    png_set_interlace_handling(png);
    if (t & kInvertMono)
        png_set_invert_mono(png);
    if (t & kPacking)
        png_set_packing(png);
    if (t & kExpand)
        png_set_expand(png);
    if (t & kGreyToRgb)
        png_set_gray_to_rgb(png);
    if (t & kFiller16)
        png_set_filler(png, 0xffff, PNG_FILLER_AFTER);
    if (t & kFiller8)
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    if (t & kBgr)
        png_set_bgr(png);
    png_read_update_info(png, info);
    // Qt's 16-bit formats keep their samples in this machine's order.
    if ((t & kSwap) && QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        png_set_swap(png);
}

// A palette index beyond the palette reads as the first colour, as in Qt.
void clampIndexes(QImage& rows, int first, int count, int colours)
{
    for (int y = first; y < first + count; ++y) {
        uchar* p = rows.scanLine(y);
        for (int x = 0; x < rows.width(); ++x)
            if (p[x] >= colours)
                p[x] = 0;
    }
}

// libpng's structures for one reading, freed however it ends.
struct PngReading {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReading() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

Decoded decodePng(const uchar* data, std::size_t size, const LogPicture::Progress& progress, LogPicture& picture)
{
    PngSource source{data, size};
    PngReading r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, giveUp, ignoreWarning);
    if (!r.png || !(r.info = png_create_info_struct(r.png)))
        return {DecodeOutcome::TooLarge, {}};
    const auto failed = [&](QSize size) {
        return Decoded{source.endedEarly ? DecodeOutcome::Truncated : DecodeOutcome::Damaged, size};
    };
    png_set_read_fn(r.png, &source, readBytes);
    png_set_option(r.png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
    PngHeader h;
    if (!guarded(r.png, [&] { readHeader(r.png, r.info, h); }))
        return failed({});
    const QSize claimed(int(h.width), int(h.height));
    const RowFormat rows = rowFormat(h);
    if (rows.format == QImage::Format_Invalid || !guarded(r.png, [&] { setTransforms(r.png, r.info, rows.transforms); }))
        return failed(claimed);

    const BandConversion conversion(rows.format, rows.colours);
    const bool interlaced = h.interlace != PNG_INTERLACE_NONE;
    const double decodedBytes = QImage::toPixelFormat(rows.format).bitsPerPixel() / 8.0;
    if (!fitsInMemory(claimed, bytesPerPixel(conversion.form()) + (interlaced ? decodedBytes : 0)))
        return {DecodeOutcome::TooLarge, claimed};
    LevelBuilder levels(claimed.width(), claimed.height(), conversion.form(), conversion.greys());
    if (!levels.ok())
        return {DecodeOutcome::TooLarge, claimed};
    // An interlaced picture's rows come in seven passes over all of them.
    QImage band(claimed.width(), interlaced ? claimed.height() : std::min(kDecodedBand, claimed.height()),
                rows.format);
    if (band.isNull())
        return {DecodeOutcome::TooLarge, claimed};
    band.setColorTable(rows.colours);
    std::vector<png_bytep> pointers(std::size_t(band.height()));
    for (int y = 0; y < band.height(); ++y)
        pointers[std::size_t(y)] = band.scanLine(y);
    const bool clamp = h.colourType == PNG_COLOR_TYPE_PALETTE && rows.format == QImage::Format_Indexed8;
    if (interlaced && !guarded(r.png, [&] { png_read_image(r.png, pointers.data()); }))
        return failed(claimed);
    for (int top = 0; top < claimed.height(); top += kDecodedBand) {
        const int count = std::min(kDecodedBand, claimed.height() - top);
        const int first = interlaced ? top : 0;
        if (!interlaced && !guarded(r.png, [&] { png_read_rows(r.png, pointers.data(), nullptr, png_uint_32(count)); }))
            return failed(claimed);
        if (clamp)
            clampIndexes(band, first, count, int(rows.colours.size()));
        conversion.convert(band, first, count, top, levels);
        levels.written(top + count);
        if (!goOn(progress, top + count, claimed.height()))
            return {DecodeOutcome::Cancelled, claimed};
    }
    if (!guarded(r.png, [&] { png_read_end(r.png, nullptr); }))
        return failed(claimed);
    levels.finish(picture);
    return {DecodeOutcome::Done, claimed};
}
