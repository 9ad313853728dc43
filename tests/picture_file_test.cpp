#include "files/picture_claim.h"
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

namespace {

std::string damageOf(const std::string& file)
{
    return headerDamage(kindOf(file), reinterpret_cast<const unsigned char*>(file.data()), file.size());
}

// A bitmap's header with one field of the information header changed.
std::string bitmapWith(std::size_t offset, const std::string& field)
{
    std::string file = encodeBmp(RgbPicture(5, 3, 0xffffff), 24);
    return file.replace(offset, field.size(), field);
}

std::optional<PictureClaim> claimOf(const std::string& file)
{
    return pictureClaim(kindOf(file), reinterpret_cast<const unsigned char*>(file.data()), file.size());
}

std::string pngOf(std::uint32_t width, std::uint32_t height, int depth, int colourType, const std::string& pixels)
{
    const std::string header = be32(width) + be32(height) + char(depth) + char(colourType) + std::string(3, '\0');
    return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", pixels) + pngChunk("IEND", "");
}

// A JPEG's start of frame, sampling given for each component, and its end.
std::string jpegOf(unsigned char frame, int width, int height, const std::string& sampling)
{
    std::string sof = std::string(1, char(8)) + char(height >> 8) + char(height) + char(width >> 8) + char(width)
                      + char(sampling.size());
    for (std::size_t i = 0; i < sampling.size(); ++i)
        sof += std::string(1, char(i + 1)) + sampling[i] + char(0);
    return std::string("\xff\xd8", 2) + char(0xff) + char(frame) + char(0) + char(sof.size() + 2) + sof
           + std::string("\xff\xd9", 2);
}

// A TIFF of one strip: its size, compression and strip bytes.
std::string tiffOf(std::uint32_t width, std::uint32_t height, int compression, std::uint32_t stripBytes)
{
    std::string file = "II" + le16(42) + le32(8) + le16(5);
    file += le16(256) + le16(4) + le32(1) + le32(width);
    file += le16(257) + le16(4) + le32(1) + le32(height);
    file += le16(259) + le16(3) + le32(1) + le16(std::uint16_t(compression)) + le16(0);
    file += le16(273) + le16(4) + le32(1) + le32(74);
    file += le16(279) + le16(4) + le32(1) + le32(stripBytes);
    return file + le32(0) + std::string(stripBytes, '\xff');
}

}  // namespace

TEST(PictureFile, BitmapHeadersAreCheckedAsTheFormatDefinesThem)
{
    EXPECT_EQ(damageOf(encodeBmp(RgbPicture(5, 3, 0xffffff), 24)), "");
    EXPECT_EQ(damageOf(encodeBmp(RgbPicture(5, 3, 0xffffff), 1)), "");
    EXPECT_EQ(damageOf(bitmapWith(14, le32(0))), "its header is 0 bytes long, which no bitmap header is");
    EXPECT_EQ(damageOf(bitmapWith(14, le32(41))), "its header is 41 bytes long, which no bitmap header is");
    EXPECT_EQ(damageOf(bitmapWith(28, le16(0))), "it claims 0 bits a pixel, which no bitmap has");
    EXPECT_EQ(damageOf(bitmapWith(28, le16(7))), "it claims 7 bits a pixel, which no bitmap has");
    EXPECT_EQ(damageOf(bitmapWith(18, le32(0))), "it claims 0 by 3 pixels");
    EXPECT_EQ(damageOf(bitmapWith(22, le32(0))), "it claims 5 by 0 pixels");
    EXPECT_EQ(damageOf(bitmapWith(18, le32(std::uint32_t(-5)))), "it claims -5 by 3 pixels");
    EXPECT_EQ(damageOf(bitmapWith(26, le16(0))), "it claims 0 colour planes where a bitmap has one");
    EXPECT_EQ(damageOf(bitmapWith(30, le32(1))), "its compression, 1, does not go with 24 bits a pixel");
    EXPECT_EQ(damageOf(bitmapWith(30, le32(9))), "its compression is 9, which no bitmap has");
    EXPECT_EQ(damageOf(bitmapWith(22, le32(std::uint32_t(-3)))), "");  // stored top-down

    // A 34-byte bitmap whose header size and depth are 0, as a damaged file
    // may be: it claims 23312 by 6135 pixels, and is refused before any
    // decoder sees it.
    std::string broken = "BM" + le32(34) + le32(0) + le32(26) + le32(0) + le32(23312) + le32(6135) + le16(1)
                         + le16(0) + le32(0);
    ASSERT_EQ(broken.size(), 34u);
    EXPECT_EQ(damageOf(broken), "its header is 0 bytes long, which no bitmap header is");
    EXPECT_EQ(damageOf(broken.substr(0, 16)), "");  // too short to tell: truncated instead
    EXPECT_TRUE(cut(PictureKind::Bitmap, broken, 16));
}

