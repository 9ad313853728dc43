#include "scan_spoiling.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace {

// Grain of the given deviation in grey levels over the whole page.
void addGrain(cv::Mat& page, double sigma, std::mt19937& rng)
{
    cv::Mat noise(page.size(), CV_16S);
    cv::theRNG().state = rng();
    cv::randn(noise, 0, sigma);
    cv::Mat wide;
    page.convertTo(wide, CV_16S);
    wide += noise;
    wide.convertTo(page, CV_8U);
}

}  // namespace

Copying drawnCopying(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0, 1);
    Copying c;
    c.blur = 0.5 + 0.7 * unit(rng);
    c.darkShare = 0.02 + 0.06 * unit(rng);
    c.darkLow = 20;
    c.darkHigh = 80;
    c.whiteShare = 0.03 * unit(rng);
    c.grain = 10 + 20 * unit(rng);
    return c;
}

void speckle(cv::Mat& page, const Copying& c, std::mt19937& rng)
{
    cv::GaussianBlur(page, page, {0, 0}, c.blur);
    std::uniform_int_distribution<int> x(0, page.cols - 2), y(0, page.rows - 2), grey(c.darkLow, c.darkHigh),
        light(200, 255);
    // Counted in millionths, so that a share of whole percents counts as
    // integers do.
    const long pixels = long(page.cols) * page.rows;
    const auto share = [pixels](double s) { return pixels * long(std::lround(s * 1e6)) / 1000000; };
    for (long i = 0; i < share(c.darkShare); ++i) {
        const cv::Point at(x(rng), y(rng));
        const int size = i % 5 == 0 ? 2 : 1;
        page(cv::Rect(at, cv::Size(size, size))).setTo(grey(rng));
    }
    for (long i = 0; i < share(c.whiteShare); ++i)
        page.at<std::uint8_t>(y(rng), x(rng)) = std::uint8_t(light(rng));
    addGrain(page, c.grain, rng);
}

Fading drawnFading(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0, 1);
    Fading f;
    f.inkLow = f.inkHigh = 90 + 60 * unit(rng);
    f.paper = std::max(180 + 65 * unit(rng), f.inkLow + 60);
    f.unevenness = 0.1 + 0.2 * unit(rng);
    f.blur = 0.5 + 0.7 * unit(rng);
    return f;
}

cv::Mat fade(const cv::Mat& page, const Fading& f, std::mt19937& rng)
{
    std::uniform_real_distribution<double> inkLevel(f.inkLow, std::max(f.inkLow, f.inkHigh) + 1e-9), unit(0, 1);
    const double ink = inkLevel(rng), angle = unit(rng) * 2 * 3.14159;
    // The light falls off across the sheet.
    cv::Mat paper(page.size(), CV_32F);
    const double ux = std::cos(angle), uy = std::sin(angle);
    const double reach = std::abs(ux) * page.cols + std::abs(uy) * page.rows;
    for (int r = 0; r < page.rows; ++r) {
        float* row = paper.ptr<float>(r);
        for (int c = 0; c < page.cols; ++c) {
            const double along = ((ux >= 0 ? c : c - page.cols) * ux + (uy >= 0 ? r : r - page.rows) * uy) / reach;
            row[c] = float(f.paper * (1 - f.unevenness * std::clamp(along, 0.0, 1.0)));
        }
    }
    cv::Mat inkness;
    page.convertTo(inkness, CV_32F, -1 / 255.0, 1);  // 1 where black, 0 where white
    cv::Mat grey = paper - inkness.mul(paper - float(ink));
    cv::GaussianBlur(grey, grey, {0, 0}, f.blur);
    // Yellowed: blue falls most, green a little.
    std::vector<cv::Mat> channels{grey * 0.78, grey * 0.95, grey * 1.0};
    cv::Mat colour;
    cv::merge(channels, colour);
    colour.convertTo(colour, CV_8UC3);
    return colour;
}

void microfilm(cv::Mat& page, std::mt19937& rng)
{
    // Ink at grey 95, film at 185.
    page.convertTo(page, CV_8U, 90 / 255.0, 95);
    cv::GaussianBlur(page, page, {0, 0}, 0.5);
    addGrain(page, 6, rng);
}

void stain(cv::Mat& page, const cv::Mat& back, std::mt19937& rng)
{
    cv::Mat mirrored;
    cv::flip(back, mirrored, 1);
    cv::Mat through;
    mirrored.convertTo(through, CV_8U, 0.3, 255 * 0.7);  // 30 % of the back's darkness
    cv::min(page, through, page);
    std::uniform_real_distribution<double> unit(0, 1);
    cv::Mat rings(page.size(), CV_8U, cv::Scalar(255)), blotches(page.size(), CV_8U, cv::Scalar(255));
    const int count = std::max(4, page.rows / 700);
    for (int i = 0; i < count; ++i) {
        const cv::Point centre(int(unit(rng) * page.cols), int(unit(rng) * page.rows));
        const int radius = int(40 + unit(rng) * 120);
        if (i % 2 == 0)  // a coffee ring
            cv::circle(rings, centre, radius, cv::Scalar(100 + 50 * unit(rng)), 2 + int(unit(rng) * 3), cv::LINE_AA);
        else  // a soft blotch, darkest in its middle
            cv::circle(blotches, centre, radius, cv::Scalar(125 + 40 * unit(rng)), cv::FILLED, cv::LINE_AA);
    }
    cv::GaussianBlur(rings, rings, {0, 0}, 1);
    cv::GaussianBlur(blotches, blotches, {0, 0}, 12);
    cv::Mat mottle(page.size(), CV_8U);
    cv::theRNG().state = rng();
    cv::randu(mottle, 0, 40);
    cv::add(blotches, mottle, blotches);
    cv::min(page, rings, page);
    cv::min(page, blotches, page);
    addGrain(page, 25, rng);
}
