#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>

#include <QDir>
#include <QString>

#include "tiff_writer.h"

// The whole well's scans the benchmarks read, written once to the temporary
// folder.
inline constexpr int kFaxWidth = 2400;
inline constexpr int kFaxHeight = 180000;

inline QString benchFile(const char* name) { return QDir::temp().filePath(QString::fromLatin1(name)); }

// What a dipmeter log's scan holds: depth lines every 60 rows (heavier every
// 600), the track's edges and grid, curves wandering down the side tracks, a
// tadpole every 30 rows, a depth label every 600 rows and the scanner's
// speckle: 2 MB as a fax-compressed TIFF, which libtiff decodes in about the
// time a real scan of this size takes.
inline void logRow(int y, std::uint32_t ink, std::uint32_t paper, int width, std::uint32_t* row)
{
    const bool depthLine = y % 60 == 0 || y % 600 < 3;
    const auto curve = [&](int centre, double period, int reach) {
        return centre + int(reach * std::sin(y / period) * std::cos(y / (period * 7.3)));
    };
    const int curves[] = {curve(150, 37, 120), curve(2250, 23, 110), curve(2250, 91, 60)};
    const int tadpole = y / 30;
    const int cy = tadpole * 30 + 15, cx = 400 + (tadpole * 337) % 1600;
    const double angle = tadpole * 0.7;
    for (int x = 0; x < width; ++x) {
        const int column = x % 2400;
        bool dark = depthLine || column % 240 == 0 || (column > 300 && column < 304)
                    || (column > 2100 && column < 2104);
        for (int c : curves)
            dark = dark || std::abs(column - c) <= 1;
        const int dx = column - cx, dy = y - cy;
        if (std::abs(dx) < 24 && std::abs(dy) < 24) {
            const int r2 = dx * dx + dy * dy;
            const double along = dx * std::sin(angle) - dy * std::cos(angle);
            const double across = dx * std::cos(angle) + dy * std::sin(angle);
            dark = dark || (r2 <= (tadpole % 3 ? 25 : 36) && (tadpole % 4 || r2 >= 9))
                   || (along > 5 && along < 22 && std::abs(across) < 1);
        }
        if (y % 600 > 20 && y % 600 < 34 && column > 2110 && column < 2190)
            dark = dark || (column / 3 * 7 + y / 2 * 3) % 5 < 2;  // the depth label's strokes
        const std::uint32_t speckle = std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 2246822519u;
        row[x] = dark || (speckle >> 7) % 1500 == 0 ? ink : paper;
    }
}

// The log drawn in ink on paper, written to the temporary folder as the
// options say; its path.
inline QString writtenScan(const char* name, int width, int height, const TiffOptions& options, std::uint32_t ink,
                    std::uint32_t paper)
{
    const QString path = benchFile(name);
    if (!writeTiff(path.toStdString(), width, height, options,
                   [&](int y, std::uint32_t* row) { logRow(y, ink, paper, width, row); }))
        std::fprintf(stderr, "the scan %s could not be written\n", name);
    return path;
}

inline const QString& faxScan()
{
    static const QString path =
        writtenScan("dipbench_well_fax.tif", kFaxWidth, kFaxHeight,
                    {TiffOptions::Samples::Bilevel, COMPRESSION_CCITTFAX4, 64, 0, true, {}}, 0, 0xffffff);
    return path;
}

