// Measures the tadpole search against the truth that make_truth_logs
// writes: for each log, recall, precision, the dip and azimuth errors
// (median and 95th percentile) and how often filled and hollow are told
// apart. With --check it fails when a log falls short of the required
// quality; with --misses it lists the tadpoles missed and the false finds.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "detection/tadpole_detector.h"
#include "picture/log_picture.h"

namespace {

struct Truth {
    double x, y;
    bool filled;
    double azimuth, dip;
};

struct Log {
    std::string picture;
    double left = 0, right = 0, top = 0, bottom = 0;
    std::vector<Truth> tadpoles;
};

bool readTruth(const std::string& path, Log& log)
{
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || line.rfind("# ", 0) != 0)
        return false;
    std::replace(line.begin(), line.end(), ',', ' ');
    std::istringstream head(line.substr(2));
    head >> log.picture >> log.left >> log.right >> log.top >> log.bottom;
    const auto slash = path.find_last_of('/');
    log.picture = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + log.picture;
    while (std::getline(in, line)) {
        Truth t{};
        int filled = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf,%d,%lf,%lf", &t.x, &t.y, &filled, &t.azimuth, &t.dip) == 5) {
            t.filled = filled != 0;
            log.tadpoles.push_back(t);
        }
    }
    return bool(head);
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

struct Figures {
    double recall = 0, precision = 0, dipMedian = 0, dip95 = 0, azimuthMedian = 0, azimuth95 = 0, fill = 0;
    bool meets() const
    {
        return recall >= 0.97 && precision >= 0.97 && dipMedian <= 0.3 && dip95 <= 1 && azimuthMedian <= 2
               && azimuth95 <= 5 && fill >= 0.98;
    }
};

Figures compare(const Log& log, const std::vector<FoundTadpole>& found, bool listMisses)
{
    struct Pair {
        double distance;
        std::size_t truth, found;
    };
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < log.tadpoles.size(); ++i)
        for (std::size_t j = 0; j < found.size(); ++j) {
            const double d = std::hypot(found[j].x - log.tadpoles[i].x, found[j].y - log.tadpoles[i].y);
            if (d <= 3)
                pairs.push_back({d, i, j});
        }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.distance < b.distance; });
    std::vector<bool> truthUsed(log.tadpoles.size()), foundUsed(found.size());
    std::vector<double> dipErrors, azimuthErrors;
    int fillRight = 0;
    for (const Pair& p : pairs) {
        if (truthUsed[p.truth] || foundUsed[p.found])
            continue;
        truthUsed[p.truth] = foundUsed[p.found] = true;
        const Truth& t = log.tadpoles[p.truth];
        const FoundTadpole& f = found[p.found];
        dipErrors.push_back(std::abs((f.x - log.left) * 90 / (log.right - log.left) - t.dip));
        const double turn = std::fmod(std::abs(f.azimuth.value_or(t.azimuth + 180) - t.azimuth), 360.0);
        azimuthErrors.push_back(std::min(turn, 360 - turn));
        fillRight += f.filled == t.filled ? 1 : 0;
    }
    if (listMisses) {
        for (std::size_t i = 0; i < truthUsed.size(); ++i)
            if (!truthUsed[i])
                std::printf("missed %.2f %.2f azimuth %.1f\n", log.tadpoles[i].x, log.tadpoles[i].y,
                            log.tadpoles[i].azimuth);
        for (std::size_t j = 0; j < foundUsed.size(); ++j)
            if (!foundUsed[j])
                std::printf("false %.2f %.2f diameter %.1f confidence %.2f\n", found[j].x, found[j].y,
                            found[j].diameter, found[j].confidence);
    }
    Figures r;
    const double matched = double(dipErrors.size());
    r.recall = log.tadpoles.empty() ? 1 : matched / double(log.tadpoles.size());
    r.precision = found.empty() ? 1 : matched / double(found.size());
    r.dipMedian = percentile(dipErrors, 0.5);
    r.dip95 = percentile(dipErrors, 0.95);
    r.azimuthMedian = percentile(azimuthErrors, 0.5);
    r.azimuth95 = percentile(azimuthErrors, 0.95);
    r.fill = matched > 0 ? fillRight / matched : 1;
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bool check = false, listMisses = false;
    std::vector<std::string> truths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check")
            check = true;
        else if (arg == "--misses")
            listMisses = true;
        else
            truths.push_back(arg);
    }
    if (truths.empty()) {
        std::fprintf(stderr, "usage: evaluate_detection [--check] [--misses] TRUTH.csv...\n");
        return 2;
    }
    std::printf("%-28s %6s %6s %7s %7s %6s %6s %6s %6s %7s %7s\n", "log", "truth", "found", "recall", "precis",
                "dip50", "dip95", "az50", "az95", "filled", "seconds");
    bool allMeet = true;
    for (const std::string& path : truths) {
        Log log;
        LogPicture picture;
        QString error;
        if (!readTruth(path, log) || !picture.load(QString::fromStdString(log.picture), error)) {
            std::fprintf(stderr, "evaluate_detection: cannot read %s %s\n", path.c_str(), qPrintable(error));
            return 2;
        }
        const auto start = std::chrono::steady_clock::now();
        GreyCopy grey = blankGreyCopy(0, 0, picture.width(), picture.height());
        picture.toGrey(QRect(0, 0, picture.width(), picture.height()), grey.pixels.data(), picture.width());
        const std::vector<TrackStretch> track{{log.top, log.bottom, log.left, log.right, log.left, log.right}};
        const std::vector<FoundTadpole> found = findTadpoles(grey.picture, track, DetectionSettings{});
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const Figures f = compare(log, found, listMisses);

        allMeet = allMeet && f.meets();
        std::printf("%-28s %6zu %6zu %6.1f%% %6.1f%% %6.2f %6.2f %6.2f %6.2f %6.1f%% %7.2f%s\n",
                    path.substr(path.find_last_of('/') + 1).c_str(), log.tadpoles.size(), found.size(),
                    100 * f.recall, 100 * f.precision, f.dipMedian, f.dip95, f.azimuthMedian, f.azimuth95,
                    100 * f.fill, seconds, f.meets() ? "" : "  short of the required quality");
    }
    return check && !allMeet ? 1 : 0;
}
