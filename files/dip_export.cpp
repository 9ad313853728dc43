#include "files/dip_export.h"

#include <cmath>
#include <functional>

#include "files/dips_by_depth.h"
#include "model/number_format.h"

namespace {

constexpr std::size_t kColumn = 14;

void appendColumn(std::string& line, const std::string& field)
{
    line += field;
    line.append(field.size() < kColumn ? kColumn - field.size() : 1, ' ');
}

bool writeLines(std::ostream& out, const Work& work, const std::function<std::string(const Reading&)>& depthText)
{
    std::string text;
    text.reserve(64 * work.dips.size());
    for (const DipWithReadings& row : dipsByDepth(work)) {
        appendColumn(text, depthText(row.depth));
        appendColumn(text, formatOneDecimal(row.dipAngle));
        appendColumn(text, formatOneDecimal(row.dip->azimuth));
        text += row.dip->grade;
        text += "\r\n";
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

std::string nearestWholeDepth(const Reading& depth)
{
    if (!depth || !std::isfinite(*depth))
        return formatOneDecimal(depth);
    const double whole = std::floor(*depth);
    const double rounded = (*depth - whole < 0.5) ? whole : whole + 1;
    std::string text = rounded < 0 ? "" : " ";
    text += formatPlain(rounded);
    text += ' ';
    return text;
}

}  // namespace

bool writeDips(std::ostream& out, const Work& work)
{
    return writeLines(out, work, [](const Reading& depth) { return formatOneDecimal(depth); });
}

bool writeDipsAtNearestInteger(std::ostream& out, const Work& work)
{
    return writeLines(out, work, nearestWholeDepth);
}
