#include "files/picture_file.h"

#include <gtest/gtest.h>

#include <string>

#include "bmp_encoder.h"

namespace {

std::string be32(std::uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string le16(std::uint16_t v) { return {char(v), char(v >> 8)}; }
std::string le32(std::uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// Chunks with their length and a checksum the checks do not read.
std::string pngChunk(const std::string& type, const std::string& data)
{
    return be32(std::uint32_t(data.size())) + type + data + "CRC!";
}

std::string png(int bitDepth, int colourType, const std::string& extra)
{
    const std::string header = be32(4) + be32(2) + char(bitDepth) + char(colourType) + std::string(3, '\0');
    return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + extra + pngChunk("IDAT", "pixels") + pngChunk("IEND", "");
}

// A little-endian TIFF whose one directory points at two strips of 10 bytes.
std::string tiff()
{
    std::string file = "II" + le16(42) + le32(8);
    file += le16(2);
    file += le16(273) + le16(4) + le32(2) + le32(38);  // StripOffsets, LONG, at byte 38
    file += le16(279) + le16(3) + le32(2) + le16(10) + le16(10);  // StripByteCounts, SHORT, inline
    file += le32(0);
    file += le32(46) + le32(56);  // byte 38: the strips' offsets
    return file + std::string(20, 's');
}

bool cut(PictureKind kind, const std::string& file, std::size_t size)
{
    return endsEarly(kind, reinterpret_cast<const unsigned char*>(file.data()), size);
}

PictureKind kindOf(const std::string& file)
{
    return pictureKind(reinterpret_cast<const unsigned char*>(file.data()), file.size());
}

}  // namespace

TEST(PictureFile, KindsComeFromTheSignatureAndEveryCutFileIsSeenShort)
{
    const std::string bitmap = encodeBmp(RgbPicture(5, 3, 0xffffff), 24);
    const std::string jpeg = std::string("\xff\xd8\xff\xe0", 4) + char(0) + char(4) + "JF"
                             + std::string("\xff\xda", 2) + char(0) + char(2) + std::string("scan\xff\x00more", 10)
                             + std::string("\xff\xd9", 2);
    const std::string tif = tiff();
    const std::string png8 = png(8, 2, "");
    EXPECT_EQ(kindOf(bitmap), PictureKind::Bitmap);
    EXPECT_EQ(kindOf(tif), PictureKind::Tiff);
    EXPECT_EQ(kindOf("MM" + std::string("\0*", 2)), PictureKind::Tiff);
    EXPECT_EQ(kindOf(png8), PictureKind::Png);
    EXPECT_EQ(kindOf(jpeg), PictureKind::Jpeg);
    EXPECT_EQ(kindOf("GIF89a"), PictureKind::Unknown);
    EXPECT_EQ(kindOf(""), PictureKind::Unknown);

    const std::pair<PictureKind, const std::string*> files[] = {{PictureKind::Bitmap, &bitmap},
                                                                {PictureKind::Tiff, &tif},
                                                                {PictureKind::Png, &png8},
                                                                {PictureKind::Jpeg, &jpeg}};
    for (const auto& [kind, file] : files) {
        EXPECT_FALSE(cut(kind, *file, file->size())) << pictureKindName(kind);
        for (std::size_t size = 0; size < file->size(); ++size)
            ASSERT_TRUE(cut(kind, *file, size)) << pictureKindName(kind) << " cut at " << size;
    }
    // Bytes after the end are no harm; a TIFF's directory beyond its end is.
    EXPECT_FALSE(cut(PictureKind::Jpeg, jpeg + "trailer", jpeg.size() + 7));
    std::string lostDirectory = tif;
    lostDirectory.replace(4, 4, le32(4000));
    EXPECT_TRUE(cut(PictureKind::Tiff, lostDirectory, lostDirectory.size()));
}

TEST(PictureFile, OnlyA16BitRgbPngHasItsTransparentColourTakenOut)
{
    const std::string key = std::string("\x12\x34\x56\x78\x9a\xbc", 6);
    const std::string file = png(16, 2, pngChunk("tRNS", key));
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    const auto found = png16TransparentColour(bytes, file.size());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->red, 0x1234);
    EXPECT_EQ(found->green, 0x5678);
    EXPECT_EQ(found->blue, 0x9abc);
    EXPECT_EQ(file.substr(found->chunkOffset, found->chunkSize), pngChunk("tRNS", key));

    for (const std::string& other : {png(8, 2, pngChunk("tRNS", key)), png(16, 0, pngChunk("tRNS", key.substr(0, 2))),
                                     png(16, 2, "")}) {
        const auto* b = reinterpret_cast<const unsigned char*>(other.data());
        EXPECT_FALSE(png16TransparentColour(b, other.size()));
    }
}
