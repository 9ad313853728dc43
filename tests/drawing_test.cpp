#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

#include "picture/log_picture.h"
#include "drawing/qt_surface.h"
#include "drawing/log_drawing.h"

namespace {

constexpr Rgb kRed{255, 0, 0}, kViolet{128, 0, 255}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kMagenta{255, 0, 255};
// The calibration's own colours.
constexpr Rgb kDepthRow{160, 82, 45}, kRowEnd{205, 133, 63}, kLimit{128, 128, 0}, kEdge{70, 130, 180};
constexpr GradeColours kColours{Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{128, 0, 128}};

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

// A surface showing the picture at 1:1, and the work over it.
struct Scene {
    LogPicture logPicture;
    QtSurface surface;
    Work work;
    Viewport view;
    int width;

    Scene(const QImage& image, QSize size) : width(image.width())
    {
        logPicture.setImage(image);
        surface.setPicture(&logPicture);
        surface.resize(size);
    }
    const QImage& redraw(bool grid = false)
    {
        drawOverlay(work, view, width, surface);
        drawDips(work, view, kColours, kColours[0], surface, grid);
        return surface.image();
    }
    void addDip(double x, double y, double azimuth, const char* grade) { work.dips.push_back(Dip{x, y, azimuth, grade}); }
    void twoDepthRows(double top, double bottom, double minX, double maxX)
    {
        work.depthRows = {{1000, top, minX, maxX}, {1150, bottom, minX, maxX}};
    }
    void scale(DipScaleKind kind, int minDip, int maxDip, std::vector<double> steps = {})
    {
        work.scale = DipScale{kind, std::int16_t(minDip), std::int16_t(maxDip), std::move(steps)};
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
            s.line(5, 10 + 20 * width, 150, 40 + 20 * width, Rgb{40, 200, 90});
            s.circle(80, 60, 25 + 5 * width, Rgb{40, 200, 90});
            s.box(10, 15, 140 - 10 * width, 100, Rgb{40, 200, 90});
        }
        s.line(20, 5, 20, 115, Rgb{40, 200, 90});
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

    scene.view = Viewport{0, 10, 2};  // 10 pixels down
    const QImage& zoomed = scene.redraw();
    for (int y = 0; y < 70; y += 3)
        for (int x = 0; x < 90; x += 4)
            ASSERT_EQ(zoomed.pixel(2 * x + 1, 2 * y), img.pixel(x, y + 10)) << x << "," << y;

    QImage line = picture(800, 800);
    for (int x = 0; x < 800; ++x)
        line.setPixel(x, 403, qRgb(0, 0, 0));
    Scene far(line, {100, 100});
    far.view.zoom = 0.125;
    const QImage& reduced = far.redraw();
    for (int x = 0; x < 100; x += 9) {
        EXPECT_LT(qGreen(reduced.pixel(x, 50)), 240) << "the thin line vanished at x " << x;
        EXPECT_EQ(qGreen(reduced.pixel(x, 40)), 255);
    }
}

TEST(Overlay, DepthLinesTicksEndsLimitsAndEdges)
{
    Scene scene(picture(200, 260), {300, 300});
    scene.twoDepthRows(50, 150, 20, 180);
    scene.work.depthRows[1].minDipX = 40;
    scene.work.marks[std::size_t(Mark::HeaderTop)] = 200;
    scene.work.marks[std::size_t(Mark::LeftEdge)] = 100;
    EXPECT_TRUE(drawOverlay(scene.work, scene.view, scene.width, scene.surface));
    const QImage& img = scene.surface.image();
    const Rgb back = scene.surface.background();
    EXPECT_EQ(at(img, 199, 49), kDepthRow);                     // depth line, width 3, to the picture's width
    EXPECT_EQ(at(img, 250, 50), back);
    EXPECT_TRUE(anyIn(img, QRect(60, 116, 1, 2), kDepthRow));  // tick at depth 1100, y 116.7
    EXPECT_FALSE(anyIn(img, QRect(60, 120, 1, 25), kDepthRow));
    // The depth as a tag on white above its line, left of the track (here
    // at the view's left edge, the track's end being nearer than its width).
    const QRect tag(1, 33, 30, 14);
    EXPECT_TRUE(anyIn(img, tag, Rgb{255, 255, 255}));
    EXPECT_TRUE(anyIn(img, tag, kDepthRow));
    EXPECT_FALSE(anyIn(img, QRect(60, 30, 240, 18), kDepthRow));
    EXPECT_FALSE(anyIn(img, QRect(2, 34, 8, 10), back));
    EXPECT_TRUE(anyIn(img, QRect(16, 46, 9, 2), kRowEnd));  // circle at the minimum's end
    EXPECT_EQ(at(img, 30, 100), kRowEnd);                   // join between the rows
    EXPECT_EQ(at(img, 150, 200), kLimit);
    EXPECT_EQ(at(img, 100, 290), kEdge);  // edge down the whole surface
    // None of them is a grade's.
    for (const Rgb c : {kDepthRow, kRowEnd, kLimit, kEdge})
        for (const Rgb g : kColours)
            EXPECT_NE(c, g);
    scene.work.depthRows.pop_back();
    EXPECT_FALSE(drawOverlay(scene.work, scene.view, scene.width, scene.surface));
}

// What is printed where, and nothing else.
class PrintRecorder : public DrawingSurface {
public:
    struct Printed {
        std::string text;
        double left = 0, top = 0, width = 0;
    };
    std::vector<Printed> printed;

