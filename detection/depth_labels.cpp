#include "detection/depth_labels.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include <opencv2/imgproc.hpp>

#include "detection/long_lines.h"
#include "detection/scan_preparation.h"

namespace {

constexpr int kLongestStroke = 40;
// Of the digits of labels 11 pixels high and more.
constexpr int kShortestDigit = 7;
constexpr double kFar = 1e9;

// Each run of a rule's pixels along a row takes the greys beside it, from
// one side to the other: a digit's stroke that crosses it stays whole.
void bridgeRules(cv::Mat& grey, const cv::Mat& rule)
{
    for (int y = 0; y < grey.rows; ++y) {
        std::uint8_t* row = grey.ptr<std::uint8_t>(y);
        const std::uint8_t* on = rule.ptr<std::uint8_t>(y);
        for (int x = 0; x < grey.cols;) {
            if (!on[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < grey.cols && on[x])
                ++x;
            const double before = start > 0 ? row[start - 1] : x < grey.cols ? row[x] : 255;
            const double after = x < grey.cols ? row[x] : before;
            for (int k = start; k < x; ++k)
                row[k] = std::uint8_t(std::lround(before + (after - before) * (k - start + 1) / (x - start + 1)));
        }
    }
}

// Clears the specks of up to three pixels darker than `threshold`.
void clearSpecks(cv::Mat& grey, int threshold)
{
    cv::Mat specks, labels, stats, centres;
    cv::threshold(grey, specks, threshold - 1, 255, cv::THRESH_BINARY_INV);
    cv::connectedComponentsWithStats(specks, labels, stats, centres, 8, CV_32S);
    for (int y = 0; y < grey.rows; ++y)
        for (int x = 0; x < grey.cols; ++x)
            if (const int k = labels.at<int>(y, x); k && stats.at<int>(k, cv::CC_STAT_AREA) <= 3)
                grey.at<std::uint8_t>(y, x) = 255;
}

// The picture without its specks: each pixel darker than most round it (by
// more than the grey a print's edge falls by from one pixel to the next)
// takes their grey, until none is left. Specks touching a stroke go; so do
// the ends of strokes a pixel or two wide.
cv::Mat withoutSpecks(const cv::Mat& grey)
{
    constexpr int kOutlying = 20, kMostPasses = 8;
    cv::Mat cleared = grey.clone(), round;
    for (int pass = 0; pass < kMostPasses; ++pass) {
        cv::medianBlur(cleared, round, 3);
        bool changed = false;
        for (int y = 0; y < cleared.rows; ++y) {
            std::uint8_t* p = cleared.ptr<std::uint8_t>(y);
            const std::uint8_t* m = round.ptr<std::uint8_t>(y);
            for (int x = 0; x < cleared.cols; ++x)
                if (m[x] - p[x] > kOutlying) {
                    p[x] = m[x];
                    changed = true;
                }
        }
        if (!changed)
            break;
    }
    return cleared;
}

// The text in an area of the picture that a printed number can be, nearest
// a place by the distance given (in the area's own pixels; kFar and beyond
// is too far); its glyphs at most `tallest` high, and of two digits or more
// where severalDigits; glyphs at most widestGap heights apart are one text.
// Its pictures to read, as depthLabel gives them; none where there is none.
std::vector<cv::Mat> textIn(const GreyRows& picture, const ScanTraits& traits, int left, int top, int right, int bottom, int tallest,
               bool severalDigits, double widestGap, const std::function<double(const cv::Rect&)>& distance)
{
    left = std::max(left, picture.left);
    top = std::max(top, picture.top);
    right = std::min(right, picture.left + picture.width);
    bottom = std::min(bottom, picture.top + picture.height);
    if (right - left < 8 || bottom - top < 8)
        return {};
    cv::Mat grey(bottom - top, right - left, CV_8U);
    picture.fill(left, top, grey.cols, grey.rows, grey.data, std::ptrdiff_t(grey.step));
    // Read without the strokes a speckled scan's preparation keeps: specks
    // that touch would pass for glyphs.
    ScanTraits unmedianed = traits;
    unmedianed.despeckle = false;
    cv::Mat prepared, scratch, g, ink, lines;
    const cv::Mat& plainPrepared = prepareBand(grey, unmedianed, prepared, scratch);
    if (traits.despeckle)
        cv::medianBlur(plainPrepared, g, 3);
    else
        g = plainPrepared;
    cv::threshold(g, ink, traits.threshold - 1, 255, cv::THRESH_BINARY_INV);
    // The depth line itself, and any other rule, is no text: unbroken runs
    // along a row longer than any stroke of a digit (a line skewed by a
    // degree still runs 50 pixels in one row). Digits printed close touch
    // now and then, so nothing is bridged.
    lines.create(ink.size(), CV_8U);
    lines.setTo(0);
    markRowLines(ink, lines, kLongestStroke, 0);
    // So is a rule down the page, the depth column's border or the grid
    // line a scale's number is centred on, which runs farther than any
    // digit; where it crosses a number, the digits' strokes go on through it.
    cv::Mat across, visited, down(ink.cols, ink.rows, CV_8U, cv::Scalar(0));
    cv::transpose(ink, across);
    const int tallestRule = std::max(kLongestStroke / 2, int(0.6 * ink.rows));
    markRowLines(across, down, tallestRule, 2);
    markSkewedRowLines(across, down, visited, tallestRule, 2);
    cv::transpose(down, across);
    cv::dilate(across, down, cv::getStructuringElement(cv::MORPH_RECT, {3, 1}));
    cv::Mat plain = plainPrepared.clone();
    bridgeRules(plain, down);
    if (traits.despeckle)
        bridgeRules(g, down);
    else
        g = plain;
    cv::threshold(g, ink, traits.threshold - 1, 255, cv::THRESH_BINARY_INV);
    cv::dilate(lines, lines, cv::getStructuringElement(cv::MORPH_RECT, {3, 3}));
    ink.setTo(0, lines);

    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    std::vector<cv::Rect> glyphs;
    for (int i = 1; i < count; ++i) {
        const cv::Rect box(stats.at<int>(i, cv::CC_STAT_LEFT), stats.at<int>(i, cv::CC_STAT_TOP),
                           stats.at<int>(i, cv::CC_STAT_WIDTH), stats.at<int>(i, cv::CC_STAT_HEIGHT));
        // A glyph, or several printed so close that they touch.
        if (box.height >= 5 && box.height <= tallest && box.width <= 8 * box.height
            && stats.at<int>(i, cv::CC_STAT_AREA) >= 6) {
            glyphs.push_back(box);
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
                if (2 * overlap >= std::min(text.height, b.height) && gap <= widestGap * text.height) {
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
        return texts[k].height >= kShortestDigit
               && (members[k] >= 2 || 5 * texts[k].width >= 6 * texts[k].height || !severalDigits);
    };
    std::optional<cv::Rect> nearest;
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (printed(k) && distance(texts[k]) < kFar && (!nearest || distance(texts[k]) < distance(*nearest)))
            nearest = texts[k];
    if (!nearest)
        return {};
    const cv::Rect text = *nearest;
    const cv::Rect framed = (text + cv::Size(6, 6) - cv::Point(3, 3)) & cv::Rect(0, 0, g.cols, g.rows);
    // The text's box, grey fringes and faint strokes included, without the
    // lines. On a speckled scan its specks of a few pixels cleared; then,
    // where that is not read, with every speck taken out, at a cost to
    // the thinnest strokes.
    std::vector<cv::Mat> pictures;
    cv::Mat label = plain(framed).clone();
    label.setTo(255, lines(framed));
    if (traits.despeckle) {
        clearSpecks(label, traits.threshold);
        pictures.push_back(label);
        label = withoutSpecks(label);
    }
    pictures.push_back(label);
    return pictures;
}

}  // namespace

std::vector<cv::Mat> depthLabel(const GreyRows& picture, const ScanTraits& traits, const FoundDepthLine& line, double spacing)
{
    const int top = int(std::floor(line.y - 0.45 * spacing));
    // Nearest the line, a text above it counted nearer than one below.
    const double lineRow = line.y - std::max(top, picture.top);
    return textIn(picture, traits, picture.left, top, int(std::floor(line.minDipX)) - 3,
                  int(std::ceil(line.y + 0.3 * spacing)), int(0.4 * spacing), true, 1.5, [lineRow](const cv::Rect& b) {
                      const double middle = b.y + b.height / 2.0;
                      return middle <= lineRow ? lineRow - middle : 2 * (middle - lineRow);
                  });
}

std::vector<cv::Mat> scaleNumber(const GreyRows& picture, const ScanTraits& traits, double x, double firstLineY)
{
    constexpr int kReach = 300, kAside = 40, kTallest = 30;
    const int left = int(std::floor(x)) - kAside, top = int(std::floor(firstLineY)) - kReach;
    // Centred on the grid line, the lowest of those that are.
    const double middle = x - std::max(left, picture.left), bottom = firstLineY - std::max(top, picture.top);
    // Numbers side by side (80 and 90 on a standard scale) stand wider
    // apart than the digits of one.
    return textIn(picture, traits, left, top, int(std::ceil(x)) + kAside, int(std::floor(firstLineY)) - 2, kTallest, false, 0.6,
                  [middle, bottom](const cv::Rect& b) {
                      const double off = std::abs(b.x + b.width / 2.0 - middle);
                      return off > 0.75 * b.width + 4 ? kFar : bottom - (b.y + b.height);
                  });
}
