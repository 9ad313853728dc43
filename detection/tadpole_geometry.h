#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include <opencv2/core.hpp>

// Small geometry shared by the measurements of a dot and its tail.
namespace tadpole_geometry {

inline constexpr int kAngles = 180;
inline constexpr double kTwoPi = 2 * std::numbers::pi;

// Unit steps in n directions clockwise from up, image rows growing down.
struct Step {
    double x, y;
};
template <int n>
const std::array<Step, n>& steps()
{
    static const std::array<Step, n> table = [] {
        std::array<Step, n> t{};
        for (int a = 0; a < n; ++a)
            t[std::size_t(a)] = {std::sin(a * kTwoPi / n), -std::cos(a * kTwoPi / n)};
        return t;
    }();
    return table;
}

inline bool inside(const cv::Mat& m, int x, int y) { return x >= 0 && y >= 0 && x < m.cols && y < m.rows; }

inline std::uint8_t at(const cv::Mat& m, int x, int y) { return inside(m, x, y) ? m.at<std::uint8_t>(y, x) : 0; }

}  // namespace tadpole_geometry
