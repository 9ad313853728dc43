// What a picture file is turned into, and every reason one is refused.
#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "picture/log_picture.h"

#include "tiff_writer.h"

namespace {

std::uint32_t crc32(const QByteArray& bytes)
{
    std::uint32_t c = 0xffffffffu;
    for (const char b : bytes) {
        c ^= std::uint8_t(b);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

QByteArray bigEndian(std::uint32_t v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char(v >> (8 * i));
    return out;
}

QByteArray chunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type) + data;
    return bigEndian(std::uint32_t(data.size()), 4) + typed + bigEndian(crc32(typed), 4);
}

// A 16-bit RGB PNG, each pixel's three samples given, with the transparent
// colour key.
QByteArray png16(int width, int height, const std::function<std::uint16_t(int x, int y)>& sample, std::uint16_t key)
{
    QByteArray header = bigEndian(std::uint32_t(width), 4) + bigEndian(std::uint32_t(height), 4);
    header += QByteArray("\x10\x02\x00\x00\x00", 5);
    QByteArray rows;
    for (int y = 0; y < height; ++y) {
        rows += char(0);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rows += bigEndian(sample(x, y), 2);
    }
    const QByteArray keyed = bigEndian(key, 2) + bigEndian(key, 2) + bigEndian(key, 2);
    return QByteArray("\x89PNG\r\n\x1a\n") + chunk("IHDR", header) + chunk("tRNS", keyed)
           + chunk("IDAT", qCompress(rows).mid(4)) + chunk("IEND", QByteArray());
}

QString written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

QString loadError(const QString& path)
{
    LogPicture picture;
    QString error;
    EXPECT_FALSE(picture.load(path, error)) << path.toStdString();
    return error;
}

}  // namespace

TEST(PictureRules, TransparencyShowsWhiteAndEveryRefusalNamesItsReason)
{
    QTemporaryDir folder;
    // Transparent black, half-transparent black and opaque black over white.
    QImage clear(3, 1, QImage::Format_ARGB32);
    clear.setPixel(0, 0, qRgba(0, 0, 0, 0));
    clear.setPixel(1, 0, qRgba(0, 0, 0, 128));
    clear.setPixel(2, 0, qRgba(0, 0, 0, 255));
    const QString alphaPng = folder.filePath("alpha.png");
    ASSERT_TRUE(clear.save(alphaPng));
    LogPicture picture;
    QString error;
    ASSERT_TRUE(picture.load(alphaPng, error)) << error.toStdString();
    EXPECT_EQ(picture.level(0).pixel(0, 0), 0xffffffffu);
    EXPECT_EQ(picture.level(0).pixel(1, 0), 0xff7f7f7fu);
    EXPECT_EQ(picture.level(0).pixel(2, 0), 0xff000000u);

    // Decoders fill only part of this one: its transparent colour shows
    // white, every other pixel its own colour.
    const auto sample = [](int x, int y) { return std::uint16_t(x == y ? 0x0101 : 0x8080 + x); };
    const QString keyed = written(folder.filePath("keyed16.png"), png16(7, 4, sample, 0x0101));
    ASSERT_TRUE(picture.load(keyed, error)) << error.toStdString();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(picture.level(0).pixel(x, y), x == y ? 0xffffffffu : qRgb(0x80, 0x80, 0x80)) << x << "," << y;

    const QString tiff = folder.filePath("scan.tif");
    ASSERT_TRUE(writeFaxTiff(tiff.toStdString(), 64, 64, 64, [](int x, int y) { return (x ^ y) & 4; }));
    QFile file(tiff);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    QByteArray scrambled = whole;
    for (int i = 8; i < 40; ++i)
        scrambled[i] = 0;  // no fax code: the strip follows the header
    const QString damaged = written(folder.filePath("damaged.tif"), scrambled);
    const QString truncated = written(folder.filePath("truncated.tif"), whole.left(whole.size() / 2));
    const QString bitmap = written(folder.filePath("cut.bmp"),
                                   QByteArray::fromStdString(encodeBmp(RgbPicture(40, 40, 0xffffff), 24)).left(900));
    const QString text = written(folder.filePath("notes.png"), "Depth 1000 m, scale 0 to 90 degrees");
    EXPECT_EQ(loadError(damaged), QStringLiteral("The TIFF picture \"%1\" is damaged: its pixels cannot be decoded.")
                                      .arg(damaged));
    EXPECT_EQ(loadError(truncated), QStringLiteral("The TIFF picture \"%1\" is truncated: the file ends before the "
                                                   "picture does.")
                                        .arg(truncated));
    EXPECT_TRUE(
        loadError(bitmap).startsWith(QStringLiteral("The Windows bitmap picture \"%1\" is truncated").arg(bitmap)));
    EXPECT_EQ(loadError(text), QStringLiteral("The file \"%1\" is not a picture the program reads: it is neither a "
                                              "Windows bitmap nor a TIFF, PNG or JPEG file.")
                                   .arg(text));
    // A whole file whose picture no computer holds: a million pixels square.
    const QByteArray header = bigEndian(1000000, 4) + bigEndian(1000000, 4) + QByteArray("\x08\x00\x00\x00\x00", 5);
    const QByteArray huge = QByteArray("\x89PNG\r\n\x1a\n") + chunk("IHDR", header)
                            + chunk("IDAT", qCompress(QByteArray(64, 0)).mid(4)) + chunk("IEND", QByteArray());
    const QString large = written(folder.filePath("large.png"), huge);
    EXPECT_TRUE(loadError(large).startsWith(QStringLiteral("The picture \"%1\" is too large to hold").arg(large)))
        << loadError(large).toStdString();
    // The same of a TIFF read a band at a time: its header says a million
    // pixels square, in one strip.
    const QString small = folder.filePath("small.tif");
    ASSERT_TRUE(writeFaxTiff(small.toStdString(), 64, 64, -1, [](int x, int) { return x % 2; }));
    QFile smallFile(small);
    ASSERT_TRUE(smallFile.open(QIODevice::ReadOnly));
    QByteArray bytes = smallFile.readAll();
    const auto u16 = [&](qsizetype at) { return int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8; };
    const qsizetype directory = u16(4) | qsizetype(u16(6)) << 16;
    for (qsizetype entry = directory + 2; entry < directory + 2 + 12 * u16(directory); entry += 12)
        if (u16(entry) == 256 || u16(entry) == 257)  // the width and the height, as LONG
            bytes.replace(entry + 2, 10, QByteArray("\x04\x00\x01\x00\x00\x00\x40\x42\x0f\x00", 10));
    const QString hugeTiff = written(folder.filePath("huge.tif"), bytes);
    EXPECT_EQ(loadError(hugeTiff),
              QStringLiteral("The picture \"%1\" is too large to hold: 1000000 by 1000000 pixels.").arg(hugeTiff));
    EXPECT_TRUE(loadError(folder.filePath("gone.tif")).startsWith(QStringLiteral("The file \"%1\" cannot be opened: ")
                                                                      .arg(folder.filePath("gone.tif"))));
}
