#include "drawing/log_picture.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <optional>
#include <thread>
#include <vector>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "drawing/picture_rows.h"
#include "files/bitmap_decoder.h"
#include "files/picture_file.h"
#include "files/tiff_strips.h"

namespace {

enum class Form { Mono, Grey, Rgb };

QImage::Format formatOf(Form form)
{
    switch (form) {
    case Form::Mono:
        return QImage::Format_Mono;
    case Form::Grey:
        return QImage::Format_Grayscale8;
    case Form::Rgb:
        break;
    }
    return QImage::Format_RGB888;
}

// The memory of the picture and its reduced copies, in bytes a pixel.
double bytesPerPixel(Form form)
{
    switch (form) {
    case Form::Mono:
        return 1.0 / 8 + 1.0 / 3;
    case Form::Grey:
        return 4.0 / 3;
    case Form::Rgb:
        break;
    }
    return 4.0;
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

// A new picture of the given form. The memory of a long log is asked for in
// huge pages where the system has them: touching it a small page at a time
// costs more than decoding the picture (tenfold on virtual machines).
QImage newPicture(int width, int height, QImage::Format format)
{
#ifdef __linux__
    const int depth = format == QImage::Format_Mono ? 1 : format == QImage::Format_Grayscale8 ? 8 : 24;
    const std::size_t bytesPerLine = (std::size_t(std::max(width, 0)) * std::size_t(depth) + 31) / 32 * 4;
    const std::size_t bytes = bytesPerLine * std::size_t(std::max(height, 0));
    constexpr std::size_t kLarge = std::size_t(16) << 20;
    if (width > 0 && height > 0 && bytes >= kLarge && bytesPerLine <= std::size_t(std::numeric_limits<int>::max())) {
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory != MAP_FAILED) {
            madvise(memory, bytes, MADV_HUGEPAGE);
            return QImage(static_cast<uchar*>(memory), width, height, qsizetype(bytesPerLine), format, unmapPicture,
                          new Mapping{memory, bytes});
        }
    }
#endif
    return QImage(width, height, format);
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

QString damaged(const QString& kindName, const QString& path)
{
    return QStringLiteral("The %1 picture \"%2\" is damaged: its pixels cannot be decoded.").arg(kindName, path);
}

// More than the computer's memory cannot be held.
bool fitsInMemory(QSize size, double bytesPerPixel)
{
    const double bytes = double(std::max(0, size.width())) * std::max(0, size.height()) * bytesPerPixel;
#ifdef __linux__
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        return bytes <= double(pages) * double(pageSize);
#endif
    return bytes <= double(std::numeric_limits<qsizetype>::max());
}

bool isOpaqueGrey(QRgb c) { return qAlpha(c) == 255 && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c); }

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

// A premultiplied pixel laid over white paper.
inline std::uint32_t overWhite(std::uint32_t p)
{
    const std::uint32_t clear = 255 - (p >> 24);
    return 0xff000000u | ((p & 0xffffff) + (clear << 16 | clear << 8 | clear));
}

void packRgb(const std::uint32_t* from, int count, std::uint8_t* to)
{
    for (int x = 0; x < count; ++x, to += 3) {
        to[0] = std::uint8_t(from[x] >> 16);
        to[1] = std::uint8_t(from[x] >> 8);
        to[2] = std::uint8_t(from[x]);
    }
}

constexpr int kBand = 256;  // rows decoded between progress reports; a multiple of 8

}  // namespace

// The picture and its reduced copies, built a band of rows at a time: as rows
// of the picture itself are written, their share of every copy is made, so
// that the whole picture is read only once.
class LevelBuilder {
public:
    LevelBuilder(int width, int height, Form form, const std::uint8_t greys[2] = nullptr) : form_(form)
    {
        levels_[0] = newPicture(width, height, formatOf(form));
        if (form == Form::Mono && !levels_[0].isNull()) {
            levels_[0].setColorTable({qRgb(greys[0], greys[0], greys[0]), qRgb(greys[1], greys[1], greys[1])});
            halveMono_ = std::make_unique<MonoHalver>(greys);
        }
        const QImage::Format reduced = form == Form::Mono ? QImage::Format_Grayscale8 : formatOf(form);
        for (std::size_t n = 1; n < levels_.size(); ++n) {
            width = std::max(1, (width + 1) / 2);
            height = std::max(1, (height + 1) / 2);
            levels_[n] = newPicture(width, height, reduced);
        }
        for (std::size_t n = 0; n < levels_.size(); ++n) {
            bits_[n] = levels_[n].bits();
            strides_[n] = levels_[n].bytesPerLine();
        }
    }

