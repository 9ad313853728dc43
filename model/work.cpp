#include "model/work.h"

#include <cmath>

bool anyConfidence(const Work& work)
{
    for (const Dip& d : work.dips)
        if (d.confidence)
            return true;
    return false;
}

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

bool wellDetailsWritable(const WellDetails& d)
{
    for (const std::string* text : {&d.name, &d.company, &d.field, &d.location, &d.province, &d.serviceCompany, &d.uwi})
        for (const char c : *text)
            if (c == '"' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                return false;
    return d.depthUnit.empty() || d.depthUnit == "M" || d.depthUnit == "FT";
}
