#pragma once

#include <cstddef>
#include <string>

#include <QImage>

#include "picture/log_picture.h"

struct PlainBitmap;
class TiffStrips;

// The decoders that fill a LogPicture with the picture and its reduced
// copies, each in the picture's own form, a band of rows at a time, so that
// damage or an early end is seen before the whole picture is in memory.
// None touches the picture unless it is Done.

enum class DecodeOutcome {
    Done,
    TooLarge,   // more than this computer's memory holds
    Damaged,    // the decoder found the data broken
    Truncated,  // the data ends before the picture does
    NoReader,   // no decoder of this installation reads it
    Cancelled,  // by the user, through the progress
};

struct Decoded {
    DecodeOutcome outcome = DecodeOutcome::Done;
    QSize size;  // as the file gives it, where it was read
};

// True when a picture of this size, at so many bytes a pixel, fits in the
// memory a picture may take (pictureMemoryLimit).
bool fitsInMemory(QSize size, double bytesPerPixel);

// A plain uncompressed bitmap straight from the file's bytes, in two halves
// at once: grey where its palette holds only greys, else RGB.
Decoded decodeBitmap(const PlainBitmap& layout, const uchar* data, const LogPicture::Progress& progress,
                     LogPicture& picture);

// A TIFF in one of the layouts scanners write, in two halves at once, the
// second through a handle of its own on path; black and white stays at one
// bit a pixel.
Decoded decodeTiff(const std::string& path, TiffStrips& tiff, const LogPicture::Progress& progress,
                   LogPicture& picture);

// A PNG of any kind through libpng, a band of rows at a time (an interlaced
// one whole first), each pixel as Qt's own reader gives it; also a 16-bit
// RGB picture with a transparent colour, which that reader misplaces.
Decoded decodePng(const uchar* data, std::size_t size, const LogPicture::Progress& progress, LogPicture& picture);

// A JPEG through libjpeg, a band of rows at a time, each pixel as Qt's own
// reader gives it. Data that ends early, which libjpeg only warns of, is
// Truncated.
Decoded decodeJpeg(const uchar* data, std::size_t size, const LogPicture::Progress& progress, LogPicture& picture);

// Any other picture Qt's readers know, decoded whole by them, transparent
// parts laid over white.
Decoded decodeWithQt(const uchar* data, std::size_t size, const LogPicture::Progress& progress,
                     LogPicture& picture);

// A picture already decoded, transparent parts laid over white.
DecodeOutcome convertDecoded(const QImage& image, const LogPicture::Progress& progress, LogPicture& picture);