TEST(PictureFile, TheSizeAHeaderClaimsIsWeighedAgainstTheDataThatMustFillIt)
{
    // 30000 x 30000 grey pixels in 58 bytes: deflate packs 1032 bytes at most
    // into one.
    const auto huge = claimOf(pngOf(30000, 30000, 8, 0, "x"));
    ASSERT_TRUE(huge);
    EXPECT_EQ(pngOf(30000, 30000, 8, 0, "x").size(), 58u);
    EXPECT_EQ(huge->width, 30000u);
    EXPECT_EQ(huge->leastBytes, 30000ull * 30001 / 1032);
    EXPECT_EQ(huge->dataBytes, 1u);
    EXPECT_FALSE(huge->holdable());
    EXPECT_TRUE(claimOf(pngOf(4, 2, 8, 2, "pixels"))->holdable());
    EXPECT_FALSE(claimOf(pngOf(0, 2, 8, 2, "pixels"))->holdable());
    // No wrap round: the largest PNG of 64 bits a pixel.
    EXPECT_FALSE(claimOf(pngOf(0x7fffffff, 0x7fffffff, 16, 6, std::string(4096, 'x')))->holdable());

    // A JPEG's blocks take 2 bits each in a sequential scan, 1 in the first
    // scan of a progressive one; arithmetic coding has no such floor.
    const auto baseline = claimOf(jpegOf(0xc0, 20000, 20000, "\x22\x11\x11"));
    ASSERT_TRUE(baseline);
    EXPECT_EQ(baseline->leastBytes, (2500ull * 2500 + 2 * 1250ull * 1250) * 2 / 8);
    EXPECT_FALSE(baseline->holdable());
    EXPECT_EQ(claimOf(jpegOf(0xc2, 64, 64, "\x11"))->leastBytes, 64u / 8);
    EXPECT_TRUE(claimOf(jpegOf(0xc0, 64, 64, "\x11"))->holdable());
    EXPECT_EQ(claimOf(jpegOf(0xc9, 20000, 20000, "\x11"))->leastBytes, 0u);
    EXPECT_EQ(claimOf(jpegOf(0xc9, 20000, 20000, "\x11"))->decodedBytes, 400000000u);

    // A Group 4 fax row like the one above takes 1 bit.
    EXPECT_EQ(claimOf(tiffOf(2400, 80000, 4, 10000))->leastBytes, 10000u);
    EXPECT_TRUE(claimOf(tiffOf(2400, 80000, 4, 10000))->holdable());
    EXPECT_FALSE(claimOf(tiffOf(2400, 80001, 4, 10000))->holdable());
    EXPECT_EQ(claimOf(tiffOf(100, 10, 1, 10))->leastBytes, 130u);  // uncompressed, 1 bit a pixel
    EXPECT_EQ(claimOf(tiffOf(100, 10, 34925, 10))->leastBytes, 0u);  // LZMA: no known floor
    EXPECT_EQ(claimOf(tiffOf(100, 10, 34925, 10))->decodedBytes, 130u);
    EXPECT_FALSE(claimOf(tiff()));  // no size given
    // Strips without their byte counts hold no more than the file; samples
    // a pixel count too (as found by fuzzing: 36888 of them).
    std::string uncounted = tiffOf(40, 3327, 8, 10);
    uncounted.replace(uncounted.find(le16(279)), 2, le16(33000));
    uncounted.replace(uncounted.find(le16(259)), 12, le16(277) + le16(3) + le32(1) + le16(36888) + le16(0));
    const auto samples = claimOf(uncounted);
    ASSERT_TRUE(samples);
    EXPECT_EQ(samples->decodedBytes, 40ull * 36888 / 8 * 3327);
    EXPECT_EQ(samples->dataBytes, uncounted.size());
    EXPECT_EQ(samples->leastBytes, samples->decodedBytes);  // uncompressed
    EXPECT_FALSE(samples->holdable());
}
