#include "files/dip_interchange.h"

#include <utility>

#include "files/dips_by_depth.h"
#include "model/number_format.h"

namespace {

const char* const kLasNull = "-999.25";

bool flush(std::ostream& out, const std::string& text)
{
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

// A field as spreadsheets read it: quoted, quotes doubled, when it holds a
// separator, a quote or a line end.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string csvReading(const Reading& value) { return value ? formatOneDecimal(*value) : std::string(); }

std::string rightAligned(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string lasValue(const Reading& value) { return value ? formatOneDecimal(*value) : std::string(kLasNull); }

// "MNEM.UNIT   DATA : DESCRIPTION", the data right-aligned before the colon.
std::string lasLine(const std::string& mnemonic, const std::string& unit, const std::string& data,
                    const std::string& description)
{
    std::string name = " " + mnemonic + "." + unit;
    name.resize(std::max<std::size_t>(name.size(), 11), ' ');
    return name + rightAligned(data, 16) + " : " + description + "\r\n";
}

std::string lasGrade(const std::string& grade)
{
    if (grade.size() == 1 && grade[0] >= 'A' && grade[0] <= 'D')
        return std::string(1, char('1' + (grade[0] - 'A')));
    return kLasNull;
}

// Free text on one line: control characters would end it.
std::string lasText(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return text;
}

// A header line's data ends at its colon.
std::string lasData(const std::string& text)
{
    std::string data = lasText(text);
    for (char& c : data)
        if (c == ':')
            c = ' ';
    return data;
}

std::string wellName(const std::string& picture)
{
    const auto dot = picture.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? picture : picture.substr(0, dot);
}

}  // namespace

bool writeDipsCsv(std::ostream& out, const Work& work)
{
    // Work without found dips keeps the file as it always was.
    const bool confidences = anyConfidence(work);
    std::string text = confidences ? "Depth,Dip,Azimuth,Quality,X,Y,Confidence\r\n" : "Depth,Dip,Azimuth,Quality,X,Y\r\n";
    for (const DipWithReadings& row : dipsByDepth(work)) {
        const Dip& d = *row.dip;
        text += csvReading(row.depth) + ',' + csvReading(row.dipAngle) + ',';
        text += formatOneDecimal(d.azimuth) + ',';
        text += csvField(d.grade) + ',';
        text += formatTwoDecimals(d.x) + ',' + formatTwoDecimals(d.y);
        if (confidences)
            text += ',' + (d.confidence ? std::to_string(*d.confidence) : std::string());
        text += "\r\n";
    }
    return flush(out, text);
}

LasCoverage lasCoverage(const Work& work)
{
    const Calibration calibration(work);
    LasCoverage c;
    c.dips = int(work.dips.size());
    for (const Dip& d : work.dips)
        c.withoutDepth += calibration.depthAt(d.y) ? 0 : 1;
    return c;
}

std::string LasCoverage::refusal() const
{
    return anything() ? std::string() : "No dip has a depth: there is nothing to export as LAS.";
}

std::string LasCoverage::leftOut() const
{
    if (!anything() || withoutDepth == 0)
        return {};
    return std::to_string(withoutDepth) + " of the " + std::to_string(dips)
           + " dips lie outside the depth calibration and have no depth: they were left out of the LAS file.";
}

bool writeDipsLas(std::ostream& out, const Work& work, const LasWell& well)
{
    const std::vector<DipWithReadings> all = dipsByDepth(work);
    // The sort puts the dips without a depth last; the index holds only
    // real depths, ascending.
    std::size_t rows = 0;
    while (rows < all.size() && all[rows].depth)
        ++rows;
    if (rows == 0)
        return false;
    const std::string& unit = well.depthUnit;
    const DipScale scale = work.scale.value_or(DipScale{});

    std::string text = "~Version Information\r\n";
    text += lasLine("VERS", "", "2.0", "CWLS Log ASCII Standard - version 2.0");
    text += lasLine("WRAP", "", "NO", "One line per depth step");
    text += "~Well Information\r\n";
    text += lasLine("STRT", unit, lasValue(all.front().depth), "Start depth");
    text += lasLine("STOP", unit, lasValue(all[rows - 1].depth), "Stop depth");
    text += lasLine("STEP", unit, "0", "Irregular sampling");
    text += lasLine("NULL", "", kLasNull, "Null value");
    const WellDetails& d = work.well;
    text += lasLine("COMP", "", lasData(d.company), "Company");
    text += lasLine("WELL", "", lasData(d.name.empty() ? wellName(well.picture) : d.name), "Well");
    text += lasLine("FLD", "", lasData(d.field), "Field");
    text += lasLine("LOC", "", lasData(d.location), "Location");
    text += lasLine("PROV", "", lasData(d.province), "Province");
    text += lasLine("SRVC", "", lasData(d.serviceCompany), "Service company");
    text += lasLine("DATE", "", lasData(well.date), "Export date");
    text += lasLine("UWI", "", lasData(d.uwi), "Unique well identifier");
    text += "~Curve Information\r\n";
    text += lasLine("DEPT", unit, "", "Depth");
    text += lasLine("DIP", "DEG", "", "Dip angle");
    text += lasLine("AZIM", "DEG", "", "Dip azimuth");
    text += lasLine("QUAL", "", "", "Quality grade, A to D as 1 to 4");
    text += "~Other Information\r\n";
    text += "Picture: " + lasText(well.picture) + "\r\n";
    text += "Dip scale: " + dipScaleCaption(scale.kind) + ", " + std::to_string(scale.minDip) + " to "
            + std::to_string(scale.maxDip) + " degrees\r\n";
    text += "~ASCII\r\n";
    for (std::size_t i = 0; i < rows; ++i) {
        const DipWithReadings& row = all[i];
        text += rightAligned(lasValue(row.depth), 12) + rightAligned(lasValue(row.dipAngle), 12);
        text += rightAligned(formatOneDecimal(row.dip->azimuth), 12);
        text += rightAligned(lasGrade(row.dip->grade), 12) + "\r\n";
    }
    return flush(out, text);
}
