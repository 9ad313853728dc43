#include "detection/tadpole_detector.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <numbers>
#include <mutex>
#include <thread>
#include <tuple>

#include <opencv2/imgproc.hpp>

#include "detection/ink_layers.h"
#include "detection/scan_traits.h"
#include "detection/tadpole_measure.h"

namespace {

constexpr int kBandRows = 1024;
// The scan is studied in at most this many blocks of this many rows.
constexpr int kSampleBlocks = 16;
constexpr int kSampleRows = 256;
constexpr double kLargestAutoDiameter = 17;
// The longest tail looked for beyond its dot's edge, in dot diameters.
constexpr double kLongestTail = 6.5;
// The smallest dot looked for, 5 pixels across, and its ink: on a noisy
// scan, smaller pieces are specks. There clumps of specks reach further, and
// a dot must be larger to be told from them.
constexpr double kSmallestDiameter = 5;
constexpr double kSmallestNoisyDiameter = 8;
constexpr int kSmallestDotArea = 16;

struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom excluded
    bool empty() const { return right <= left || bottom <= top; }
};

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

InkLimits limitsFor(const DetectionSettings& s, int threshold)
{
    InkLimits l;
    l.threshold = threshold;
    l.maxDiameter = s.maxDiameter > 0 ? s.maxDiameter : kLargestAutoDiameter;
    // Longer than the longest tail with its dot, so that no tail is taken for a line.
    l.shortestLine = std::max(48, int(8 * l.maxDiameter));
    return l;
}

// How far beyond a dot's centre its tail may reach.
int tailReach(const InkLimits& l) { return int(std::ceil(6.5 * l.maxDiameter)) + 8; }

bool onTrack(const std::vector<TrackStretch>& track, double x, double y)
{
    for (const TrackStretch& s : track) {
        if (y < s.top || y > s.bottom || s.bottom <= s.top)
            continue;
        const double f = (y - s.top) / (s.bottom - s.top);
        const double a = s.leftTop + (s.leftBottom - s.leftTop) * f;
        const double b = s.rightTop + (s.rightBottom - s.rightTop) * f;
        if (x >= std::min(a, b) && x <= std::max(a, b))
            return true;
    }
    return false;
}

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

// Every dot measured in the area of the picture, read with its surroundings
// out to the longest tail; want says which centres to keep.
template <typename Want>
void searchArea(const GreyPicture& picture, const Area& area, const ScanTraits& traits, const InkLimits& limits,
                double smallestRadius, Want want, InkLayers& layers, std::vector<FoundTadpole>& found)
{
    const int margin = tailReach(limits);
    const Area read = clipped(picture, {area.left - margin, area.top - margin, area.right + margin, area.bottom + margin});
    if (read.empty())
        return;
    makeInkLayers(prepareBand(view(picture, read), traits, layers.prepared, layers.preparedScratch), limits, layers);
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

// One tadpole for each dot: a plateau of the distance peak gives several,
// and a dot is no bit of a surer tadpole's tail.
std::vector<FoundTadpole> withoutRepeats(std::vector<FoundTadpole> found)
{
    // The same picks whichever thread searched which band first.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(b.confidence, a.y, a.x) < std::tie(a.confidence, b.y, b.x);
    });
    std::multimap<int, std::size_t> byRow;
    std::vector<FoundTadpole> kept;
    for (const FoundTadpole& t : found) {
        const double near = std::max(0.6 * t.diameter, kLongestTail * kLargestAutoDiameter);
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

// The dots' usual diameter: the most frequent among the sure tadpoles, each
// counting by its ink, so that blots and bits of strokes, small and many on
// a noisy scan, do not outvote the printed dots. None is smaller than the
// smallest dot looked for.
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

// The least distance peak to measure: a dot of 5 pixels centred on a pixel
// corner peaks at 2.
double smallestRadius(const DetectionSettings& s, double smallestDiameter = kSmallestDiameter)
{
    return s.maxDiameter > 0 ? std::max(1.95, 0.35 * s.minDiameter) : 0.39 * smallestDiameter;
}

}  // namespace

