#include "detection/dot_shape.h"

#include <algorithm>

#include "detection/tadpole_geometry.h"

using namespace tadpole_geometry;

DotEdge dotEdge(const InkLayers& l, double cx, double cy, double peak)
{
    std::array<double, kAngles / 4> edge{};
    for (std::size_t a = 0; a < edge.size(); ++a) {
        const auto [sx, sy] = steps<kAngles / 4>()[a];
        double s = 0.5;
        while (s < 2 * peak + 2 && at(l.filled, int(std::floor(cx + s * sx)), int(std::floor(cy + s * sy))))
            s += 0.25;
        edge[a] = s;
    }
    std::sort(edge.begin(), edge.end());
    const std::size_t n = edge.size();
    // Tails and lines lengthen a few directions: the spread is read below them.
    return {edge[n / 2], edge[6 * n / 10] - edge[n / 10]};
}

bool roundHole(const InkLayers& l, double cx, double cy, double radius, double raggedness)
{
    std::array<double, kAngles / 4> edge{};
    std::size_t n = 0;
    for (std::size_t a = 0; a < edge.size(); ++a) {
        const auto [sx, sy] = steps<kAngles / 4>()[a];
        for (double s = 0; s < radius + 1; s += 0.25) {
            const int x = int(std::floor(cx + s * sx)), y = int(std::floor(cy + s * sy));
            if (at(l.ink, x, y)) {
                if (!at(l.lines, x, y))
                    edge[n++] = s;
                break;
            }
        }
    }
    if (n < edge.size() / 2)
        return true;  // too little to tell
    std::sort(edge.begin(), edge.begin() + std::ptrdiff_t(n));
    // On a noisy scan specks reach into a hole here and there: the spread is
    // read among the farther directions, which a letter's hole still has.
    const std::size_t low = raggedness > 1 ? n * 4 / 10 : n / 5, high = raggedness > 1 ? n * 9 / 10 : n * 8 / 10;
    return edge[high] - edge[low] <= raggedness * std::max(1.5, 0.25 * radius);
}
