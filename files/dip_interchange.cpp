#include "files/dip_interchange.h"

#include <utility>

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

bool writeDipsLas(std::ostream& out, ProjectState& s, const std::string& unit, int* trackedDip)
{
    if (!countsValid(s))
        return false;
    recomputeAndSortDips(s, trackedDip);
    const auto& dips = std::as_const(s.dips);
    // The sort puts the dips without a depth last.
    Reading first, last;
    for (int i = 1; i <= s.NumPoints; ++i)
        if (dips[i].Depth) {
            first = first ? first : dips[i].Depth;
            last = dips[i].Depth;
        }

    std::string text = "~Version Information\r\n";
    text += lasLine("VERS", "", "2.0", "CWLS Log ASCII Standard - version 2.0");
    text += lasLine("WRAP", "", "NO", "One line per depth step");
    text += "~Well Information\r\n";
    text += lasLine("STRT", unit, lasValue(first), "Start depth");
    text += lasLine("STOP", unit, lasValue(last), "Stop depth");
    text += lasLine("STEP", unit, "0", "Irregular sampling");
    text += lasLine("NULL", "", kLasNull, "Null value");
    text += lasLine("WELL", "", wellName(s.FILE), "Well");
    text += "~Curve Information\r\n";
    text += lasLine("DEPT", unit, "", "Depth");
    text += lasLine("DIP", "DEG", "", "Dip angle");
    text += lasLine("AZIM", "DEG", "", "Dip azimuth");
    text += lasLine("QUAL", "", "", "Quality grade, A to D as 1 to 4");
    text += "~ASCII\r\n";
    for (int i = 1; i <= s.NumPoints; ++i) {
        const DipPoint& d = dips[i];
        const bool noTail = awaitsTail(s, i);
        text += rightAligned(lasValue(d.Depth), 12) + rightAligned(lasValue(d.Dip), 12);
        text += rightAligned(noTail ? kLasNull : formatOneDecimal(d.Azimuth), 12);
        text += rightAligned(noTail ? kLasNull : lasGrade(d.Quality), 12) + "\r\n";
    }
    return flush(out, text);
}
