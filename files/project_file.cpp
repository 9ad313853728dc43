#include "files/project_file.h"

#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/dipdigitize.h"
#include "core/number_format.h"
#include "files/field_reader.h"

namespace {

const char* const kCrLf = "\r\n";
// The text goes to the stream in pieces of about this size: small enough to
// stay in the cache, large enough to keep the stream calls few.
constexpr std::size_t kChunk = 1 << 16;

bool canWriteAsText(const std::string& text)
{
    double ignored = 0;
    if (text.find_first_of(",\"\r\n") != std::string::npos || parseDecimal(text, ignored))
        return false;
    return text.empty() || (text.front() != ' ' && text.front() != '\t' && text.back() != ' '
                            && text.back() != '\t');
}

bool canWrite(const ProjectState& s)
{
    if (s.FILE.find('"') != std::string::npos)
        return false;
    if (s.NUMDEP < 0 || s.NUMDEP > kMaxDepthRows || s.NumPoints < 0 || s.NumPoints > kMaxDips)
        return false;
    if (s.DipScaleMode == 4 && (s.NCUST < 0 || s.NCUST > kMaxCustomSteps))
        return false;
    if (!std::isfinite(s.ZoomFactor))
        return false;
    if (s.DipScaleMode == 4)
        for (int k = 0; k <= s.NCUST; ++k)
            if (!std::isfinite(s.CustomDipTwip[k]))
                return false;
    for (int i = 1; i <= s.NUMDEP; ++i) {
        const auto& r = s.depths[i];
        if (!std::isfinite(r.DEPTH) || !std::isfinite(r.DEPTHTWIP) || !std::isfinite(r.MINDIPTWIP)
            || !std::isfinite(r.MAXDIPTWIP))
            return false;
    }
    for (int i = 1; i <= s.NumPoints; ++i) {
        const auto& d = s.dips[i];
        if (!std::isfinite(d.YPIX) || !std::isfinite(d.DIPPIX) || !std::isfinite(d.Azimuth)
            || !canWriteAsText(d.Quality))
            return false;
    }
    return true;
}

// A coordinate of a dip row: one space on either side, the "-" of a negative
// number taking the place of the first.
void appendPaddedPlain(std::string& text, double v)
{
    if (!(v < 0))
        text += ' ';
    text += formatPlain(v);
    text += ' ';
}

}  // namespace

