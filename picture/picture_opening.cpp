// Opening a picture file: what its bytes say of themselves is weighed first,
// so that a damaged or truncated file is refused with its reason before any
// memory is set aside for its pixels; then the decoder of its kind fills a
// new picture, which replaces this one only when it is whole.
#include <climits>

#include <QFile>

#include "files/bitmap_decoder.h"
#include "files/picture_claim.h"
#include "files/picture_file.h"
#include "files/tiff_strips.h"
#include "picture/log_picture.h"
#include "picture/memory_limit.h"
#include "picture/picture_decoding.h"

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

// The refusals, each naming the file and its reason.
struct Refusals {
    const QString& path;
    QString kind;

    QString damaged(const QString& reason) const
    {
        return QStringLiteral("The %1 picture \"%2\" is damaged: %3.").arg(kind, path, reason);
    }
    QString truncated(const QString& reason) const
    {
        return QStringLiteral("The %1 picture \"%2\" is truncated: %3.").arg(kind, path, reason);
    }
    QString overclaimed(const PictureClaim& claim, std::size_t bytes) const
    {
        return QStringLiteral("The %1 picture \"%2\" is damaged or truncated: it claims %3 by %4 pixels in %5 bytes.")
            .arg(kind, path)
            .arg(claim.width)
            .arg(claim.height)
            .arg(bytes);
    }
    QString tooLarge(QSize size) const
    {
        return QStringLiteral("The picture \"%1\" is too large to hold: %2 by %3 pixels.")
            .arg(path)
            .arg(size.width())
            .arg(size.height());
    }
    QString noReader() const
    {
        return QStringLiteral("The %1 picture \"%2\" cannot be read: this installation has no %1 reader.")
            .arg(kind, path);
    }
};

// The decoder for the file's kind and layout. Qt's readers hold all the
// file's samples at once: what its header claims of them must fit.
Decoded decode(PictureKind kind, const QString& path, const PictureBytes& bytes, const std::optional<PictureClaim>& claim,
               const LogPicture::Progress& progress, LogPicture& picture, QString& damage)
{
    switch (kind) {
    case PictureKind::Bitmap:
        if (const auto layout = plainBitmapLayout(bytes.data(), bytes.size()))
            return decodeBitmap(*layout, bytes.data(), progress, picture);
        break;
    case PictureKind::Tiff: {
        std::string error;
        if (const auto tiff = TiffStrips::open(path.toStdString(), error))
            return decodeTiff(path.toStdString(), *tiff, progress, picture);
        if (!error.empty()) {
            damage = QString::fromStdString(error);
            return {DecodeOutcome::Damaged, {}};
        }
        break;
    }
    case PictureKind::Png:
        return decodePng(bytes.data(), bytes.size(), progress, picture);
    case PictureKind::Jpeg:
        return decodeJpeg(bytes.data(), bytes.size(), progress, picture);
    case PictureKind::Unknown:
        break;
    }
    if (claim && double(claim->decodedBytes) > double(pictureMemoryLimit()))
        return {DecodeOutcome::TooLarge, QSize(int(std::min<std::uint64_t>(claim->width, INT_MAX)),
                                               int(std::min<std::uint64_t>(claim->height, INT_MAX)))};
    return decodeWithQt(bytes.data(), bytes.size(), progress, picture);
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
    const Refusals refuse{path, QString::fromStdString(pictureKindName(kind))};
    if (kind == PictureKind::Unknown) {
        error = QStringLiteral("The file \"%1\" is not a picture the program reads: it is neither a Windows bitmap "
                               "nor a TIFF, PNG or JPEG file.")
                    .arg(path);
        return false;
    }
    if (const std::string damage = headerDamage(kind, bytes.data(), bytes.size()); !damage.empty()) {
        error = refuse.damaged(QString::fromStdString(damage));
        return false;
    }
    if (endsEarly(kind, bytes.data(), bytes.size())) {
        error = refuse.truncated(QStringLiteral("the file ends before the picture does"));
        return false;
    }
    const auto claim = pictureClaim(kind, bytes.data(), bytes.size());
    if (claim && !claim->holdable()) {
        error = refuse.overclaimed(*claim, bytes.size());
        return false;
    }
    // The picture and its reduced copies are all made before any replaces
    // this one's.
    LogPicture decoded;
    QString damage = QStringLiteral("its pixels cannot be decoded");
    const Decoded result = decode(kind, path, bytes, claim, progress, decoded, damage);
    switch (result.outcome) {
    case DecodeOutcome::Done:
        *this = std::move(decoded);
        return true;
    case DecodeOutcome::TooLarge:
        error = refuse.tooLarge(result.size);
        break;
    case DecodeOutcome::Damaged:
        error = refuse.damaged(damage);
        break;
    case DecodeOutcome::Truncated:
        error = refuse.truncated(QStringLiteral("its data ends before the picture does"));
        break;
    case DecodeOutcome::NoReader:
        error = refuse.noReader();
        break;
    case DecodeOutcome::Cancelled:
        break;
    }
    return false;
}