    bool ok() const
    {
        return std::none_of(levels_.begin(), levels_.end(), [](const QImage& level) { return level.isNull(); });
    }
    int width() const { return levels_[0].width(); }
    int height() const { return levels_[0].height(); }
    // Rows are written and reduced through these, never through QImage's
    // own accessors, so that threads may each take rows of their own.
    std::uint8_t* row(int y) const { return bits_[0] + std::ptrdiff_t(y) * strides_[0]; }
    std::ptrdiff_t stride() const { return strides_[0]; }

    // The picture's rows above done are written, in order: their copies are
    // made.
    void written(int done)
    {
        const int upTo = done >= height() ? height() : done / 8 * 8;
        if (upTo > reduced_)
            reduceRows(reduced_, upTo);
        reduced_ = std::max(reduced_, upTo);
    }

    // The copies of the picture's rows top to bottom, top a multiple of 8 and
    // bottom too or the picture's end: each copy's rows among them depend on
    // these alone.
    void reduceRows(int top, int bottom) const
    {
        for (std::size_t n = 1; n < levels_.size(); ++n) {
            const int sourceWidth = levels_[n - 1].width(), sourceHeight = levels_[n - 1].height();
            const int first = top / 2;
            const int end = bottom >= sourceHeight ? levels_[n].height() : bottom / 2;
            for (int y = first; y < end; ++y) {
                const std::uint8_t* row0 = bits_[n - 1] + std::ptrdiff_t(2 * y) * strides_[n - 1];
                const std::uint8_t* row1 =
                    bits_[n - 1] + std::ptrdiff_t(std::min(2 * y + 1, sourceHeight - 1)) * strides_[n - 1];
                std::uint8_t* out = bits_[n] + std::ptrdiff_t(y) * strides_[n];
                if (n == 1 && form_ == Form::Mono)
                    (*halveMono_)(row0, row1, sourceWidth, out);
                else if (form_ == Form::Rgb)
                    halveRgbRows(row0, row1, sourceWidth, out);
                else
                    halveGreyRows(row0, row1, sourceWidth, out);
            }
            top = first;
            bottom = end;
        }
    }

    void finish(LogPicture& picture) { picture.levels_ = std::move(levels_); }

private:
    std::array<QImage, LogPicture::kLevels> levels_;
    std::array<std::uint8_t*, LogPicture::kLevels> bits_{};
    std::array<std::ptrdiff_t, LogPicture::kLevels> strides_{};
    Form form_;
    std::unique_ptr<MonoHalver> halveMono_;
    int reduced_ = 0;
};

