// What a picture file is turned into, and every reason one is refused: each
// refusal quickly and in little memory, whatever its header claims.
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <tiffio.h>

#include "files/tiff_strips.h"
#include "hand_made_pictures.h"
#include "picture/log_picture.h"
#include "picture/memory_limit.h"
#include "resource_use.h"
#include "tiff_writer.h"

// Readable failures of comparisons of texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

class PictureRules : public ::testing::Test {
protected:
    QString written(const char* name, const QByteArray& bytes)
    {
        const QString path = folder_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }

    QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    static QString loadError(const QString& path)
    {
        LogPicture picture;
        QString error;
        EXPECT_FALSE(picture.load(path, error)) << path.toStdString();
        EXPECT_TRUE(picture.isNull());
        return error;
    }

    // The refusal of the file, which must come within a second and raise
    // the process's peak memory by less than 300 MB, whatever it claims.
    static QString quickRefusal(const QString& path)
    {
        QString error;
        const ResourceUse use = resourcesOf([&] { error = loadError(path); });
        EXPECT_LT(use.seconds, 1.0) << path.toStdString();
        EXPECT_LT(use.megabytes, 300.0) << path.toStdString();
        return error;
    }

    QTemporaryDir folder_;
};

// A JPEG of the picture, quality 50.
QByteArray jpegOf(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 50);
    return bytes;
}

// Grey noise that no coder packs much.
QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            image.scanLine(y)[x] = uchar(state >> 24);
        }
    return image;
}

// A 16-bit RGB PNG, each pixel's three samples given, with the transparent
// colour key.
QByteArray png16(int width, int height, const std::function<std::uint16_t(int x, int y)>& sample, std::uint16_t key)
{
    QByteArray rows;
    for (int y = 0; y < height; ++y) {
        rows += char(0);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rows += bigEndian(sample(x, y), 2);
    }
    const QByteArray keyed = bigEndian(key, 2) + bigEndian(key, 2) + bigEndian(key, 2);
    return pngFile(std::uint32_t(width), std::uint32_t(height), 16, 2, pngChunk("tRNS", keyed), deflated(rows));
}

}  // namespace

TEST_F(PictureRules, TransparentPartsShowWhite)
{
    // Transparent black, half-transparent black and opaque black over white.
    QImage clear(3, 1, QImage::Format_ARGB32);
    clear.setPixel(0, 0, qRgba(0, 0, 0, 0));
    clear.setPixel(1, 0, qRgba(0, 0, 0, 128));
    clear.setPixel(2, 0, qRgba(0, 0, 0, 255));
    const QString alphaPng = folder_.filePath("alpha.png");
    ASSERT_TRUE(clear.save(alphaPng));
    LogPicture picture;
    QString error;
    ASSERT_TRUE(picture.load(alphaPng, error)) << error.toStdString();
    EXPECT_EQ(picture.level(0).pixel(0, 0), 0xffffffffu);
    EXPECT_EQ(picture.level(0).pixel(1, 0), 0xff7f7f7fu);
    EXPECT_EQ(picture.level(0).pixel(2, 0), 0xff000000u);

    // A 16-bit RGB picture with a transparent colour, which general readers
    // misplace: that colour shows white, every other pixel its own colour.
    const auto sample = [](int x, int y) { return std::uint16_t(x == y ? 0x0101 : 0x8080 + x); };
    const QString keyed = written("keyed16.png", png16(7, 4, sample, 0x0101));
    ASSERT_TRUE(picture.load(keyed, error)) << error.toStdString();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(picture.level(0).pixel(x, y), x == y ? 0xffffffffu : qRgb(0x80, 0x80, 0x80)) << x << "," << y;
}

