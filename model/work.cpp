#include "model/work.h"

#include <cmath>

int gradeIndex(const std::string& grade)
{
    return grade.size() == 1 && grade[0] >= 'A' && grade[0] <= 'D' ? grade[0] - 'A' : -1;
}

double azimuthTowards(double dx, double dy)
{
    if (dy == 0)
        return dx >= 0 ? 90 : 270;
    const double a = std::atan(dx / dy) * 180 / kPi;
    if (dy > 0)
        return dx >= 0 ? a : 360 + a;
    return 180 + a;
}