namespace {

enum class Outcome { Done, TooLarge, Damaged, Cancelled };

bool goOn(const LogPicture::Progress& progress, int done, int height)
{
    return !progress || progress(double(done) / std::max(1, height));
}

using Advanced = std::function<bool(int rows)>;

// The picture's rows decoded by decode(top, bottom, advanced) in two halves
// at once, which meet at a multiple of step rows (a multiple of 8, so that
// neither half needs the other's rows for its copies). decode tells
// advanced of each band of rows it finishes and stops when told no. The
// progress is told from this thread only.
Outcome inTwoHalves(int height, int step, const LogPicture::Progress& progress,
                    const std::function<Outcome(int top, int bottom, const Advanced& advanced)>& decode)
{
    const int middle = (height / 2 + step - 1) / step * step;
    const bool halves = middle > 0 && middle < height && std::thread::hardware_concurrency() > 1;
    const int split = halves ? middle : height;
    std::atomic<int> done{0};
    std::atomic<bool> stop{false};
    Outcome lower = Outcome::Done;
    std::thread second;
    if (halves)
        second = std::thread([&] {
            lower = decode(split, height, [&](int rows) {
                done += rows;
                return !stop;
            });
            if (lower != Outcome::Done)
                stop = true;
        });
    const Outcome upper = decode(0, split, [&](int rows) {
        done += rows;
        if (!goOn(progress, done, height))
            stop = true;
        return !stop;
    });
    if (upper != Outcome::Done)
        stop = true;
    if (second.joinable())
        second.join();
    if (upper == Outcome::Cancelled || lower == Outcome::Cancelled)
        return Outcome::Cancelled;
    if (upper != Outcome::Done || lower != Outcome::Done)
        return Outcome::Damaged;
    // The second half may end after the first: its progress too.
    return goOn(progress, height, height) ? Outcome::Done : Outcome::Cancelled;
}

// The copies of rows top to bottom made as each band of 256 rows is written.
Outcome inBands(int top, int bottom, const LevelBuilder& levels, const Advanced& advanced,
                const std::function<void(int y)>& writeRow)
{
    for (int y = top; y < bottom;) {
        const int end = std::min(bottom, y + kBand);
        for (int r = y; r < end; ++r)
            writeRow(r);
        levels.reduceRows(y, end);
        if (!advanced(end - y))
            return Outcome::Cancelled;
        y = end;
    }
    return Outcome::Done;
}

// A plain uncompressed bitmap decoded straight from the file's bytes, in two
// halves at once: grey where its palette holds only greys, else RGB.
Outcome decodeBitmap(const PlainBitmap& layout, const uchar* data, const LogPicture::Progress& progress,
                     LogPicture& picture)
{
    const bool grey = layout.bitsPerPixel <= 8
                      && std::all_of(layout.palette.begin(), layout.palette.end(), [](std::uint32_t c) {
                             return isOpaqueGrey(c);
                         });
    const Form form = grey ? Form::Grey : Form::Rgb;
    if (!fitsInMemory({layout.width, layout.height}, bytesPerPixel(form)))
        return Outcome::TooLarge;
    LevelBuilder levels(layout.width, layout.height, form);
    if (!levels.ok())
        return Outcome::TooLarge;
    const int width = layout.width;
    const auto decode = [&](int top, int bottom, const Advanced& advanced) {
        std::vector<std::uint32_t> decoded(static_cast<std::size_t>(width));
        return inBands(top, bottom, levels, advanced, [&](int y) {
            std::uint8_t* to = levels.row(y);
            if (layout.bitsPerPixel == 24) {
                const std::size_t stored = std::size_t(layout.topDown ? y : layout.height - 1 - y);
                const uchar* from = data + layout.pixelOffset + layout.stride * stored;
                for (int x = 0; x < width; ++x, from += 3, to += 3) {
                    to[0] = from[2];
                    to[1] = from[1];
                    to[2] = from[0];
                }
                return;
            }
            decodeBitmapRow(layout, data, y, decoded.data());
            if (grey)
                for (int x = 0; x < width; ++x)
                    to[x] = std::uint8_t(decoded[std::size_t(x)]);
            else
                packRgb(decoded.data(), width, to);
        });
    };
    const Outcome outcome = inTwoHalves(layout.height, kBand, progress, decode);
    if (outcome == Outcome::Done)
        levels.finish(picture);
    return outcome;
}

// Rows top to bottom of a TIFF, a band at a time, with their share of the
// reduced copies; told each band's rows, advanced says whether to go on.
Outcome decodeTiffRows(TiffStrips& tiff, int top, int bottom, const LevelBuilder& levels, const Advanced& advanced)
{
    std::string error;
    int reduced = top;
    for (int y = top; y < bottom;) {
        const int rows = tiff.readBand(y, levels.row(y), levels.stride(), error);
        if (rows <= 0)
            return Outcome::Damaged;
        y += rows;
        const int upTo = y >= bottom ? bottom : y / 8 * 8;
        levels.reduceRows(reduced, upTo);
        reduced = upTo;
        if (!advanced(rows))
            return Outcome::Cancelled;
    }
    return Outcome::Done;
}

// A TIFF in one of the layouts scanners write, in two halves at once, each
// through its own libtiff handle; black and white stays at one bit a pixel.
Outcome decodeTiff(const std::string& path, TiffStrips& tiff, const LogPicture::Progress& progress,
                   LogPicture& picture)
{
    const TiffLayout& layout = tiff.layout();
    const Form form = layout.samples == TiffSamples::Bilevel ? Form::Mono
                      : layout.samples == TiffSamples::Grey  ? Form::Grey
                                                              : Form::Rgb;
    if (!fitsInMemory({layout.width, layout.height}, bytesPerPixel(form)))
        return Outcome::TooLarge;
    const std::uint8_t greys[2] = {std::uint8_t(layout.zeroIsWhite ? 255 : 0),
                                   std::uint8_t(layout.zeroIsWhite ? 0 : 255)};
    LevelBuilder levels(layout.width, layout.height, form, greys);
    if (!levels.ok())
        return Outcome::TooLarge;
    const auto decode = [&](int top, int bottom, const Advanced& advanced) {
        std::string error;
        const std::unique_ptr<TiffStrips> own = top == 0 ? nullptr : TiffStrips::open(path, error);
        if (top != 0 && !own)
            return Outcome::Damaged;
        return decodeTiffRows(top == 0 ? tiff : *own, top, bottom, levels, advanced);
    };
    const int step = int(std::min<long long>(std::lcm<long long>(layout.bandRows, 8), layout.height));
    const Outcome outcome = inTwoHalves(layout.height, step, progress, decode);
    if (outcome == Outcome::Done)
        levels.finish(picture);
    return outcome;
}

// A picture a general decoder gave, in the form it is kept in.
Outcome convertDecoded(const QImage& image, const LogPicture::Progress& progress, LogPicture& picture)
{
    const QImage::Format format = image.format();
    const QList<QRgb> table = image.colorTable();
    const bool greyTable = !table.isEmpty() && std::all_of(table.begin(), table.end(), isOpaqueGrey);
    Form form = Form::Rgb;
    if ((format == QImage::Format_Mono || format == QImage::Format_MonoLSB) && table.size() == 2 && greyTable)
        form = Form::Mono;
    else if (format == QImage::Format_Grayscale8 || (format == QImage::Format_Indexed8 && greyTable))
        form = Form::Grey;
    const std::uint8_t greys[2] = {std::uint8_t(table.value(0)), std::uint8_t(table.value(1))};
    std::uint8_t greyOf[256] = {};
    for (int i = 0; i < std::min<int>(256, int(table.size())); ++i)
        greyOf[i] = std::uint8_t(table[i]);
    LevelBuilder levels(image.width(), image.height(), form, greys);
    if (image.isNull() || !levels.ok())
        return Outcome::TooLarge;
    const int width = image.width();
    for (int top = 0; top < image.height(); top += kBand) {
        const int rows = std::min(kBand, image.height() - top);
        if (form == Form::Mono) {
            const QImage band = image.copy(0, top, width, rows).convertToFormat(QImage::Format_Mono);
            for (int r = 0; r < rows; ++r)
                std::memcpy(levels.row(top + r), band.constScanLine(r), std::size_t(width + 7) / 8);
        } else if (form == Form::Grey) {
            for (int r = 0; r < rows; ++r) {
                const uchar* from = image.constScanLine(top + r);
                std::uint8_t* to = levels.row(top + r);
                if (format == QImage::Format_Grayscale8)
                    std::memcpy(to, from, std::size_t(width));
                else
                    for (int x = 0; x < width; ++x)
                        to[x] = greyOf[from[x]];
            }
        } else {
            const QImage part = image.copy(0, top, width, rows);
            const bool clear = part.hasAlphaChannel();
            const QImage band = part.convertToFormat(clear ? QImage::Format_ARGB32_Premultiplied
                                                           : QImage::Format_RGB32);
            std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
            for (int r = 0; r < rows; ++r) {
                const auto* from = reinterpret_cast<const std::uint32_t*>(band.constScanLine(r));
                if (clear)
                    for (int x = 0; x < width; ++x)
                        row[std::size_t(x)] = overWhite(from[x]);
                packRgb(clear ? row.data() : from, width, levels.row(top + r));
            }
        }
        levels.written(top + rows);
        if (!goOn(progress, top + rows, image.height()))
            return Outcome::Cancelled;
    }
    levels.finish(picture);
    return Outcome::Done;
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
    const auto keep = [&](Outcome outcome, QSize size) {
        if (outcome == Outcome::TooLarge)
            error = tooLarge(path, size);
        else if (outcome == Outcome::Damaged)
            error = damaged(kindName, path);
        if (outcome != Outcome::Done)
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
    if (size.isValid() && !fitsInMemory(size, 8 + bytesPerPixel(Form::Rgb))) {
        error = tooLarge(path, size);
        return false;
    }
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
    QImageReader::setAllocationLimit(128);
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
    const QRect r = part.intersected(level.rect());
    for (int y = r.top(); y <= r.bottom(); ++y, out += stride) {
        const uchar* row = level.constScanLine(y);
        if (level.format() == QImage::Format_Mono) {
            const std::uint8_t greys[2] = {std::uint8_t(level.color(0)), std::uint8_t(level.color(1))};
            monoToRgb32(row, r.left(), r.width(), greys, out);
        } else if (level.format() == QImage::Format_Grayscale8) {
            greyToRgb32(row + r.left(), r.width(), out);
        } else {
            rgbToRgb32(row + 3 * r.left(), r.width(), out);
        }
    }
}

void LogPicture::toGrey(const QRect& part, std::uint8_t* out, std::ptrdiff_t stride) const
{
    const QImage& level = levels_[0];
    const QRect r = part.intersected(level.rect());
    for (int y = r.top(); y <= r.bottom(); ++y, out += stride) {
        const uchar* row = level.constScanLine(y);
        if (level.format() == QImage::Format_Mono) {
            const std::uint8_t greys[2] = {std::uint8_t(level.color(0)), std::uint8_t(level.color(1))};
            monoToGrey(row, r.left(), r.width(), greys, out);
        } else if (level.format() == QImage::Format_Grayscale8) {
            std::memcpy(out, row + r.left(), std::size_t(r.width()));
        } else {
            rgbToGrey(row + 3 * r.left(), r.width(), out);
        }
    }
}
