#include "session/calibration_finder.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "detection/depth_labels.h"
#include "detection/log_layout.h"
#include "model/number_format.h"
#include "model/printed_depths.h"
#include "model/median.h"
#include "ocr/number_reader.h"

namespace {

struct Label {
    std::size_t line = 0;
    std::string text;
    std::optional<double> depth;
};

std::string rowsText(const std::vector<double>& rows)
{
    std::string text;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == 4) {
            text += ", ...";
            break;
        }
        text += (i == 0 ? "" : i + 1 == rows.size() ? " and " : ", ") + formatPlain(std::round(rows[i]));
    }
    return text;
}

// The depth rows of the lines counted, the missed ones placed between their
// neighbours.
std::vector<DepthRow> countedRows(const std::vector<FoundDepthLine>& lines, const LineCount& count,
                                  const PrintedDepths& depths, std::vector<FoundCalibration::Missed>& missed)
{
    std::vector<DepthRow> rows;
    std::map<int, const FoundDepthLine*> byPlace;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (count.place[i]) {
            byPlace[*count.place[i]] = &lines[i];
            rows.push_back({depths.depthAt(*count.place[i]), lines[i].y, lines[i].minDipX, lines[i].maxDipX});
        }
    for (const LineCount::Missing& m : count.missing) {
        const auto after = byPlace.upper_bound(m.place), before = std::prev(after);
        const double share = double(m.place - before->first) / double(after->first - before->first);
        const auto between = [share](double a, double b) { return a + (b - a) * share; };
        rows.push_back({depths.depthAt(m.place), m.y, between(before->second->minDipX, after->second->minDipX),
                        between(before->second->maxDipX, after->second->maxDipX)});
        missed.push_back({m.y, rows.back().depth});
    }
    std::sort(rows.begin(), rows.end(), [](const DepthRow& a, const DepthRow& b) { return a.y < b.y; });
    return rows;
}

}  // namespace

std::string missedLinesNote(const std::vector<FoundCalibration::Missed>& missed)
{
    if (missed.empty())
        return {};
    std::vector<double> rows;
    for (const FoundCalibration::Missed& m : missed)
        rows.push_back(m.y);
    return std::to_string(missed.size()) + (missed.size() == 1 ? " printed line was" : " printed lines were")
           + " not found and " + (missed.size() == 1 ? "was" : "were") + " placed from the spacing: near row"
           + (missed.size() == 1 ? " " : "s ") + rowsText(rows) + ".";
}

