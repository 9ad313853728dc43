#include "picture/picture_levels.h"

#include <algorithm>
#include <limits>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

QImage::Format formatOf(PictureForm form)
{
    switch (form) {
    case PictureForm::Mono:
        return QImage::Format_Mono;
    case PictureForm::Grey:
        return QImage::Format_Grayscale8;
    case PictureForm::Rgb:
        break;
    }
    return QImage::Format_RGB888;
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

}  // namespace

double bytesPerPixel(PictureForm form)
{
    switch (form) {
    case PictureForm::Mono:
        return 1.0 / 8 + 1.0 / 3;
    case PictureForm::Grey:
        return 4.0 / 3;
    case PictureForm::Rgb:
        break;
    }
    return 4.0;
}

LevelBuilder::LevelBuilder(int width, int height, PictureForm form, const std::uint8_t greys[2]) : form_(form)
{
    levels_[0] = newPicture(width, height, formatOf(form));
    if (form == PictureForm::Mono && !levels_[0].isNull()) {
        levels_[0].setColorTable({qRgb(greys[0], greys[0], greys[0]), qRgb(greys[1], greys[1], greys[1])});
        halveMono_ = std::make_unique<MonoHalver>(greys);
    }
    const QImage::Format reduced = form == PictureForm::Mono ? QImage::Format_Grayscale8 : formatOf(form);
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

bool LevelBuilder::ok() const
{
    return std::none_of(levels_.begin(), levels_.end(), [](const QImage& level) { return level.isNull(); });
}

void LevelBuilder::written(int done)
{
    const int upTo = done >= height() ? height() : done / 8 * 8;
    if (upTo > reduced_)
        reduceRows(reduced_, upTo);
    reduced_ = std::max(reduced_, upTo);
}

void LevelBuilder::reduceRows(int top, int bottom) const
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
            if (n == 1 && form_ == PictureForm::Mono)
                (*halveMono_)(row0, row1, sourceWidth, out);
            else if (form_ == PictureForm::Rgb)
                halveRgbRows(row0, row1, sourceWidth, out);
            else
                halveGreyRows(row0, row1, sourceWidth, out);
        }
        top = first;
        bottom = end;
    }
}
