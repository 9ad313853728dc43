#pragma once

#include <QString>

#include "model/work.h"

// Why a calibration made on another picture cannot serve on one of width
// by height pixels: a depth row, or the dip track's edges on it, outside the
// picture. Empty when it can. The window's Apply Calibration From and the
// batch refuse by the same rule.
QString borrowedCalibrationMisfit(const Work& calibration, int width, int height);
