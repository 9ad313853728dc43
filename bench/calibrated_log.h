#pragma once

#include <random>
#include <string>

#include "core/project_state.h"

// Digitizing made possible on a log at tpp twips a pixel: a linear dip
// scale 0 to 90 and two depth rows, depth 1000 at row top and lastDepth at
// row bottom, across the dip track from trackLeft to trackRight.
inline void calibrateTwoRows(ProjectState& s, double tpp, double top, double bottom, double lastDepth,
                             double trackLeft, double trackRight)
{
    s.DipScaleDefined = true;
    s.DipScaleMode = 1;
    s.MINDIP = 0;
    s.MAXDIP = 90;
    s.NUMDEP = 2;
    s.depths[1] = {1000, tpp * top, tpp * trackLeft, tpp * trackRight};
    s.depths[2] = {lastDepth, tpp * bottom, tpp * trackLeft, tpp * trackRight};
    s.AwaitDepthLine = s.AwaitMinDipClick = s.AwaitMaxDipClick = false;
}

// A log of width x height pixels at tpp twips a pixel, calibrated as fully
// as the tables allow: 200 depth rows spacing pixels apart from spacing down,
// the dip track from trackLeft to trackRight, and 10000 dips spread over it,
// the grid on.
inline ProjectState fullyCalibratedLog(int width, int height, double tpp, double spacing, double trackLeft,
                                       double trackRight)
{
    ProjectState s;
    s.TwipsPerPixelX = s.TwipsPerPixelY = float(tpp);
    s.IMAGEWIDTH = width;
    s.IMAGEHEIGHT = height;
    s.MAXDIP = 90;
    s.NUMDEP = kMaxDepthRows;
    for (int i = 1; i <= kMaxDepthRows; ++i)
        s.depths[i] = {1000.0 + 10 * i, tpp * spacing * i, tpp * trackLeft, tpp * trackRight};
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> y(tpp * spacing, tpp * spacing * kMaxDepthRows);
    std::uniform_real_distribution<double> x(tpp * trackLeft, tpp * trackRight);
    std::uniform_real_distribution<double> az(0, 360);
    s.NumPoints = kMaxDips;
    for (int i = 1; i <= kMaxDips; ++i)
        s.dips[i] = DipPoint{0.0, y(rng), 0.0, x(rng), az(rng), std::string(1, char('A' + i % 4))};
    s.GridReady = true;
    s.HeaderTop = int(tpp * 40);
    s.LeftEdge = int(tpp * (trackLeft - 50));
    s.RightEdge = int(tpp * (trackRight + 50));
    return s;
}