    void clear() override {}
    void paintPicture(double, double, double, double, double, double, double, double) override {}
    void line(double, double, double, double, Rgb) override {}
    void box(double, double, double, double, Rgb) override {}
    void circle(double, double, double, Rgb) override {}
    void print(const std::string& text) override
    {
        printed.push_back({text, pen().currentX, pen().currentY, textWidth(text)});
    }
    double textWidth(const std::string& text) const override { return 8.0 * text.size(); }
    double scaleWidth() const override { return 300; }
    double scaleHeight() const override { return 300; }
    void refresh() override {}
};

// The tags stand left of the track's left end; scrolled past it, at the
// view's left edge, so that each row in sight keeps its depth in sight.
TEST(Overlay, DepthTagsStandLeftOfTheTrackAndStayInSight)
{
    Work work;
    work.depthRows = {{2400, 100, 120, 280}, {2410, 200, 125, 285}};
    const std::vector<DepthRow> found = work.depthRows;
    for (const double left : {0.0, 60.0, 200.0}) {
        PrintRecorder rows, proposed;
        const Viewport view{left, 0, 1};
        drawOverlay(work, view, 400, rows);
        drawFoundCalibration(view, proposed, found, {}, 400);
        for (const PrintRecorder* r : {&rows, &proposed}) {
            ASSERT_EQ(r->printed.size(), 2u);
            for (std::size_t i = 0; i < 2; ++i) {
                const auto& tag = r->printed[i];
                const double trackLeft = view.toViewX(work.depthRows[i].minDipX);
                EXPECT_GE(tag.left, 1) << left;
                if (trackLeft > 40) {
                    EXPECT_LE(tag.left + tag.width, trackLeft - 4) << left;
                }
                EXPECT_LE(tag.top + 12, view.toViewY(work.depthRows[i].y)) << left;  // above the line
            }
        }
    }
}

TEST(Overlay, ZoomedOutRowsCloserThanATagTakeTurnsAndNoTagCoversAnother)
{
    Work work;
    for (int k = 0; k < 30; ++k)
        work.depthRows.push_back({1000.0 + k, 100.0 + 40 * k, 20, 180});
    const std::vector<DepthRow> found = work.depthRows;
    for (const double zoom : {1.0, 0.5, 0.25, 0.125}) {
        PrintRecorder rows, proposed;
        const Viewport view{0, 0, zoom};
        drawOverlay(work, view, 200, rows);
        drawFoundCalibration(view, proposed, found, {}, 200);
        for (const PrintRecorder* r : {&rows, &proposed}) {
            ASSERT_FALSE(r->printed.empty());
            for (std::size_t i = 1; i < r->printed.size(); ++i)
                EXPECT_GE(r->printed[i].top - r->printed[i - 1].top, 16) << zoom;
        }
        // Every row tagged while there is room, beginning with the first.
        if (zoom >= 0.5) {
            EXPECT_EQ(rows.printed.size(), 30u);
        }
        EXPECT_EQ(rows.printed.front().text, "1000");
    }
}

TEST(DipPlot, TadpolesPointAlongTheAzimuthInTheGradesColour)
{
    Scene scene(picture(300, 300), {300, 300});
    scene.addDip(50, 50, 0, "A");
    scene.addDip(150, 50, 90, "B");
    scene.addDip(250, 50, 180, "C");
    scene.addDip(50, 150, 270, "D");
    scene.addDip(150, 150, 45, "a");  // not a grade: the colour of the dip before
    const QImage& img = scene.redraw();
    EXPECT_EQ(at(img, 50, 31), kColours[0]);  // tail 20 pixels up
    EXPECT_NE(at(img, 50, 62), kColours[0]);
    EXPECT_EQ(at(img, 165, 50), kColours[1]);
    EXPECT_EQ(at(img, 250, 65), kColours[2]);
    EXPECT_EQ(at(img, 35, 150), kColours[3]);
    EXPECT_EQ(at(img, 160, 140), kColours[3]);  // up and right at equal steps
    EXPECT_EQ(at(img, 152, 152), kColours[3]);  // inside the dot of 10/3 pixels
    EXPECT_NE(at(img, 157, 157), kColours[3]);
}

TEST(DipPlot, TailsKeepTheirLengthAtEveryZoom)
{
    Scene scene(picture(300, 300), {300, 300});
    scene.addDip(50, 50, 90, "A");
    EXPECT_EQ(at(scene.redraw(), 65, 50), kColours[0]);
    scene.view.zoom = 2;  // centres move; the tail keeps its 20 pixels
    EXPECT_EQ(at(scene.redraw(), 119, 100), kColours[0]);
    EXPECT_NE(at(scene.surface.image(), 123, 100), kColours[0]);
}

TEST(DipPlot, GridLinesOfEachScaleAndNoneWhereUndefined)
{
    Scene scene(picture(300, 300), {300, 300});
    scene.twoDepthRows(50, 250, 20, 200);
    auto gridAt = [&](int x) { return anyIn(scene.surface.image(), QRect(x - 1, 150, 3, 1), kMagenta); };
    scene.scale(DipScaleKind::Linear, 0, 90);
    scene.redraw(true);
    for (int k = 0; k <= 9; ++k)
        EXPECT_TRUE(gridAt(20 + 20 * k)) << k;
    EXPECT_FALSE(gridAt(31));
    scene.scale(DipScaleKind::Standard60, 0, 90);
    scene.redraw(true);
    EXPECT_TRUE(gridAt(49));   // 0.1625 of the track
    EXPECT_TRUE(gridAt(159));  // 0.775
    scene.scale(DipScaleKind::Custom, 0, 90, {1000, 1300, 2000});
    scene.redraw(true);
    EXPECT_TRUE(gridAt(74));  // 0.3

    const QRect whole(0, 0, 300, 300);
    scene.scale(DipScaleKind::Linear, 40, 40);
    EXPECT_FALSE(anyIn(scene.redraw(true), whole, kMagenta));
    scene.scale(DipScaleKind::Linear, 0, 90);
    EXPECT_FALSE(anyIn(scene.redraw(false), whole, kMagenta));
}

TEST(DipPlot, FarAwayFiguresAndHugeDepthRangesStayQuick)
{
    Scene scene(picture(100, 100), {100, 100});
    for (int i = 0; i < 200; ++i)
        scene.addDip(1e12, -1e12, 33, "B");
    scene.work.depthRows = {{0, 0, 0, 100}, {1e15, 100, 0, 100}};  // a typing slip: 1e13 ticks
    EXPECT_FALSE(anyIn(scene.redraw(), QRect(0, 0, 100, 100), kColours[1]));
}

TEST(FoundCalibrationPlot, RowsInTheirOwnColourWithTheirEndsAndAMarkOnEachMisreadInSight)
{
    constexpr Rgb kFound{0, 150, 140}, kMisread{220, 0, 120};
    Scene scene(picture(200, 260), {300, 300});
    scene.redraw();
    const std::vector<DepthRow> rows = {{2400, 50, 60, 180}, {2410, 150, 62, 182}, {2420, 5000, 64, 184}};
    drawFoundCalibration(scene.view, scene.surface, rows, {{150, "2041", 2410}, {5000, "9999", 2420}}, scene.width);
    const QImage& img = scene.surface.image();
    EXPECT_TRUE(anyIn(img, QRect(0, 49, 200, 3), kFound));   // dashed across the picture
    EXPECT_TRUE(anyIn(img, QRect(56, 46, 9, 8), kFound));    // the left end's circle
    EXPECT_TRUE(anyIn(img, QRect(60, 60, 3, 80), kFound));   // joined to the next row's
    EXPECT_TRUE(anyIn(img, QRect(10, 30, 46, 18), kFound));  // the depth, left of the track
    EXPECT_FALSE(anyIn(img, QRect(185, 25, 40, 20), kFound));
    EXPECT_TRUE(anyIn(img, QRect(0, 110, 60, 60), kMisread));
    EXPECT_FALSE(anyIn(img, QRect(0, 0, 300, 100), kMisread));
    // None of the grades' or the hand calibration's colours.
    for (const Rgb c : {kDepthRow, kRowEnd, kLimit, kEdge, kRed, kGreen, kBlue, kColours[3]})
        EXPECT_FALSE(anyIn(img, QRect(0, 0, 300, 300), c));
}
