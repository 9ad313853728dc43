// Measures the search for a calibration on the synthetic logs of
// make_truth_logs, whose depth lines are printed every 100 rows from row
// 300, labelled 2000, 2010, ..., across a linear 0-90 dip track.
//
// usage: evaluate_calibration TRUTH.csv...
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
#include <fstream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "model/calibration.h"
#include "picture/log_picture.h"
#include "session/calibration_finder.h"
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

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: evaluate_calibration TRUTH.csv...\n");
        return 2;
    }
    std::printf("%-16s %-9s %5s %5s %5s %7s %6s %6s %6s %6s %7s %s\n", "log", "scale", "lines", "read", "agree",
                "covered", "err95", "errmax", "edges", "skew", "seconds", "");
    bool allMeet = true;
    for (int a = 1; a < argc; ++a) {
        TruthHeader truth;
        LogPicture picture;
        QString error;
        std::ifstream in(argv[a]);
        if (!readTruthHeader(in, argv[a], truth) || !picture.load(QString::fromStdString(truth.picture), error)) {
            std::fprintf(stderr, "evaluate_calibration: cannot read %s %s\n", argv[a], qPrintable(error));
            return 2;
        }
        const auto start = std::chrono::steady_clock::now();
        const QRect whole(0, 0, picture.width(), picture.height());
        const QRgb paper = picture.paperColour(whole);
        const GreyRows rows{0, 0, picture.width(), picture.height(),
                            [&](int left, int top, int width, int height, std::uint8_t* out, std::ptrdiff_t stride) {
                                picture.toInk(QRect(left, top, width, height), paper, out, stride);
                            }};
        const FoundCalibration found = findCalibration(rows);
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
