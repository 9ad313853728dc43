#pragma once

#include "files/project_file.h"

// Picture pixels of a position the project file writes in twips.
inline double px(double twips) { return twips / kFileTwipsPerPixel; }

// The project of the golden files linear_with_dips.ddp and .dip: a linear
// 0-90 scale over three depth lines and five dips placed out of depth order.
inline ProjectFile linearProjectWithDips()
{
    ProjectFile p;
    p.picture = "well7.bmp";
    p.width = 2000;
    p.height = 30000;
    p.work.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    for (int i = 1; i <= 3; ++i)
        p.work.depthRows.push_back({990.0 + 10 * i, px(1500.0 * i), px(1000), px(10000)});
    for (const Dip& d : {Dip{px(5500), px(2250), 45, "B"}, Dip{px(1000), px(1501), 359.95, "A"},
                         Dip{px(3000), px(6000), 0, ""}, Dip{px(7750.25), px(3000.5), 270.25, "D"},
                         Dip{px(-20), px(4000), 12.25, "C"}})
        p.work.dips.push_back(d);
    return p;
}
