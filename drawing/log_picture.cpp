#include "drawing/log_picture.h"

#include <algorithm>
#include <cstdint>

#include <QImageReader>

namespace {

// Qt refuses to decode pictures above its allocation limit (128 MB by
// default); a long log easily exceeds it, so the limit follows the picture.
void allowAllocationFor(QSize size)
{
    const qint64 bytes = qint64(std::max(0, size.width())) * std::max(0, size.height()) * 4;
    const int megabytes = int(std::min<qint64>(bytes / (1024 * 1024) + 64, 1 << 30));
    QImageReader::setAllocationLimit(std::max(megabytes, 128));
}

}  // namespace

bool LogPicture::load(const QString& path, QString& error)
{
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
    levels_[0] = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    for (int n = 1; n < kLevels; ++n)
        levels_[std::size_t(n)] = halveByAreaAverage(levels_[std::size_t(n - 1)]);
}

QImage halveByAreaAverage(const QImage& source)
{
    const int w = source.width();
    const int h = source.height();
    QImage out(std::max(1, (w + 1) / 2), std::max(1, (h + 1) / 2), QImage::Format_RGB32);
    if (w == 0 || h == 0) {
        out.fill(Qt::white);
        return out;
    }
    for (int y = 0; y < out.height(); ++y) {
        const auto* row0 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(2 * y));
        const auto* row1 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(std::min(2 * y + 1, h - 1)));
        auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int x0 = 2 * x;
            const int x1 = std::min(x0 + 1, w - 1);
            const std::uint32_t a = row0[x0], b = row0[x1], c = row1[x0], d = row1[x1];
            // Sum the two 8-bit channel pairs in parallel, 10 bits apart.
            const std::uint32_t rb = (a & 0xff00ff) + (b & 0xff00ff) + (c & 0xff00ff) + (d & 0xff00ff) + 0x20002;
            const std::uint32_t g = (a & 0xff00) + (b & 0xff00) + (c & 0xff00) + (d & 0xff00) + 0x200;
            dst[x] = 0xff000000u | ((rb >> 2) & 0xff00ff) | ((g >> 2) & 0xff00);
        }
    }
    return out;
}
