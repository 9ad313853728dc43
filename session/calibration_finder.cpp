#include "session/calibration_finder.h"

#include <algorithm>
#include <cmath>

#include "detection/depth_labels.h"
#include "detection/log_layout.h"
#include "model/depth_trend.h"
#include "model/median.h"
#include "ocr/number_reader.h"

namespace {

// A step of depth written as printed: three significant digits.
double printedStep(double step)
{
    if (!(step > 0))
        return 0;
    const double power = std::pow(10.0, std::floor(std::log10(step)) - 2);
    return power * std::round(step / power);
}

struct Label {
    std::size_t line = 0;
    std::string text;
    std::optional<double> depth;
};

}  // namespace

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
    std::vector<double> gaps;
    for (std::size_t i = 1; i < lines.size(); ++i)
        gaps.push_back(lines[i].y - lines[i - 1].y);
    const double spacing = median(gaps);

    NumberReader reader;
    if (!reader.ready()) {
        found.failure = "The printed depths cannot be read: Tesseract's English data (tesseract-ocr-eng) is missing.";
        return found;
    }
    // The lines with text beside them, of which a spread is read first.
    std::vector<std::size_t> labelled;
    std::vector<cv::Mat> crops(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        crops[i] = depthLabel(picture, layout.traits, lines[i], spacing);
        if (!crops[i].empty())
            labelled.push_back(i);
    }
    std::vector<Label> labels;
    std::vector<bool> read(lines.size());
    const auto readLabel = [&](std::size_t i) {
        if (read[i])
            return;
        read[i] = true;
        const NumberReader::Reading r = reader.read(crops[i]);
        labels.push_back({i, r.text, numberOf(r.text)});
    };
    // Labels spread along the log, each already read skipped.
    const auto readSpread = [&](std::size_t count) {
        count = std::min(count, labelled.size());
        for (std::size_t k = 0; k < count; ++k)
            readLabel(labelled[k * labelled.size() / count]);
    };

    const double tolerance = spacing / 4;
    std::optional<DepthTrend> trend;
    std::vector<DepthAtRow> points;
    std::vector<std::size_t> numbers;  // the labels read as numbers, by place in labels
    const auto fit = [&] {
        points.clear();
        numbers.clear();
        for (std::size_t k = 0; k < labels.size(); ++k)
            if (const Label& l = labels[k]; l.depth) {
                points.push_back({lines[l.line].y, *l.depth});
                numbers.push_back(k);
            }
        trend = fitDepthTrend(points, tolerance);
    };
    // Enough labels agree when most of those read do, and a good many.
    const auto settled = [&] {
        return trend && trend->agreeing() >= kAgreeingEnough && 4 * trend->agreeing() >= 3 * points.size();
    };
    readSpread(kFirstLabels);
    fit();
    if (!settled()) {
        readSpread(kMoreLabels);
        fit();
    }
    if (!settled()) {
        for (std::size_t k = 0; k < labelled.size(); ++k) {
            if (progress && !progress(0.6 + 0.4 * double(k) / double(labelled.size()))) {
                if (cancelled)
                    *cancelled = true;
                return {};
            }
            readLabel(labelled[k]);
        }
        fit();
    }
    found.labelsRead = int(points.size());
    found.labelsAgreeing = trend ? int(trend->agreeing()) : 0;
    if (!trend || trend->agreeing() < 2) {
        found.failure = "Fewer than two of the depths printed beside the lines could be read and agree ("
                        + std::to_string(labels.size()) + " labels looked at, " + std::to_string(points.size())
                        + " read as numbers).";
        return found;
    }

    // Each line's depth, written as finely as the labels and the step are.
    found.depthStep = printedStep(std::abs(trend->depthPerRow) * spacing);
    std::vector<double> written{found.depthStep};
    for (std::size_t k = 0; k < points.size(); ++k)
        if (trend->agrees[k])
            written.push_back(points[k].depth);
    const double unit = depthUnit(written);
    std::vector<double> lefts, rights;
    for (const FoundDepthLine& l : lines) {
        const double exact = trend->depthAt(l.y), depth = unit * std::round(exact / unit);
        // A rule between the printed lines falls between their depths.
        if (std::abs(exact - depth) > 0.25 * found.depthStep)
            continue;
        found.calibration.rows.push_back({depth, l.y, l.minDipX, l.maxDipX});
        lefts.push_back(l.minDipX);
        rights.push_back(l.maxDipX);
    }
    for (std::size_t k = 0; k < points.size(); ++k)
        if (!trend->agrees[k])
            found.disagreeing.push_back(
                {points[k].y, labels[numbers[k]].text, unit * std::round(trend->depthAt(points[k].y) / unit)});
    found.scaleAssumed = !layout.scale;
    found.calibration.scale = layout.scale ? *layout.scale : DipScale{DipScaleKind::Linear, 0, 90, {}};
    found.calibration.leftEdge = median(lefts);
    found.calibration.rightEdge = median(rights);
    if (progress)
        progress(1);
    return found;
}