FoundCalibration findCalibration(const GreyRows& picture, const DetectionProgress& progress, bool* cancelled)
{
    FoundCalibration found;
    bool stopped = false;
    const FoundLayout layout =
        findLayout(picture, [&](double done) { return !progress || progress(0.6 * done); }, &stopped);
    if (cancelled)
        *cancelled = stopped;
    if (stopped)
        return found;
    found.skewDegrees = layout.skewDegrees;
    if (!layout.failure.empty()) {
        found.failure = layout.failure;
        return found;
    }
    const std::vector<FoundDepthLine>& lines = layout.lines;
    std::vector<double> lineRows;
    for (const FoundDepthLine& l : lines)
        lineRows.push_back(l.y);
    const LineCount count = countLines(lineRows);

    NumberReader reader;
    if (!reader.ready()) {
        found.failure = "The printed depths cannot be read: Tesseract's English data (tesseract-ocr-eng) is missing.";
        return found;
    }
    // The counted lines with text beside them, of which a spread is read first.
    std::vector<std::size_t> labelled;
    std::vector<std::vector<cv::Mat>> crops(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (count.place[i]) {
            crops[i] = depthLabel(picture, layout.traits, lines[i], count.spacing);
            if (!crops[i].empty())
                labelled.push_back(i);
        }
    std::vector<Label> labels;
    // A depth label is two digits or more (no other is looked for): a
    // single character read is a label mostly lost.
    const auto depthOf = [](const std::string& text) { return text.size() >= 2 ? numberOf(text) : std::nullopt; };
    const auto readLabel = [&](std::size_t i) {
        NumberReader::Reading r;
        for (std::size_t k = 0; k < crops[i].size() && !depthOf(r.text); ++k)
            r = reader.read(crops[i][k]);
        labels.push_back({i, r.text, depthOf(r.text)});
    };
    // The order labels are read in: a dozen spread along the log, then 40,
    // then the rest, each once.
    std::vector<std::size_t> order;
    std::vector<bool> ordered(labelled.size());
    for (const std::size_t wanted : {kFirstLabels, kMoreLabels, labelled.size()}) {
        const std::size_t count = std::min(wanted, labelled.size());
        for (std::size_t k = 0; k < count; ++k)
            if (const std::size_t at = k * labelled.size() / count; !ordered[at]) {
                ordered[at] = true;
                order.push_back(labelled[at]);
            }
    }
    std::optional<PrintedDepths> depths;
    std::vector<LabelAtPlace> numbers;
    std::vector<std::size_t> numbered;  // the labels read as numbers, by place in labels
    const auto fit = [&] {
        numbers.clear();
        numbered.clear();
        for (std::size_t k = 0; k < labels.size(); ++k)
            if (const Label& l = labels[k]; l.depth) {
                numbers.push_back({*count.place[l.line], *l.depth});
                numbered.push_back(k);
            }
        depths = fitPrintedDepths(numbers);
    };
    // Reading stops early only where many agree, and two thirds of those
    // read at least: well clear of the half a calibration needs; or where
    // twice as many agree, more than half of those read.
    const auto settled = [&] {
        if (!depths)
            return false;
        const std::size_t agreeing = depths->agreeing();
        return (agreeing >= kAgreeingEnough && 3 * agreeing >= 2 * numbers.size())
               || (agreeing >= 2 * kAgreeingEnough && 2 * agreeing > numbers.size());
    };
    // The first dozen, then more a few at a time until enough agree.
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (progress && !progress(0.6 + 0.4 * double(k) / double(order.size()))) {
            if (cancelled)
                *cancelled = true;
            return {};
        }
        readLabel(order[k]);
        if ((k + 1 >= kFirstLabels && (k + 1 - kFirstLabels) % kLabelsBetweenFits == 0) || k + 1 == order.size()) {
            fit();
            if (settled())
                break;
        }
    }
    if (order.empty())
        fit();
    found.labelsLooked = int(labels.size());
    found.labelsRead = int(numbers.size());
    found.labelsAgreeing = depths ? int(depths->agreeing()) : 0;
    if (!depths) {
        found.failure = labels.empty() ? "No printed depths were found beside the depth lines."
                                       : "The depths printed beside the lines could not be read as round steps apart ("
                                             + std::to_string(labels.size()) + " labels looked at, "
                                             + std::to_string(numbers.size()) + " read as numbers).";
        return found;
    }
    for (std::size_t k = 0; k < numbers.size(); ++k)
        if (!depths->agrees[k])
            found.disagreeing.push_back({lines[labels[numbered[k]].line].y, labels[numbered[k]].text,
                                         depths->depthAt(numbers[k].place)});
    found.depthStep = depths->step;
    if (const std::string why = unsettledBy(numbers.size(), depths->agreeing()); !why.empty()) {
        found.failure = why + " " + std::to_string(labels.size()) + " labels were looked at.";
        return found;
    }
    if (const std::optional<MiscountedRun> run = miscountedRun(numbers, *depths)) {
        std::vector<double> at;
        for (std::size_t k = 0; k < numbers.size(); ++k)
            if (numbers[k].place == run->firstPlace || numbers[k].place == run->lastPlace)
                at.push_back(lines[labels[numbered[k]].line].y);
        found.failure = "The depths printed near rows " + rowsText(at) + " lie " + std::to_string(std::abs(run->stepsOff))
                        + (std::abs(run->stepsOff) == 1 ? " line" : " lines")
                        + " off the count of the lines: a depth line was missed or taken twice there.";
        return found;
    }

    found.calibration.rows = countedRows(lines, count, *depths, found.missed);
    std::vector<double> lefts, rights;
    for (const DepthRow& r : found.calibration.rows) {
        lefts.push_back(r.minDipX);
        rights.push_back(r.maxDipX);
    }
    found.scaleAssumed = !layout.scale;
    // The scale's numbers printed over its grid lines, as a scale of 0 to
    // 90 puts them: two read so confirm the limits the grid was matched
    // with. Other numbers read there are taken for misreadings.
    if (layout.scale) {
        const FoundDepthLine& first = lines.front();
        int confirmed = 0;
        for (int dip = 10; dip < 90 && confirmed < 2; dip += 10) {
            const double x = first.minDipX + (first.maxDipX - first.minDipX) * dipFraction(*layout.scale, dip);
            std::optional<double> number;
            for (const cv::Mat& printed : scaleNumber(picture, layout.traits, x, first.y))
                if (!number)
                    number = numberOf(reader.read(printed).text);
            confirmed += number && *number == dip ? 1 : 0;
        }
        found.limitsRead = confirmed >= 2;
    }
    found.calibration.scale = layout.scale ? *layout.scale : DipScale{DipScaleKind::Linear, 0, 90, {}};
    found.calibration.leftEdge = median(lefts);
    found.calibration.rightEdge = median(rights);
    if (progress)
        progress(1);
    return found;
}
