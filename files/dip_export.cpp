#include "files/dip_export.h"

#include <cmath>
#include <functional>

#include "core/dipdigitize.h"
#include "core/number_format.h"

namespace {

constexpr std::size_t kColumn = 14;

void appendColumn(std::string& line, const std::string& field)
{
    line += field;
    line.append(field.size() < kColumn ? kColumn - field.size() : 1, ' ');
}

bool writeLines(std::ostream& out, const ProjectState& s, const std::function<std::string(const DipPoint&)>& depthText)
{
    std::string text;
    text.reserve(64 * static_cast<std::size_t>(s.NumPoints));
    for (int i = 1; i <= s.NumPoints; ++i) {
        const DipPoint& d = s.dips[i];
        appendColumn(text, depthText(d));
        appendColumn(text, formatOneDecimal(d.Dip));
        appendColumn(text, formatOneDecimal(d.Azimuth));
        text += d.Quality;
        text += "\r\n";
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

bool countsValid(const ProjectState& s) { return s.NumPoints >= 0 && s.NumPoints <= kMaxDips; }

std::string nearestWholeDepth(const DipPoint& d)
{
    if (!d.Depth || !std::isfinite(*d.Depth))
        return formatOneDecimal(d.Depth);
    const double whole = std::floor(*d.Depth);
    const double rounded = (*d.Depth - whole < 0.5) ? whole : whole + 1;
    std::string text = rounded < 0 ? "" : " ";
    text += formatPlain(rounded);
    text += ' ';
    return text;
}

}  // namespace

bool writeDips(std::ostream& out, ProjectState& s, int* trackedDip)
{
    if (!countsValid(s))
        return false;
    recomputeAndSortDips(s, trackedDip);
    return writeLines(out, s, [](const DipPoint& d) { return formatOneDecimal(d.Depth); });
}

bool writeDipsAtNearestInteger(std::ostream& out, ProjectState& s, int* trackedDip)
{
    if (!countsValid(s))
        return false;
    sortdips(s, trackedDip);
    return writeLines(out, s, nearestWholeDepth);
}