TEST_F(PictureRules, EveryRefusalNamesTheFileAndItsReason)
{
    const QString tiff = folder_.filePath("scan.tif");
    ASSERT_TRUE(writeFaxTiff(tiff.toStdString(), 64, 64, 64, [](int x, int y) { return (x ^ y) & 4; }));
    const QByteArray whole = bytesOf(tiff);
    QByteArray scrambled = whole;
    for (int i = 8; i < 40; ++i)
        scrambled[i] = 0;  // no fax code: the strip follows the header
    const QString damaged = written("damaged.tif", scrambled);
    const QString truncated = written("truncated.tif", whole.left(whole.size() / 2));
    const QString bitmap =
        written("cut.bmp", QByteArray::fromStdString(encodeBmp(RgbPicture(40, 40, 0xffffff), 24)).left(900));
    const QString text = written("notes.png", "Depth 1000 m, scale 0 to 90 degrees");
    EXPECT_EQ(loadError(damaged),
              QStringLiteral("The TIFF picture \"%1\" is damaged: its pixels cannot be decoded.").arg(damaged));
    EXPECT_EQ(loadError(truncated),
              QStringLiteral("The TIFF picture \"%1\" is truncated: the file ends before the picture does.")
                  .arg(truncated));
    EXPECT_EQ(loadError(bitmap),
              QStringLiteral("The Windows bitmap picture \"%1\" is truncated: the file ends before the picture does.")
                  .arg(bitmap));
    EXPECT_EQ(loadError(text), QStringLiteral("The file \"%1\" is not a picture the program reads: it is neither a "
                                              "Windows bitmap nor a TIFF, PNG or JPEG file.")
                                   .arg(text));
    const QString gone = folder_.filePath("gone.tif");
    EXPECT_TRUE(loadError(gone).startsWith(QStringLiteral("The file \"%1\" cannot be opened: ").arg(gone)));

    // A PNG whose pixels' data stops short, another whose data is broken.
    QByteArray rows;
    for (int y = 0; y < 4; ++y)
        rows += QByteArray(1, '\0') + QByteArray(40, char(y * 50));
    const QString shortPng = written("short.png", pngFile(40, 8, 8, 0, {}, deflated(rows)));
    EXPECT_EQ(loadError(shortPng),
              QStringLiteral("The PNG picture \"%1\" is truncated: its data ends before the picture does.")
                  .arg(shortPng));
    QByteArray broken = pngFile(40, 4, 8, 0, {}, deflated(rows));
    broken[broken.indexOf("IDAT") + 6] = char(~broken[broken.indexOf("IDAT") + 6]);
    const QString brokenPng = written("broken.png", broken);
    EXPECT_EQ(loadError(brokenPng),
              QStringLiteral("The PNG picture \"%1\" is damaged: its pixels cannot be decoded.").arg(brokenPng));
    // A JPEG whose data stops in the middle and is closed by an end marker:
    // libjpeg only warns of it, and would show the rest grey.
    const QByteArray jpeg = jpegOf(noise(64, 512));
    const QString cutJpeg = written("cut.jpg", jpeg.left(jpeg.size() * 3 / 5) + QByteArray("\xff\xd9", 2));
    EXPECT_EQ(loadError(cutJpeg),
              QStringLiteral("The JPEG picture \"%1\" is truncated: its data ends before the picture does.")
                  .arg(cutJpeg));
}

