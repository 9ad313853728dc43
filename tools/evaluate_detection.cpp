// Measures the tadpole search against the truth that make_truth_logs
// writes: for each log, recall, precision, the dip and azimuth errors
// (median and 95th percentile) and how often filled and hollow are told
// apart, at the default "at least sure" of 50 %; and recall and precision
// of the proposals at least 90 % sure. A log without tadpoles gives its false
// proposals per 10,000 rows. With --check it fails when a log falls short of
// the required quality: the logs after --spoiled are held to that of spoiled
// scans. With --misses it lists the tadpoles missed and the false finds;
// with --traits what the search learned of each scan; with --evidence FILE
// it writes the evidence of every tadpole found, true or not.
//
// Under each log go its figures where failures hide: recall and the azimuth
// error's 95th percentile for the tails in each 45-degree sector round the
// compass (N is 0 degrees, NE 45, ...), for filled and hollow dots, and for
// dots on a line of the track and off one. --required holds these groups to
// their standard too (a group of fewer than 5 tadpoles is not judged).
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <QGuiApplication>

#include "detection/tadpole_detector.h"
#include "picture/log_picture.h"
#include "truth_header.h"

namespace {

struct Truth {
    double x, y;
    bool filled;
    double azimuth, dip;
    bool onLine;
};

struct Log {
    std::string picture;
    double left = 0, right = 0, top = 0, bottom = 0;
    std::vector<Truth> tadpoles;
};

bool readTruth(const std::string& path, Log& log)
{
    std::ifstream in(path);
    TruthHeader head;
    if (!readTruthHeader(in, path, head))
        return false;
    log.picture = head.picture;
    log.left = head.left;
    log.right = head.right;
    log.top = head.top;
    log.bottom = head.bottom;
    std::string line;
    while (std::getline(in, line)) {
        Truth t{};
        int filled = 0, onLine = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf,%d,%lf,%lf,%d", &t.x, &t.y, &filled, &t.azimuth, &t.dip, &onLine) >= 5) {
            t.filled = filled != 0;
            t.onLine = onLine != 0;
            log.tadpoles.push_back(t);
        }
    }
    return true;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size() - 1) + 0.5))];
}

// The groups of a log's tadpoles that failures hide in.
constexpr int kSectors = 8;
enum Group { kFilled = kSectors, kHollow, kOnLine, kOffLine, kGroups };
const char* const kGroupNames[kGroups] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW", "filled", "hollow", "line", "off"};

std::vector<int> groupsOf(const Truth& t)
{
    const int sector = int(std::floor(std::fmod(t.azimuth + 22.5 + 360, 360.0) / 45)) % kSectors;
    return {sector, t.filled ? kFilled : kHollow, t.onLine ? kOnLine : kOffLine};
}

struct GroupFigures {
    int truth = 0, matched = 0;
    std::vector<double> azimuthErrors;
    double recall() const { return truth > 0 ? double(matched) / truth : 1; }
};

struct Figures {
    double recall = 0, precision = 0, dipMedian = 0, dip95 = 0, azimuthMedian = 0, azimuth95 = 0, fill = 0;
    double recall90 = 0, precision90 = 0;
    double falsePer10000Rows = 0;  // of a log without tadpoles
    std::array<GroupFigures, kGroups> groups;
    // Each group of 5 tadpoles or more: recall at least 90 %, and on lines
    // the azimuth error's 95th percentile within the log's own.
    bool groupsMeet(bool spoiled) const
    {
        for (int g = 0; g < kGroups; ++g) {
            const GroupFigures& f = groups[std::size_t(g)];
            if (f.truth < 5)
                continue;
            if (f.recall() < 0.9)
                return false;
            if (g == kOnLine && percentile(f.azimuthErrors, 0.95) > (spoiled ? 8 : 5))
                return false;
        }
        return true;
    }
    bool meets(bool spoiled, bool empty) const
    {
        if (empty)
            return falsePer10000Rows <= 1;
        const bool sure = precision90 >= 0.99;
        if (spoiled)
            return sure && recall >= 0.95 && precision >= 0.95 && dip95 <= 1 && azimuth95 <= 8 && fill >= 0.95;
        return sure && recall >= 0.97 && precision >= 0.97 && dipMedian <= 0.3 && dip95 <= 1 && azimuthMedian <= 2
               && azimuth95 <= 5 && fill >= 0.98;
    }
};

