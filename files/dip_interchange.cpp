#include "files/dip_interchange.h"

#include <utility>

#include "core/calibration_dialogs.h"
#include "core/dipdigitize.h"
#include "core/number_format.h"

namespace {

const char* const kLasNull = "-999.25";

bool countsValid(const ProjectState& s) { return s.NumPoints >= 0 && s.NumPoints <= kMaxDips; }

bool awaitsTail(const ProjectState& s, int row)
{
    return s.interaction.AwaitingAzimuth && s.interaction.PendingRow == row;
}

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

bool writeDipsCsv(std::ostream& out, ProjectState& s, int* trackedDip)
{
    if (!countsValid(s))
        return false;
    recomputeAndSortDips(s, trackedDip);
    std::string text = "Depth,Dip,Azimuth,Quality,X,Y\r\n";
    const auto& dips = std::as_const(s.dips);
    for (int i = 1; i <= s.NumPoints; ++i) {
        const DipPoint& d = dips[i];
        const bool noTail = awaitsTail(s, i);
        text += csvReading(d.Depth) + ',' + csvReading(d.Dip) + ',';
        text += (noTail ? std::string() : formatOneDecimal(d.Azimuth)) + ',';
        text += csvField(noTail ? std::string() : d.Quality) + ',';
        text += formatPlain(d.DIPPIX / s.TwipsPerPixelX) + ',' + formatPlain(d.YPIX / s.TwipsPerPixelY) + "\r\n";
    }
    return flush(out, text);
}

int dipsWithoutDepth(const ProjectState& s)
{
    int count = 0;
    const auto& dips = std::as_const(s.dips);
    for (int i = 1; i <= s.NumPoints && i <= kMaxDips; ++i)
        count += dips[i].Depth ? 0 : 1;
    return count;
}

bool writeDipsLas(std::ostream& out, ProjectState& s, const LasWell& well, int* trackedDip)
{
    if (!countsValid(s))
        return false;
    recomputeAndSortDips(s, trackedDip);
    const auto& dips = std::as_const(s.dips);
    // The sort puts the dips without a depth last; the index holds only
    // real depths, ascending.
    int rows = 0;
    while (rows < s.NumPoints && dips[rows + 1].Depth)
        ++rows;
    if (rows == 0)
        return false;
    const std::string& unit = well.depthUnit;

    std::string text = "~Version Information\r\n";
    text += lasLine("VERS", "", "2.0", "CWLS Log ASCII Standard - version 2.0");
    text += lasLine("WRAP", "", "NO", "One line per depth step");
    text += "~Well Information\r\n";
    text += lasLine("STRT", unit, lasValue(dips[1].Depth), "Start depth");
    text += lasLine("STOP", unit, lasValue(dips[rows].Depth), "Stop depth");
    text += lasLine("STEP", unit, "0", "Irregular sampling");
    text += lasLine("NULL", "", kLasNull, "Null value");
    text += lasLine("COMP", "", "", "Company");
    text += lasLine("WELL", "", lasData(wellName(s.FILE)), "Well");
    text += lasLine("FLD", "", "", "Field");
    text += lasLine("LOC", "", "", "Location");
    text += lasLine("PROV", "", "", "Province");
    text += lasLine("SRVC", "", "", "Service company");
    text += lasLine("DATE", "", lasData(well.date), "Export date");
    text += lasLine("UWI", "", "", "Unique well identifier");
    text += "~Curve Information\r\n";
    text += lasLine("DEPT", unit, "", "Depth");
    text += lasLine("DIP", "DEG", "", "Dip angle");
    text += lasLine("AZIM", "DEG", "", "Dip azimuth");
    text += lasLine("QUAL", "", "", "Quality grade, A to D as 1 to 4");
    text += "~Other Information\r\n";
    text += "Picture: " + lasText(s.FILE) + "\r\n";
    text += "Dip scale: " + dipScaleCaption(s.DipScaleMode) + ", " + std::to_string(s.MINDIP) + " to "
            + std::to_string(s.MAXDIP) + " degrees\r\n";
    text += "~ASCII\r\n";
    for (int i = 1; i <= rows; ++i) {
        const DipPoint& d = dips[i];
        const bool noTail = awaitsTail(s, i);
        text += rightAligned(lasValue(d.Depth), 12) + rightAligned(lasValue(d.Dip), 12);
        text += rightAligned(noTail ? kLasNull : formatOneDecimal(d.Azimuth), 12);
        text += rightAligned(noTail ? kLasNull : lasGrade(d.Quality), 12) + "\r\n";
    }
    return flush(out, text);
}
