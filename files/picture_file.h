#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What a log picture's bytes say about themselves before any decoder runs:
// the kind of file, whether it ends before its own structure does, and the
// repairs a general decoder needs. The refusal messages name the real reason
// from these, not from whichever decoder happened to fail.

enum class PictureKind { Unknown, Bitmap, Tiff, Png, Jpeg };

// The kind by its signature, whatever the file's extension says.
PictureKind pictureKind(const unsigned char* data, std::size_t size);

// The kind's name in messages: "Windows bitmap", "TIFF", "PNG", "JPEG".
std::string pictureKindName(PictureKind kind);

// True when the file stops before the parts its own headers announce: the
// pixel rows of a bitmap, the end chunk of a PNG, the end marker of a JPEG,
// the directory and strips or tiles of a TIFF.
bool endsEarly(PictureKind kind, const unsigned char* data, std::size_t size);

// A 16-bit RGB PNG with a transparent colour: general decoders misplace its
// samples. The file without its "tRNS" chunk decodes correctly; the colour
// is then keyed out by hand.
struct PngTransparentColour {
    std::uint16_t red = 0, green = 0, blue = 0;
    std::size_t chunkOffset = 0;  // of the "tRNS" chunk, its length field first
    std::size_t chunkSize = 0;    // length, type, data and checksum
};
std::optional<PngTransparentColour> png16TransparentColour(const unsigned char* data, std::size_t size);
