#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include <QImage>
#include <QRect>
#include <QString>

// The loaded log picture at full size, with area-averaged copies at 1/2, 1/4
// and 1/8, so that a zoomed-out view still shows the thin printed lines that
// nearest-pixel sampling would drop.
//
// Each is kept in the picture's own form, the view converting only what it
// shows: a black-and-white scan at one bit a pixel (QImage::Format_Mono, two
// greys; its copies 8-bit grey), a grey scan in 8-bit grey, anything else as
// 24-bit RGB, transparent parts over white paper.
class LogPicture {
public:
    static constexpr int kLevels = 4;
    // Told how much of the picture is decoded (0 to 1); false cancels.
    using Progress = std::function<bool(double done)>;

    // Decodes the file; on failure returns false with a message naming it
    // and leaves the picture as it was. Cancelled, it returns false with no
    // message, the picture also left as it was.
    bool load(const QString& path, QString& error, const Progress& progress = {});

    bool isNull() const { return levels_[0].isNull(); }
    int width() const { return levels_[0].width(); }
    int height() const { return levels_[0].height(); }

    // Level 0 is the picture itself, level n is reduced by 2^n.
    const QImage& level(int n) const { return levels_[static_cast<std::size_t>(n)]; }

    // The pixels of part of a level as 0xffRRGGBB, a row every stride words.
    void toRgb32(int level, const QRect& part, std::uint32_t* out, std::ptrdiff_t stride) const;
    // The luminance of part of the picture itself, a row every stride bytes.
    void toGrey(const QRect& part, std::uint8_t* out, std::ptrdiff_t stride) const;

    // The colour of the paper in part of the picture: that of its brighter
    // half, channel by channel.
    QRgb paperColour(const QRect& part) const;
    // The ink of part of the picture as grey on white paper, what the
    // tadpole search reads: a black-and-white or grey picture's own grey; a
    // colour picture's darkness below the paper's colour (RgbToInk).
    void toInk(const QRect& part, QRgb paper, std::uint8_t* out, std::ptrdiff_t stride) const;

    // Takes an already decoded picture (tests and benchmarks).
    void setImage(const QImage& image);

private:
    friend class LevelBuilder;  // fills the levels
    std::array<QImage, kLevels> levels_;
};
