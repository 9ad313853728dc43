#include <QFileInfo>
#include <QTemporaryDir>

#include <tiffio.h>

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
        EXPECT_EQ(session().picture().width(), grey.width);  // from the picture itself, not bytes 18 to 25
        EXPECT_EQ(session().picture().height(), grey.height);
        const QImage shown = window_->logView().surface().image();
        if (path != jpeg) {  // lossless: every pixel as drawn
            for (int y = 0; y < std::min(shown.height(), grey.height); y += 7)
                for (int x = 0; x < grey.width; x += 5)
                    ASSERT_EQ(shown.pixel(x, y) & 0xffffffu, grey.at(x, y)) << path.toStdString() << " " << x << "," << y;
        }

        const QString project = path + ".ddp";
        QString error;
        ASSERT_TRUE(session().saveProject(project, 1, error)) << error.toStdString();
        SetUp();
        ASSERT_TRUE(window_->openFile(project)) << messages_->errors.join(" ").toStdString();
        EXPECT_EQ(pictureName(), QFileInfo(path).fileName());
        EXPECT_EQ(window_->logView().surface().image().pixel(3, 0) & 0xffffffu,
                  QImage(path).convertToFormat(QImage::Format_RGB32).pixel(3, 0) & 0xffffffu);
    }
}

TEST_F(WindowTest, ADamagedScanOpenedOverALogSaysSoEveryTimeAndKeepsTheLog)
{
    openThroughMenu(writeBitmap(QStringLiteral("log.bmp"), RgbPicture(120, 400, 0xffffff), 24));
    ASSERT_EQ(session().picture().height(), 400);
    // Grey, deflated in strips of 16 rows, its first strip no longer
    // inflating: one half of the read fails while the other goes on.
    const QString scan = folder_.filePath("damaged.tif");
    ASSERT_TRUE(writeTiff(scan.toStdString(), 64, 256, {TiffOptions::Samples::Grey, COMPRESSION_ADOBE_DEFLATE, 16, 0,
                                                        false, {}},
                          [](int y, std::uint32_t* row) {
                              for (int x = 0; x < 64; ++x)
                                  row[x] = ((x + y) % 200) * 0x010101u;
                          }));
    QFile file(scan);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    TIFF* tiff = TIFFOpen(scan.toLocal8Bit().constData(), "r");
    ASSERT_NE(tiff, nullptr);
    file.seek(qint64(TIFFGetStrileOffset(tiff, 0)));
    TIFFClose(tiff);
    file.write(QByteArray(4, '\xff'));
    file.close();
    for (int run = 0; run < 10; ++run) {
        messages_->errors.clear();
        openThroughMenu(scan);
        ASSERT_EQ(messages_->errors,
                  QStringList{QStringLiteral("Open Picture: The TIFF picture \"%1\" is damaged: its pixels cannot be "
                                             "decoded.")
                                  .arg(scan)})
            << "run " << run;
        EXPECT_EQ(session().picture().height(), 400);
    }
}
