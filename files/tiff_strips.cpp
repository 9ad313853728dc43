#include "files/tiff_strips.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include <tiffio.h>

struct TiffStrips::Handle {
    TIFF* tiff = nullptr;
    TIFFOpenOptions* options = nullptr;
    std::string lastError;
    std::vector<std::uint8_t> buffer;  // one tile
    bool tiled = false;
    std::uint32_t tileWidth = 0;

    ~Handle()
    {
        if (tiff)
            TIFFClose(tiff);
        if (options)
            TIFFOpenOptionsFree(options);
    }
};

namespace {

int keepError(TIFF*, void* lastError, const char* module, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    *static_cast<std::string*>(lastError) = std::string(module ? module : "TIFF") + ": " + text;
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

constexpr int kStripBand = 64;  // rows of a strip picture read between reports

// A tile is held whole while its rows are copied out: it may reach past the
// picture's edge by less than the 16 pixels tiles are counted in, or be one
// of the fixed sizes up to 1024 pixels writers use also for small pictures,
// and it holds at most 64 MB.
constexpr std::uint64_t kMostTileBytes = std::uint64_t(64) << 20;
bool tileFits(std::uint32_t tile, std::uint32_t extent)
{
    return tile <= std::max<std::uint64_t>((std::uint64_t(extent) + 15) / 16 * 16, 1024);
}

std::size_t rowBytesOf(const TiffLayout& layout)
{
    const std::size_t w = std::size_t(layout.width);
    switch (layout.samples) {
    case TiffSamples::Bilevel:
        return (w + 7) / 8;
    case TiffSamples::Grey:
        return w;
    case TiffSamples::Rgb:
        return 3 * w;
    }
    return 0;
}

template <typename T>
T field(TIFF* tiff, ttag_t tag, T fallback)
{
    T value = fallback;
    return TIFFGetFieldDefaulted(tiff, tag, &value) == 1 ? value : fallback;
}

}  // namespace

TiffStrips::TiffStrips(std::unique_ptr<Handle> handle, const TiffLayout& layout)
    : handle_(std::move(handle)), layout_(layout)
{
}

TiffStrips::~TiffStrips() = default;

std::unique_ptr<TiffStrips> TiffStrips::open(const std::string& path, std::string& error)
{
    error.clear();
    auto h = std::make_unique<Handle>();
    h->options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(h->options, keepError, &h->lastError);
    TIFFOpenOptionsSetWarningHandlerExtR(h->options, ignoreWarning, nullptr);
    // Read, not mapped: the file's pages then do not count among the
    // program's own memory while a long scan is decoded.
    h->tiff = TIFFOpenExt(path.c_str(), "rm", h->options);
    if (!h->tiff) {
        error = "its directory cannot be read";
        return nullptr;
    }
    TIFF* t = h->tiff;
    const auto bits = field<std::uint16_t>(t, TIFFTAG_BITSPERSAMPLE, 1);
    const auto samples = field<std::uint16_t>(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    const auto planar = field<std::uint16_t>(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    const auto orientation = field<std::uint16_t>(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    std::uint16_t photometric = 0;
    if (TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &photometric) != 1 || orientation != ORIENTATION_TOPLEFT
        || (planar != PLANARCONFIG_CONTIG && samples > 1))
        return nullptr;

    TiffLayout layout;
    const auto width = field<std::uint32_t>(t, TIFFTAG_IMAGEWIDTH, 0);
    const auto height = field<std::uint32_t>(t, TIFFTAG_IMAGELENGTH, 0);
    constexpr auto kMost = std::uint32_t(std::numeric_limits<int>::max() / 4);
    if (width == 0 || height == 0 || width > kMost || height > kMost)
        return nullptr;
    layout.width = int(width);
    layout.height = int(height);
    if (bits == 1 && samples == 1 && (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK)) {
        layout.samples = TiffSamples::Bilevel;
        layout.zeroIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    } else if (bits == 8 && samples == 1 && photometric == PHOTOMETRIC_MINISBLACK) {
        layout.samples = TiffSamples::Grey;
    } else if (bits == 8 && samples == 3 && photometric == PHOTOMETRIC_RGB) {
        layout.samples = TiffSamples::Rgb;
    } else {
        return nullptr;
    }
    h->tiled = TIFFIsTiled(t) != 0;
    if (h->tiled) {
        h->tileWidth = field<std::uint32_t>(t, TIFFTAG_TILEWIDTH, 0);
        const auto tileLength = field<std::uint32_t>(t, TIFFTAG_TILELENGTH, 0);
        if (h->tileWidth == 0 || tileLength == 0 || (layout.samples == TiffSamples::Bilevel && h->tileWidth % 8)
            || TIFFTileSize64(t) == 0)
            return nullptr;
        const std::string tile = "a tile of " + std::to_string(h->tileWidth) + " by " + std::to_string(tileLength);
        if (!tileFits(h->tileWidth, width) || !tileFits(tileLength, height)) {
            error = tile + " pixels is larger than the picture, " + std::to_string(width) + " by "
                    + std::to_string(height);
            return nullptr;
        }
        if (TIFFTileSize64(t) > kMostTileBytes) {
            error = tile + " pixels holds more than 64 MB";
            return nullptr;
        }
        layout.bandRows = int(tileLength);
    } else {
        layout.bandRows = int(std::min<std::uint32_t>(field<std::uint32_t>(t, TIFFTAG_ROWSPERSTRIP, 0),
                                                       std::uint32_t(layout.height)));
        if (TIFFScanlineSize(t) <= 0 || std::size_t(TIFFScanlineSize(t)) != rowBytesOf(layout))
            return nullptr;
    }
    if (layout.bandRows <= 0)
        return nullptr;
    return std::unique_ptr<TiffStrips>(new TiffStrips(std::move(h), layout));
}

std::size_t TiffStrips::rowBytes() const { return rowBytesOf(layout_); }

int TiffStrips::readBand(int top, int bottom, std::uint8_t* out, std::ptrdiff_t stride, std::string& error)
{
    bottom = std::min(bottom, layout_.height);
    Handle& h = *handle_;
    const std::size_t bytes = rowBytes();
    const auto failed = [&](const char* reason) {
        error = h.lastError.empty() ? std::string(reason) : h.lastError;
        return 0;
    };
    if (!h.tiled) {
        // Row by row straight into place: a file of one huge strip needs no
        // room of its own either. Each handle reads its rows in order.
        const int rows = std::min(kStripBand, bottom - top);
        for (int r = 0; r < rows; ++r)
            if (TIFFReadScanline(h.tiff, out + r * stride, std::uint32_t(top + r), 0) < 0)
                return failed("a strip cannot be decoded");
        return std::max(rows, 0);
    }
    const int rows = std::min(layout_.bandRows, bottom - top);
    if (rows <= 0 || top % layout_.bandRows)
        return 0;
    // A row of tiles: each tile's rows copied to their columns.
    h.buffer.resize(std::size_t(TIFFTileSize64(h.tiff)));
    const std::size_t tileRowBytes = std::size_t(TIFFTileRowSize(h.tiff));
    for (std::uint32_t x = 0; x < std::uint32_t(layout_.width); x += h.tileWidth) {
        const ttile_t tile = TIFFComputeTile(h.tiff, x, std::uint32_t(top), 0, 0);
        if (TIFFReadEncodedTile(h.tiff, tile, h.buffer.data(), tmsize_t(h.buffer.size())) < 0)
            return failed("a tile cannot be decoded");
        const std::size_t offset = layout_.samples == TiffSamples::Bilevel ? x / 8
                                   : layout_.samples == TiffSamples::Grey  ? x
                                                                           : 3 * std::size_t(x);
        const std::size_t width = std::min(tileRowBytes, bytes - offset);
        for (int r = 0; r < rows; ++r)
            std::memcpy(out + r * stride + offset, h.buffer.data() + std::size_t(r) * tileRowBytes, width);
    }
    return rows;
}
