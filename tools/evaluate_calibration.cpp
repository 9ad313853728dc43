// Measures the search for a calibration on the synthetic logs of
// make_truth_logs, whose depth lines are printed every 100 rows from row
// 300, labelled 2000, 2010, ..., across a linear 0-90 dip track.
//
// usage: evaluate_calibration TRUTH.csv... [NAME-lines.csv...]
// A NAME-lines.csv file names a labelled log of make_labelled_logs (or one
// drawn elsewhere in its form), measured against its own lines: the scale
// found, the share of its printed lines calibrated, and each line's depth
// error in rows at the 95th percentile; a log whose calibration is refused
// counts as refused, not as wrong.
// Prints, for each log: the scale found, the lines, labels read and
// agreeing, the share of the printed span calibrated, each printed line's
// error (rows from where the found calibration puts its depth) at the 95th
// percentile and at worst, the track's edges' worst error, the skew, and
// the seconds. Exits 1 when a log
// falls short: a wrong scale, under 95 % calibrated, or a line beyond 2 px
// (95th percentile) or 5 px.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "model/calibration.h"
#include "picture/log_picture.h"
#include "session/calibration_finder.h"
#include "session/tadpole_search.h"
#include "truth_header.h"

namespace {

constexpr double kFirstLine = 300, kLineStep = 100, kFirstDepth = 2000, kDepthStep = 10;

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

// The row at which the found rows put a depth: linear between the two rows
// around it; NaN outside them.
double rowOfDepth(const std::vector<DepthRow>& rows, double depth)
{
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const DepthRow &a = rows[i - 1], &b = rows[i];
        if ((depth - a.depth) * (depth - b.depth) <= 0 && a.depth != b.depth)
            return a.y + (b.y - a.y) * (depth - a.depth) / (b.depth - a.depth);
    }
    return std::nan("");
}

const char* kindName(DipScaleKind kind)
{
    switch (kind) {
    case DipScaleKind::Linear: return "linear";
    case DipScaleKind::Sine: return "sine";
    case DipScaleKind::Standard60: return "0-20-60";
    case DipScaleKind::Standard50: return "0-20-50";
    default: return "custom";
    }
}

// The whole picture as the window and the batch read it.
GreyRows wholeOf(const LogPicture& picture)
{
    const QRect whole(0, 0, picture.width(), picture.height());
    return inkRows(picture, picture.paperColour(whole), whole);
}

// The depth the found rows give a row: linear between the two rows round
// it; NaN outside them.
double depthOfRow(const std::vector<DepthRow>& rows, double y)
{
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i - 1].y <= y && y <= rows[i].y && rows[i].y > rows[i - 1].y)
            return rows[i - 1].depth + (rows[i].depth - rows[i - 1].depth) * (y - rows[i - 1].y) / (rows[i].y - rows[i - 1].y);
    return std::nan("");
}