TEST_F(PictureRules, ClaimsTheDataCannotFillAreRefusedButRealPicturesLargerThanMemoryAreTooLarge)
{
    // A header of a million pixels square over 64 deflated bytes.
    const QString claimed = written("claimed.png", pngFile(1000000, 1000000, 8, 0, {}, deflated(QByteArray(64, 0))));
    EXPECT_EQ(quickRefusal(claimed), QStringLiteral("The PNG picture \"%1\" is damaged or truncated: it claims 1000000 "
                                                    "by 1000000 pixels in %2 bytes.")
                                         .arg(claimed)
                                         .arg(QFileInfo(claimed).size()));
    // A real fax of a million white rows a million pixels wide: each row
    // like the one above, one bit of Group 4 code, and the end of the data.
    const std::uint32_t side = 1000000;
    const QByteArray rows = QByteArray(side / 8, '\xff') + QByteArray("\x00\x10\x01", 3);
    const QString fax = written("white.tif", tiffFile({{256, 4, {side}},
                                                       {257, 4, {side}},
                                                       {258, 3, {1}},
                                                       {259, 3, {4}},
                                                       {262, 3, {0}},
                                                       {277, 3, {1}},
                                                       {278, 4, {side}}},
                                                      {rows}));
    EXPECT_EQ(quickRefusal(fax),
              QStringLiteral("The picture \"%1\" is too large to hold: 1000000 by 1000000 pixels.").arg(fax));

    // A picture that fits the computer but not the memory the program may
    // take, as in a cluster's job: at one bit a pixel and its grey copies,
    // 2000 x 2000 pixels take 1.8 MB.
    const QString scan = folder_.filePath("scan.tif");
    ASSERT_TRUE(writeFaxTiff(scan.toStdString(), 2000, 2000, 64, [](int x, int y) { return (x + y) % 50 == 0; }));
    setPictureMemoryLimit(1 << 20);
    EXPECT_EQ(loadError(scan), QStringLiteral("The picture \"%1\" is too large to hold: 2000 by 2000 pixels.").arg(scan));
    setPictureMemoryLimit(2 << 20);
    LogPicture picture;
    QString error;
    EXPECT_TRUE(picture.load(scan, error)) << error.toStdString();
    setPictureMemoryLimit(0);
}

// The damaged files of a fuzzing run, each rebuilt by hand.
TEST_F(PictureRules, AFailedHalfOfATiffIsDamagedNeverCancelled)
{
    // Grey, deflated in strips of 16 rows, read in two halves; its first
    // strip no longer inflates. The half that reads on is stopped by the
    // failed one, which must not make the read count as cancelled.
    const QString path = folder_.filePath("deflated.tif");
    ASSERT_TRUE(writeTiff(path.toStdString(), 64, 256, {TiffOptions::Samples::Grey, COMPRESSION_ADOBE_DEFLATE, 16, 0, false, {}},
                          [](int y, std::uint32_t* row) {
                              for (int x = 0; x < 64; ++x)
                                  row[x] = ((x * y) % 251) * 0x010101u;
                          }));
    QByteArray bytes = bytesOf(path);
    TIFF* tiff = TIFFOpen(path.toLocal8Bit().constData(), "r");
    ASSERT_NE(tiff, nullptr);
    const uint64_t firstStrip = TIFFGetStrileOffset(tiff, 0);
    TIFFClose(tiff);
    bytes.replace(qsizetype(firstStrip), 4, QByteArray(4, '\xff'));
    const QString damaged = written("damaged-strip.tif", bytes);
    for (int run = 0; run < 30; ++run)
        ASSERT_EQ(quickRefusal(damaged),
                  QStringLiteral("The TIFF picture \"%1\" is damaged: its pixels cannot be decoded.").arg(damaged))
            << "run " << run;
}

TEST_F(PictureRules, ABitmapHeaderOfSizeAndDepthNoughtIsDamaged)
{
    // 34 bytes whose header size and depth are 0: a general reader takes
    // them for a 23312 x 6135 picture.
    const QByteArray header = QByteArray("BM") + littleEndian(34, 4) + littleEndian(0, 4) + littleEndian(26, 4)
                              + littleEndian(0, 4) + littleEndian(23312, 4) + littleEndian(6135, 4)
                              + littleEndian(1, 2) + littleEndian(0, 2) + littleEndian(0, 4);
    ASSERT_EQ(header.size(), 34);
    const QString path = written("header.bmp", header);
    EXPECT_EQ(quickRefusal(path),
              QStringLiteral("The Windows bitmap picture \"%1\" is damaged: its header is 0 bytes long, which no "
                             "bitmap header is.")
                  .arg(path));
}

