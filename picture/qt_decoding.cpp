// Pictures that Qt's own readers decode whole: bitmaps with compressed or
// 16-bit rows, and TIFFs in layouts scanners seldom write.
#include <QBuffer>
#include <QImageReader>

#include "picture/band_conversion.h"
#include "picture/decoding_bands.h"
#include "picture/picture_decoding.h"

Decoded decodeWithQt(const uchar* data, std::size_t size, const LogPicture::Progress& progress,
                     LogPicture& picture)
{
    QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer device(&content);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device);
    if (!reader.canRead())
        return {DecodeOutcome::NoReader, {}};
    // The decoder's own picture and the one kept exist side by side for a
    // while. Its size was weighed against the file's data before: what fits
    // is never refused by Qt's allocation limit.
    const QSize claimed = reader.size();
    if (claimed.isValid() && !fitsInMemory(claimed, 8 + bytesPerPixel(PictureForm::Rgb)))
        return {DecodeOutcome::TooLarge, claimed};
    const int allocationLimit = QImageReader::allocationLimit();
    if (claimed.isValid())
        QImageReader::setAllocationLimit(0);
    QImage image;
    const bool read = reader.read(&image);
    QImageReader::setAllocationLimit(allocationLimit);
    if (!read)
        return {DecodeOutcome::Damaged, claimed};
    return {convertDecoded(image, progress, picture), image.size()};
}

DecodeOutcome convertDecoded(const QImage& image, const LogPicture::Progress& progress, LogPicture& picture)
{
    const BandConversion conversion(image.format(), image.colorTable());
    LevelBuilder levels(image.width(), image.height(), conversion.form(), conversion.greys());
    if (image.isNull() || !levels.ok())
        return DecodeOutcome::TooLarge;
    for (int top = 0; top < image.height(); top += kDecodedBand) {
        const int rows = std::min(kDecodedBand, image.height() - top);
        conversion.convert(image, top, rows, top, levels);
        levels.written(top + rows);
        if (!goOn(progress, top + rows, image.height()))
            return DecodeOutcome::Cancelled;
    }
    levels.finish(picture);
    return DecodeOutcome::Done;
}
