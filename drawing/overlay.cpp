#include <cmath>

#include "core/number_format.h"
#include "drawing/redraw.h"

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kViolet{128, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};

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

void drawDepthTicks(const ProjectState& st, DrawingSurface& s, double pictureWidth)
{
    const int n = st.NUMDEP;
    const double first = (std::floor(st.depths[1].DEPTH / 100) + 1) * 100;
    const double last = std::floor(st.depths[n].DEPTH / 100) * 100;
    if ((last - first) / 100 > kMaxTickLines)
        return;
    for (double d = first; d <= last; d += 100) {
        int k = 1;
        while (k < n && st.depths[k].DEPTH < d)
            ++k;
        const auto& a = st.depths[k - 1];
        const auto& b = st.depths[k];
        const double y = a.DEPTHTWIP + (d - a.DEPTH) * (b.DEPTHTWIP - a.DEPTHTWIP) / (b.DEPTH - a.DEPTH);
        s.line(0, viewY(st, y), pictureWidth, viewY(st, y));
    }
}

void drawDepthRows(const ProjectState& st, DrawingSurface& s, double pictureWidth)
{
    for (int i = 1; i <= st.NUMDEP; ++i) {
        const auto& row = st.depths[i];
        const double y = viewY(st, row.DEPTHTWIP);
        setPen(s, kRed, 3);
        s.line(0, y, pictureWidth, y);
        s.setForeColor(kRed);
        s.setFontTransparent(false);
        s.setTextPosition(15, y - 80);
        s.print(formatPlain(row.DEPTH));
        setPen(s, kViolet, 3);
        if (i >= 2) {
            const auto& prev = st.depths[i - 1];
            const double py = viewY(st, prev.DEPTHTWIP);
            if (row.MINDIPTWIP != 0)
                s.line(viewX(st, row.MINDIPTWIP), y, viewX(st, prev.MINDIPTWIP), py);
            if (row.MAXDIPTWIP != 0)
                s.line(viewX(st, row.MAXDIPTWIP), y, viewX(st, prev.MAXDIPTWIP), py);
        }
        if (row.MINDIPTWIP != 0)
            s.circle(viewX(st, row.MINDIPTWIP), y, 40, kViolet);
        if (row.MAXDIPTWIP != 0)
            s.circle(viewX(st, row.MAXDIPTWIP), y, 40, kViolet);
        s.setForeColor(kBlack);
    }
}

void drawLimits(const ProjectState& st, DrawingSurface& s, double pictureWidth)
{
    setPen(s, kGreen, 3);
    s.setFontTransparent(false);
    const std::pair<std::int32_t, const char*> limits[] = {{st.HeaderTop, "HEADER TOP"},
                                                           {st.HeaderBottom, "HEADER BOTTOM"},
                                                           {st.FooterTop, "FOOTER TOP"},
                                                           {st.FooterBottom, "FOOTER BOTTOM"}};
    for (const auto& [value, label] : limits) {
        if (value == 0)
            continue;
        const double y = viewY(st, value);
        s.line(0, y, pictureWidth, y);
        s.setTextPosition(15, y - 7);
        s.print(label);
    }

    setPen(s, kBlue, 3);
    s.setFontTransparent(false);
    const std::pair<std::int32_t, const char*> edges[] = {{st.LeftEdge, "LEFT"}, {st.RightEdge, "RIGHT"}};
    for (const auto& [value, label] : edges) {
        if (value == 0)
            continue;
        const double x = viewX(st, value);
        s.line(x, 0, x, s.scaleHeight());
        s.setTextPosition(x, 15);
        s.print(label);
    }
}

}  // namespace

double viewX(const ProjectState& st, double imageX)
{
    return (imageX - st.HScrollValue * st.HScrollUnit) * st.ZoomFactor;
}

double viewY(const ProjectState& st, double imageY)
{
    return (imageY - st.VScrollValue * st.VScrollUnit) * st.ZoomFactor;
}

bool replot2(ProjectState& st, DrawingSurface& s)
{
    s.clear();
    const double height = s.scaleHeight();
    const double pictureWidth = st.ZoomFactor * st.IMAGEWIDTH * st.TwipsPerPixelX;
    s.paintPicture(0, 0, pictureWidth, height, st.HScrollValue * st.HScrollUnit, st.VScrollValue * st.VScrollUnit,
                   st.IMAGEWIDTH * static_cast<double>(st.TwipsPerPixelX), height / st.ZoomFactor);
    st.interaction.LastMarkY = -2;

    const bool enoughRows = st.NUMDEP >= 2 && st.NUMDEP <= kMaxDepthRows;
    if (enoughRows) {
        setPen(s, kRed, 1);
        drawDepthTicks(st, s, pictureWidth);
    }
    if (st.NUMDEP >= 0 && st.NUMDEP <= kMaxDepthRows)
        drawDepthRows(st, s, pictureWidth);
    drawLimits(st, s, pictureWidth);
    return enoughRows;
}
