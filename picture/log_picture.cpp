#include "picture/log_picture.h"

#include <array>
#include <cstring>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "picture/picture_decoding.h"
#include "picture/picture_levels.h"
#include "picture/picture_rows.h"
#include "files/bitmap_decoder.h"
#include "files/picture_file.h"
#include "files/tiff_strips.h"

namespace {

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

QString damaged(const QString& kindName, const QString& path)
{
    return QStringLiteral("The %1 picture \"%2\" is damaged: its pixels cannot be decoded.").arg(kindName, path);
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

// The two greys of a level kept at one bit a pixel.
std::array<std::uint8_t, 2> greysOf(const QImage& level)
{
    return {std::uint8_t(level.color(0)), std::uint8_t(level.color(1))};
}

// Each row of part that lies on the level, handed to convert with the part's
// first column, its width, and the row of out to fill.
template <typename Out, typename Convert>
void eachRow(const QImage& level, const QRect& part, Out* out, std::ptrdiff_t stride, Convert convert)
{
    const QRect r = part.intersected(level.rect());
    for (int y = r.top(); y <= r.bottom(); ++y, out += stride)
        convert(level.constScanLine(y), r.left(), r.width(), out);
}

}  // namespace

bool LogPicture::load(const QString& path, QString& error, const Progress& progress)
{
    error.clear();
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
    LogPicture decoded;
    const auto keep = [&](DecodeOutcome outcome, QSize size) {
        if (outcome == DecodeOutcome::TooLarge)
            error = tooLarge(path, size);
        else if (outcome == DecodeOutcome::Damaged)
            error = damaged(kindName, path);
        if (outcome != DecodeOutcome::Done)
            return false;
        *this = std::move(decoded);
        return true;
    };
    if (kind == PictureKind::Bitmap) {
        if (const auto layout = plainBitmapLayout(bytes.data(), bytes.size()))
            return keep(decodeBitmap(*layout, bytes.data(), progress, decoded), {layout->width, layout->height});
    }
    if (kind == PictureKind::Tiff) {
        std::string tiffError;
        if (const auto tiff = TiffStrips::open(path.toStdString(), tiffError))
            return keep(decodeTiff(path.toStdString(), *tiff, progress, decoded),
                        {tiff->layout().width, tiff->layout().height});
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
    // The decoder's own picture and the one kept exist side by side for a
    // while; what fits is never refused by Qt's allocation limit.
    const QSize size = reader.size();
    if (size.isValid() && !fitsInMemory(size, 8 + bytesPerPixel(PictureForm::Rgb))) {
        error = tooLarge(path, size);
        return false;
    }
    const int allocationLimit = QImageReader::allocationLimit();
    if (size.isValid())
        QImageReader::setAllocationLimit(0);
    // Where a decoder fills only part of the picture, the rest shows white.
    QImage image;
    const QImage::Format format = reader.imageFormat();
    if (size.isValid() && format != QImage::Format_Invalid && format != QImage::Format_Mono
        && format != QImage::Format_MonoLSB && format != QImage::Format_Indexed8) {
        image = QImage(size, format);
        image.fill(Qt::white);
    }
    const bool read = reader.read(&image);
    QImageReader::setAllocationLimit(allocationLimit);
    if (!read) {
        error = damaged(kindName, path);
        return false;
    }
    if (key)
        keyOut(image, *key);
    return keep(convertDecoded(image, progress, decoded), image.size());
}

void LogPicture::setImage(const QImage& image) { convertDecoded(image, {}, *this); }

void LogPicture::toRgb32(int n, const QRect& part, std::uint32_t* out, std::ptrdiff_t stride) const
{
    const QImage& level = levels_[std::size_t(n)];
    if (level.format() == QImage::Format_Mono) {
        const std::array<std::uint8_t, 2> greys = greysOf(level);
        eachRow(level, part, out, stride, [&greys](const uchar* row, int first, int count, std::uint32_t* to) {
            monoToRgb32(row, first, count, greys.data(), to);
        });
    } else if (level.format() == QImage::Format_Grayscale8) {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint32_t* to) {
            greyToRgb32(row + first, count, to);
        });
    } else {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint32_t* to) {
            rgbToRgb32(row + 3 * first, count, to);
        });
    }
}

void LogPicture::toGrey(const QRect& part, std::uint8_t* out, std::ptrdiff_t stride) const
{
    const QImage& level = levels_[0];
    if (level.format() == QImage::Format_Mono) {
        const MonoToGrey toGrey(greysOf(level).data());
        eachRow(level, part, out, stride, [&toGrey](const uchar* row, int first, int count, std::uint8_t* to) {
            toGrey(row, first, count, to);
        });
    } else if (level.format() == QImage::Format_Grayscale8) {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint8_t* to) {
            std::memcpy(to, row + first, std::size_t(count));
        });
    } else {
        eachRow(level, part, out, stride, [](const uchar* row, int first, int count, std::uint8_t* to) {
            rgbToGrey(row + 3 * first, count, to);
        });
    }
}
