#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include <QImage>

#include "picture/log_picture.h"
#include "picture/picture_rows.h"

// The forms a picture is kept in: black and white at one bit a pixel (its
// copies 8-bit grey), 8-bit grey, or 24-bit RGB.
enum class PictureForm { Mono, Grey, Rgb };

// The memory of a picture and its reduced copies, in bytes a pixel.
double bytesPerPixel(PictureForm form);

// The picture and its reduced copies, built a band of rows at a time: as rows
// of the picture itself are written, their share of every copy is made, so
// that the whole picture is read only once.
class LevelBuilder {
public:
    // greys: the two greys of a black-and-white picture's bits.
    LevelBuilder(int width, int height, PictureForm form, const std::uint8_t greys[2] = nullptr);

    // False when memory for the picture or a copy could not be had.
    bool ok() const;
    int width() const { return levels_[0].width(); }
    int height() const { return levels_[0].height(); }
    // Rows are written and reduced through these, never through QImage's
    // own accessors, so that threads may each take rows of their own.
    std::uint8_t* row(int y) const { return bits_[0] + std::ptrdiff_t(y) * strides_[0]; }
    std::ptrdiff_t stride() const { return strides_[0]; }

    // The picture's rows above done are written, in order: their copies are
    // made.
    void written(int done);

    // The copies of the picture's rows top to bottom, top a multiple of 8 and
    // bottom too or the picture's end: each copy's rows among them depend on
    // these alone, so threads may reduce bands of their own.
    void reduceRows(int top, int bottom) const;

    // Hands the picture and its copies over.
    void finish(LogPicture& picture) { picture.levels_ = std::move(levels_); }

private:
    std::array<QImage, LogPicture::kLevels> levels_;
    std::array<std::uint8_t*, LogPicture::kLevels> bits_{};
    std::array<std::ptrdiff_t, LogPicture::kLevels> strides_{};
    PictureForm form_;
    std::unique_ptr<MonoHalver> halveMono_;
    int reduced_ = 0;
};
