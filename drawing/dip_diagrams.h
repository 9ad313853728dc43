#pragma once

#include <array>

#include <QPointF>
#include <QRectF>

#include "drawing/drawing_surface.h"
#include "model/dip_statistics.h"

class QPainter;

// The dip statistics as pictures, on any paint device (a window, a picture
// file, an SVG document). Both diagrams have north, the top of the log, up.

// Where a pole lies on the equal-area net of the given centre and radius.
QPointF netPoint(QPointF centre, double radius, const Pole& pole);

// The rose of dip azimuths: one wedge per 10-degree sector, its radius
// growing with the square root of the sector's count, so that areas compare.
void paintRose(QPainter& p, QPointF centre, double radius, const DipStatistics& s);

// The lower-hemisphere equal-area net with its 10-degree grid, each pole in
// the colour of its grade and the mean pole as a black cross.
void paintStereonet(QPainter& p, QPointF centre, double radius, const DipStatistics& s,
                    const std::array<Rgb, 4>& gradeColours);

// Both, side by side in area, each under its title.
void paintDipDiagrams(QPainter& p, const QRectF& area, const DipStatistics& s,
                      const std::array<Rgb, 4>& gradeColours);

// The places paintDipDiagrams gives the two diagrams in area.
struct DiagramPlaces {
    QPointF roseCentre, netCentre;
    double radius = 0;
};
DiagramPlaces diagramPlaces(const QRectF& area);
