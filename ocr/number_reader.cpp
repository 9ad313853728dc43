#include "ocr/number_reader.h"

#include <array>
#include <charconv>
#include <vector>

#include <omp.h>
#include <opencv2/imgproc.hpp>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

NumberReader::NumberReader()
{
    // Built on any thread, so it sets nothing process-wide: this Tesseract
    // reads under any locale, and numbers are parsed without one.
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    if (api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0)
        return;
    api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api->SetVariable("tessedit_char_whitelist", "0123456789.-");
    api->SetVariable("debug_file", "/dev/null");
    api_ = std::move(api);
}

NumberReader::~NumberReader()
{
    if (api_)
        api_->End();
}

namespace {

enum class Preparation { Smooth, Crisp, Plain };

// The label at about 32 pixels a line, the height Tesseract reads best,
// with paper round it: enlarged smoothly; or then cut at Otsu's level and
// its edges softened, as a clean print; or enlarged linearly.
cv::Mat prepared(const cv::Mat& grey, Preparation how)
{
    cv::Mat big, framed;
    const double scale = std::clamp(32.0 / grey.rows, 1.0, 4.0);
    cv::resize(grey, big, {}, scale, scale, how == Preparation::Plain ? cv::INTER_LINEAR : cv::INTER_CUBIC);
    if (how == Preparation::Crisp) {
        cv::threshold(big, big, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
        cv::GaussianBlur(big, big, {5, 5}, 0);
    }
    cv::copyMakeBorder(big, framed, 10, 10, 10, 10, cv::BORDER_CONSTANT, cv::Scalar(255));
    return framed;
}

// Whether the picture holds two greys only, as a fax or a 1-bit scan does.
bool bilevel(const cv::Mat& grey)
{
    std::array<bool, 256> seen{};
    int levels = 0;
    for (int y = 0; y < grey.rows; ++y)
        for (const std::uint8_t* p = grey.ptr<std::uint8_t>(y), *end = p + grey.cols; p != end; ++p)
            if (!seen[*p]) {
                seen[*p] = true;
                if (++levels > 2)
                    return false;
            }
    return true;
}

}  // namespace

NumberReader::Reading NumberReader::readOnce(const cv::Mat& picture)
{
    api_->SetImage(picture.data, picture.cols, picture.rows, 1, int(picture.step));
    api_->SetSourceResolution(300);
    Reading r;
    if (const std::unique_ptr<char[]> text{api_->GetUTF8Text()}) {
        for (const char* c = text.get(); *c; ++c)
            if (*c != ' ' && *c != '\n')
                r.text += *c;
    }
    // A speck beside the number reads as a point, or as a minus after it.
    while (!r.text.empty() && (r.text.back() == '.' || r.text.back() == '-'))
        r.text.pop_back();
    while (!r.text.empty() && r.text.front() == '.')
        r.text.erase(0, 1);
    r.confidence = std::max(0, api_->MeanTextConf());
    if (const std::unique_ptr<tesseract::ResultIterator> symbol{api_->GetIterator()}) {
        do
            r.leastSure = std::min(r.leastSure, int(symbol->Confidence(tesseract::RIL_SYMBOL)));
        while (symbol->Next(tesseract::RIL_SYMBOL));
    }
    api_->Clear();
    return r;
}

NumberReader::Reading NumberReader::read(const cv::Mat& grey)
{
    if (!api_ || grey.empty() || grey.type() != CV_8U)
        return {};
    // Tesseract's threads (as many as the machine has cores) spend more
    // time waiting on each other than reading so small a picture, and
    // more still where the batch reads several logs at once.
    omp_set_max_active_levels(0);
    // Tesseract takes the stairs of a 1-bit print's edges for strokes (a 9
    // for a 3): they are smoothed to the grey a scan of print would give.
    cv::Mat label = grey;
    if (bilevel(grey))
        cv::GaussianBlur(grey, label, {3, 3}, 0.7);
    // Each preparation is misread now and then, but seldom two the same
    // way: a number two of them read alike is taken, any other is not.
    std::vector<Reading> readings;
    for (const Preparation how : {Preparation::Smooth, Preparation::Crisp, Preparation::Plain}) {
        // Two readings that are no number leave none for a third to agree with.
        if (readings.size() == 2 && !numberOf(readings[0].text) && !numberOf(readings[1].text))
            break;
        readings.push_back(readOnce(prepared(label, how)));
        for (std::size_t k = 0; k + 1 < readings.size(); ++k)
            if (readings[k].text == readings.back().text && numberOf(readings.back().text)) {
                // A digit Tesseract was unsure of, twice, is as often wrong as right.
                const int leastSure = std::min(readings[k].leastSure, readings.back().leastSure);
                if (leastSure < kLeastSureDigit)
                    return {};
                return {readings.back().text, (readings[k].confidence + readings.back().confidence) / 2, leastSure};
            }
    }
    return {};
}

std::optional<double> numberOf(const std::string& text)
{
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    int digits = 0, points = 0;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] >= '0' && text[k] <= '9')
            ++digits;
        else if (text[k] == '.' && k > i && k + 1 < text.size())
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}
