#include "ocr/number_reader.h"

#include <clocale>
#include <cstdlib>
#include <mutex>

#include <opencv2/imgproc.hpp>
#include <tesseract/baseapi.h>

NumberReader::NumberReader()
{
    // Tesseract refuses to start under any numeric locale but "C", which
    // every number the program writes or reads is independent of anyway;
    // set once, by the first reader.
    static std::once_flag numeric;
    std::call_once(numeric, [] { std::setlocale(LC_NUMERIC, "C"); });
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

NumberReader::Reading NumberReader::read(const cv::Mat& grey)
{
    if (!api_ || grey.empty() || grey.type() != CV_8U)
        return {};
    // Tesseract reads best at about 30 pixels a line, with paper round it.
    const double scale = std::clamp(32.0 / grey.rows, 1.0, 4.0);
    cv::Mat big, framed;
    cv::resize(grey, big, {}, scale, scale, cv::INTER_CUBIC);
    cv::copyMakeBorder(big, framed, 10, 10, 10, 10, cv::BORDER_CONSTANT, cv::Scalar(255));
    api_->SetImage(framed.data, framed.cols, framed.rows, 1, int(framed.step));
    api_->SetSourceResolution(300);
    Reading r;
    if (const std::unique_ptr<char[]> text{api_->GetUTF8Text()}) {
        for (const char* c = text.get(); *c; ++c)
            if (*c != ' ' && *c != '\n')
                r.text += *c;
    }
    r.confidence = std::max(0, api_->MeanTextConf());
    api_->Clear();
    return r;
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
    return std::strtod(text.c_str(), nullptr);
}