int searchMargin(const DetectionSettings& settings) { return tailReach(limitsFor(settings, 128)); }

GreyCopy blankGreyCopy(int left, int top, int width, int height)
{
    GreyCopy copy;
    width = std::max(width, 0);
    height = std::max(height, 0);
    copy.pixels.resize(std::size_t(width) * std::size_t(height));
    copy.picture = {copy.pixels.data(), width, height, width, left, top};
    return copy;
}

namespace {

// Where the search takes the grey pixels of an area from: a picture held
// whole, or a buffer of the thread's own that is filled for the area.
using AreaPixels = std::function<GreyPicture(const Area& area, std::vector<std::uint8_t>& buffer)>;

FoundTadpoles findIn(const GreyPicture& extent, const AreaPixels& pixels,
                                 const std::vector<TrackStretch>& track, const DetectionSettings& settings,
                                 const DetectionProgress& progress, bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (extent.width <= 0 || extent.height <= 0 || track.empty())
        return {};
    Area region{extent.left + extent.width, extent.top + extent.height, extent.left, extent.top};
    for (const TrackStretch& s : track) {
        const auto [low, high] = std::minmax({s.leftTop, s.leftBottom, s.rightTop, s.rightBottom});
        region.left = std::min(region.left, int(std::floor(low)));
        region.right = std::max(region.right, int(std::ceil(high)) + 1);
        region.top = std::min(region.top, int(std::floor(s.top)));
        region.bottom = std::max(region.bottom, int(std::ceil(s.bottom)) + 1);
    }
    region = clipped(extent, region);
    if (region.empty())
        return {};

    // The scan's traits from blocks of the track spread down the log.
    std::vector<cv::Mat> samples;
    std::vector<std::uint8_t> blockBuffer;
    const int height = region.bottom - region.top;
    const int blocks = std::min(kSampleBlocks, (height + kSampleRows - 1) / kSampleRows);
    for (int i = 0; i < blocks; ++i) {
        const int top = region.top + int((long(height) - kSampleRows) * i / std::max(1, blocks - 1));
        const Area block = clipped(extent, {region.left, std::max(region.top, top), region.right,
                                            std::min(region.bottom, std::max(region.top, top) + kSampleRows)});
        if (!block.empty())
            samples.push_back(view(pixels(block, blockBuffer), block).clone());
    }
    const ScanTraits traits = studyScan(samples, limitsFor(settings, 128).maxDiameter);
    InkLimits limits = limitsFor(settings, traits.threshold);
    limits.inkContrast = traits.inkContrast;
    if (traits.despeckle) {
        limits.smallestPiece = kSmallestDotArea;
        limits.lineFringe = 2;
        limits.raggedness = 1.5;
    }
    const double smallestDiameter = traits.despeckle ? kSmallestNoisyDiameter : kSmallestDiameter;
    const double smallest = smallestRadius(settings, smallestDiameter);
    const int margin = tailReach(limits);

    const int bands = (region.bottom - region.top + kBandRows - 1) / kBandRows;
    std::atomic<int> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<FoundTadpole> found;
    auto work = [&] {
        std::vector<FoundTadpole> mine;
        InkLayers layers;
        std::vector<std::uint8_t> buffer;
        for (int b; !stop && (b = next++) < bands;) {
            const int top = region.top + b * kBandRows;
            const Area band{region.left, top, region.right, std::min(region.bottom, top + kBandRows)};
            // What the search of the band reads: the band and its margin.
            const Area read =
                clipped(extent, {band.left - margin, band.top - margin, band.right + margin, band.bottom + margin});
            searchArea(pixels(read, buffer), band, traits, limits, smallest,
                       [&](const FoundTadpole& t) { return onTrack(track, t.x, t.y); }, layers, mine);
            const std::lock_guard<std::mutex> guard(lock);
            if (progress && !stop && !progress(double(++done) / bands))
                stop = true;
        }
        const std::lock_guard<std::mutex> guard(lock);
        found.insert(found.end(), mine.begin(), mine.end());
    };
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, std::min(bands, 8));
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
    if (stop) {
        if (cancelled)
            *cancelled = true;
        return {};
    }