constexpr double kDefaultConfidence = 0.5;  // the panel's "at least sure" at first


struct Pair {
    double distance;
    std::size_t truth, found;
};

// The found tadpoles each paired with the nearest true one within 3
// pixels, nearest pairs first, each used once.
std::vector<Pair> pairsOf(const Log& log, const std::vector<FoundTadpole>& found)
{
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < log.tadpoles.size(); ++i)
        for (std::size_t j = 0; j < found.size(); ++j) {
            const double d = std::hypot(found[j].x - log.tadpoles[i].x, found[j].y - log.tadpoles[i].y);
            if (d <= 3)
                pairs.push_back({d, i, j});
        }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.distance < b.distance; });
    std::vector<bool> truthUsed(log.tadpoles.size()), foundUsed(found.size());
    std::vector<Pair> kept;
    for (const Pair& p : pairs)
        if (!truthUsed[p.truth] && !foundUsed[p.found]) {
            truthUsed[p.truth] = foundUsed[p.found] = true;
            kept.push_back(p);
        }
    return kept;
}

// An azimuth this far off is listed with the misses: a tail read wrong.
constexpr double kWrongAzimuth = 20;

// The line of a tadpole's evidence.
std::string evidenceOf(const FoundTadpole& f)
{
    const TadpoleEvidence& e = f.evidence;
    char line[200];
    std::snprintf(line, sizeof line,
                  "diameter %.1f confidence %.2f (round %.2f contrast %.2f tail %.2f straight %.2f width %.2f ink %.2f "
                  "clutter %.3f%s%s%s)",
                  f.diameter, f.confidence, e.roundness, e.contrast, e.tailLength, e.straightness, e.tailWidth,
                  e.tailInk, e.clutter, e.doubtful ? " doubtful" : "", e.alongLine ? " along a line" : "",
                  e.endless ? " endless" : "");
    return line;
}

// The figures of the found tadpoles; with listMisses, the tadpoles missed
// (with what was found of them below the confidence, from all) and the
// false finds.
Figures compareAt(const Log& log, const std::vector<FoundTadpole>& found, bool listMisses,
                  const std::vector<FoundTadpole>& all = {})
{
    std::vector<bool> truthUsed(log.tadpoles.size()), foundUsed(found.size());
    std::vector<double> dipErrors, azimuthErrors;
    int fillRight = 0;
    Figures r;
    for (const Truth& t : log.tadpoles)
        for (int g : groupsOf(t))
            ++r.groups[std::size_t(g)].truth;
    for (const Pair& p : pairsOf(log, found)) {
        truthUsed[p.truth] = foundUsed[p.found] = true;
        const Truth& t = log.tadpoles[p.truth];
        const FoundTadpole& f = found[p.found];
        dipErrors.push_back(std::abs((f.x - log.left) * 90 / (log.right - log.left) - t.dip));
        const double turn = std::fmod(std::abs(f.azimuth.value_or(t.azimuth + 180) - t.azimuth), 360.0);
        azimuthErrors.push_back(std::min(turn, 360 - turn));
        for (int g : groupsOf(t)) {
            ++r.groups[std::size_t(g)].matched;
            r.groups[std::size_t(g)].azimuthErrors.push_back(azimuthErrors.back());
        }
        fillRight += f.filled == t.filled ? 1 : 0;
        if (listMisses && azimuthErrors.back() > kWrongAzimuth)
            std::printf("wrong %.2f %.2f azimuth %.1f read %.1f: %s\n", t.x, t.y, t.azimuth, f.azimuth.value_or(-1),
                        evidenceOf(f).c_str());
    }
    if (listMisses) {
        for (std::size_t i = 0; i < truthUsed.size(); ++i) {
            if (truthUsed[i])
                continue;
            const Truth& t = log.tadpoles[i];
            const auto near = std::find_if(all.begin(), all.end(), [&t](const FoundTadpole& f) {
                return std::hypot(f.x - t.x, f.y - t.y) <= 3;
            });
            std::printf("missed %.2f %.2f azimuth %.1f%s%s\n", t.x, t.y, t.azimuth, near == all.end() ? "" : ": ",
                        near == all.end() ? "" : evidenceOf(*near).c_str());
        }
        for (std::size_t j = 0; j < foundUsed.size(); ++j)
            if (!foundUsed[j])
                std::printf("false %.2f %.2f %s\n", found[j].x, found[j].y, evidenceOf(found[j]).c_str());
    }
    const double matched = double(dipErrors.size());
    r.recall = log.tadpoles.empty() ? 1 : matched / double(log.tadpoles.size());
    r.precision = found.empty() ? 1 : matched / double(found.size());
    r.dipMedian = percentile(dipErrors, 0.5);
    r.dip95 = percentile(dipErrors, 0.95);
    r.azimuthMedian = percentile(azimuthErrors, 0.5);
    r.azimuth95 = percentile(azimuthErrors, 0.95);
    r.fill = matched > 0 ? fillRight / matched : 1;
    r.falsePer10000Rows = (double(found.size()) - matched) * 10000 / std::max(1.0, log.bottom - log.top);
    return r;
}

