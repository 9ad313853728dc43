#pragma once

#include <cmath>
#include <string>

#include <opencv2/imgproc.hpp>

#include "bmp_encoder.h"
#include "tadpole_sketch.h"

// A printed log that carries its own calibration: depth lines every 100
// rows from row 100 across the whole width, each labelled above its left
// end (2400, 2410, ...; misprint replaces the label of line 5), a dip track
// from x 150 to 550 with a linear 10-degree grid in grey, and a tadpole
// between every two lines.
inline RgbPicture labelledLog(int height, const std::string& misprint = {})
{
    cv::Mat grey(height, 600, CV_8U, cv::Scalar(255));
    for (int d = 10; d < 90; d += 10) {
        const int x = 150 + 400 * d / 90;
        cv::line(grey, {x, 100}, {x, height - 100}, cv::Scalar(170), 1);
    }
    for (int y = 100, n = 0; y <= height - 100; y += 100, ++n) {
        cv::line(grey, {0, y}, {599, y}, cv::Scalar(0), 2);
        const std::string label = n == 5 && !misprint.empty() ? misprint : std::to_string(2400 + 10 * n);
        cv::putText(grey, label, {12, y - 6}, cv::FONT_HERSHEY_SIMPLEX, 0.6, cv::Scalar(0), 2, cv::LINE_AA);
    }
    for (const int x : {150, 550})
        cv::line(grey, {x, 100}, {x, height - 100}, cv::Scalar(0), 2);
    const auto ink = [&](int x, int y, double share) {
        if (x >= 0 && y >= 0 && x < grey.cols && y < grey.rows)
            grey.at<std::uint8_t>(y, x) = std::uint8_t(std::lround(grey.at<std::uint8_t>(y, x) * (1 - share)));
    };
    for (int y = 150, i = 0; y < height - 100; y += 100, ++i)
        sketchTadpole(TadpoleSketch{190.5 + (i * 67) % 320, y + 0.5, 10, double((i * 53) % 360), 25, 2, true}, ink,
                      [](int, int, double) {});
    RgbPicture picture(grey.cols, grey.rows, 0xffffff);
    for (int y = 0; y < grey.rows; ++y)
        for (int x = 0; x < grey.cols; ++x)
            picture.at(x, y) = 0x010101u * grey.at<std::uint8_t>(y, x);
    return picture;
}
