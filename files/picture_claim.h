#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "files/picture_file.h"

// The size a picture's header claims, weighed against the data the file
// gives its pixels, before any memory is set aside for them: a few damaged
// bytes must not make the program hold gigabytes.
struct PictureClaim {
    std::uint64_t width = 0, height = 0;
    // Its samples as the file stores them, decompressed: what a general
    // decoder may hold at once.
    std::uint64_t decodedBytes = 0;
    // The fewest bytes of encoded data that could fill so many pixels at the
    // format's best compression (0 where no best ratio is known), and the
    // bytes the file gives them.
    std::uint64_t leastBytes = 0, dataBytes = 0;

    bool holdable() const { return width > 0 && height > 0 && dataBytes >= leastBytes; }
};

// Nothing where the header cannot say: a size given only after the pixels,
// a file too short to tell. The picture itself is then left to its decoder.
std::optional<PictureClaim> pictureClaim(PictureKind kind, const unsigned char* data, std::size_t size);
