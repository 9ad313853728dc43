#pragma once

#include <memory>
#include <optional>
#include <string>

#include <opencv2/core.hpp>

namespace tesseract {
class TessBaseAPI;
}

// Printed numbers read with Tesseract's English model, told to expect one
// line of digits. One reader serves one thread at a time.
class NumberReader {
public:
    NumberReader();
    ~NumberReader();
    NumberReader(const NumberReader&) = delete;
    NumberReader& operator=(const NumberReader&) = delete;

    // False when Tesseract's English data could not be loaded.
    bool ready() const { return api_ != nullptr; }

    struct Reading {
        std::string text;    // blanks left out
        int confidence = 0;  // 0 to 100
        int leastSure = 100;  // of its least sure character
    };
    // The number printed on an 8-bit grey picture, dark print on light
    // paper, as two of three readings of it agree, each sure of every
    // digit; an empty text where no two do.
    Reading read(const cv::Mat& grey);

private:
    static constexpr int kLeastSureDigit = 60;

    Reading readOnce(const cv::Mat& prepared);

    std::unique_ptr<tesseract::TessBaseAPI> api_;
};

// The number a reading gives: digits with at most one point between them,
// and a minus before them; nothing for anything else, letters included.
std::optional<double> numberOf(const std::string& text);
