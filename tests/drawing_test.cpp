#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

#include "picture/log_picture.h"
#include "drawing/qt_surface.h"
#include "drawing/redraw.h"

namespace {

constexpr double kTpp = 15;  // twips per pixel of these tests
constexpr Rgb kRed{255, 0, 0}, kViolet{128, 0, 255}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kMagenta{255, 0, 255};

double tw(double pixels) { return pixels * kTpp; }

Rgb at(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return Rgb{std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p))};
}

bool anyIn(const QImage& img, QRect r, Rgb colour)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (at(img, x, y) == colour)
                return true;
    return false;
}

QImage picture(int w, int h, quint32 noiseSeed = 0)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QRandomGenerator rng(noiseSeed);
    if (noiseSeed)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, 0xff000000u | (rng.generate() & 0xffffffu));
    return img;
}

// A surface showing the picture at 1:1, and the state that views it.
struct Scene {
    LogPicture logPicture;
    QtSurface surface{kTpp, kTpp};
    ProjectState state;

    Scene(const QImage& image, QSize view)
    {
        logPicture.setImage(image);
        surface.setPicture(&logPicture);
        surface.resize(view);
        state.TwipsPerPixelX = state.TwipsPerPixelY = float(kTpp);
        state.IMAGEWIDTH = image.width();
        state.IMAGEHEIGHT = image.height();
        state.SkipNextPlot = false;
    }
    const QImage& redraw(bool grid = false)
    {
        replot2(state, surface);
        PP(state, surface, grid);
        return surface.image();
    }
    void addDip(double x, double y, double azimuth, const char* quality)
    {
        state.dips[++state.NumPoints] = DipPoint{0.0, tw(y), 0.0, tw(x), azimuth, quality};
    }
    void twoDepthRows(double top, double bottom, double minX, double maxX)
    {
        state.NUMDEP = 2;
        state.depths[1] = {1000, tw(top), tw(minX), tw(maxX)};
        state.depths[2] = {1150, tw(bottom), tw(minX), tw(maxX)};
    }
};

}  // namespace

TEST(Surface, InvertModeRestoresEveryPixelWhenDrawnTwice)
{
    Scene scene(picture(160, 120, 3), {160, 120});
    const QImage before = scene.redraw().copy();
    QtSurface& s = scene.surface;
    s.setDrawMode(DrawMode::Invert);
    auto figures = [&] {
        for (int width : {1, 2, 3}) {
            s.setDrawWidth(width);
            s.line(tw(5), tw(10 + 20 * width), tw(150), tw(40 + 20 * width), Rgb{40, 200, 90});
            s.circle(tw(80), tw(60), tw(25 + 5 * width), Rgb{40, 200, 90});
            s.box(tw(10), tw(15), tw(140 - 10 * width), tw(100), Rgb{40, 200, 90});
        }
        s.line(tw(20), tw(5), tw(20), tw(115), Rgb{40, 200, 90});
    };
    figures();
    // A pixel covered once: NOT(pixel XOR pen).
    EXPECT_EQ(s.image().pixel(20, 60) & 0xffffff, ~((before.pixel(20, 60) & 0xffffff) ^ 0x28c85au) & 0xffffffu);
    figures();
    EXPECT_EQ(s.image(), before);
}

