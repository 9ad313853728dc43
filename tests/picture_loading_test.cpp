#include <QScrollBar>

#include "ui/log_view.h"
#include "window_fixture.h"

namespace {

RgbPicture pattern(int colours)
{
    RgbPicture p(37, 23, 0xffffff);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.at(x, y) = colours == 2 ? ((x * 7 + y * 3) % 5 == 0 ? 0x203040u : 0xffffffu)
                                      : 0x111111u * std::uint32_t((x + 3 * y) % colours);
    return p;
}

}  // namespace

class BitmapDepths : public WindowTest, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

// Every depth and row order shows the same two-colour picture (sixteen
// colours where the depth holds them), top-down files with a positive height.
TEST_P(BitmapDepths, OpenAndShowTheSamePicture)
{
    const auto [bits, topDown] = GetParam();
    for (int colours : {2, 16}) {
        if (colours > (1 << std::min(bits, 8)))
            continue;
        SetUp();
        const RgbPicture p = pattern(colours);
        openThroughMenu(writeBitmap(QStringLiteral("log%1.bmp").arg(colours), p, bits, topDown));
        ASSERT_TRUE(messages_->errors.isEmpty()) << messages_->errors.join(" ").toStdString();
        EXPECT_EQ(state().IMAGEHEIGHT, p.height);
        const QImage shown = window_->logView().surface().image();
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                ASSERT_EQ(shown.pixel(x, y) & 0xffffffu, p.at(x, y)) << bits << " bpp at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BitmapDepths,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24, 32), ::testing::Bool()));

TEST_F(WindowTest, ScrollUnitsOfAWideAndATallTopDownLog)
{
    openThroughMenu(writeBitmap("wide.bmp", RgbPicture(3000, 2, 0xffffff), 24));
    EXPECT_EQ(state().HScrollUnit, 2);
    EXPECT_EQ(child<QScrollBar>("HScroll1")->maximum(), 21375);
    SetUp();
    openThroughMenu(writeBitmap("tall.bmp", RgbPicture(1, 40000, 0xffffff), 24, true));
    EXPECT_EQ(state().IMAGEHEIGHT, 40000);
    EXPECT_EQ(state().VScrollUnit, 19);
    EXPECT_EQ(child<QScrollBar>("VScroll1")->maximum(), 31574);
}
