#pragma once

#include "core/project_state.h"

// The project of the golden files linear_with_dips.ddp and .dip: a linear
// 0-90 scale over three depth lines and five dips placed out of depth order,
// with stale depths and dips that a save recomputes.
inline ProjectState linearProjectWithDips()
{
    ProjectState s;
    s.FILE = "well7.bmp";
    s.IMAGEWIDTH = 2000;
    s.IMAGEHEIGHT = 30000;
    s.DipScaleMode = 1;
    s.MAXDIP = 90;
    s.NUMDEP = 3;
    for (int i = 1; i <= 3; ++i)
        s.depths[i] = {990.0 + 10 * i, 1500.0 * i, 1000, 10000};
    s.dips[1] = DipPoint{-1.0, 2250, -1.0, 5500, 45, "B"};
    s.dips[2] = DipPoint{-1.0, 1501, -1.0, 1000, 359.95, "A"};
    s.dips[3] = DipPoint{-1.0, 6000, -1.0, 3000, 0, ""};
    s.dips[4] = DipPoint{-1.0, 3000.5, -1.0, 7750.25, 270.25, "D"};
    s.dips[5] = DipPoint{-1.0, 4000, -1.0, -20, 12.25, "C"};
    s.NumPoints = 5;
    return s;
}
