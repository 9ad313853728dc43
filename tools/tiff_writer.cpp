#include "tiff_writer.h"

#include <tiffio.h>

#include <algorithm>
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

bool writeGreyTiff(const std::string& path, const RgbPicture& picture, int rowsPerStrip)
{
    Tiff t = openTiff(path);
    if (!t)
        return false;
    setCommonFields(t.get(), picture.width, picture.height, rowsPerStrip);
    TIFFSetField(t.get(), TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t.get(), TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    std::vector<unsigned char> row(std::size_t(picture.width));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            row[std::size_t(x)] = static_cast<unsigned char>(picture.at(x, y) & 0xff);
        if (TIFFWriteScanline(t.get(), row.data(), std::uint32_t(y), 0) < 0)
            return false;
    }
    return true;
}

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
