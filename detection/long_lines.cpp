#include "detection/long_lines.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <opencv2/core.hpp>

void markRowLines(const cv::Mat& ink, cv::Mat& lines, int shortest, int gap)
{
    struct Run {
        int start, end;
    };
    std::vector<Run> runs;
    for (int y = 0; y < ink.rows; ++y) {
        const std::uint8_t* row = ink.ptr<std::uint8_t>(y);
        runs.clear();
        for (int x = 0; x < ink.cols;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < ink.cols && row[x])
                ++x;
            runs.push_back({start, x});
        }
        std::uint8_t* out = lines.ptr<std::uint8_t>(y);
        for (std::size_t first = 0; first < runs.size();) {
            std::size_t last = first;
            int inked = runs[first].end - runs[first].start;
            while (last + 1 < runs.size() && runs[last + 1].start - runs[last].end <= gap) {
                ++last;
                inked += runs[last].end - runs[last].start;
            }
            const int span = runs[last].end - runs[first].start;
            if (span >= shortest && inked * 5 >= span * 4)
                for (std::size_t i = first; i <= last; ++i)
                    std::fill(out + runs[i].start, out + runs[i].end, std::uint8_t(255));
            first = last + 1;
        }
    }
}

void markSkewedRowLines(const cv::Mat& ink, cv::Mat& lines, cv::Mat& visited, int shortest, int gap)
{
    constexpr double kSteepest = 0.07;  // 4 degrees
    lines.copyTo(visited);
    std::vector<cv::Point> chain;
    auto free = [&](int x, int y) {
        return y >= 0 && y < ink.rows && ink.at<std::uint8_t>(y, x) && !visited.at<std::uint8_t>(y, x);
    };
    // Chains start at their leftmost pixel, column by column: in the order
    // of the rows a line rising to the right would be met at its right end
    // first and followed no further than its first step.
    for (int x = 0; x < ink.cols; ++x)
        for (int y = 0; y < ink.rows; ++y) {
            if (!free(x, y))
                continue;
            chain.assign(1, {x, y});
            visited.at<std::uint8_t>(y, x) = 1;
            for (cv::Point at{x, y};;) {
                bool found = false;
                for (int tx = at.x + 1; tx <= at.x + 1 + gap && tx < ink.cols && !found; ++tx)
                    for (int dy : {0, -1, 1})
                        if (!found && free(tx, at.y + dy)) {
                            at = {tx, at.y + dy};
                            found = true;
                        }
                if (!found)
                    break;
                chain.push_back(at);
                visited.at<std::uint8_t>(at.y, at.x) = 1;
            }
            const int extent = chain.back().x - chain.front().x + 1;
            if (extent < shortest || int(chain.size()) * 5 < extent * 4)
                continue;
            double sx = 0, sy = 0, sxx = 0, sxy = 0;
            for (const cv::Point& p : chain) {
                sx += p.x;
                sy += p.y;
                sxx += double(p.x) * p.x;
                sxy += double(p.x) * p.y;
            }
            const double n = double(chain.size()), slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
            if (!(std::abs(slope) <= kSteepest))
                continue;
            const double offset = (sy - slope * sx) / n;
            for (const cv::Point& p : chain)
                if (std::abs(p.y - (offset + slope * p.x)) <= 1)
                    lines.at<std::uint8_t>(p.y, p.x) = 255;
        }
}

void markLongLines(const cv::Mat& ink, cv::Mat& lines, int shortest, int gap, LineScratch& s)
{
    lines.create(ink.size(), CV_8U);
    lines.setTo(0);
    markRowLines(ink, lines, shortest, gap);
    markSkewedRowLines(ink, lines, s.visited, shortest, gap);
    cv::transpose(ink, s.across);
    s.acrossLines.create(s.across.size(), CV_8U);
    s.acrossLines.setTo(0);
    markRowLines(s.across, s.acrossLines, shortest, gap);
    markSkewedRowLines(s.across, s.acrossLines, s.visited, shortest, gap);
    cv::transpose(s.acrossLines, s.across);
    cv::bitwise_or(lines, s.across, lines);
}