TEST_F(PictureRules, HeadersThatClaimGigabytesInAFewBytesAreRefusedBeforeAnyPixelIsHeld)
{
    const auto refusal = [&](const QString& path, int width, int height) {
        return QStringLiteral("is damaged or truncated: it claims %1 by %2 pixels in %3 bytes.")
            .arg(width)
            .arg(height)
            .arg(QFileInfo(path).size());
    };
    const QString grey = written("grey.png", pngFile(30000, 30000, 8, 0, {}, deflated(QByteArray(4, 0))));
    EXPECT_EQ(QFileInfo(grey).size(), 69);
    EXPECT_TRUE(quickRefusal(grey).endsWith(refusal(grey, 30000, 30000)));

    const QByteArray key = bigEndian(0x0101, 2) + bigEndian(0x0101, 2) + bigEndian(0x0101, 2);
    const QString keyed =
        written("keyed.png", pngFile(20000, 20000, 16, 2, pngChunk("tRNS", key), deflated(QByteArray(4, 0))));
    EXPECT_EQ(QFileInfo(keyed).size(), 87);
    EXPECT_TRUE(quickRefusal(keyed).endsWith(refusal(keyed, 20000, 20000)));

    // A small JPEG whose frame header now says 20000 x 20000: libjpeg would
    // only warn that its data ends, and show the rest.
    QByteArray jpeg = jpegOf(noise(16, 16));
    const qsizetype frame = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(frame, 0);
    jpeg.replace(frame + 5, 4, bigEndian(20000, 2) + bigEndian(20000, 2));
    const QString claimed = written("claimed.jpg", jpeg);
    EXPECT_TRUE(quickRefusal(claimed).endsWith(refusal(claimed, 20000, 20000)));
}

TEST_F(PictureRules, SamplesAPixelCountInWhatAHeaderClaims)
{
    // Found by fuzzing: 40 x 3327 pixels of 36888 grey samples each, 4.9 GB,
    // deflated, without the strips' byte counts. A general reader would set
    // the room for a strip aside first.
    const QString path = written("samples.tif", tiffFile({{256, 3, {40}},
                                                          {257, 3, {3327}},
                                                          {258, 3, {8}},
                                                          {259, 3, {8}},
                                                          {262, 3, {1}},
                                                          {277, 3, {36888}}},
                                                         {deflated(QByteArray(100, '\0'))}, false, true));
    EXPECT_EQ(quickRefusal(path), QStringLiteral("The TIFF picture \"%1\" is damaged or truncated: it claims 40 by 3327 "
                                                 "pixels in %2 bytes.")
                                      .arg(path)
                                      .arg(QFileInfo(path).size()));
}

TEST_F(PictureRules, ATileLargerThanThePictureIsDamaged)
{
    // 64 x 64 grey pixels in one deflated tile that claims to be 65536 x
    // 32768, 2 GB to hold.
    const QString path = written("tile.tif", tiffFile({{256, 4, {64}},
                                                       {257, 4, {64}},
                                                       {258, 3, {8}},
                                                       {259, 3, {8}},
                                                       {262, 3, {1}},
                                                       {277, 3, {1}},
                                                       {322, 4, {65536}},
                                                       {323, 4, {32768}}},
                                                      {deflated(QByteArray(4096, '\x80'))}, true));
    EXPECT_EQ(quickRefusal(path), QStringLiteral("The TIFF picture \"%1\" is damaged: a tile of 65536 by 32768 pixels "
                                                 "is larger than the picture, 64 by 64.")
                                      .arg(path));
    // A picture as large as its one tile, which holds more than 64 MB.
    const QString large = written("large-tiles.tif", tiffFile({{256, 4, {8192}},
                                                                {257, 4, {8208}},
                                                                {258, 3, {8}},
                                                                {259, 3, {8}},
                                                                {262, 3, {1}},
                                                                {277, 3, {1}},
                                                                {322, 4, {8192}},
                                                                {323, 4, {8208}}},
                                                               {deflated(QByteArray(1 << 20, '\x80')).repeated(80)},
                                                               true));
    EXPECT_EQ(quickRefusal(large),
              QStringLiteral("The TIFF picture \"%1\" is damaged: a tile of 8192 by 8208 pixels holds more than 64 MB.")
                  .arg(large));
}

