#include <QFileInfo>
#include <QTemporaryDir>

#include "tiff_writer.h"
#include "ui/log_view.h"
#include "window_fixture.h"

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
