#include "files/bitmap_header.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::string header(std::uint32_t width, std::uint32_t height)
{
    std::string h(54, '\0');
    h[0] = 'B';
    h[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        h[18 + i] = static_cast<char>(width >> (8 * i));
        h[22 + i] = static_cast<char>(height >> (8 * i));
    }
    return h;
}

std::optional<BitmapSize> sizeOf(const std::string& bytes)
{
    std::istringstream in(bytes);
    return readBitmapSize(in);
}

}  // namespace

TEST(BitmapHeader, ReadsSignedLittleEndianWidthAndHeight)
{
    auto s = sizeOf(header(2000, 30000));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width, 2000);
    EXPECT_EQ(s->height, 30000);

    s = sizeOf(header(0x01020304, static_cast<std::uint32_t>(-480)));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width, 0x01020304);
    EXPECT_EQ(s->height, -480);

    // The signature is not examined; 26 bytes are enough.
    s = sizeOf(std::string(18, 'x') + std::string("\x10\x00\x00\x00\x20\x00\x00\x00", 8));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width, 16);
    EXPECT_EQ(s->height, 32);
}

TEST(BitmapHeader, ShortFilesGiveNothing)
{
    EXPECT_FALSE(sizeOf(""));
    EXPECT_FALSE(sizeOf(header(1, 1).substr(0, 25)));
}
