#include "tiff_writer.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Tiff = std::unique_ptr<TIFF, void (*)(TIFF*)>;

Tiff openTiff(const std::string& path)
{
    return Tiff(TIFFOpen(path.c_str(), "w"), [](TIFF* t) {
        if (t)
            TIFFClose(t);
    });
}

void setCommonFields(TIFF* t, int width, int height, int rowsPerStrip)
{
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
}

}  // namespace

bool writeFaxTiffRows(const std::string& path, int width, int height, int rowsPerStrip,
                      const std::vector<unsigned char>& packedRows)
{
    Tiff t = openTiff(path);
    if (!t)
        return false;
    setCommonFields(t.get(), width, height, rowsPerStrip);
    TIFFSetField(t.get(), TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t.get(), TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    const std::size_t stride = (std::size_t(width) + 7) / 8;
    std::vector<unsigned char> row(stride);
    for (int y = 0; y < height; ++y) {
        std::copy_n(packedRows.begin() + std::ptrdiff_t(std::size_t(y) * stride), stride, row.begin());
        if (TIFFWriteScanline(t.get(), row.data(), std::uint32_t(y), 0) < 0)
            return false;
    }
    return true;
}

namespace {

// One stored row of the given pixels in the options' samples.
void storeRow(const std::uint32_t* pixels, int width, const TiffOptions& o, unsigned char* out)
{
    using S = TiffOptions::Samples;
    const auto grey = [&](int x) {
        const unsigned g = pixels[x] & 0xff;
        return static_cast<unsigned char>(o.zeroIsWhite ? 255 - g : g);
    };
    for (int x = 0; x < width; ++x) {
        switch (o.samples) {
        case S::Bilevel:
            if (x % 8 == 0)
                out[x / 8] = 0;
            if (((pixels[x] & 0xff) < 128) == o.zeroIsWhite)
                out[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            break;
        case S::Grey:
            out[x] = grey(x);
            break;
        case S::Rgb:
            out[3 * x] = static_cast<unsigned char>(pixels[x] >> 16);
            out[3 * x + 1] = static_cast<unsigned char>(pixels[x] >> 8);
            out[3 * x + 2] = static_cast<unsigned char>(pixels[x]);
            break;
        case S::Palette: {
            const auto at = std::find(o.palette.begin(), o.palette.end(), pixels[x] & 0xffffff);
            out[x] = static_cast<unsigned char>(at == o.palette.end() ? 0 : at - o.palette.begin());
            break;
        }
        }
    }
}

}  // namespace

bool writeTiff(const std::string& path, int width, int height, const TiffOptions& o,
               const std::function<void(int y, std::uint32_t* pixels)>& row)
{
    using S = TiffOptions::Samples;
    Tiff t = openTiff(path);
    if (!t)
        return false;
    TIFF* f = t.get();
    TIFFSetField(f, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(f, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(f, TIFFTAG_SAMPLESPERPIXEL, o.samples == S::Rgb ? 3 : 1);
    TIFFSetField(f, TIFFTAG_BITSPERSAMPLE, o.samples == S::Bilevel ? 1 : 8);
    TIFFSetField(f, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(f, TIFFTAG_COMPRESSION, o.compression);
    const int photometric = o.samples == S::Rgb       ? PHOTOMETRIC_RGB
                            : o.samples == S::Palette ? PHOTOMETRIC_PALETTE
                            : o.zeroIsWhite           ? PHOTOMETRIC_MINISWHITE
                                                      : PHOTOMETRIC_MINISBLACK;
    TIFFSetField(f, TIFFTAG_PHOTOMETRIC, photometric);
    if (o.samples == S::Palette) {
        std::vector<std::uint16_t> red(256), green(256), blue(256);
        for (std::size_t i = 0; i < std::min<std::size_t>(256, o.palette.size()); ++i) {
            red[i] = static_cast<std::uint16_t>(((o.palette[i] >> 16) & 0xff) * 257);
            green[i] = static_cast<std::uint16_t>(((o.palette[i] >> 8) & 0xff) * 257);
            blue[i] = static_cast<std::uint16_t>((o.palette[i] & 0xff) * 257);
        }
        TIFFSetField(f, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    const std::size_t rowBytes = o.samples == S::Bilevel ? (std::size_t(width) + 7) / 8
                                 : o.samples == S::Rgb   ? 3 * std::size_t(width)
                                                         : std::size_t(width);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width));
    std::vector<unsigned char> stored(rowBytes);
    if (o.tileSize <= 0) {
        TIFFSetField(f, TIFFTAG_ROWSPERSTRIP, o.rowsPerStrip);
        for (int y = 0; y < height; ++y) {
            row(y, pixels.data());
            storeRow(pixels.data(), width, o, stored.data());
            if (TIFFWriteScanline(f, stored.data(), std::uint32_t(y), 0) < 0)
                return false;
        }
        return true;
    }
    TIFFSetField(f, TIFFTAG_TILEWIDTH, o.tileSize);
    TIFFSetField(f, TIFFTAG_TILELENGTH, o.tileSize);
    const std::size_t tileRowBytes = std::size_t(TIFFTileRowSize(f));
    std::vector<unsigned char> band(rowBytes * std::size_t(o.tileSize));
    std::vector<unsigned char> tile(std::size_t(TIFFTileSize(f)));
    for (int top = 0; top < height; top += o.tileSize) {
        std::fill(band.begin(), band.end(), 0);
        for (int r = 0; r < o.tileSize && top + r < height; ++r) {
            row(top + r, pixels.data());
            storeRow(pixels.data(), width, o, band.data() + std::size_t(r) * rowBytes);
        }
        for (int x = 0; x < width; x += o.tileSize) {
            const std::size_t offset = o.samples == S::Bilevel ? std::size_t(x) / 8
                                       : o.samples == S::Rgb   ? 3 * std::size_t(x)
                                                               : std::size_t(x);
            std::fill(tile.begin(), tile.end(), 0);
            for (int r = 0; r < o.tileSize; ++r)
                std::memcpy(tile.data() + std::size_t(r) * tileRowBytes,
                            band.data() + std::size_t(r) * rowBytes + offset,
                            std::min(tileRowBytes, rowBytes - offset));
            if (TIFFWriteTile(f, tile.data(), std::uint32_t(x), std::uint32_t(top), 0, 0) < 0)
                return false;
        }
    }
    return true;
}