TEST_F(PictureRules, EachHalfOfAStripTiffIsReadByOneThreadOnly)
{
    // 8 rows a strip, 30 rows: the halves meet at row 16, which the first
    // half must leave to the second.
    const QString path = folder_.filePath("strips.tif");
    const auto dark = [](int x, int y) { return (x * 3 + y * 5) % 7 < 3; };
    ASSERT_TRUE(writeFaxTiff(path.toStdString(), 40, 30, 8, dark));
    std::string error;
    const auto strips = TiffStrips::open(path.toStdString(), error);
    ASSERT_TRUE(strips) << error;
    const std::size_t stride = strips->rowBytes();
    std::vector<std::uint8_t> rows(stride * 30, 0xa5);
    int y = 0;
    while (y < 16) {
        const int read = strips->readBand(y, 16, rows.data() + std::size_t(y) * stride, std::ptrdiff_t(stride), error);
        ASSERT_GT(read, 0) << error;
        y += read;
    }
    EXPECT_EQ(y, 16);
    EXPECT_TRUE(std::all_of(rows.begin() + 16 * std::ptrdiff_t(stride), rows.end(), [](std::uint8_t b) {
        return b == 0xa5;
    }));

    LogPicture picture;
    QString loadError;
    ASSERT_TRUE(picture.load(path, loadError)) << loadError.toStdString();
    for (int row = 0; row < 30; ++row)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(picture.level(0).pixel(x, row), dark(x, row) ? 0xff000000u : 0xffffffffu) << x << "," << row;

    // The same read of uncompressed strips, whose rows libtiff copies with
    // memcpy: a ThreadSanitizer build (scripts/test.sh --tsan) sees every
    // row each thread writes.
    const QString plain = folder_.filePath("plain.tif");
    ASSERT_TRUE(writeTiff(plain.toStdString(), 40, 30, {TiffOptions::Samples::Grey, COMPRESSION_NONE, 8, 0, false, {}},
                          [&](int row, std::uint32_t* pixels) {
                              for (int x = 0; x < 40; ++x)
                                  pixels[x] = dark(x, row) ? 0 : 0xffffff;
                          }));
    ASSERT_TRUE(picture.load(plain, loadError)) << loadError.toStdString();
    for (int row = 0; row < 30; ++row)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(picture.level(0).pixel(x, row), dark(x, row) ? 0xff000000u : 0xffffffffu) << x << "," << row;
}

TEST_F(PictureRules, TheSearchReadsColourInkByItsDistanceBelowThePaper)
{
    // Yellowed paper with red, blue and grey ink, and a white speck.
    QImage page(40, 20, QImage::Format_RGB888);
    page.fill(qRgb(250, 240, 170));
    const QRgb inks[] = {qRgb(200, 30, 30), qRgb(30, 40, 200), qRgb(120, 110, 80), qRgb(255, 255, 255)};
    for (int i = 0; i < 4; ++i)
        page.setPixel(5 + 10 * i, 10, inks[i]);
    LogPicture picture;
    picture.setImage(page);
    const QRgb paper = picture.paperColour(page.rect());
    EXPECT_EQ(paper, qRgb(250, 240, 170));
    std::vector<std::uint8_t> ink(40 * 20);
    picture.toInk(page.rect(), paper, ink.data(), 40);
    EXPECT_EQ(ink[0], 255);  // paper is white
    const auto at = [&](int i) { return int(ink[std::size_t(10 * 40 + 5 + 10 * i)]); };
    // Each channel's shortfall below the paper's, as a root mean square.
    EXPECT_EQ(at(0), 255 - int(std::lround(std::sqrt((50 * 50 + 210 * 210 + 140 * 140) / 3.0))));
    EXPECT_EQ(at(1), 255 - int(std::lround(std::sqrt((220 * 220 + 200 * 200 + 0) / 3.0))));
    EXPECT_EQ(at(3), 255);  // lighter than the paper: no ink
    // A grey picture's ink is its grey.
    LogPicture greyPicture;
    greyPicture.setImage(page.convertToFormat(QImage::Format_Grayscale8));
    std::vector<std::uint8_t> asInk(40 * 20), asGrey(40 * 20);
    greyPicture.toInk(page.rect(), paper, asInk.data(), 40);
    greyPicture.toGrey(page.rect(), asGrey.data(), 40);
    EXPECT_EQ(asInk, asGrey);
}
