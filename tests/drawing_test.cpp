#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

#include "drawing/log_picture.h"
#include "drawing/qt_surface.h"
#include "drawing/redraw.h"

namespace {

constexpr double kTpp = 15;  // twips per pixel of these tests
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kViolet{128, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kMagenta{255, 0, 255};

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

QImage noise(int w, int h, quint32 seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xff000000u | (rng.generate() & 0xffffffu));
    return img;
}

// A surface with a picture of the given image, and a state viewing it at 1:1.
struct Scene {
    LogPicture picture;
    QtSurface surface{kTpp, kTpp};
    ProjectState state;

    Scene(const QImage& image, QSize view)
    {
        picture.setImage(image);
        surface.setPicture(&picture);
        surface.resize(view);
        state.TwipsPerPixelX = state.TwipsPerPixelY = float(kTpp);
        state.IMAGEWIDTH = image.width();
        state.IMAGEHEIGHT = image.height();
        state.SkipNextPlot = false;
    }
};

QImage white(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

void addDip(ProjectState& s, double xPixels, double yPixels, double azimuth, const char* quality)
{
    DipPoint& d = s.dips[++s.NumPoints];
    d.DIPPIX = tw(xPixels);
    d.YPIX = tw(yPixels);
    d.Azimuth = azimuth;
    d.Quality = quality;
}

}  // namespace

TEST(Surface, InvertModeRestoresEveryPixelWhenDrawnTwice)
{
    Scene scene(noise(160, 120, 3), {160, 120});
    replot2(scene.state, scene.surface);
    const QImage before = scene.surface.image().copy();

    QtSurface& s = scene.surface;
    s.setDrawMode(DrawMode::Invert);
    const Rgb pen{40, 200, 90};
    auto figures = [&] {
        for (int width : {1, 2, 3}) {
            s.setDrawWidth(width);
            s.line(tw(5), tw(10 + 20 * width), tw(150), tw(40 + 20 * width), pen);
            s.circle(tw(80), tw(60), tw(25 + 5 * width), pen);
            s.box(tw(10), tw(15), tw(140 - 10 * width), tw(100), pen);
        }
        s.setDrawWidth(3);
        s.line(tw(20), tw(5), tw(20), tw(115), pen);  // vertical and horizontal strokes
        s.line(tw(0), tw(110), tw(159), tw(110), pen);
    };
    figures();
    const QImage once = s.image().copy();
    EXPECT_NE(once, before);
    // On a pixel covered once: NOT(pixel XOR pen).
    const QRgb orig = before.pixel(20, 60) & 0xffffff;
    EXPECT_EQ(once.pixel(20, 60) & 0xffffff, ~(orig ^ 0x28c85au) & 0xffffffu);
    figures();
    EXPECT_EQ(s.image(), before);
}

TEST(Surface, PaintsPicturePixelsAsTheyAreAtAndAbove1To1)
{
    const QImage img = noise(120, 90, 11);
    Scene scene(img, {200, 200});
    replot2(scene.state, scene.surface);
    const QImage& shown = scene.surface.image();
    for (int y = 0; y < 90; y += 7)
        for (int x = 0; x < 120; x += 5)
            ASSERT_EQ(shown.pixel(x, y), img.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(at(shown, 150, 50), scene.surface.background());  // beyond the picture
    EXPECT_EQ(at(shown, 50, 150), scene.surface.background());

    scene.state.ZoomFactor = 2;
    scene.state.VScrollValue = 150;  // 10 pixels down, unit 1
    replot2(scene.state, scene.surface);
    const QImage& zoomed = scene.surface.image();
    for (int y = 0; y < 70; y += 3)
        for (int x = 0; x < 90; x += 4)
            for (int d : {0, 1})
                ASSERT_EQ(zoomed.pixel(2 * x + d, 2 * y + 1 - d), img.pixel(x, y + 10)) << x << "," << y;
}

TEST(Surface, ZoomedOutKeepsThinLinesByAreaAveraging)
{
    QImage img = white(800, 800);
    for (int x = 0; x < 800; ++x)
        img.setPixel(x, 403, qRgb(0, 0, 0));
    Scene scene(img, {100, 100});
    scene.state.ZoomFactor = 0.125;
    replot2(scene.state, scene.surface);
    const QImage& shown = scene.surface.image();
    for (int x = 0; x < 100; x += 9) {
        const int grey = qGreen(shown.pixel(x, 50));
        EXPECT_LT(grey, 240) << "the line vanished at x " << x;
        EXPECT_GT(grey, 180);
        EXPECT_EQ(qGreen(shown.pixel(x, 40)), 255);
    }
    EXPECT_EQ(halveByAreaAverage(img).pixel(0, 201), qRgb(128, 128, 128));
}

TEST(Overlay, DepthLinesTicksEndsLimitsAndEdges)
{
    Scene scene(white(200, 260), {300, 300});
    ProjectState& st = scene.state;
    st.NUMDEP = 2;
    st.depths[1] = {1000, tw(50), tw(20), tw(180)};
    st.depths[2] = {1150, tw(150), tw(40), tw(180)};
    st.HeaderTop = int(tw(200));
    st.FooterBottom = int(tw(240));
    st.LeftEdge = int(tw(100));
    EXPECT_TRUE(replot2(st, scene.surface));
    const QImage& img = scene.surface.image();

    EXPECT_EQ(at(img, 120, 50), kRed);                        // the depth line, width 3
    EXPECT_EQ(at(img, 199, 49), kRed);
    EXPECT_EQ(at(img, 250, 50), scene.surface.background());  // ends at the picture's width
    EXPECT_TRUE(anyIn(img, QRect(60, 116, 1, 2), kRed));     // tick at depth 1100: y 116.7
    EXPECT_FALSE(anyIn(img, QRect(60, 120, 1, 25), kRed));    // no tick at 1200
    // Depth value printed 80 twips above the line on an opaque background.
    EXPECT_TRUE(anyIn(img, QRect(1, 44, 40, 5), scene.surface.background()));
    EXPECT_TRUE(anyIn(img, QRect(1, 44, 40, 5), kRed));
    EXPECT_TRUE(anyIn(img, QRect(16, 46, 9, 2), kViolet));    // circle at the MINDIP end
    EXPECT_EQ(at(img, 30, 100), kViolet);                     // join from row 2 to row 1
    EXPECT_EQ(at(img, 180, 100), kViolet);
    EXPECT_EQ(at(img, 150, 200), kGreen);
    EXPECT_EQ(at(img, 150, 240), kGreen);
    EXPECT_TRUE(anyIn(img, QRect(1, 200, 60, 10), scene.surface.background()));  // its label
    EXPECT_EQ(at(img, 100, 230), kBlue);
    EXPECT_EQ(at(img, 100, 290), kBlue);                      // edges run the surface's height
    EXPECT_EQ(st.interaction.LastMarkY, -2);
    EXPECT_EQ(scene.surface.pen().foreColor, kBlue);

    st.NUMDEP = 1;
    EXPECT_FALSE(replot2(st, scene.surface));
    EXPECT_FALSE(anyIn(scene.surface.image(), QRect(60, 110, 1, 12), kRed));
}

TEST(DipPlot, TadpolesPointAlongTheAzimuthInTheQualityColour)
{
    Scene scene(white(300, 300), {300, 300});
    ProjectState& st = scene.state;
    addDip(st, 50, 50, 0, "A");
    addDip(st, 150, 50, 90, "B");
    addDip(st, 250, 50, 180, "C");
    addDip(st, 50, 150, 270, "D");
    addDip(st, 150, 150, 45, "a");  // not a grade: the colour of the dip before
    PP(st, scene.surface, false);
    const QImage& img = scene.surface.image();
    const Rgb purple = st.QualityColorD;
    EXPECT_EQ(at(img, 50, 50), st.QualityColorA);
    EXPECT_EQ(at(img, 50, 40), st.QualityColorA);  // tail up, 20 pixels long
    EXPECT_EQ(at(img, 50, 31), st.QualityColorA);
    EXPECT_NE(at(img, 50, 62), st.QualityColorA);
    EXPECT_EQ(at(img, 165, 50), st.QualityColorB);  // right
    EXPECT_NE(at(img, 135, 50), st.QualityColorB);
    EXPECT_EQ(at(img, 250, 65), st.QualityColorC);  // down
    EXPECT_EQ(at(img, 35, 150), purple);            // left
    EXPECT_EQ(at(img, 160, 140), purple);           // up and right at equal steps
    EXPECT_EQ(at(img, 152, 152), purple);           // inside the dot (radius 50 twips)
    EXPECT_NE(at(img, 157, 157), purple);
    EXPECT_EQ(st.CurrentQualityColor, purple);
    EXPECT_EQ(scene.surface.pen().drawWidth, 2);
    EXPECT_EQ(scene.surface.pen().fillStyle, FillStyle::Transparent);
}

TEST(DipPlot, FirstDipAddedSkipNextPlotAndZoom)
{
    Scene scene(white(300, 300), {300, 300});
    ProjectState& st = scene.state;
    addDip(st, 50, 50, 90, "A");
    addDip(st, 50, 100, 90, "A");
    st.FirstDipAdded = true;
    st.SkipNextPlot = true;
    PP(st, scene.surface, false);
    EXPECT_FALSE(anyIn(scene.surface.image(), QRect(0, 0, 300, 300), st.QualityColorA));
    EXPECT_FALSE(st.SkipNextPlot);
    EXPECT_TRUE(st.FirstDipAdded);

    PP(st, scene.surface, false);
    EXPECT_NE(at(scene.surface.image(), 65, 50), st.QualityColorA);  // row 1 without tail
    EXPECT_EQ(at(scene.surface.image(), 65, 100), st.QualityColorA);
    EXPECT_FALSE(st.FirstDipAdded);
    PP(st, scene.surface, false);
    EXPECT_EQ(at(scene.surface.image(), 65, 50), st.QualityColorA);

    // At 2:1 the centres move; dot and tail keep their size in view twips.
    replot2(st, scene.surface);
    st.ZoomFactor = 2;
    PP(st, scene.surface, false);
    EXPECT_EQ(at(scene.surface.image(), 100 + 19, 100), st.QualityColorA);
    EXPECT_NE(at(scene.surface.image(), 100 + 23, 100), st.QualityColorA);
}

TEST(DipPlot, GridLinesOfEachScaleAndNoneWhereUndefined)
{
    Scene scene(white(300, 300), {300, 300});
    ProjectState& st = scene.state;
    st.NUMDEP = 2;
    st.depths[1] = {1000, tw(50), tw(20), tw(200)};
    st.depths[2] = {1100, tw(250), tw(20), tw(200)};
    st.MAXDIP = 90;
    st.DipScaleMode = 1;
    st.GridReady = true;
    PP(st, scene.surface, true);
    for (int k = 0; k <= 9; ++k)
        EXPECT_TRUE(anyIn(scene.surface.image(), QRect(20 + 20 * k - 1, 150, 3, 1), kMagenta)) << k;
    EXPECT_FALSE(anyIn(scene.surface.image(), QRect(30, 150, 1, 1), kMagenta));

    replot2(st, scene.surface);
    st.DipScaleMode = 0;  // standard scale: 0.1625 of the track at 10 degrees
    PP(st, scene.surface, true);
    EXPECT_TRUE(anyIn(scene.surface.image(), QRect(48, 150, 3, 1), kMagenta));   // 20 + 180 * 0.1625
    EXPECT_TRUE(anyIn(scene.surface.image(), QRect(158, 150, 3, 1), kMagenta));  // 20 + 180 * 0.775

    replot2(st, scene.surface);
    st.DipScaleMode = 4;
    st.NCUST = 2;
    st.CustomDipTwip[0] = 1000;
    st.CustomDipTwip[1] = 1300;
    st.CustomDipTwip[2] = 2000;
    PP(st, scene.surface, true);
    EXPECT_TRUE(anyIn(scene.surface.image(), QRect(73, 150, 3, 1), kMagenta));  // 20 + 180 * 0.3

    const QRect whole(0, 0, 300, 300);
    for (auto undefined : {std::pair<int, int>{1, 40}, {2, 40}}) {
        replot2(st, scene.surface);
        st.DipScaleMode = static_cast<std::int16_t>(undefined.first);
        st.MINDIP = st.MAXDIP = static_cast<std::int16_t>(undefined.second);
        PP(st, scene.surface, true);
        EXPECT_FALSE(anyIn(scene.surface.image(), whole, kMagenta)) << "mode " << undefined.first;
    }
    replot2(st, scene.surface);
    st.DipScaleMode = 4;
    st.CustomDipTwip[2] = st.CustomDipTwip[0];
    PP(st, scene.surface, true);
    EXPECT_FALSE(anyIn(scene.surface.image(), whole, kMagenta));

    // Grid switched on but not ready: nothing, and the pen left magenta, width 1.
    replot2(st, scene.surface);
    st.DipScaleMode = 1;
    st.MINDIP = 0;
    st.MAXDIP = 90;
    st.GridReady = false;
    PP(st, scene.surface, true);
    EXPECT_FALSE(anyIn(scene.surface.image(), whole, kMagenta));
    EXPECT_EQ(scene.surface.pen().foreColor, kMagenta);
    EXPECT_EQ(scene.surface.pen().drawWidth, 1);
}

TEST(DipPlot, FarAwayFiguresAndHugeTablesStayQuick)
{
    Scene scene(white(100, 100), {100, 100});
    ProjectState& st = scene.state;
    for (int i = 0; i < 200; ++i)
        addDip(st, 1e12, -1e12, 33, "B");  // wildly off the view
    st.NUMDEP = 2;
    st.depths[1] = {0, 0, 0, 1500};
    st.depths[2] = {1e15, 1500, 0, 1500};  // a typing slip: ticks every 100 units
    replot2(st, scene.surface);
    PP(st, scene.surface, false);
    EXPECT_FALSE(anyIn(scene.surface.image(), QRect(0, 0, 100, 100), st.QualityColorB));
}
