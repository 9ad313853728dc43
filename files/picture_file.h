#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a log picture's bytes say about themselves before any decoder runs:
// the kind of file, whether its header's own fields make sense, and whether
// it ends before its own structure does. The refusal messages name the real
// reason from these, not from whichever decoder happened to fail.

enum class PictureKind { Unknown, Bitmap, Tiff, Png, Jpeg };

// The kind by its signature, whatever the file's extension says.
PictureKind pictureKind(const unsigned char* data, std::size_t size);

// The kind's name in messages: "Windows bitmap", "TIFF", "PNG", "JPEG".
std::string pictureKindName(PictureKind kind);

// What is wrong with the fields of the header, in words that follow "is
// damaged: " ("its header is 0 bytes long, which no bitmap header is");
// empty when nothing is, or when the file is too short to hold them.
std::string headerDamage(PictureKind kind, const unsigned char* data, std::size_t size);

// True when the file stops before the parts its own headers announce: the
// pixel rows of a bitmap, the end chunk of a PNG, the end marker of a JPEG,
// the directory and strips or tiles of a TIFF.
bool endsEarly(PictureKind kind, const unsigned char* data, std::size_t size);

// The information header of a Windows bitmap, or of the older OS/2 kind.
struct BitmapHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0, height = 0;  // height negative for rows stored top-down
    std::uint32_t planes = 0, bitsPerPixel = 0, compression = 0;
    std::uint64_t pixelOffset = 0;
    std::uint64_t imageBytes = 0;  // as the header states it; 0 for uncompressed rows
};
// Nothing when the file is too short for the fields.
bool readBitmapHeader(const unsigned char* data, std::size_t size, BitmapHeader& header);