TEST(Surface, PicturePixelsAsTheyAreAtAndAbove1To1AndAveragedBelow)
{
    const QImage img = picture(120, 90, 11);
    Scene scene(img, {200, 200});
    const QImage shown = scene.redraw().copy();
    for (int y = 0; y < 90; y += 7)
        for (int x = 0; x < 120; x += 5)
            ASSERT_EQ(shown.pixel(x, y), img.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(at(shown, 150, 50), scene.surface.background());  // beyond the picture

    scene.state.ZoomFactor = 2;
    scene.state.VScrollValue = 150;  // 10 pixels down
    const QImage& zoomed = scene.redraw();
    for (int y = 0; y < 70; y += 3)
        for (int x = 0; x < 90; x += 4)
            ASSERT_EQ(zoomed.pixel(2 * x + 1, 2 * y), img.pixel(x, y + 10)) << x << "," << y;

    QImage line = picture(800, 800);
    for (int x = 0; x < 800; ++x)
        line.setPixel(x, 403, qRgb(0, 0, 0));
    Scene far(line, {100, 100});
    far.state.ZoomFactor = 0.125;
    const QImage& reduced = far.redraw();
    for (int x = 0; x < 100; x += 9) {
        EXPECT_LT(qGreen(reduced.pixel(x, 50)), 240) << "the thin line vanished at x " << x;
        EXPECT_EQ(qGreen(reduced.pixel(x, 40)), 255);
    }
}

TEST(Overlay, DepthLinesTicksEndsLimitsAndEdges)
{
    Scene scene(picture(200, 260), {300, 300});
    ProjectState& st = scene.state;
    scene.twoDepthRows(50, 150, 20, 180);
    st.depths[2].MINDIPTWIP = tw(40);
    st.HeaderTop = int(tw(200));
    st.LeftEdge = int(tw(100));
    EXPECT_TRUE(replot2(st, scene.surface));
    const QImage& img = scene.surface.image();
    const Rgb back = scene.surface.background();
    EXPECT_EQ(at(img, 199, 49), kRed);                     // depth line, width 3, to the picture's width
    EXPECT_EQ(at(img, 250, 50), back);
    EXPECT_TRUE(anyIn(img, QRect(60, 116, 1, 2), kRed));  // tick at depth 1100, y 116.7
    EXPECT_FALSE(anyIn(img, QRect(60, 120, 1, 25), kRed));
    EXPECT_TRUE(anyIn(img, QRect(1, 44, 40, 5), back));   // the depth on an opaque background
    EXPECT_TRUE(anyIn(img, QRect(1, 44, 40, 5), kRed));
    EXPECT_TRUE(anyIn(img, QRect(16, 46, 9, 2), kViolet));  // circle at the MINDIP end
    EXPECT_EQ(at(img, 30, 100), kViolet);                   // join between the rows
    EXPECT_EQ(at(img, 150, 200), kGreen);
    EXPECT_EQ(at(img, 100, 290), kBlue);  // edge down the whole surface
    EXPECT_EQ(st.interaction.LastMarkY, -2);
    st.NUMDEP = 1;
    EXPECT_FALSE(replot2(st, scene.surface));
}

TEST(DipPlot, TadpolesPointAlongTheAzimuthInTheQualityColour)
{
    Scene scene(picture(300, 300), {300, 300});
    ProjectState& st = scene.state;
    scene.addDip(50, 50, 0, "A");
    scene.addDip(150, 50, 90, "B");
    scene.addDip(250, 50, 180, "C");
    scene.addDip(50, 150, 270, "D");
    scene.addDip(150, 150, 45, "a");  // not a grade: the colour of the dip before
    const QImage& img = scene.redraw();
    EXPECT_EQ(at(img, 50, 31), st.QualityColorA);  // tail 300 twips up
    EXPECT_NE(at(img, 50, 62), st.QualityColorA);
    EXPECT_EQ(at(img, 165, 50), st.QualityColorB);
    EXPECT_EQ(at(img, 250, 65), st.QualityColorC);
    EXPECT_EQ(at(img, 35, 150), st.QualityColorD);
    EXPECT_EQ(at(img, 160, 140), st.QualityColorD);  // up and right at equal steps
    EXPECT_EQ(at(img, 152, 152), st.QualityColorD);  // inside the dot of 50 twips
    EXPECT_NE(at(img, 157, 157), st.QualityColorD);
}

TEST(DipPlot, OnlyTheDipAwaitingItsTailLacksOneSkipNextPlotAndZoom)
{
    Scene scene(picture(300, 300), {300, 300});
    ProjectState& st = scene.state;
    scene.addDip(50, 50, 90, "A");
    scene.addDip(50, 100, 90, "A");
    st.SkipNextPlot = true;
    EXPECT_FALSE(anyIn(scene.redraw(), QRect(0, 0, 300, 300), st.QualityColorA));
    EXPECT_EQ(at(scene.redraw(), 65, 50), st.QualityColorA);  // every finished dip, the first too
    EXPECT_EQ(at(scene.surface.image(), 65, 100), st.QualityColorA);
    st.interaction.AwaitingAzimuth = true;
    st.interaction.PendingRow = 2;
    EXPECT_EQ(at(scene.redraw(), 65, 50), st.QualityColorA);
    EXPECT_NE(at(scene.surface.image(), 65, 100), st.QualityColorA);
    EXPECT_EQ(at(scene.surface.image(), 50, 100), st.QualityColorA);  // its dot
    st.interaction.AwaitingAzimuth = false;

    st.ZoomFactor = 2;  // centres move; the tail keeps its 20 pixels
    EXPECT_EQ(at(scene.redraw(), 119, 100), st.QualityColorA);
    EXPECT_NE(at(scene.surface.image(), 123, 100), st.QualityColorA);
}

TEST(DipPlot, GridLinesOfEachScaleAndNoneWhereUndefined)
{
    Scene scene(picture(300, 300), {300, 300});
    ProjectState& st = scene.state;
    scene.twoDepthRows(50, 250, 20, 200);
    st.MAXDIP = 90;
    st.GridReady = true;
    auto gridAt = [&](int x) { return anyIn(scene.surface.image(), QRect(x - 1, 150, 3, 1), kMagenta); };
    st.DipScaleMode = 1;
    scene.redraw(true);
    for (int k = 0; k <= 9; ++k)
        EXPECT_TRUE(gridAt(20 + 20 * k)) << k;
    EXPECT_FALSE(gridAt(31));
    st.DipScaleMode = 0;
    scene.redraw(true);
    EXPECT_TRUE(gridAt(49));   // 0.1625 of the track
    EXPECT_TRUE(gridAt(159));  // 0.775
    st.DipScaleMode = 4;
    st.NCUST = 2;
    st.CustomDipTwip[0] = 1000;
    st.CustomDipTwip[1] = 1300;
    st.CustomDipTwip[2] = 2000;
    scene.redraw(true);
    EXPECT_TRUE(gridAt(74));  // 0.3

    const QRect whole(0, 0, 300, 300);
    st.DipScaleMode = 1;
    st.MINDIP = st.MAXDIP = 40;
    EXPECT_FALSE(anyIn(scene.redraw(true), whole, kMagenta));
    st.MINDIP = 0;
    st.MAXDIP = 90;
    st.GridReady = false;  // switched on, not ready: no grid, pen left magenta
    EXPECT_FALSE(anyIn(scene.redraw(true), whole, kMagenta));
    EXPECT_EQ(scene.surface.pen().foreColor, kMagenta);
}

TEST(DipPlot, FarAwayFiguresAndHugeDepthRangesStayQuick)
{
    Scene scene(picture(100, 100), {100, 100});
    for (int i = 0; i < 200; ++i)
        scene.addDip(1e12, -1e12, 33, "B");
    scene.state.NUMDEP = 2;
    scene.state.depths[1] = {0, 0, 0, 1500};
    scene.state.depths[2] = {1e15, 1500, 0, 1500};  // a typing slip: 1e13 ticks
    EXPECT_FALSE(anyIn(scene.redraw(), QRect(0, 0, 100, 100), scene.state.QualityColorB));
}