std::vector<FoundTadpole> atLeast(const std::vector<FoundTadpole>& found, double confidence)
{
    std::vector<FoundTadpole> sure;
    std::copy_if(found.begin(), found.end(), std::back_inserter(sure),
                 [confidence](const FoundTadpole& t) { return t.confidence >= confidence; });
    return sure;
}

// The figures at the default confidence, and recall and precision at 90 %.
Figures compare(const Log& log, const std::vector<FoundTadpole>& found, bool listMisses)
{
    Figures r = compareAt(log, atLeast(found, kDefaultConfidence), listMisses, found);
    const Figures sure = compareAt(log, atLeast(found, 0.9), false);
    r.recall90 = sure.recall;
    r.precision90 = sure.precision;
    return r;
}

// One line for each tadpole found, whether it is true and its evidence:
// what the confidence is calibrated on (tools/fit_confidence).
void writeEvidence(std::ofstream& out, const std::string& name, const Log& log, const std::vector<FoundTadpole>& found)
{
    std::vector<bool> isTrue(found.size());
    for (const Pair& p : pairsOf(log, found))
        isTrue[p.found] = true;
    for (std::size_t j = 0; j < found.size(); ++j) {
        const TadpoleEvidence& e = found[j].evidence;
        out << name << ',' << (isTrue[j] ? 1 : 0) << ',' << e.roundness << ',' << e.contrast << ',' << e.tailLength
            << ',' << e.straightness << ',' << e.tailWidth << ',' << e.tailInk << ',' << e.clutter << ','
            << (e.doubtful ? 1 : 0) << ',' << (e.alongLine ? 1 : 0) << ',' << (e.endless ? 1 : 0) << ','
            << found[j].confidence << '\n';
    }
}

