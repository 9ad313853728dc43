// Draws the synthetic dipmeter log that the project ships as samples/sample_log.bmp:
// a depth track with depth lines and labels, a linear 0-90 dip track with its
// scale, and tadpoles of several dips and azimuths, as an 8-bit grey bitmap;
// and, where asked, the truth about its tadpoles in the form that
// make_truth_logs writes, to measure the tadpole search against.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "bmp_encoder.h"

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 5000;
constexpr int kHeaderHeight = 360;
constexpr int kFooterTop = kHeight - 240;
constexpr int kTrackLeft = 220;
constexpr int kTrackRight = 820;
constexpr int kPixelsPer10 = 100;  // 10 depth units between depth lines
constexpr double kFirstDepth = 2400;

double trackX(double dip) { return kTrackLeft + (kTrackRight - kTrackLeft) * dip / 90; }

void drawHeader(QPainter& p)
{
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(10, 10, kWidth - 20, kHeaderHeight - 20);
    QFont big("DejaVu Sans", 22, QFont::Bold);
    p.setFont(big);
    p.drawText(QRect(10, 30, kWidth - 20, 50), Qt::AlignHCenter, "DIPMETER LOG");
    p.setFont(QFont("DejaVu Sans", 12));
    p.drawText(QRect(10, 90, kWidth - 20, 30), Qt::AlignHCenter, "Well SAMPLE-1   Synthetic data for trying the digitizer");
    p.drawText(QRect(10, 120, kWidth - 20, 30), Qt::AlignHCenter, "Depth scale 1:200   Linear dip scale 0 to 90 degrees");
    p.drawText(QRect(40, 200, 200, 30), Qt::AlignLeft, "DEPTH");
    p.drawText(QRect(kTrackLeft, 200, kTrackRight - kTrackLeft, 30), Qt::AlignHCenter, "DIP (degrees)");
    p.setFont(QFont("DejaVu Sans", 10));
    for (int d = 0; d <= 90; d += 10)
        p.drawText(QRectF(trackX(d) - 20, 260, 40, 20), Qt::AlignHCenter, QString::number(d));
    p.setPen(QPen(Qt::black, 1));
    for (int d = 0; d <= 90; d += 10)
        p.drawLine(QPointF(trackX(d), 282), QPointF(trackX(d), 300));
}

void drawTracks(QPainter& p)
{
    const int top = kHeaderHeight, bottom = kFooterTop;
    p.setPen(QPen(QColor(170, 170, 170), 1));
    for (int y = top; y < bottom; y += 20)
        p.drawLine(0, y, 150, y);
    for (int d = 10; d < 90; d += 10)
        p.drawLine(QPointF(trackX(d), top), QPointF(trackX(d), bottom));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(150, top, 150, bottom);
    p.drawLine(QPointF(trackX(0), top), QPointF(trackX(0), bottom));
    p.drawLine(QPointF(trackX(90), top), QPointF(trackX(90), bottom));
    p.setFont(QFont("DejaVu Sans", 11, QFont::Bold));
    for (int y = top + 40, n = 0; y < bottom; y += kPixelsPer10, ++n) {
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(0, y, kWidth, y);
        const double depth = kFirstDepth + 10 * n;
        p.drawText(QRect(20, y - 22, 120, 20), Qt::AlignLeft, QString::number(depth, 'f', 0));
    }
}

struct Tadpole {
    double x, y;
    bool filled;
    double azimuth, dip;
};

std::vector<Tadpole> drawTadpoles(QPainter& p)
{
    std::vector<Tadpole> drawn;
    std::mt19937 rng(1961);
    std::uniform_real_distribution<double> gap(35, 90);
    std::normal_distribution<double> dip(22, 9);
    std::uniform_real_distribution<double> wobble(-25, 25);
    double azimuthTrend = 40;
    for (double y = kHeaderHeight + 60; y < kFooterTop - 40; y += gap(rng)) {
        const double d = std::clamp(dip(rng), 1.0, 85.0);
        azimuthTrend += wobble(rng) * 0.3;
        const double az = std::fmod(azimuthTrend + wobble(rng) + (y > 2600 ? 180 : 0) + 360, 360);
        const QPointF centre(trackX(d), y);
        const double a = az * 3.14159 / 180;
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(centre, centre + QPointF(20 * std::sin(a), -20 * std::cos(a)));
        const bool solid = std::fmod(y, 7) > 2;  // poorer-quality dips hollow
        p.setBrush(solid ? QBrush(Qt::black) : QBrush(Qt::white));
        p.drawEllipse(centre, 5, 5);
        drawn.push_back({centre.x(), centre.y(), solid, az, d});
    }
    return drawn;
}

bool writeTruth(const std::string& path, const std::string& picture, const std::vector<Tadpole>& tadpoles)
{
    std::ofstream truth(path);
    truth << "# " << picture << ',' << kTrackLeft << ',' << kTrackRight << ',' << kHeaderHeight << ',' << kFooterTop
          << '\n';
    char line[128];
    for (const Tadpole& t : tadpoles) {
        std::snprintf(line, sizeof line, "%.2f,%.2f,%d,%.1f,%.3f\n", t.x, t.y, t.filled ? 1 : 0, t.azimuth, t.dip);
        truth << line;
    }
    return bool(truth);
}

void drawFooter(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(10, kFooterTop + 20, kWidth - 20, kHeight - kFooterTop - 40);
    p.setFont(QFont("DejaVu Sans", 14, QFont::Bold));
    p.drawText(QRect(10, kFooterTop + 60, kWidth - 20, 40), Qt::AlignHCenter, "END OF LOG");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_sample_log OUTPUT.bmp [TRUTH.csv]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QImage page(kWidth, kHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    std::vector<Tadpole> tadpoles;
    {
        QPainter p(&page);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawHeader(p);
        drawTracks(p);
        tadpoles = drawTadpoles(p);
        drawFooter(p);
    }
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    RgbPicture picture(kWidth, kHeight, 0xffffff);
    for (int y = 0; y < kHeight; ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < kWidth; ++x)
            picture.at(x, y) = 0x010101u * row[x];
    }
    std::ofstream out(argv[1], std::ios::binary);
    const std::string bytes = encodeBmp(picture, 8);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        return 1;
    if (argc == 3) {
        const std::string picture = argv[1];
        return writeTruth(argv[2], picture.substr(picture.find_last_of('/') + 1), tadpoles) ? 0 : 1;
    }
    return 0;
}
