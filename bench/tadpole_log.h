#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "tadpole_sketch.h"

// A whole well's dip track for the tadpole benchmarks: 2000 x 30000 grey
// pixels with depth lines every 100 rows, a pale 10-degree grid, and 2000
// tadpoles of 10 pixels, a third of them hollow, in the track from x 200 to
// 1800 and y 150 to 29850.
struct TadpoleLog {
    static constexpr int kWidth = 2000;
    static constexpr int kHeight = 30000;
    static constexpr int kTadpoles = 2000;
    static constexpr double kLeft = 200, kRight = 1800, kTop = 150, kBottom = 29850;
    std::vector<std::uint8_t> grey = std::vector<std::uint8_t>(std::size_t(kWidth) * kHeight, 255);

    TadpoleLog()
    {
        auto mark = [this](int x, int y, double share, bool ink) {
            if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
                return;
            std::uint8_t& g = grey[std::size_t(y) * kWidth + std::size_t(x)];
            g = std::uint8_t(ink ? g * (1 - share) : g + (255 - g) * share);
        };
        auto ink = [&](int x, int y, double s) { mark(x, y, s, true); };
        auto paper = [&](int x, int y, double s) { mark(x, y, s, false); };
        for (int y = 100; y < kHeight; y += 100)
            sketchLine(0, y + 0.5, kWidth, y + 0.5, 2, ink);
        for (double x = kLeft; x <= kRight + 1; x += (kRight - kLeft) / 9)
            for (int y = 0; y < kHeight; ++y) {
                std::uint8_t& g = grey[std::size_t(y) * kWidth + std::size_t(x)];
                g = std::min<std::uint8_t>(g, 170);
            }
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> across(kLeft + 20, kRight - 20), turn(0, 360), unit(0, 1);
        const double pitch = (kBottom - kTop - 40) / kTadpoles;
        for (int i = 0; i < kTadpoles; ++i) {
            const TadpoleSketch t{across(rng), kTop + 20 + pitch * i, 10, turn(rng), 25, 2, unit(rng) > 0.33};
            sketchTadpole(t, ink, paper);
        }
    }
};
