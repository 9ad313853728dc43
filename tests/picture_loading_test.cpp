#include <QScrollBar>

#include "ui/log_view.h"
#include "window_fixture.h"

namespace {

// A picture of two colours, so that every depth can hold it.
RgbPicture twoColourPattern()
{
    RgbPicture p(37, 23, 0xffffff);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if ((x * 7 + y * 3) % 5 == 0 || x == y)
                p.at(x, y) = 0x203040;
    return p;
}

RgbPicture sixteenColourPattern()
{
    RgbPicture p(29, 17, 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.at(x, y) = 0x111111u * std::uint32_t((x + 3 * y) % 16);
    return p;
}

}  // namespace

namespace {

void expectShown(const QImage& shown, const RgbPicture& p, int bits)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            ASSERT_EQ(shown.pixel(x, y) & 0xffffffu, p.at(x, y)) << bits << " bpp at " << x << "," << y;
}

}  // namespace

class BitmapDepths : public WindowTest, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

// Every depth and row order holds the same two-colour picture, and every one
// shows it the same, with a positive height also for a top-down file.
TEST_P(BitmapDepths, OpenAndShowTheSamePicture)
{
    const auto [bits, topDown] = GetParam();
    const RgbPicture p = twoColourPattern();
    openThroughMenu(writeBitmap(QStringLiteral("log%1%2.bmp").arg(bits).arg(topDown ? "td" : ""), p, bits, topDown));
    ASSERT_TRUE(messages_->errors.isEmpty()) << messages_->errors.join(" ").toStdString();
    EXPECT_EQ(state().IMAGEWIDTH, p.width);
    EXPECT_EQ(state().IMAGEHEIGHT, p.height);
    expectShown(window_->logView().surface().image(), p, bits);
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BitmapDepths,
                         ::testing::Combine(::testing::Values(1, 4, 8, 24, 32), ::testing::Bool()));

class ColourBitmapDepths : public WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(ColourBitmapDepths, KeepSixteenColours)
{
    const RgbPicture p = sixteenColourPattern();
    openThroughMenu(writeBitmap(QStringLiteral("colours%1.bmp").arg(GetParam()), p, GetParam(), true));
    ASSERT_TRUE(messages_->errors.isEmpty());
    expectShown(window_->logView().surface().image(), p, GetParam());
}

INSTANTIATE_TEST_SUITE_P(PaletteAndTrueColour, ColourBitmapDepths, ::testing::Values(4, 8, 24, 32));

TEST_F(WindowTest, ScrollRangesOfAWideLog)
{
    openThroughMenu(writeBitmap("wide.bmp", RgbPicture(3000, 2, 0xffffff), 24));
    EXPECT_EQ(state().HScrollUnit, 2);
    EXPECT_EQ(child<QScrollBar>("HScroll1")->maximum(), 21375);
}

TEST_F(WindowTest, ScrollRangesOfATallTopDownLog)
{
    openThroughMenu(writeBitmap("tall.bmp", RgbPicture(1, 40000, 0xffffff), 24, true));
    EXPECT_EQ(state().IMAGEHEIGHT, 40000);
    EXPECT_EQ(state().VScrollUnit, 19);
    EXPECT_EQ(child<QScrollBar>("VScroll1")->maximum(), 31574);
}
