#include "session/borrowed_calibration.h"

QString borrowedCalibrationMisfit(const Work& calibration, int width, int height)
{
    for (const DepthRow& r : calibration.depthRows)
        if (r.y < 0 || r.y >= height || r.minDipX < 0 || r.minDipX >= width || r.maxDipX < 0 || r.maxDipX >= width)
            return QStringLiteral("The depth row at depth %1 lies outside the picture of %2 by %3 pixels.")
                .arg(r.depth)
                .arg(width)
                .arg(height);
    return QString();
}
