#include "detection/depth_labels.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "detection/long_lines.h"
#include "detection/scan_preparation.h"

namespace {

constexpr int kLongestStroke = 40;
// Of the digits of labels 11 pixels high and more.
constexpr int kShortestDigit = 7;

}  // namespace

cv::Mat depthLabel(const GreyRows& picture, const ScanTraits& traits, const FoundDepthLine& line, double spacing)
{
    const int right = std::min(picture.left + picture.width, int(std::floor(line.minDipX)) - 3);
    const int left = picture.left;
    const int top = std::max(picture.top, int(std::floor(line.y - 0.45 * spacing)));
    const int bottom = std::min(picture.top + picture.height, int(std::ceil(line.y + 0.3 * spacing)));
    if (right - left < 8 || bottom - top < 8)
        return {};
    cv::Mat grey(bottom - top, right - left, CV_8U);
    picture.fill(left, top, grey.cols, grey.rows, grey.data, std::ptrdiff_t(grey.step));
    // Read without the strokes a speckled scan's preparation keeps: specks
    // that touch would pass for glyphs.
    ScanTraits unmedianed = traits;
    unmedianed.despeckle = false;
    cv::Mat prepared, scratch, g, ink, lines;
    const cv::Mat plain = prepareBand(grey, unmedianed, prepared, scratch);
    if (traits.despeckle)
        cv::medianBlur(plain, g, 3);
    else
        g = plain;
    cv::threshold(g, ink, traits.threshold - 1, 255, cv::THRESH_BINARY_INV);
    // The depth line itself, and any other rule, is no text: unbroken runs
    // along a row longer than any stroke of a digit (a line skewed by a
    // degree still runs 50 pixels in one row). Digits printed close touch
    // now and then, so nothing is bridged.
    lines.create(ink.size(), CV_8U);
    lines.setTo(0);
    markRowLines(ink, lines, kLongestStroke, 0);
    // So is a border of the depth column, which runs down through the rows
    // round the line, farther than any digit stands.
    cv::Mat across, acrossLines(ink.cols, ink.rows, CV_8U, cv::Scalar(0));
    cv::transpose(ink, across);
    markRowLines(across, acrossLines, std::max(kLongestStroke / 2, int(0.6 * ink.rows)), 2);
    cv::transpose(acrossLines, across);
    lines |= across;
    cv::dilate(lines, lines, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    ink.setTo(0, lines);

    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    const int tallest = int(0.4 * spacing);
    std::vector<cv::Rect> glyphs;
    std::vector<std::uint8_t> glyph(std::size_t(count), 0);
    for (int i = 1; i < count; ++i) {
        const cv::Rect box(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                           stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        // A glyph, or several printed so close that they touch.
        if (box.height >= 5 && box.height <= tallest && box.width <= 8 * box.height
            && stats.at<int>(i, cv::CC_STAT_AREA) >= 6) {
            glyphs.push_back(box);
            glyph[std::size_t(i)] = 255;
        }
    }
    // Lines of text: glyphs side by side, level with each other.
    std::vector<cv::Rect> texts;
    std::vector<int> members;
    std::vector<bool> taken(glyphs.size());
    for (std::size_t first = 0; first < glyphs.size(); ++first) {
        if (taken[first])
            continue;
        taken[first] = true;
        cv::Rect text = glyphs[first];
        int count = 1;
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t k = 0; k < glyphs.size(); ++k) {
                const cv::Rect& b = glyphs[k];
                if (taken[k])
                    continue;
                const int overlap = std::min(text.y + text.height, b.y + b.height) - std::max(text.y, b.y);
                const int gap = std::max(b.x - (text.x + text.width), text.x - (b.x + b.width));
                if (2 * overlap >= std::min(text.height, b.height) && gap <= text.height * 3 / 2) {
                    text |= b;
                    taken[k] = true;
                    ++count;
                    grew = true;
                }
            }
        }
        texts.push_back(text);
        members.push_back(count);
    }
    // A depth is printed in two digits at least, each as tall as a printed
    // digit is: what specks that touch make is rarely so.
    const auto printed = [&](std::size_t k) {
        return texts[k].height >= kShortestDigit && (members[k] >= 2 || 5 * texts[k].width >= 6 * texts[k].height);
    };
    // The text nearest the line, one above it counted nearer than one below.
    const double lineRow = line.y - top;
    const auto distance = [&](const cv::Rect& b) {
        const double middle = b.y + b.height / 2.0;
        return middle <= lineRow ? lineRow - middle : 2 * (middle - lineRow);
    };
    std::optional<cv::Rect> nearest;
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (printed(k) && (!nearest || distance(texts[k]) < distance(*nearest)))
            nearest = texts[k];
    if (!nearest)
        return {};
    const cv::Rect text = *nearest;
    const cv::Rect framed = (text + cv::Size(6, 6) - cv::Point(3, 3)) & cv::Rect(0, 0, g.cols, g.rows);
    // The text's box as printed, grey fringes and faint strokes included,
    // without the lines. A median would have closed the counters of small
    // bold digits: on a speckled scan the box is taken before it, and the
    // specks are cleared one by one.
    cv::Mat label = plain(framed).clone();
    label.setTo(255, lines(framed));
    if (traits.despeckle) {
        cv::Mat specks, speckLabels, speckStats, speckCentres;
        cv::threshold(label, specks, traits.threshold - 1, 255, cv::THRESH_BINARY_INV);
        const int n = cv::connectedComponentsWithStats(specks, speckLabels, speckStats, speckCentres, 8, CV_32S);
        for (int y = 0; y < label.rows; ++y)
            for (int x = 0; x < label.cols; ++x)
                if (const int k = speckLabels.at<int>(y, x); k && speckStats.at<int>(k, cv::CC_STAT_AREA) <= 3)
                    label.at<std::uint8_t>(y, x) = 255;
        (void)n;
    }
    return label;
}

