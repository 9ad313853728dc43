#include <algorithm>
#include <cmath>

#include "drawing/log_drawing.h"
#include "model/number_format.h"

namespace {

// The calibration's own colours, apart from every grade's default (red,
// green, blue, purple) and from the proposals' orange.
constexpr Rgb kDepthRow{160, 82, 45};
constexpr Rgb kRowEnd{205, 133, 63};
constexpr Rgb kLimit{128, 128, 0};
constexpr Rgb kEdge{70, 130, 180};
constexpr Rgb kBlack{0, 0, 0};

constexpr double kEndRadius = 8.0 / 3;
constexpr double kLabelLeft = 1;
constexpr Rgb kTagBack{255, 255, 255};
constexpr double kTagGap = 6;  // clear of the end's circle
constexpr double kTagAboveRow = 17;  // clear of the line, three pixels wide
constexpr double kLabelAboveRow = 7.0 / 15;

// Beyond this many tick lines the depths typed are far apart for the table's
// length (a typing slip such as 1000 and 10000000); drawing them all would
// stall the window, and they would be closer than a pixel anyway.
constexpr double kMaxTickLines = 100000;

void setPen(DrawingSurface& s, Rgb colour, int width)
{
    s.setForeColor(colour);
    s.setDrawWidth(width);
    s.setDrawMode(DrawMode::Copy);
}

// A thin line at every hundred depth units between the first and last row.
void drawDepthTicks(const std::vector<DepthRow>& rows, const Viewport& v, DrawingSurface& s, double width)
{
    const std::size_t n = rows.size();
    const double first = (std::floor(rows.front().depth / 100) + 1) * 100;
    const double last = std::floor(rows.back().depth / 100) * 100;
    if ((last - first) / 100 > kMaxTickLines)
        return;
    for (double d = first; d <= last; d += 100) {
        std::size_t k = 1;
        while (k + 1 < n && rows[k].depth < d)
            ++k;
        const DepthRow& a = rows[k - 1];
        const DepthRow& b = rows[k];
        const double y = a.y + (d - a.depth) * (b.y - a.y) / (b.depth - a.depth);
        s.line(0, v.toViewY(y), width, v.toViewY(y));
    }
}

void drawLimits(const Work& w, const Viewport& v, DrawingSurface& s, double width)
{
    setPen(s, kLimit, 3);
    s.setFontTransparent(false);
    const std::pair<Mark, const char*> rows[] = {{Mark::HeaderTop, "HEADER TOP"},
                                                 {Mark::HeaderBottom, "HEADER BOTTOM"},
                                                 {Mark::FooterTop, "FOOTER TOP"},
                                                 {Mark::FooterBottom, "FOOTER BOTTOM"}};
    for (const auto& [mark, label] : rows) {
        const auto& at = w.marks[std::size_t(mark)];
        if (!at)
            continue;
        const double y = v.toViewY(*at);
        s.line(0, y, width, y);
        s.setTextPosition(kLabelLeft, y - kLabelAboveRow);
        s.print(label);
    }

    setPen(s, kEdge, 3);
    s.setFontTransparent(false);
    const std::pair<Mark, const char*> edges[] = {{Mark::LeftEdge, "LEFT"}, {Mark::RightEdge, "RIGHT"}};
    for (const auto& [mark, label] : edges) {
        const auto& at = w.marks[std::size_t(mark)];
        if (!at)
            continue;
        const double x = v.toViewX(*at);
        s.line(x, 0, x, s.scaleHeight());
        s.setTextPosition(x, kLabelLeft);
        s.print(label);
    }
}

}  // namespace

double depthTagLeft(const Viewport& v, std::optional<double> trackLeftX, double tagWidth)
{
    if (!trackLeftX)
        return kLabelLeft;
    return std::max(kLabelLeft, v.toViewX(*trackLeftX) - kTagGap - tagWidth);
}

void drawDepthRow(const Viewport& v, DrawingSurface& s, const DrawnRow& row, const DrawnRow* before, double width)
{
    const double y = v.toViewY(row.y);
    setPen(s, kDepthRow, 3);
    s.line(0, y, width, y);
    if (row.depth) {
        s.setForeColor(kDepthRow);
        s.setTagText(kTagBack);
        const std::string depth = formatPlain(*row.depth);
        s.setTextPosition(depthTagLeft(v, row.minDipX, s.textWidth(depth)), y - kTagAboveRow);
        s.print(depth);
        s.setTagText(std::nullopt);
    }
    setPen(s, kRowEnd, 3);
    if (before) {
        const double by = v.toViewY(before->y);
        if (row.minDipX && before->minDipX)
            s.line(v.toViewX(*row.minDipX), y, v.toViewX(*before->minDipX), by);
        if (row.maxDipX && before->maxDipX)
            s.line(v.toViewX(*row.maxDipX), y, v.toViewX(*before->maxDipX), by);
    }
    if (row.minDipX)
        s.circle(v.toViewX(*row.minDipX), y, kEndRadius, kRowEnd);
    if (row.maxDipX)
        s.circle(v.toViewX(*row.maxDipX), y, kEndRadius, kRowEnd);
    s.setForeColor(kBlack);
}

bool drawOverlay(const Work& w, const Viewport& v, int pictureWidth, DrawingSurface& s)
{
    s.clear();
    const double height = s.scaleHeight();
    const double width = v.zoom * pictureWidth;
    s.paintPicture(0, 0, width, height, v.left, v.top, pictureWidth, height / v.zoom);

    const std::vector<DepthRow>& rows = w.depthRows;
    const bool enoughRows = rows.size() >= 2;
    if (enoughRows) {
        setPen(s, kDepthRow, 1);
        drawDepthTicks(rows, v, s, width);
    }
    DrawnRow before;
    std::optional<double> lastTag;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // Zoomed out, rows closer than a tag's height take turns: a tag is
        // left out rather than printed over the one before.
        const double y = v.toViewY(rows[i].y);
        const bool tagged = !lastTag || std::abs(y - *lastTag) >= kTagAboveRow;
        if (tagged)
            lastTag = y;
        const DrawnRow row{rows[i].y, tagged ? std::optional(rows[i].depth) : std::nullopt, rows[i].minDipX,
                           rows[i].maxDipX};
        drawDepthRow(v, s, row, i > 0 ? &before : nullptr, width);
        before = row;
    }
    drawLimits(w, v, s, width);
    return enoughRows;
}
