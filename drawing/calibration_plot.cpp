#include <algorithm>
#include <cmath>

#include "drawing/log_drawing.h"
#include "model/number_format.h"

namespace {

// Apart from the depth rows' red, the edges' violet and every grade's and
// proposal's colour.
constexpr Rgb kFound{0, 150, 140};
constexpr Rgb kMisread{220, 0, 120};
constexpr double kEndRadius = 4;
constexpr double kTextLeft = 4;
constexpr double kTextAbove = 16;
constexpr double kBeyondSight = 20;  // view pixels: a row's text may reach into sight

bool inSight(double viewY, double height) { return viewY > -kBeyondSight && viewY < height + kBeyondSight; }

}  // namespace

void drawFoundCalibration(const Viewport& v, DrawingSurface& s, const std::vector<DepthRow>& rows,
                          const std::vector<DrawnMisread>& misreads, double pictureWidth)
{
    const double width = v.zoom * pictureWidth;
    const double height = s.scaleHeight();
    s.setDrawMode(DrawMode::Copy);
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawWidth(2);
    s.setTagText(Rgb{255, 255, 255});
    std::optional<double> lastTag;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DepthRow& row = rows[i];
        const double y = v.toViewY(row.y);
        const bool seen = inSight(y, height);
        if (i > 0 && (seen || inSight(v.toViewY(rows[i - 1].y), height))) {
            const DepthRow& before = rows[i - 1];
            const double by = v.toViewY(before.y);
            s.line(v.toViewX(row.minDipX), y, v.toViewX(before.minDipX), by, kFound);
            s.line(v.toViewX(row.maxDipX), y, v.toViewX(before.maxDipX), by, kFound);
        }
        if (!seen)
            continue;
        s.setLineStyle(LineStyle::Dashed);
        s.line(0, y, width, y, kFound);
        s.setLineStyle(LineStyle::Solid);
        s.circle(v.toViewX(row.minDipX), y, kEndRadius, kFound);
        s.circle(v.toViewX(row.maxDipX), y, kEndRadius, kFound);
        // Left out where it would cover the tag before it.
        if (lastTag && std::abs(y - *lastTag) < kTextAbove)
            continue;
        lastTag = y;
        s.setForeColor(kFound);
        const std::string depth = formatPlain(row.depth);
        s.setTextPosition(depthTagLeft(v, row.minDipX, s.textWidth(depth)), y - kTextAbove);
        s.print(depth);
    }
    // The labels stand left of the track, beside their line.
    for (const DrawnMisread& m : misreads) {
        const double y = v.toViewY(m.y);
        if (!inSight(y, height) || rows.empty())
            continue;
        const auto nearest = std::min_element(rows.begin(), rows.end(), [&m](const DepthRow& a, const DepthRow& b) {
            return std::abs(a.y - m.y) < std::abs(b.y - m.y);
        });
        const double trackLeft = std::max(3 * kTextAbove, v.toViewX(nearest->minDipX) - kEndRadius);
        s.box(2, y - 2 * kTextAbove, trackLeft, y + kTextAbove, kMisread);
        s.setForeColor(kMisread);
        s.setTextPosition(trackLeft + kTextLeft, y - 2 * kTextAbove);
        s.print("read " + m.read + ", fits " + formatPlain(m.fits));
    }
    s.setForeColor(Rgb{0, 0, 0});
    s.setTagText(std::nullopt);
}