    // Sizes first: a smaller blot on a line beside a dot must not hide it.
    FoundTadpoles result;
    const double usual = settings.maxDiameter > 0 ? 0 : usualDiameter(withoutRepeats(found), smallestDiameter);
    std::erase_if(found, [&](const FoundTadpole& t) {
        return !t.azimuth || t.confidence < settings.minConfidence || !sizeFits(t, settings, usual)
               || (settings.maxDiameter <= 0 && t.diameter < smallestDiameter - 0.5);
    });
    result.tadpoles = withoutRepeats(std::move(found));
    result.dotDiameterEstimated = settings.maxDiameter <= 0;
    result.dotDiameter = result.dotDiameterEstimated ? usual : (settings.minDiameter + settings.maxDiameter) / 2;
    result.noise = traits.noise;
    result.despeckled = traits.despeckle;
    result.paperLevelled = traits.levelPaper;
    return result;
}

}  // namespace

FoundTadpoles findTadpoles(const GreyPicture& picture, const std::vector<TrackStretch>& track,
                           const DetectionSettings& settings, const DetectionProgress& progress, bool* cancelled)
{
    if (!picture.pixels) {
        if (cancelled)
            *cancelled = false;
        return {};
    }
    return findIn(picture, [&picture](const Area&, std::vector<std::uint8_t>&) { return picture; }, track, settings,
                  progress, cancelled);
}

FoundTadpoles findTadpoles(const GreyRows& picture, const std::vector<TrackStretch>& track,
                           const DetectionSettings& settings, const DetectionProgress& progress, bool* cancelled)
{
    const GreyPicture extent{nullptr, picture.width, picture.height, 0, picture.left, picture.top};
    const auto fill = [&picture](const Area& area, std::vector<std::uint8_t>& buffer) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        buffer.resize(std::size_t(width) * std::size_t(height));
        picture.fill(area.left, area.top, width, height, buffer.data(), width);
        return GreyPicture{buffer.data(), width, height, width, area.left, area.top};
    };
    return findIn(extent, fill, track, settings, progress, cancelled);
}

std::optional<FoundTadpole> tadpoleNear(const GreyPicture& picture, double x, double y, double reach,
                                        const DetectionSettings& settings)
{
    if (!picture.pixels || !(reach >= 0))
        return std::nullopt;
    const InkLimits limits = limitsFor(settings, 128);
    const int around = int(std::ceil(reach + limits.maxDiameter / 2)) + 1;
    const Area area = clipped(picture, {int(std::floor(x)) - around, int(std::floor(y)) - around,
                                        int(std::floor(x)) + around + 1, int(std::floor(y)) + around + 1});
    if (area.empty())
        return std::nullopt;
    std::vector<FoundTadpole> found;
    InkLayers layers;
    searchArea(picture, area, ScanTraits{}, limits, smallestRadius(settings), [](const FoundTadpole&) { return true; },
               layers, found);
    std::optional<FoundTadpole> nearest;
    double nearestDistance = 0;
    for (const FoundTadpole& t : withoutRepeats(found)) {
        const double d = std::hypot(t.x - x, t.y - y);
        // A dot without a tail to read is a dot for a press still, when it
        // is round and as dark as ink.
        const bool dot = t.evidence.roundness >= 0.5 && t.evidence.contrast >= 0.5;
        if (d > reach + t.diameter / 2 || !sizeFits(t, settings, 0) || !dot)
            continue;
        if (!nearest || d < nearestDistance) {
            nearest = t;
            nearestDistance = d;
        }
    }
    return nearest;
}
