#include "drawing/dip_diagrams.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kRadian = std::numbers::pi / 180;
const QColor kWedge(70, 110, 170);
const QColor kGrid(200, 200, 200);
constexpr double kTitleHeight = 28;

// A line given by a unit vector east, north, down (down >= 0), on the net.
QPointF project(QPointF centre, double radius, double east, double north, double down)
{
    const double plunge = std::asin(std::clamp(down, -1.0, 1.0)) / kRadian;
    const double trend = std::atan2(east, north) / kRadian;
    const auto [x, y] = equalAreaPoint(trend, plunge);
    return centre + QPointF(x, y) * radius;
}

void paintNorth(QPainter& p, QPointF centre, double radius)
{
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(centre + QPointF(0, -radius), centre + QPointF(0, -radius - 6));
    p.drawText(QRectF(centre.x() - 10, centre.y() - radius - 22, 20, 16), Qt::AlignCenter, QStringLiteral("N"));
}

}  // namespace

QPointF netPoint(QPointF centre, double radius, const Pole& pole)
{
    const auto [x, y] = equalAreaPoint(pole.trend, pole.plunge);
    return centre + QPointF(x, y) * radius;
}

void paintRose(QPainter& p, QPointF centre, double radius, const DipStatistics& s)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const int most = *std::max_element(s.sectors.begin(), s.sectors.end());
    p.setPen(QPen(kGrid, 1));
    p.setBrush(Qt::NoBrush);
    for (double part : {0.25, 0.5, 0.75})
        p.drawEllipse(centre, radius * part, radius * part);
    p.setPen(QPen(kWedge.darker(), 1));
    p.setBrush(kWedge);
    for (int k = 0; k < 36 && most > 0; ++k) {
        if (s.sectors[std::size_t(k)] == 0)
            continue;
        const double r = radius * std::sqrt(double(s.sectors[std::size_t(k)]) / most);
        // Azimuths run clockwise from north; Qt's angles anticlockwise from east.
        p.drawPie(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), int((90 - 10 * (k + 1)) * 16), 10 * 16);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    paintNorth(p, centre, radius);
    p.restore();
}

void paintStereonet(QPainter& p, QPointF centre, double radius, const DipStatistics& s,
                    const std::array<Rgb, 4>& gradeColours)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGrid, 1));
    p.setBrush(Qt::NoBrush);
    for (int angle = 10; angle < 180; angle += 10) {
        const double a = angle * kRadian;
        QPainterPath greatCircle, smallCircle;
        for (int step = 0; step <= 90; ++step) {
            const double t = step * 2 * kRadian;
            // The plane striking north and dipping at angle (east of the
            // north-south line below 90, west above it).
            const QPointF g = project(centre, radius, std::sin(t) * std::cos(a), std::cos(t), std::sin(t) * std::sin(a));
            // The cone of half-angle angle round the north end of the axis.
            const QPointF c = project(centre, radius, std::sin(a) * std::cos(t), std::cos(a), std::sin(a) * std::sin(t));
            step ? greatCircle.lineTo(g) : greatCircle.moveTo(g);
            step ? smallCircle.lineTo(c) : smallCircle.moveTo(c);
        }
        p.drawPath(greatCircle);
        p.drawPath(smallCircle);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(centre, radius, radius);
    for (const Pole& pole : s.poles) {
        const Rgb c = gradeColours[std::size_t(std::clamp(pole.grade, 0, 3))];
        p.setPen(QPen(QColor(c.r, c.g, c.b).darker(130), 1));
        p.setBrush(QColor(c.r, c.g, c.b));
        p.drawEllipse(netPoint(centre, radius, pole), 3.5, 3.5);
    }
    if (s.meanDip && s.meanAzimuth) {
        const QPointF m = netPoint(centre, radius, poleOf(*s.meanDip, *s.meanAzimuth));
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(m + QPointF(-6, 0), m + QPointF(6, 0));
        p.drawLine(m + QPointF(0, -6), m + QPointF(0, 6));
    }
    paintNorth(p, centre, radius);
    p.restore();
}

DiagramPlaces diagramPlaces(const QRectF& area)
{
    const double half = area.width() / 2;
    const double radius = std::max(10.0, std::min(half, area.height() - kTitleHeight) / 2 - 28);
    const double y = area.top() + kTitleHeight + (area.height() - kTitleHeight) / 2;
    return {QPointF(area.left() + half / 2, y), QPointF(area.left() + 1.5 * half, y), radius};
}

void paintDipDiagrams(QPainter& p, const QRectF& area, const DipStatistics& s,
                      const std::array<Rgb, 4>& gradeColours)
{
    const DiagramPlaces places = diagramPlaces(area);
    const double half = area.width() / 2;
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.top(), half, kTitleHeight), Qt::AlignCenter,
               QStringLiteral("Dip azimuths (10-degree sectors)"));
    p.drawText(QRectF(area.left() + half, area.top(), half, kTitleHeight), Qt::AlignCenter,
               QStringLiteral("Poles to bedding (equal area, lower hemisphere)"));
    paintRose(p, places.roseCentre, places.radius, s);
    paintStereonet(p, places.netCentre, places.radius, s, gradeColours);
}
