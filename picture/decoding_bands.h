#pragma once

#include <algorithm>

#include "picture/log_picture.h"

// Decoders report their progress and look for a cancel between bands of
// this many rows: a multiple of 8, so that every reduced copy's rows of a
// band depend on that band alone.
inline constexpr int kDecodedBand = 256;

// Tells the progress how much is done; false when the user cancelled.
inline bool goOn(const LogPicture::Progress& progress, int done, int height)
{
    return !progress || progress(double(done) / std::max(1, height));
}
