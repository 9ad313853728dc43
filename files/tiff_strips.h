#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The first picture of a TIFF file, decoded by libtiff a band of rows at a
// time straight into the caller's rows: a scan of a whole well never exists
// as one decoded block. Only the layouts scanners write are read so: 1-bit
// black and white, 8-bit grey and 8-bit RGB, in strips or tiles, samples
// interleaved, top row first. Any other is left to a general decoder.

enum class TiffSamples {
    Bilevel,  // packed, most significant bit first
    Grey,     // a byte a pixel, 0 black
    Rgb,      // three bytes a pixel, red first
};

struct TiffLayout {
    int width = 0;
    int height = 0;
    TiffSamples samples = TiffSamples::Grey;
    bool zeroIsWhite = false;  // of a bilevel picture
    // The rows of a strip, or of a row of tiles: where reading may start.
    int bandRows = 0;
};

class TiffStrips {
public:
    // Nothing when the file is no TIFF libtiff opens, is damaged, or has
    // another layout; error then says what is damaged ("a tile of 65536 by
    // 32768 pixels is larger than the picture, 64 by 64"), or stays empty
    // for a layout left to others.
    static std::unique_ptr<TiffStrips> open(const std::string& path, std::string& error);
    ~TiffStrips();
    TiffStrips(const TiffStrips&) = delete;
    TiffStrips& operator=(const TiffStrips&) = delete;

    const TiffLayout& layout() const { return layout_; }
    // The bytes of one row in the layout's samples.
    std::size_t rowBytes() const;

    // Decodes rows from row top on, a row of tiles or some rows of strips,
    // into out (a row every stride bytes), never row bottom or below: a
    // thread reading the rows from bottom on keeps them to itself. Rows are
    // read in order from a multiple of bandRows on. Returns the rows
    // written; 0 with error set when the data is damaged.
    int readBand(int top, int bottom, std::uint8_t* out, std::ptrdiff_t stride, std::string& error);

private:
    struct Handle;
    explicit TiffStrips(std::unique_ptr<Handle> handle, const TiffLayout& layout);

    std::unique_ptr<Handle> handle_;
    TiffLayout layout_;
};
