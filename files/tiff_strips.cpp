#include "files/tiff_strips.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include <tiffio.h>

struct TiffStrips::Handle {
    TIFF* tiff = nullptr;
    TIFFOpenOptions* options = nullptr;
    std::string lastError;
    std::vector<std::uint8_t> buffer;  // one strip, or one tile
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
        error = h->lastError;
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
    layout.width = int(field<std::uint32_t>(t, TIFFTAG_IMAGEWIDTH, 0));
    layout.height = int(field<std::uint32_t>(t, TIFFTAG_IMAGELENGTH, 0));
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
    if (layout.width <= 0 || layout.height <= 0)
        return nullptr;
    h->tiled = TIFFIsTiled(t) != 0;
    if (h->tiled) {
        h->tileWidth = field<std::uint32_t>(t, TIFFTAG_TILEWIDTH, 0);
        layout.bandRows = int(field<std::uint32_t>(t, TIFFTAG_TILELENGTH, 0));
        if (h->tileWidth == 0 || (layout.samples == TiffSamples::Bilevel && h->tileWidth % 8))
            return nullptr;
        h->buffer.resize(std::size_t(TIFFTileSize(t)));
    } else {
        layout.bandRows = int(std::min<std::uint32_t>(field<std::uint32_t>(t, TIFFTAG_ROWSPERSTRIP, 0),
                                                       std::uint32_t(layout.height)));
        h->buffer.resize(std::size_t(TIFFStripSize(t)));
    }
    if (layout.bandRows <= 0 || h->buffer.empty())
        return nullptr;
    return std::unique_ptr<TiffStrips>(new TiffStrips(std::move(h), layout));
}

std::size_t TiffStrips::rowBytes() const
{
    const std::size_t w = std::size_t(layout_.width);
    switch (layout_.samples) {
    case TiffSamples::Bilevel:
        return (w + 7) / 8;
    case TiffSamples::Grey:
        return w;
    case TiffSamples::Rgb:
        return 3 * w;
    }
    return 0;
}

int TiffStrips::readBand(int top, std::uint8_t* out, std::ptrdiff_t stride, std::string& error)
{
    Handle& h = *handle_;
    const int rows = std::min(layout_.bandRows, layout_.height - top);
    const std::size_t bytes = rowBytes();
    if (rows <= 0 || top % layout_.bandRows)
        return 0;
    const auto failed = [&] {
        error = h.lastError.empty() ? std::string("a strip cannot be decoded") : h.lastError;
        return 0;
    };
    if (!h.tiled) {
        const tstrip_t strip = TIFFComputeStrip(h.tiff, std::uint32_t(top), 0);
        // Rows laid out as the file's: decoded in place.
        const bool inPlace = std::size_t(stride) == bytes;
        std::uint8_t* into = inPlace ? out : h.buffer.data();
        const tmsize_t size = tmsize_t(bytes * std::size_t(rows));
        if (TIFFReadEncodedStrip(h.tiff, strip, into, size) < size)
            return failed();
        if (!inPlace)
            for (int r = 0; r < rows; ++r)
                std::memcpy(out + r * stride, h.buffer.data() + std::size_t(r) * bytes, bytes);
        return rows;
    }
    // A row of tiles: each tile's rows copied to their columns.
    const std::size_t tileRowBytes = std::size_t(TIFFTileRowSize(h.tiff));
    for (std::uint32_t x = 0; x < std::uint32_t(layout_.width); x += h.tileWidth) {
        const ttile_t tile = TIFFComputeTile(h.tiff, x, std::uint32_t(top), 0, 0);
        if (TIFFReadEncodedTile(h.tiff, tile, h.buffer.data(), tmsize_t(h.buffer.size())) < 0)
            return failed();
        const std::size_t offset = layout_.samples == TiffSamples::Bilevel ? x / 8
                                   : layout_.samples == TiffSamples::Grey  ? x
                                                                           : 3 * std::size_t(x);
        const std::size_t width = std::min(tileRowBytes, bytes - offset);
        for (int r = 0; r < rows; ++r)
            std::memcpy(out + r * stride + offset, h.buffer.data() + std::size_t(r) * tileRowBytes, width);
    }
    return rows;
}
