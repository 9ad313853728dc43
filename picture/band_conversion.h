#pragma once

#include <array>
#include <cstdint>

#include <QImage>

#include "picture/picture_levels.h"

// Rows decoded in one of Qt's own formats, turned into the picture's form a
// band at a time: black and white stays at one bit a pixel, greys become
// 8-bit grey, and everything else 24-bit RGB with transparent parts laid
// over white paper. Whether decoded whole or a band at a time, each pixel
// comes out the same.
class BandConversion {
public:
    // format and colours: those of every band to come.
    BandConversion(QImage::Format format, const QList<QRgb>& colours);

    PictureForm form() const { return form_; }
    // The two greys of a black-and-white picture's bits.
    const std::uint8_t* greys() const { return greys_.data(); }

    // rows rows of from, its row first on, become the picture's rows from
    // top on.
    void convert(const QImage& from, int first, int rows, int top, const LevelBuilder& levels) const;

private:
    PictureForm form_ = PictureForm::Rgb;
    std::array<std::uint8_t, 2> greys_{};
    std::array<std::uint8_t, 256> greyOf_{};
};
