#pragma once

#include <array>

#include <QImage>
#include <QString>

// The loaded log picture at full size, with area-averaged copies at 1/2, 1/4
// and 1/8 made once after loading, so that a zoomed-out view still shows the
// thin printed lines that nearest-pixel sampling would drop.
class LogPicture {
public:
    static constexpr int kLevels = 4;

    // Decodes the file; on failure returns false with a message naming it
    // and leaves the picture as it was.
    bool load(const QString& path, QString& error);

    bool isNull() const { return levels_[0].isNull(); }
    int width() const { return levels_[0].width(); }
    int height() const { return levels_[0].height(); }

    // Level 0 is the picture itself, level n is reduced by 2^n.
    const QImage& level(int n) const { return levels_[static_cast<std::size_t>(n)]; }

    // Takes an already decoded picture (tests and benchmarks).
    void setImage(const QImage& image);

private:
    std::array<QImage, kLevels> levels_;
};

// Half the size in each direction, each pixel the mean of the 2 x 2 pixels it
// covers (1 x 2, 2 x 1 or 1 x 1 at an odd edge).
QImage halveByAreaAverage(const QImage& rgb32);
