#include "detection/dot_search.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

#include <opencv2/imgproc.hpp>

#include "detection/scan_preparation.h"
#include "detection/tadpole_measure.h"

namespace dot_search {

namespace {

// The longest tail looked for beyond its dot's edge, in dot diameters.
constexpr double kLongestTail = 6.5;
// The smallest dot looked for, 5 pixels across, and its ink: on a noisy
// scan, smaller pieces are specks. There clumps of specks reach further, and
// a dot must be larger to be told from them.
constexpr double kSmallestDiameter = 5;
constexpr double kSmallestNoisyDiameter = 8;
constexpr int kSmallestDotArea = 16;
// The scan is studied in at most this many blocks of this many rows.
constexpr int kSampleBlocks = 16;
constexpr int kSampleRows = 256;

// On a noisy scan, a distance peak this much shallower than the deepest of
// its piece of ink is a thickening of a tail or a stroke, not the dot itself;
// two dots that touch are of a size. (On a clean scan no tail is thick
// enough to be looked at.)
constexpr double kThinnestDot = 0.75;

double depthOfPiece(const InkLayers& l, int x, int y)
{
    const int label = l.pieces.at<int>(y, x);
    return label > 0 ? l.pieceDepth[std::size_t(label)] : 0;
}

// Whether t lies on the tail of k: a thickening of a tail where it meets a
// line may read as a dot of its own, but no printed dot lies on another
// tadpole's tail.
bool onTailOf(const FoundTadpole& t, const FoundTadpole& k)
{
    if (!k.azimuth || k.evidence.alongLine)
        return false;
    const double a = *k.azimuth * std::numbers::pi / 180, ux = std::sin(a), uy = -std::cos(a);
    const double vx = t.x - k.x, vy = t.y - k.y;
    const double along = vx * ux + vy * uy, across = std::abs(-vx * uy + vy * ux);
    const double edge = k.diameter / 2, end = edge + k.evidence.tailLength * k.diameter;
    return along > edge && along < end && across < std::max(2.0, 0.3 * t.diameter);
}

}  // namespace

cv::Mat view(const GreyPicture& p, const Area& a)
{
    auto* first = const_cast<std::uint8_t*>(p.pixels + std::ptrdiff_t(a.top - p.top) * p.stride + (a.left - p.left));
    return cv::Mat(a.bottom - a.top, a.right - a.left, CV_8U, first, std::size_t(p.stride));
}

Area clipped(const GreyPicture& p, Area a)
{
    a.left = std::max(a.left, p.left);
    a.top = std::max(a.top, p.top);
    a.right = std::min(a.right, p.left + p.width);
    a.bottom = std::min(a.bottom, p.top + p.height);
    return a;
}

InkLimits inkLimits(const DetectionSettings& s, const ScanTraits& traits)
{
    InkLimits l;
    l.threshold = traits.threshold;
    l.maxDiameter = s.maxDiameter > 0 ? s.maxDiameter : kDefaultMaxDiameter;
    // Longer than the longest tail with its dot, so that no tail is taken for a line.
    l.shortestLine = std::max(48, int(8 * l.maxDiameter));
    l.inkContrast = traits.inkContrast;
    l.greyInsides = traits.despeckle || traits.levelPaper || traits.stretch > 1;
    if (traits.despeckle) {
        l.smallestPiece = kSmallestDotArea;
        l.lineFringe = 2;
        l.raggedness = 1.5;
    }
    return l;
}

int tailReach(const InkLimits& l) { return int(std::ceil(kLongestTail * l.maxDiameter)) + 8; }

double smallestDiameter(const ScanTraits& traits)
{
    return traits.despeckle ? kSmallestNoisyDiameter : kSmallestDiameter;
}

// A dot of 5 pixels centred on a pixel corner peaks at 2.
double smallestRadius(const DetectionSettings& s, const ScanTraits& traits)
{
    return s.maxDiameter > 0 ? std::max(1.95, 0.35 * s.minDiameter) : 0.39 * smallestDiameter(traits);
}

ScanTraits studyArea(const Area& area, const std::function<cv::Mat(const Area& block)>& block, double maxDiameter)
{
    std::vector<cv::Mat> samples;
    const int height = area.bottom - area.top;
    const int blocks = std::min(kSampleBlocks, (height + kSampleRows - 1) / kSampleRows);
    for (int i = 0; i < blocks; ++i) {
        const int top = std::max(area.top, area.top + int((long(height) - kSampleRows) * i / std::max(1, blocks - 1)));
        const Area part{area.left, top, area.right, std::min(area.bottom, top + kSampleRows)};
        if (!part.empty())
            samples.push_back(block(part));
    }
    return studyScan(samples, maxDiameter);
}

void searchArea(const GreyPicture& picture, const Area& area, const ScanTraits& traits, const InkLimits& limits,
                double smallestRadius, const std::function<bool(FoundTadpole&)>& want, InkLayers& layers,
                std::vector<FoundTadpole>& found)
{
    const int margin = tailReach(limits);
    const Area read = clipped(picture, {area.left - margin, area.top - margin, area.right + margin, area.bottom + margin});
    if (read.empty())
        return;
    const cv::Mat scanned = view(picture, read);
    const cv::Mat& band = prepareBand(scanned, traits, layers.prepared, layers.preparedScratch, &layers.thinPrepared);
    makeInkLayers(band, traits.despeckle ? layers.thinPrepared : cv::Mat(), limits, layers);
    cv::Mat& peaks = layers.peaks;
    cv::dilate(layers.dist, peaks, cv::getStructuringElement(cv::MORPH_RECT, {5, 5}));
    for (int y = area.top - read.top; y < area.bottom - read.top; ++y) {
        const float* dist = layers.dist.ptr<float>(y);
        const float* peak = peaks.ptr<float>(y);
        for (int x = area.left - read.left; x < area.right - read.left; ++x) {
            if (dist[x] < smallestRadius || dist[x] < peak[x]
                || (limits.smallestPiece > 0 && dist[x] < kThinnestDot * depthOfPiece(layers, x, y)))
                continue;
            auto t = measureTadpole(layers, x, y, limits);
            // On a noisy scan, the ring and edge of a dot are ragged, and its
            // shape may read as round only from a pixel beside the peak.
            for (int n = 0; !t && limits.smallestPiece > 0 && n < 4; ++n)
                t = measureTadpole(layers, x + (n == 0) - (n == 1), y + (n == 2) - (n == 3), limits);
            if (!t)
                continue;
            t->x += read.left;
            t->y += read.top;
            if (want(*t))
                found.push_back(*t);
        }
    }
}

std::vector<FoundTadpole> withoutRepeats(std::vector<FoundTadpole> found)
{
    // The same picks whichever thread searched which band first.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(b.confidence, a.y, a.x) < std::tie(a.confidence, b.y, b.x);
    });
    std::multimap<int, std::size_t> byRow;
    std::vector<FoundTadpole> kept;
    for (const FoundTadpole& t : found) {
        const double near = std::max(0.6 * t.diameter, kLongestTail * kDefaultMaxDiameter);
        bool repeat = false;
        const auto last = byRow.upper_bound(int(t.y + near) + 1);
        for (auto it = byRow.lower_bound(int(t.y - near) - 1); it != last && !repeat; ++it) {
            const FoundTadpole& k = kept[it->second];
            repeat = std::hypot(k.x - t.x, k.y - t.y) < std::max(0.6 * t.diameter, 0.6 * k.diameter) || onTailOf(t, k);
        }
        if (!repeat) {
            byRow.emplace(int(t.y), kept.size());
            kept.push_back(t);
        }
    }
    return kept;
}

// The most frequent diameter among the sure tadpoles, each counting by its
// ink, so that blots and bits of strokes, small and many on a noisy scan, do
// not outvote the printed dots.
double usualDiameter(const std::vector<FoundTadpole>& found, double smallest)
{
    std::map<int, double> votes;  // half-pixel bins
    for (const FoundTadpole& t : found)
        if (t.azimuth && t.confidence >= 0.5 && t.diameter >= smallest)
            for (int d = -1; d <= 1; ++d)
                votes[int(std::lround(2 * t.diameter)) + d] += (d == 0 ? 1 : 0.5) * t.diameter * t.diameter;
    if (votes.empty())
        return 0;
    const auto best = std::max_element(votes.begin(), votes.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return best->first / 2.0;
}

bool sizeFits(const FoundTadpole& t, const DetectionSettings& s, double usual)
{
    if (s.maxDiameter > 0)
        return t.diameter >= s.minDiameter - 0.75 && t.diameter <= s.maxDiameter + 0.75;
    return usual <= 0 || (t.diameter >= 0.7 * usual && t.diameter <= 1.4 * usual);
}

}  // namespace dot_search