// A labelled log against its lines. False when it is calibrated wrong;
// refused counts the logs whose calibration was refused.
bool measureLabelled(const std::string& linesPath, int& refused)
{
    const std::string base = linesPath.substr(0, linesPath.size() - std::string("-lines.csv").size());
    std::string picturePath;
    for (const char* extension : {".png", ".jpg", ".tif", ".bmp"})
        if (std::filesystem::exists(base + extension))
            picturePath = base + extension;
    std::ifstream in(linesPath), scaleIn(base + "-scale.txt");
    std::string line, scaleName;
    std::getline(in, line);
    struct Truth {
        double row, depth;
    };
    std::vector<Truth> truth;
    while (std::getline(in, line)) {
        Truth t{};
        if (std::sscanf(line.c_str(), "%lf,%lf", &t.row, &t.depth) == 2)
            truth.push_back(t);
    }
    scaleIn >> scaleName;
    LogPicture picture;
    QString error;
    const std::string name = base.substr(base.find_last_of('/') + 1);
    if (truth.size() < 2 || !picture.load(QString::fromStdString(picturePath), error)) {
        std::printf("%-24s cannot be read %s\n", name.c_str(), qPrintable(error));
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    const FoundCalibration found = findCalibration(wholeOf(picture));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!found.failure.empty()) {
        ++refused;
        std::printf("%-24s refused: %s (%.2f s)\n", name.c_str(), found.failure.c_str(), seconds);
        return true;
    }
    const double spacing = (truth.back().row - truth.front().row) / double(truth.size() - 1);
    const double step = (truth.back().depth - truth.front().depth) / double(truth.size() - 1);
    std::vector<double> errors;
    for (const Truth& t : truth)
        if (const double depth = depthOfRow(found.calibration.rows, t.row); !std::isnan(depth))
            errors.push_back(std::abs(depth - t.depth) / std::abs(step) * spacing);
    const std::string kind = found.calibration.scale ? kindName(found.calibration.scale->kind) : "-";
    const std::map<std::string, std::string> kinds{{"linear", "linear"}, {"sine", "sine"}, {"std0", "0-20-60"}, {"std3", "0-20-50"}};
    // A scale taken as linear for want of a grid is told, not wrong.
    const bool scaleRight = found.scaleAssumed || (kinds.count(scaleName) && kinds.at(scaleName) == kind);
    const double share = double(errors.size()) / double(truth.size());
    const double e95 = percentile(errors, 0.95);
    const bool meets = scaleRight && share >= 0.95 && e95 <= 2;
    std::printf("%-24s %-9s %5zu %5d %5d %6.1f%% %6.2f %6.2f %7.2f %s\n", name.c_str(),
                (found.scaleAssumed ? std::string("assumed") : kind + (scaleRight ? "" : "!")).c_str(), found.calibration.rows.size(), found.labelsRead,
                found.labelsAgreeing, 100 * share, e95, found.skewDegrees, seconds, meets ? "" : "WRONG");
    return meets;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: evaluate_calibration TRUTH.csv...\n");
        return 2;
    }
    bool allMeet = true;
    std::vector<std::string> labelled;
    for (int a = 1; a < argc; ++a)
        if (std::string(argv[a]).ends_with("-lines.csv"))
            labelled.push_back(argv[a]);
    if (!labelled.empty()) {
        std::printf("%-24s %-9s %5s %5s %5s %7s %6s %6s %7s\n", "log", "scale", "rows", "read", "agree", "covered",
                    "err95", "skew", "seconds");
        int refused = 0, wrong = 0;
        for (const std::string& path : labelled)
            wrong += measureLabelled(path, refused) ? 0 : 1;
        std::printf("%zu labelled logs: %zu calibrated right, %d refused, %d wrong\n", labelled.size(),
                    labelled.size() - std::size_t(refused) - std::size_t(wrong), refused, wrong);
        allMeet = wrong == 0;
    }
    if (std::size_t(argc - 1) > labelled.size())
        std::printf("%-16s %-9s %5s %5s %5s %7s %6s %6s %6s %6s %7s %s\n", "log", "scale", "lines", "read", "agree",
                    "covered", "err95", "errmax", "edges", "skew", "seconds", "");
    for (int a = 1; a < argc; ++a) {
        if (std::string(argv[a]).ends_with("-lines.csv"))
            continue;
        TruthHeader truth;
        LogPicture picture;
        QString error;
        std::ifstream in(argv[a]);
        if (!readTruthHeader(in, argv[a], truth) || !picture.load(QString::fromStdString(truth.picture), error)) {
            std::fprintf(stderr, "evaluate_calibration: cannot read %s %s\n", argv[a], qPrintable(error));
            return 2;
        }
        const auto start = std::chrono::steady_clock::now();
        const FoundCalibration found = findCalibration(wholeOf(picture));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::string name = std::string(argv[a]).substr(std::string(argv[a]).find_last_of('/') + 1);
        if (!found.failure.empty()) {
            std::printf("%-16s failed: %s (%.2f s)\n", name.c_str(), found.failure.c_str(), seconds);
            allMeet = false;
            continue;
        }
        const std::vector<DepthRow>& r = found.calibration.rows;
        std::vector<double> errors;
        int printed = 0, covered = 0;
        for (double y = kFirstLine; y <= truth.bottom + 0.5; y += kLineStep, ++printed) {
            const double depth = kFirstDepth + kDepthStep * (y - kFirstLine) / kLineStep;
            const double at = rowOfDepth(r, depth);
            if (std::isnan(at))
                continue;
            ++covered;
            // The truth's line is drawn 2 px wide on rows y - 1 and y: its middle is y.
            errors.push_back(std::abs(at - y));
        }
        const bool linear = !found.scaleAssumed && found.calibration.scale && found.calibration.scale->kind == DipScaleKind::Linear
                            && found.calibration.scale->minDip == 0 && found.calibration.scale->maxDip == 90;
        const double share = printed > 1 ? double(std::max(0, covered - 1)) / (printed - 1) : 0;
        const double e95 = percentile(errors, 0.95), emax = errors.empty() ? 99 : *std::max_element(errors.begin(), errors.end());
        // The track's edges, drawn 2 px wide from column left - 1: their middle is left.
        double edges = 0;
        for (const DepthRow& row : r)
            edges = std::max({edges, std::abs(row.minDipX - truth.left), std::abs(row.maxDipX - truth.right)});
        const bool meets = linear && share >= 0.95 && e95 <= 2 && emax <= 5 && edges <= 2;
        allMeet = allMeet && meets;
        std::printf("%-16s %-9s %5zu %5d %5d %6.1f%% %6.2f %6.2f %6.2f %6.2f %7.2f %s\n", name.c_str(),
                    found.scaleAssumed ? "assumed" : found.calibration.scale ? kindName(found.calibration.scale->kind) : "-",
                    r.size(), found.labelsRead, found.labelsAgreeing, 100 * share, e95, emax, edges, found.skewDegrees,
                    seconds, meets ? "" : "short of the required quality");
        for (const FoundCalibration::Misread& m : found.disagreeing)
            std::printf("    label at row %.1f read \"%s\", %g fits\n", m.y, m.read.c_str(), m.fits);
    }
    return allMeet ? 0 : 1;
}
