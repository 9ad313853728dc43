#pragma once

#include <cmath>
#include <fstream>
#include <string>

#include "bmp_encoder.h"
#include "files/project_file.h"
#include "tadpole_sketch.h"

// A grey log of width x height pixels with a tadpole every spacing rows down
// a dip track from x 100 to x 280, their azimuths and dips varying; dip 0 to
// 90 lie linearly across the track.
inline RgbPicture printedLog(int width, int height, int spacing)
{
    RgbPicture picture(width, height, 0xffffff);
    const auto ink = [&](int x, int y, double share) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        const int grey = int(picture.at(x, y) & 0xff);
        picture.at(x, y) = 0x010101u * std::uint32_t(std::lround(grey * (1 - share)));
    };
    const auto paper = [&](int x, int y, double share) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        const int grey = int(picture.at(x, y) & 0xff);
        picture.at(x, y) = 0x010101u * std::uint32_t(std::lround(grey + (255 - grey) * share));
    };
    for (int i = 0, y = spacing / 2; y + 30 < height; ++i, y += spacing)
        sketchTadpole(TadpoleSketch{120.5 + (i * 37) % 140, y + 0.5, 10, double((i * 53) % 360), 25, 2, i % 3 != 0},
                      ink, paper);
    return picture;
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A project that calibrates such a log: a linear scale 0 to 90 over x 100
// to 280, depth 1000 at the top row and 1000 + height / 10 at the bottom one.
inline ProjectFile calibrationFor(int width, int height, int rows = 2)
{
    ProjectFile p;
    p.picture = "elsewhere.bmp";
    p.width = width;
    p.height = height;
    p.work.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    for (int i = 0; i < rows; ++i) {
        const double y = 5 + double(height - 10) * i / std::max(1, rows - 1);
        p.work.depthRows.push_back({1000 + std::round(y) / 10, std::round(y), 100, 280});
    }
    return p;
}
