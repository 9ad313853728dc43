#pragma once

#include <cmath>
#include <string>

#include <opencv2/imgproc.hpp>

#include "bmp_encoder.h"
#include "tadpole_sketch.h"

// How a drawn log labels its depth lines.
struct Labels {
    std::string misprint;  // printed in place of line 5's depth, when given
    int every = 1;         // only every so many lines are labelled, from the first
    bool inGap = false;    // in a gap cut into the line rather than above it
    bool letters = false;  // words in place of depths
};

// A printed log that carries its own calibration, in grey: depth lines
// every 100 rows from row 100 across the whole width, labelled at their left
// end (2400, 2410, ...), a dip track from x 150 to width - 50 with a linear
// 10-degree grid in grey, and a tadpole between every two lines.
inline cv::Mat labelledLogGrey(int height, const Labels& labels = {}, int width = 600)
{
    cv::Mat grey(height, width, CV_8U, cv::Scalar(255));
    const int right = width - 50;
    for (int d = 10; d < 90; d += 10) {
        const int x = 150 + (right - 150) * d / 90;
        cv::line(grey, {x, 100}, {x, height - 100}, cv::Scalar(170), 1);
    }
    for (int y = 100, n = 0; y <= height - 100; y += 100, ++n) {
        cv::line(grey, {0, y}, {width - 1, y}, cv::Scalar(0), 2);
        if (n % labels.every != 0)
            continue;
        const std::string text = labels.letters                       ? std::string("SAND")
                                 : n == 5 && !labels.misprint.empty() ? labels.misprint
                                                                      : std::to_string(2400 + 10 * n);
        if (labels.inGap) {
            cv::rectangle(grey, {8, y - 9}, {80, y + 9}, cv::Scalar(255), cv::FILLED);
            cv::putText(grey, text, {12, y + 7}, cv::FONT_HERSHEY_SIMPLEX, 0.6, cv::Scalar(0), 2, cv::LINE_AA);
        } else {
            cv::putText(grey, text, {12, y - 6}, cv::FONT_HERSHEY_SIMPLEX, 0.6, cv::Scalar(0), 2, cv::LINE_AA);
        }
    }
    for (const int x : {150, right})
        cv::line(grey, {x, 100}, {x, height - 100}, cv::Scalar(0), 2);
    const auto ink = [&](int x, int y, double share) {
        if (x >= 0 && y >= 0 && x < grey.cols && y < grey.rows)
            grey.at<std::uint8_t>(y, x) = std::uint8_t(std::lround(grey.at<std::uint8_t>(y, x) * (1 - share)));
    };
    for (int y = 150, i = 0; y < height - 100; y += 100, ++i)
        sketchTadpole(TadpoleSketch{190.5 + (i * 67) % (right - 230), y + 0.5, 10, double((i * 53) % 360), 25, 2, true},
                      ink, [](int, int, double) {});
    return grey;
}

inline RgbPicture labelledLog(int height, const Labels& labels)
{
    const cv::Mat grey = labelledLogGrey(height, labels);
    RgbPicture picture(grey.cols, grey.rows, 0xffffff);
    for (int y = 0; y < grey.rows; ++y)
        for (int x = 0; x < grey.cols; ++x)
            picture.at(x, y) = 0x010101u * grey.at<std::uint8_t>(y, x);
    return picture;
}

inline RgbPicture labelledLog(int height, const std::string& misprint = {})
{
    return labelledLog(height, Labels{misprint});
}
