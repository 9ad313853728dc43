#include "files/project_file.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "files/dips_by_depth.h"
#include "files/field_reader.h"
#include "model/number_format.h"

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

double twips(double pixels) { return pixels * kFileTwipsPerPixel; }
double pixels(double twips) { return twips / kFileTwipsPerPixel; }

bool canWrite(const ProjectFile& p)
{
    const Work& w = p.work;
    if (p.picture.find('"') != std::string::npos || !std::isfinite(p.zoom))
        return false;
    if (w.scale)
        for (double x : w.scale->customSteps)
            if (!std::isfinite(x))
                return false;
    if (w.scale && w.scale->kind == DipScaleKind::Custom
        && (w.scale->customSteps.empty() || w.scale->customSteps.size() > kMaxCustomSteps + 1))
        return false;
    for (const DepthRow& r : w.depthRows)
        if (!std::isfinite(r.depth) || !std::isfinite(r.y) || !std::isfinite(r.minDipX) || !std::isfinite(r.maxDipX))
            return false;
    for (const Dip& d : w.dips)
        if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.azimuth) || !canWriteAsText(d.grade))
            return false;
    return w.depthRows.size() <= std::size_t(kMaxDepthRows) && wellDetailsWritable(w.well);
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

bool writeProject(std::ostream& out, const ProjectFile& p)
{
    if (!canWrite(p))
        return false;
    const Work& w = p.work;
    const DipScale scale = w.scale.value_or(DipScale{});
    const bool custom = scale.kind == DipScaleKind::Custom;

    std::string text;
    text.reserve(kChunk + 256);
    text += "FILE,\"" + p.picture + "\"" + kCrLf;
    text += "IMAGEWIDTH," + std::to_string(p.width) + kCrLf;
    text += "IMAGEHEIGHT," + std::to_string(p.height) + kCrLf;
    text += "Zoom," + formatPlain(p.zoom) + kCrLf;
    text += "DipScaleMode," + std::to_string(int(scale.kind)) + kCrLf;
    text += "MINDIP," + std::to_string(scale.minDip) + kCrLf;
    text += "MAXDIP," + std::to_string(scale.maxDip) + kCrLf;
    if (custom) {
        text += "NCUST," + std::to_string(scale.customSteps.empty() ? 0 : scale.customSteps.size() - 1) + kCrLf;
        for (double x : scale.customSteps)
            text += formatPlain(twips(x)) + kCrLf;
    }
    text += "NUMDEP," + std::to_string(w.depthRows.size()) + kCrLf;
    text += std::string("DEPTH,DEPTHTWIP,MINDIPTWIP,MAXDIPTWIP") + kCrLf;
    for (const DepthRow& r : w.depthRows)
        text += formatPlain(r.depth) + "," + formatPlain(twips(r.y)) + "," + formatPlain(twips(r.minDipX)) + ","
                + formatPlain(twips(r.maxDipX)) + kCrLf;
    text += "NumPoints," + std::to_string(w.dips.size()) + kCrLf;
    text += std::string("Depth,YPIX,Dip,DIPPIX,Azimuth,Quality") + kCrLf;
    const std::vector<DipWithReadings> rows = dipsByDepth(w);
    for (const DipWithReadings& row : rows) {
        const Dip& d = *row.dip;
        text += formatOneDecimal(row.depth);
        text += ',';
        appendPaddedPlain(text, twips(d.y));
        text += ',';
        text += formatOneDecimal(row.dipAngle);
        text += ',';
        appendPaddedPlain(text, twips(d.x));
        text += ',';
        text += formatOneDecimal(d.azimuth);
        text += ',';
        text += d.grade;
        text += kCrLf;
        if (text.size() >= kChunk) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    // The well's details after the dips, each on a line of its own.
    if (!w.well.empty())
        for (const WellDetailKey& d : kWellDetailKeys)
            text += std::string(d.key) + ",\"" + w.well.*d.member + "\"" + kCrLf;
    // Then the search's confidence of each dip, in the dips' order: an empty
    // text for a dip placed by hand. Work without found dips has none.
    if (anyConfidence(w)) {
        text += "CONFIDENCE," + std::to_string(rows.size()) + kCrLf;
        for (const DipWithReadings& row : rows)
            text += (row.dip->confidence ? std::to_string(*row.dip->confidence) : std::string("\"\"")) + kCrLf;
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return static_cast<bool>(out);
}

namespace {

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ProjectParser {
public:
    explicit ProjectParser(std::istream& in) : reader_(in) {}

    ProjectFile parse()
    {
        ProjectFile p;
        key("FILE");
        p.picture = text("FILE");
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
        DipScale scale;
        scale.kind = DipScaleKind(whole<std::int16_t>("DipScaleMode", 0, 4));
        key("MINDIP");
        scale.minDip = whole<std::int16_t>("MINDIP", INT16_MIN, INT16_MAX);
        key("MAXDIP");
        scale.maxDip = whole<std::int16_t>("MAXDIP", INT16_MIN, INT16_MAX);
        if (scale.kind == DipScaleKind::Custom) {
            key("NCUST");
            const int steps = whole<std::int16_t>("NCUST", 0, kMaxCustomSteps);
            for (int k = 0; k <= steps; ++k)
                scale.customSteps.push_back(pixels(number("custom dip-scale position " + std::to_string(k))));
        }
        p.work.scale = std::move(scale);
        key("NUMDEP");
        const int rows = whole<std::int16_t>("NUMDEP", 0, kMaxDepthRows);
        for (const char* h : {"DEPTH", "DEPTHTWIP", "MINDIPTWIP", "MAXDIPTWIP"})
            key(h);
        p.work.depthRows.reserve(static_cast<std::size_t>(rows));
        for (int i = 1; i <= rows; ++i) {
            const std::string row = " of depth row " + std::to_string(i);
            DepthRow r;
            r.depth = number("DEPTH" + row);
            r.y = pixels(number("DEPTHTWIP" + row));
            r.minDipX = pixels(number("MINDIPTWIP" + row));
            r.maxDipX = pixels(number("MAXDIPTWIP" + row));
            p.work.depthRows.push_back(r);
        }
        key("NumPoints");
        const int dips = whole<std::int16_t>("NumPoints", 0, kMaxDips);
        for (const char* h : {"Depth", "YPIX", "Dip", "DIPPIX", "Azimuth", "Quality"})
            key(h);
        for (int i = 1; i <= dips; ++i) {
            // Depth and dip are read again from the calibration wherever
            // they are needed; the file's are checked for their form only.
            const std::string row = " of dip row " + std::to_string(i);
            Dip d;
            reading("Depth" + row);
            d.y = pixels(number("YPIX" + row));
            reading("Dip" + row);
            d.x = pixels(number("DIPPIX" + row));
            d.azimuth = number("Azimuth" + row);
            d.grade = text("Quality" + row);
            p.work.dips.push_back(d);
        }
        wellDetails(p.work);
        return p;
    }

private:
    // The well's details, which files written before them do not have: keys
    // and quoted texts, each key at most once; then the dips' confidences,
    // which older files do not have either, to the end.
    void wellDetails(Work& work)
    {
        WellDetails& well = work.well;
        std::vector<WellDetailKey> left(kWellDetailKeys.begin(), kWellDetailKeys.end());
        while (auto keyField = reader_.next()) {
            if (!keyField->quoted && keyField->text == "CONFIDENCE") {
                confidences(work.dips);
                break;
            }
            const auto at = std::find_if(left.begin(), left.end(),
                                         [&](const WellDetailKey& d) { return keyField->text == d.key; });
            if (keyField->quoted || at == left.end())
                fail(keyField->line, "expected a well detail (WELL, COMP, FLD, LOC, PROV, SRVC, UWI or UNIT) after "
                                     "the dips, found \"" + keyField->text + "\".");
            const auto value = expect(at->key);
            if (!value.quoted)
                fail(value.line, std::string(at->key) + " must be text in double quotes, found " + value.text + ".");
            well.*at->member = value.text;
            left.erase(at);
        }
        if (!reader_.error().empty())
            throw ParseError(reader_.error());
        if (!wellDetailsWritable(well))
            fail(reader_.line(), "a well detail holds a line break, or UNIT is not \"M\", \"FT\" or empty.");
    }

    void confidences(DipList& dips)
    {
        const auto countField = expect("the number of confidences");
        const double count = number(countField, "the number of confidences");
        if (count != double(dips.size()))
            fail(countField.line, "CONFIDENCE must give one confidence for each of the " + std::to_string(dips.size())
                                      + " dips, found " + countField.text + ".");
        for (std::size_t i = 0; i < dips.size(); ++i) {
            const auto f = expect("the confidence of dip row " + std::to_string(i + 1));
            if (f.quoted && f.text.empty())
                continue;
            const double v = number(f, "the confidence of dip row " + std::to_string(i + 1));
            if (v < 0 || v > 100 || v != std::floor(v))
                fail(f.line, "a confidence is a whole number from 0 to 100, found " + f.text + ".");
            dips.at(i).confidence = int(v);
        }
        if (const auto more = reader_.next())
            fail(more->line, "nothing may follow the confidences, found \"" + more->text + "\".");
    }

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

}  // namespace

std::optional<ProjectFile> readProject(std::istream& in, std::string& error)
{
    try {
        ProjectParser parser(in);
        ProjectFile project = parser.parse();
        error.clear();
        return project;
    } catch (const ParseError& e) {
        error = e.what();
        return std::nullopt;
    }
}