bool writeProject(std::ostream& out, ProjectState& s, int* trackedDip)
{
    if (!canWrite(s))
        return false;
    recomputeAndSortDips(s, trackedDip);

    std::string text;
    text.reserve(kChunk + 256);
    text += "FILE,\"" + s.FILE + "\"" + kCrLf;
    text += "IMAGEWIDTH," + std::to_string(s.IMAGEWIDTH) + kCrLf;
    text += "IMAGEHEIGHT," + std::to_string(s.IMAGEHEIGHT) + kCrLf;
    text += "Zoom," + formatPlain(s.ZoomFactor) + kCrLf;
    text += "DipScaleMode," + std::to_string(s.DipScaleMode) + kCrLf;
    text += "MINDIP," + std::to_string(s.MINDIP) + kCrLf;
    text += "MAXDIP," + std::to_string(s.MAXDIP) + kCrLf;
    if (s.DipScaleMode == 4) {
        text += "NCUST," + std::to_string(s.NCUST) + kCrLf;
        for (int k = 0; k <= s.NCUST; ++k)
            text += formatPlain(s.CustomDipTwip[k]) + kCrLf;
    }
    text += "NUMDEP," + std::to_string(s.NUMDEP) + kCrLf;
    text += std::string("DEPTH,DEPTHTWIP,MINDIPTWIP,MAXDIPTWIP") + kCrLf;
    for (int i = 1; i <= s.NUMDEP; ++i) {
        const auto& r = s.depths[i];
        text += formatPlain(r.DEPTH) + "," + formatPlain(r.DEPTHTWIP) + "," + formatPlain(r.MINDIPTWIP) + ","
                + formatPlain(r.MAXDIPTWIP) + kCrLf;
    }
    text += "NumPoints," + std::to_string(s.NumPoints) + kCrLf;
    text += std::string("Depth,YPIX,Dip,DIPPIX,Azimuth,Quality") + kCrLf;
    for (int i = 1; i <= s.NumPoints; ++i) {
        const auto& d = std::as_const(s.dips)[i];
        text += formatOneDecimal(d.Depth);
        text += ',';
        appendPaddedPlain(text, d.YPIX);
        text += ',';
        text += formatOneDecimal(d.Dip);
        text += ',';
        appendPaddedPlain(text, d.DIPPIX);
        text += ',';
        text += formatOneDecimal(d.Azimuth);
        text += ',';
        text += d.Quality;
        text += kCrLf;
        if (text.size() >= kChunk) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

namespace {

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The fields of a project file, parsed before any of them reaches the state.
struct ParsedProject {
    std::string file;
    std::int32_t width = 0, height = 0;
    double zoom = 1;
    std::int16_t mode = 0, mindip = 0, maxdip = 0, ncust = 0, numdep = 0, numpoints = 0;
    std::vector<double> custom;
    std::vector<DepthCalibrationPoint> depths;
    std::vector<DipPoint> dips;
};

class ProjectParser {
public:
    explicit ProjectParser(std::istream& in) : reader_(in) {}

    ParsedProject parse()
    {
        ParsedProject p;
        key("FILE");
        p.file = text("FILE");
        key("IMAGEWIDTH");
        p.width = whole<std::int32_t>("IMAGEWIDTH", INT32_MIN, INT32_MAX);
        key("IMAGEHEIGHT");
        p.height = whole<std::int32_t>("IMAGEHEIGHT", INT32_MIN, INT32_MAX);
        key("Zoom");
        const auto zoomField = expect("Zoom");
        p.zoom = number(zoomField, "Zoom");
        if (!(p.zoom > 0))
            fail(zoomField.line, "the zoom must be greater than 0, found \"" + zoomField.text + "\".");
        key("DipScaleMode");
        p.mode = whole<std::int16_t>("DipScaleMode", 0, 4);
        key("MINDIP");
        p.mindip = whole<std::int16_t>("MINDIP", INT16_MIN, INT16_MAX);
        key("MAXDIP");
        p.maxdip = whole<std::int16_t>("MAXDIP", INT16_MIN, INT16_MAX);
        if (p.mode == 4) {
            key("NCUST");
            p.ncust = whole<std::int16_t>("NCUST", 0, kMaxCustomSteps);
            for (int k = 0; k <= p.ncust; ++k)
                p.custom.push_back(number("custom dip-scale position " + std::to_string(k)));
        }
        key("NUMDEP");
        p.numdep = whole<std::int16_t>("NUMDEP", 0, kMaxDepthRows);
        for (const char* h : {"DEPTH", "DEPTHTWIP", "MINDIPTWIP", "MAXDIPTWIP"})
            key(h);
        p.depths.reserve(static_cast<std::size_t>(p.numdep));
        for (int i = 1; i <= p.numdep; ++i) {
            const std::string row = " of depth row " + std::to_string(i);
            DepthCalibrationPoint r;
            r.DEPTH = number("DEPTH" + row);
            r.DEPTHTWIP = number("DEPTHTWIP" + row);
            r.MINDIPTWIP = number("MINDIPTWIP" + row);
            r.MAXDIPTWIP = number("MAXDIPTWIP" + row);
            p.depths.push_back(r);
        }
        key("NumPoints");
        p.numpoints = whole<std::int16_t>("NumPoints", 0, kMaxDips);
        for (const char* h : {"Depth", "YPIX", "Dip", "DIPPIX", "Azimuth", "Quality"})
            key(h);
        p.dips.reserve(static_cast<std::size_t>(p.numpoints));
        for (int i = 1; i <= p.numpoints; ++i) {
            const std::string row = " of dip row " + std::to_string(i);
            DipPoint d;
            d.Depth = reading("Depth" + row);
            d.YPIX = number("YPIX" + row);
            d.Dip = reading("Dip" + row);
            d.DIPPIX = number("DIPPIX" + row);
            d.Azimuth = number("Azimuth" + row);
            d.Quality = text("Quality" + row);
            p.dips.push_back(std::move(d));
        }
        return p;
    }

private:
    [[noreturn]] void fail(int line, const std::string& what)
    {
        throw ParseError("Line " + std::to_string(line) + ": " + what);
    }

    FieldReader::Field expect(const std::string& what)
    {
        auto field = reader_.next();
        if (!field) {
            if (!reader_.error().empty())
                throw ParseError(reader_.error());
            throw ParseError("The file ends early, at line " + std::to_string(reader_.line()) + ": "
                             + what + " is missing.");
        }
        return *field;
    }

    static bool isNumber(const FieldReader::Field& f, double& value)
    {
        return !f.quoted && parseDecimal(f.text, value);
    }

    std::string text(const std::string& what)
    {
        const auto f = expect(what);
        double ignored = 0;
        if (isNumber(f, ignored))
            fail(f.line, "expected text for " + what + ", found the number " + f.text + ".");
        return f.text;
    }

    void key(const std::string& name) { text("the key word \"" + name + "\""); }

    double number(const FieldReader::Field& f, const std::string& what)
    {
        double v = 0;
        if (!isNumber(f, v))
            fail(f.line, "expected a number for " + what + ", found \"" + f.text + "\".");
        if (!std::isfinite(v))
            fail(f.line, "the number for " + what + " is out of range: " + f.text + ".");
        return v;
    }

    double number(const std::string& what) { return number(expect(what), what); }

    Reading reading(const std::string& what)
    {
        const auto f = expect(what);
        if (!f.quoted && f.text == "NO CAL")
            return std::nullopt;
        return number(f, what);
    }

    template <typename Int>
    Int whole(const std::string& what, long lo, long hi)
    {
        const auto f = expect(what);
        const double v = roundHalfEven(number(f, what));
        if (v < static_cast<double>(lo) || v > static_cast<double>(hi))
            fail(f.line, what + " must be a whole number from " + std::to_string(lo) + " to "
                             + std::to_string(hi) + ", found " + f.text + ".");
        return static_cast<Int>(v);
    }

    FieldReader reader_;
};

void commit(ParsedProject&& p, ProjectState& s)
{
    s.FILE = std::move(p.file);
    s.IMAGEWIDTH = p.width;
    s.IMAGEHEIGHT = p.height;
    s.ZoomFactor = p.zoom;
    s.DipScaleMode = p.mode;
    s.MINDIP = p.mindip;
    s.MAXDIP = p.maxdip;
    if (p.mode == 4) {
        s.NCUST = p.ncust;
        for (std::size_t k = 0; k < p.custom.size(); ++k)
            s.CustomDipTwip[static_cast<std::ptrdiff_t>(k)] = p.custom[k];
    }
    s.NUMDEP = p.numdep;
    for (std::size_t i = 0; i < p.depths.size(); ++i)
        s.depths[static_cast<std::ptrdiff_t>(i) + 1] = p.depths[i];
    s.NumPoints = p.numpoints;
    for (std::size_t i = 0; i < p.dips.size(); ++i)
        s.dips[static_cast<std::ptrdiff_t>(i) + 1] = std::move(p.dips[i]);
}

}  // namespace

bool readProject(std::istream& in, ProjectState& state, std::string& error)
{
    try {
        ProjectParser parser(in);
        commit(parser.parse(), state);
        error.clear();
        return true;
    } catch (const ParseError& e) {
        error = e.what();
        return false;
    }
}

std::string defaultFileName(const std::string& t, const std::string& extension)
{
    const std::size_t n = t.size();
    std::string name;
    // Positions of the rule count from 1: position n - 3 is index n - 4.
    if (n >= 4 && t[n - 4] == '.')
        name = t.substr(0, n - 3) + extension;
    if (n >= 3 && t[n - 3] == '.')
        name = t.substr(0, n - 2) + extension;
    if (n >= 2 && t[n - 2] == '.')
        name = t.substr(0, n - 1) + extension;
    return name;
}
