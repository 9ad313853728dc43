#pragma once

#include "core/project_state.h"

// The project of the golden files linear_with_dips.ddp and .dip: a linear
// 0-90 scale over three depth lines and five dips placed out of depth order.
inline ProjectState linearProjectWithDips()
{
    ProjectState s;
    s.FILE = "well7.bmp";
    s.IMAGEWIDTH = 2000;
    s.IMAGEHEIGHT = 30000;
    s.DipScaleMode = 1;
    s.MAXDIP = 90;
    s.NUMDEP = 3;
    s.depths[1] = {1000, 1500, 1000, 10000};
    s.depths[2] = {1010, 3000, 1000, 10000};
    s.depths[3] = {1020, 4500, 1000, 10000};
    auto dip = [](double y, double x, double azimuth, const char* q) {
        DipPoint d;
        d.YPIX = y;
        d.DIPPIX = x;
        d.Azimuth = azimuth;
        d.Quality = q;
        d.Depth = -1;  // stale values, recomputed on save
        d.Dip = -1;
        return d;
    };
    s.dips[1] = dip(2250, 5500, 45, "B");
    s.dips[2] = dip(1501, 1000, 359.95, "A");
    s.dips[3] = dip(6000, 3000, 0, "");
    s.dips[4] = dip(3000.5, 7750.25, 270.25, "D");
    s.dips[5] = dip(4000, -20, 12.25, "C");
    s.NumPoints = 5;
    return s;
}
