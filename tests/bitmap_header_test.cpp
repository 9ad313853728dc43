#include "files/bitmap_header.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::optional<BitmapSize> sizeOf(std::string bytes)
{
    std::istringstream in(bytes);
    return readBitmapSize(in);
}

}  // namespace

TEST(BitmapHeader, SignedLittleEndianAtBytes18And22)
{
    // The signature is not examined; 26 bytes are enough.
    const auto s = sizeOf(std::string(18, 'x') + std::string("\x04\x03\x02\x01\x20\xfe\xff\xff", 8));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width, 0x01020304);
    EXPECT_EQ(s->height, -480);
    EXPECT_FALSE(sizeOf(std::string(25, 'x')));
    EXPECT_FALSE(sizeOf(""));
}
