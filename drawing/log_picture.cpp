#include "drawing/log_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "files/bitmap_decoder.h"
#include "files/picture_file.h"

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

// The picture's bytes, mapped where the system allows.
class PictureBytes {
public:
    explicit PictureBytes(const QString& path) : file_(path) {}
    bool open()
    {
        if (!file_.open(QIODevice::ReadOnly))
            return false;
        size_ = std::size_t(std::max<qint64>(0, file_.size()));
        data_ = size_ > 0 ? file_.map(0, qint64(size_)) : nullptr;
        if (!data_) {
            read_ = file_.readAll();
            data_ = reinterpret_cast<const uchar*>(read_.constData());
            size_ = std::size_t(read_.size());
        }
        return true;
    }
    QString errorString() const { return file_.errorString(); }
    const uchar* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    QFile file_;
    QByteArray read_;
    const uchar* data_ = nullptr;
    std::size_t size_ = 0;
};

QString tooLarge(const QString& path, QSize size)
{
    return QStringLiteral("The picture \"%1\" is too large to hold: %2 by %3 pixels.")
        .arg(path)
        .arg(size.width())
        .arg(size.height());
}

// The picture and its reduced copies need about 5.4 bytes a pixel; more than
// the computer's memory cannot be held.
bool fitsInMemory(QSize size)
{
    const double bytes = double(std::max(0, size.width())) * std::max(0, size.height()) * 4 * 4 / 3;
#ifdef __linux__
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        return bytes <= double(pages) * double(pageSize);
#endif
    return bytes <= double(std::numeric_limits<qsizetype>::max());
}

// A plain uncompressed bitmap decoded straight from the file's bytes;
// nothing for any other bitmap.
std::optional<QImage> decodePlainBitmap(const PictureBytes& bytes)
{
    const auto layout = plainBitmapLayout(bytes.data(), bytes.size());
    if (!layout)
        return std::nullopt;
    QImage image = newPicture(layout->width, layout->height);
    if (image.isNull())
        return QImage();
    for (int y = 0; y < layout->height; ++y)
        decodeBitmapRow(*layout, bytes.data(), y, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    return image;
}

// The colour keyed out of a 16-bit PNG decoded without its "tRNS" chunk.
void keyOut(QImage& image, const PngTransparentColour& key)
{
    image.convertTo(QImage::Format_RGBA64);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgba64*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x].red() == key.red && row[x].green() == key.green && row[x].blue() == key.blue)
                row[x] = QRgba64::fromRgba64(0, 0, 0, 0);
    }
}

// The mean of four pixels, rounded: the two 8-bit channel pairs are summed in
// parallel, 10 bits apart.
inline std::uint32_t mean4(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    const std::uint32_t rb = (a & 0xff00ff) + (b & 0xff00ff) + (c & 0xff00ff) + (d & 0xff00ff) + 0x20002;
    const std::uint32_t g = (a & 0xff00) + (b & 0xff00) + (c & 0xff00) + (d & 0xff00) + 0x200;
    return 0xff000000u | ((rb >> 2) & 0xff00ff) | ((g >> 2) & 0xff00);
}

// A premultiplied pixel laid over white paper.
inline std::uint32_t overWhite(std::uint32_t p)
{
    const std::uint32_t clear = 255 - (p >> 24);
    return 0xff000000u | ((p & 0xffffff) + (clear << 16 | clear << 8 | clear));
}

// The picture in RGB32, converted a band of rows at a time into memory of its
// own: a 1-bit scan of a long log grows 32 times. Transparent parts show
// white, as the paper of a scan does.
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
        const QImage part = image.copy(0, y, image.width(), rows);
        if (!part.hasAlphaChannel()) {
            const QImage band = part.convertToFormat(QImage::Format_RGB32);
            for (int r = 0; r < rows; ++r)
                std::memcpy(out.scanLine(y + r), band.constScanLine(r), rowBytes);
            continue;
        }
        const QImage band = part.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int r = 0; r < rows; ++r) {
            const auto* from = reinterpret_cast<const std::uint32_t*>(band.constScanLine(r));
            auto* to = reinterpret_cast<std::uint32_t*>(out.scanLine(y + r));
            for (int x = 0; x < image.width(); ++x)
                to[x] = overWhite(from[x]);
        }
    }
    return out;
}

}  // namespace

bool LogPicture::load(const QString& path, QString& error)
{
    PictureBytes bytes(path);
    if (!bytes.open()) {
        error = QStringLiteral("The file \"%1\" cannot be opened: %2.").arg(path, bytes.errorString());
        return false;
    }
    const PictureKind kind = pictureKind(bytes.data(), bytes.size());
    const QString kindName = QString::fromStdString(pictureKindName(kind));
    if (kind == PictureKind::Unknown) {
        error = QStringLiteral("The file \"%1\" is not a picture the program reads: it is neither a Windows bitmap "
                               "nor a TIFF, PNG or JPEG file.")
                    .arg(path);
        return false;
    }
    if (endsEarly(kind, bytes.data(), bytes.size())) {
        error = QStringLiteral("The %1 picture \"%2\" is truncated: the file ends before the picture does.")
                    .arg(kindName, path);
        return false;
    }
    // The picture and its reduced copies are all made before any replaces
    // this one's.
    const auto keep = [&](const QImage& decoded) {
        LogPicture converted;
        converted.setImage(decoded);
        if (std::any_of(converted.levels_.begin(), converted.levels_.end(), std::mem_fn(&QImage::isNull))) {
            error = tooLarge(path, decoded.size());
            return false;
        }
        *this = std::move(converted);
        return true;
    };
    if (kind == PictureKind::Bitmap) {
        if (auto plain = decodePlainBitmap(bytes)) {
            if (plain->isNull()) {
                error = tooLarge(path, plain->size());
                return false;
            }
            return keep(*plain);
        }
    }

    // A 16-bit PNG with a transparent colour is decoded without it.
    const auto key = png16TransparentColour(bytes.data(), bytes.size());
    QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    if (key)
        content = content.left(qsizetype(key->chunkOffset)) + content.mid(qsizetype(key->chunkOffset + key->chunkSize));
    QBuffer device(&content);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    if (!reader.canRead()) {
        error = QStringLiteral("The %1 picture \"%2\" cannot be read: this installation has no %1 reader.")
                    .arg(kindName, path);
        return false;
    }
    const QSize size = reader.size();
    if (size.isValid() && !fitsInMemory(size)) {
        error = tooLarge(path, size);
        return false;
    }
    allowAllocationFor(size);
    // Where a decoder fills only part of the picture, the rest shows white.
    QImage decoded;
    const QImage::Format format = reader.imageFormat();
    if (size.isValid() && format != QImage::Format_Invalid && format != QImage::Format_Mono
        && format != QImage::Format_MonoLSB && format != QImage::Format_Indexed8) {
        decoded = QImage(size, format);
        decoded.fill(Qt::white);
    }
    if (!reader.read(&decoded)) {
        error = QStringLiteral("The %1 picture \"%2\" is damaged: its pixels cannot be decoded.").arg(kindName, path);
        return false;
    }
    if (key)
        keyOut(decoded, *key);
    return keep(decoded);
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
