#include "files/bitmap_decoder.h"

#include <gtest/gtest.h>

#include "bmp_encoder.h"

namespace {

const unsigned char* bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

void put32(std::string& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + std::size_t(i)] = char((v >> (8 * i)) & 0xff);
}

}  // namespace

TEST(BitmapDecoder, ReadsEveryPlainDepthInBothRowOrders)
{
    RgbPicture p(13, 5, 0xffffff);  // odd width: every row padded
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.at(x, y) = (x + y) % 3 == 0 ? 0x102030u : 0xf0e0d0u;
    for (int bits : {1, 4, 8, 24, 32}) {
        for (bool topDown : {false, true}) {
            const std::string file = encodeBmp(p, bits, topDown);
            const auto layout = plainBitmapLayout(bytes(file), file.size());
            ASSERT_TRUE(layout) << bits;
            EXPECT_EQ(layout->height, p.height);
            std::vector<std::uint32_t> row(std::size_t(p.width));
            for (int y = 0; y < p.height; ++y) {
                decodeBitmapRow(*layout, bytes(file), y, row.data());
                for (int x = 0; x < p.width; ++x)
                    ASSERT_EQ(row[std::size_t(x)], 0xff000000u | p.at(x, y)) << bits << " bits at " << x << "," << y;
            }
        }
    }
}

TEST(BitmapDecoder, LeavesEverythingElseToTheGeneralDecoder)
{
    const std::string good = encodeBmp(RgbPicture(8, 8, 0x123456), 8);
    ASSERT_TRUE(plainBitmapLayout(bytes(good), good.size()));
    EXPECT_FALSE(plainBitmapLayout(bytes(good), good.size() - 1));  // pixels cut short
    auto changed = [&](std::size_t at, std::uint32_t value) {
        std::string s = good;
        put32(s, at, value);
        return plainBitmapLayout(bytes(s), s.size()).has_value();
    };
    EXPECT_FALSE(changed(30, 1));    // run-length compressed
    EXPECT_FALSE(changed(28, 16));   // 16 bits a pixel
    EXPECT_FALSE(changed(14, 12));   // the old short header
    EXPECT_FALSE(changed(46, 257));  // more colours than 8 bits index
    EXPECT_FALSE(changed(18, 0));    // no width
    EXPECT_FALSE(plainBitmapLayout(bytes("GIF89a" + good), good.size() + 6));
}
