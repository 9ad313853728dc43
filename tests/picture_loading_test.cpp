#include <QFileInfo>
#include <QScrollBar>

#include "tiff_writer.h"
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

TEST_F(WindowTest, TiffPngAndJpegLogsOpenAndReopenThroughAProject)
{
    RgbPicture grey(301, 1200, 0xffffff);
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x)
            if ((x + 2 * y) % 37 < 3)
                grey.at(x, y) = 0x000000;
    // A scan at one bit a pixel, fax-compressed in strips of 64 rows.
    const QString fax = folder_.filePath("scan.tif");
    ASSERT_TRUE(writeFaxTiff(fax.toStdString(), grey.width, grey.height, 64,
                             [&](int x, int y) { return grey.at(x, y) == 0; }));
    const QString png = folder_.filePath("scan.png");
    const QString jpeg = folder_.filePath("scan.jpg");
    QImage image(grey.width, grey.height, QImage::Format_RGB32);
    for (int y = 0; y < grey.height; ++y)
        for (int x = 0; x < grey.width; ++x)
            image.setPixel(x, y, 0xff000000u | grey.at(x, y));
    ASSERT_TRUE(image.save(png, "PNG"));
    ASSERT_TRUE(image.save(jpeg, "JPEG"));

    for (const QString& path : {fax, png, jpeg}) {
        SetUp();
        openThroughMenu(path);
        ASSERT_TRUE(messages_->errors.isEmpty()) << messages_->errors.join(" ").toStdString();
        EXPECT_EQ(state().IMAGEWIDTH, grey.width);  // from the picture itself, not bytes 18 to 25
        EXPECT_EQ(state().IMAGEHEIGHT, grey.height);
        const QImage shown = window_->logView().surface().image();
        if (path != jpeg) {  // lossless: every pixel as drawn
            for (int y = 0; y < std::min(shown.height(), grey.height); y += 7)
                for (int x = 0; x < grey.width; x += 5)
                    ASSERT_EQ(shown.pixel(x, y) & 0xffffffu, grey.at(x, y)) << path.toStdString() << " " << x << "," << y;
        }

        const QString project = path + ".ddp";
        dialog_->files.push_back(project);
        window_->mnusavecal_Click();
        SetUp();
        ASSERT_TRUE(window_->openFile(project)) << messages_->errors.join(" ").toStdString();
        EXPECT_EQ(state().FILE, QFileInfo(path).fileName().toStdString());
        EXPECT_EQ(window_->logView().surface().image().pixel(3, 0) & 0xffffffu,
                  QImage(path).convertToFormat(QImage::Format_RGB32).pixel(3, 0) & 0xffffffu);
    }
}