// Two lines under a log: each group's recall, and its azimuth error's 95th
// percentile; "-" for a group without tadpoles.
void printGroups(const Figures& f)
{
    std::string recall = "    recall %", azimuth = "    az95 deg";
    char cell[32];
    for (int g = 0; g < kGroups; ++g) {
        const GroupFigures& group = f.groups[std::size_t(g)];
        const bool none = group.truth == 0;
        std::snprintf(cell, sizeof cell, " %s %s", kGroupNames[g], none ? "-" : "");
        recall += cell;
        azimuth += cell;
        if (none)
            continue;
        std::snprintf(cell, sizeof cell, "%.1f", 100 * group.recall());
        recall += cell;
        std::snprintf(cell, sizeof cell, "%.1f", percentile(group.azimuthErrors, 0.95));
        azimuth += cell;
    }
    std::printf("%s\n%s\n", recall.c_str(), azimuth.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bool check = false, required = false, listMisses = false, spoiled = false, traits = false;
    std::ofstream evidence;
    std::vector<std::pair<std::string, bool>> truths;  // and whether spoiled
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--check")
            check = true;
        else if (arg == "--required")
            check = required = true;
        else if (arg == "--misses")
            listMisses = true;
        else if (arg == "--spoiled")
            spoiled = true;
        else if (arg == "--traits")
            traits = true;
        else if (arg == "--evidence" && i + 1 < argc)
            evidence.open(argv[++i]);
        else
            truths.emplace_back(arg, spoiled);
    }
    if (truths.empty()) {
        std::fprintf(stderr, "usage: evaluate_detection [--check] [--misses] TRUTH.csv... [--spoiled TRUTH.csv...]\n");
        return 2;
    }
    std::printf("%-22s %6s %6s %7s %7s %6s %6s %6s %6s %7s %7s %7s %7s\n", "log", "truth", "found", "recall", "precis",
                "dip50", "dip95", "az50", "az95", "filled", "rec90", "prec90", "seconds");
    bool allMeet = true;
    for (const auto& [path, isSpoiled] : truths) {
        Log log;
        LogPicture picture;
        QString error;
        if (!readTruth(path, log) || !picture.load(QString::fromStdString(log.picture), error)) {
            std::fprintf(stderr, "evaluate_detection: cannot read %s %s\n", path.c_str(), qPrintable(error));
            return 2;
        }
        const auto start = std::chrono::steady_clock::now();
        GreyCopy grey = blankGreyCopy(0, 0, picture.width(), picture.height());
        const QRect whole(0, 0, picture.width(), picture.height());
        const QRect trackArea(int(log.left), int(log.top), int(log.right - log.left), int(log.bottom - log.top));
        picture.toInk(whole, picture.paperColour(trackArea), grey.pixels.data(), picture.width());
        const std::vector<TrackStretch> track{{log.top, log.bottom, log.left, log.right, log.left, log.right}};
        DetectionSettings everything;
        everything.minConfidence = 0;
        const FoundTadpoles search = findTadpoles(grey.picture, track, everything);
        const std::vector<FoundTadpole>& found = search.tadpoles;
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const Figures f = compare(log, found, listMisses);
        if (evidence.is_open())
            writeEvidence(evidence, path.substr(path.find_last_of('/') + 1), log, found);
        const bool empty = log.tadpoles.empty();
        const bool meets = f.meets(isSpoiled, empty) && (!required || empty || f.groupsMeet(isSpoiled));
        allMeet = allMeet && meets;
        const std::string name = path.substr(path.find_last_of('/') + 1);
        if (empty)
            std::printf("%-22s %6zu %6zu   false proposals: %.2f per 10,000 rows %33.2f%s\n", name.c_str(),
                        log.tadpoles.size(), atLeast(found, kDefaultConfidence).size(), f.falsePer10000Rows, seconds,
                        meets ? "" : "  short of the required quality");
        else
            std::printf("%-22s %6zu %6zu %6.1f%% %6.1f%% %6.2f %6.2f %6.2f %6.2f %6.1f%% %6.1f%% %6.1f%% %7.2f%s\n",
                        name.c_str(), log.tadpoles.size(), atLeast(found, kDefaultConfidence).size(), 100 * f.recall,
                        100 * f.precision, f.dipMedian, f.dip95, f.azimuthMedian, f.azimuth95, 100 * f.fill,
                        100 * f.recall90, 100 * f.precision90, seconds, meets ? "" : "  short of the required quality");
        if (!empty)
            printGroups(f);
        if (traits)
            std::printf("%22s dots %.1f px%s, noise %.2f %%%s%s\n", "", search.context.dotDiameter,
                        search.context.dotDiameterEstimated ? " (estimated)" : "", 100 * search.context.traits.noise,
                        search.context.traits.levelPaper ? ", paper levelled" : "",
                        search.context.traits.despeckle ? ", despeckled" : "");
    }
    return check && !allMeet ? 1 : 0;
}
