#include "drawing/log_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include <QFile>
#include <QImageReader>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "files/bitmap_decoder.h"

namespace {

// Qt refuses to decode pictures above its allocation limit (128 MB by
// default); a long log easily exceeds it, so the limit follows the picture.
void allowAllocationFor(QSize size)
{
    const qint64 bytes = qint64(std::max(0, size.width())) * std::max(0, size.height()) * 4;
    const int megabytes = int(std::min<qint64>(bytes / (1024 * 1024) + 64, 1 << 30));
    QImageReader::setAllocationLimit(std::max(megabytes, 128));
}

#ifdef __linux__
struct Mapping {
    void* memory;
    std::size_t bytes;
};

void unmapPicture(void* info)
{
    const auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->memory, mapping->bytes);
    delete mapping;
}
#endif

// A new RGB32 picture. The memory of a long log is asked for in huge pages
// where the system has them: touching it a small page at a time costs more
// than decoding the picture (tenfold on virtual machines).
QImage newPicture(int width, int height)
{
#ifdef __linux__
    const std::size_t bytesPerLine = std::size_t(width) * 4;
    const std::size_t bytes = bytesPerLine * std::size_t(height);
    constexpr std::size_t kLarge = std::size_t(16) << 20;
    if (width > 0 && height > 0 && bytes >= kLarge && bytesPerLine <= std::size_t(std::numeric_limits<int>::max())) {
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory != MAP_FAILED) {
            madvise(memory, bytes, MADV_HUGEPAGE);
            return QImage(static_cast<uchar*>(memory), width, height, qsizetype(bytesPerLine), QImage::Format_RGB32,
                          unmapPicture, new Mapping{memory, bytes});
        }
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

// A plain uncompressed bitmap decoded straight from the file's bytes;
// nothing for any other file.
std::optional<QImage> decodePlainBitmap(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    QByteArray read;
    const uchar* data = size > 0 ? file.map(0, size) : nullptr;
    if (!data) {
        read = file.readAll();
        data = reinterpret_cast<const uchar*>(read.constData());
    }
    const auto layout = plainBitmapLayout(data, static_cast<std::size_t>(size));
    if (!layout)
        return std::nullopt;
    QImage image = newPicture(layout->width, layout->height);
    if (image.isNull()) {
        error = QStringLiteral("The picture \"%1\" is too large to hold: %2 by %3 pixels.")
                    .arg(path)
                    .arg(layout->width)
                    .arg(layout->height);
        return QImage();
    }
    for (int y = 0; y < layout->height; ++y)
        decodeBitmapRow(*layout, data, y, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

// The mean of four pixels, rounded: the two 8-bit channel pairs are summed in
// parallel, 10 bits apart.
inline std::uint32_t mean4(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    const std::uint32_t rb = (a & 0xff00ff) + (b & 0xff00ff) + (c & 0xff00ff) + (d & 0xff00ff) + 0x20002;
    const std::uint32_t g = (a & 0xff00) + (b & 0xff00) + (c & 0xff00) + (d & 0xff00) + 0x200;
    return 0xff000000u | ((rb >> 2) & 0xff00ff) | ((g >> 2) & 0xff00);
}

// The picture in RGB32, converted a band of rows at a time into memory of its
// own: a 1-bit scan of a long log grows 32 times.
QImage toRgb32(const QImage& image)
{
    if (image.format() == QImage::Format_RGB32)
        return image;
    QImage out = newPicture(image.width(), image.height());
    if (out.isNull())
        return out;
    constexpr int kBand = 256;
    const std::size_t rowBytes = std::size_t(image.width()) * 4;
    for (int y = 0; y < image.height(); y += kBand) {
        const int rows = std::min(kBand, image.height() - y);
        const QImage band = image.copy(0, y, image.width(), rows).convertToFormat(QImage::Format_RGB32);
        for (int r = 0; r < rows; ++r)
            std::memcpy(out.scanLine(y + r), band.constScanLine(r), rowBytes);
    }
    return out;
}

}  // namespace

bool LogPicture::load(const QString& path, QString& error)
{
    if (auto plain = decodePlainBitmap(path, error)) {
        if (plain->isNull())
            return false;
        setImage(*plain);
        return true;
    }
    QImageReader reader(path);
    allowAllocationFor(reader.size());
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        error = QStringLiteral("The picture \"%1\" cannot be read: %2.").arg(path, reader.errorString());
        return false;
    }
    setImage(decoded);
    return true;
}

void LogPicture::setImage(const QImage& image)
{
    levels_[0] = toRgb32(image);
    for (int n = 1; n < kLevels; ++n)
        levels_[std::size_t(n)] = halveByAreaAverage(levels_[std::size_t(n - 1)]);
}

QImage halveByAreaAverage(const QImage& source)
{
    const int w = source.width();
    const int h = source.height();
    QImage out = newPicture(std::max(1, (w + 1) / 2), std::max(1, (h + 1) / 2));
    if (w == 0 || h == 0) {
        out.fill(Qt::white);
        return out;
    }
    // Output pixels of two source columns; an odd last column stands alone.
    const int pairs = w / 2;
    for (int y = 0; y < out.height(); ++y) {
        const auto* row0 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(2 * y));
        const auto* row1 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(std::min(2 * y + 1, h - 1)));
        auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < pairs; ++x)
            dst[x] = mean4(row0[2 * x], row0[2 * x + 1], row1[2 * x], row1[2 * x + 1]);
        if (pairs < out.width())
            dst[pairs] = mean4(row0[w - 1], row0[w - 1], row1[w - 1], row1[w - 1]);
    }
    return out;
}
