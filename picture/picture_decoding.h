#pragma once

#include <string>

#include <QImage>

#include "picture/log_picture.h"

struct PlainBitmap;
class TiffStrips;

// The decoders that fill a LogPicture with the picture and its reduced
// copies, each in the picture's own form. None touches the picture unless
// it is Done.

enum class DecodeOutcome { Done, TooLarge, Damaged, Cancelled };

// True when a picture of this size, at so many bytes a pixel, fits in the
// computer's memory.
bool fitsInMemory(QSize size, double bytesPerPixel);

// A plain uncompressed bitmap straight from the file's bytes, in two halves
// at once: grey where its palette holds only greys, else RGB.
DecodeOutcome decodeBitmap(const PlainBitmap& layout, const uchar* data, const LogPicture::Progress& progress,
                           LogPicture& picture);

// A TIFF in one of the layouts scanners write, in two halves at once, the
// second through a handle of its own on path; black and white stays at one
// bit a pixel.
DecodeOutcome decodeTiff(const std::string& path, TiffStrips& tiff, const LogPicture::Progress& progress,
                         LogPicture& picture);

// A picture a general decoder gave, transparent parts laid over white.
DecodeOutcome convertDecoded(const QImage& image, const LogPicture::Progress& progress, LogPicture& picture);
