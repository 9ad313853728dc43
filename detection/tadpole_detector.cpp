#include "detection/tadpole_detector.h"

#include <algorithm>
#include <cmath>

#include "detection/band_work.h"
#include "detection/dot_search.h"

using namespace band_work;
using namespace dot_search;

namespace {

constexpr int kBandRows = 1024;

// Whether the tadpole's centre lies on the track. A dot printed on the
// track's edge (a dip at the scale's end) is measured a little to either
// side of it: within half its radius outside, it is put on the edge. Where
// a depth line crosses the edge, the crossing can look like such a dot, so
// one found well outside is doubtful.
bool onTrack(const std::vector<TrackStretch>& track, FoundTadpole& t)
{
    for (const TrackStretch& s : track) {
        if (t.y < s.top || t.y > s.bottom || s.bottom <= s.top)
            continue;
        const double f = (t.y - s.top) / (s.bottom - s.top);
        const auto [a, b] = std::minmax({s.leftTop + (s.leftBottom - s.leftTop) * f,
                                         s.rightTop + (s.rightBottom - s.rightTop) * f});
        const double slack = t.diameter / 4;
        if (t.x >= a - slack && t.x <= b + slack) {
            const double onIt = std::clamp(t.x, a, b);
            if (std::abs(onIt - t.x) > 1 && !t.evidence.doubtful) {
                t.evidence.doubtful = true;
                t.confidence = confidenceOf(t.evidence);
            }
            t.x = onIt;
            return true;
        }
    }
    return false;
}

// The part of the picture the track covers.
Area trackArea(const GreyPicture& extent, const std::vector<TrackStretch>& track)
{
    Area region{extent.left + extent.width, extent.top + extent.height, extent.left, extent.top};
    for (const TrackStretch& s : track) {
        const auto [low, high] = std::minmax({s.leftTop, s.leftBottom, s.rightTop, s.rightBottom});
        region.left = std::min(region.left, int(std::floor(low)));
        region.right = std::max(region.right, int(std::ceil(high)) + 1);
        region.top = std::min(region.top, int(std::floor(s.top)));
        region.bottom = std::max(region.bottom, int(std::ceil(s.bottom)) + 1);
    }
    return clipped(extent, region);
}

ScanTraits studyTrackArea(const Area& region, const AreaPixels& pixels, const DetectionSettings& settings)
{
    std::vector<std::uint8_t> buffer;
    return studyArea(
        region, [&](const Area& block) { return view(pixels(block, buffer), block).clone(); },
        settings.maxDiameter > 0 ? settings.maxDiameter : kDefaultMaxDiameter);
}

FoundTadpoles findIn(const GreyPicture& extent, const AreaPixels& pixels, const std::vector<TrackStretch>& track,
                     const DetectionSettings& settings, const DetectionProgress& progress, bool* cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (extent.width <= 0 || extent.height <= 0 || track.empty())
        return {};
    const Area region = trackArea(extent, track);
    if (region.empty())
        return {};
    const ScanTraits traits = studyTrackArea(region, pixels, settings);
    const InkLimits limits = inkLimits(settings, traits);
    const double smallest = smallestRadius(settings, traits);
    const int margin = tailReach(limits);
    // Bands widened by a quarter of the largest dot: a dot on the track's
    // edge may peak just outside it.
    const int beside = int(std::ceil(limits.maxDiameter / 4));

    struct Worker {
        std::vector<FoundTadpole> found;
        InkLayers layers;
        std::vector<std::uint8_t> buffer;
    };
    std::vector<Worker> workers(kMostWorkers);
    const bool finished = forEachBand(region, kBandRows, [&](int worker, const Area& rows) {
        Worker& w = workers[std::size_t(worker)];
        const Area band = clipped(extent, {rows.left - beside, rows.top, rows.right + beside, rows.bottom});
        // What the search of the band reads: the band and its margin.
        const Area read =
            clipped(extent, {band.left - margin, band.top - margin, band.right + margin, band.bottom + margin});
        searchArea(pixels(read, w.buffer), band, traits, limits, smallest,
                   [&](FoundTadpole& t) { return onTrack(track, t); }, w.layers, w.found);
    }, progress);
    if (!finished) {
        if (cancelled)
            *cancelled = true;
        return {};
    }
    std::vector<FoundTadpole> found;
    for (const Worker& w : workers)
        found.insert(found.end(), w.found.begin(), w.found.end());

    // Sizes first: a smaller blot on a line beside a dot must not hide it.
    FoundTadpoles result;
    ScanContext& context = result.context;
    context.traits = traits;
    context.dotDiameterEstimated = settings.maxDiameter <= 0;
    const double least = smallestDiameter(traits);
    const double usual = context.dotDiameterEstimated ? usualDiameter(withoutRepeats(found), least) : 0;
    context.dotDiameter = context.dotDiameterEstimated ? usual : (settings.minDiameter + settings.maxDiameter) / 2;
    std::erase_if(found, [&](const FoundTadpole& t) {
        return !t.azimuth || t.confidence < settings.minConfidence || !sizeFits(t, settings, usual)
               || (context.dotDiameterEstimated && t.diameter < least - 0.5);
    });
    result.tadpoles = withoutRepeats(std::move(found));
    return result;
}

}  // namespace

int searchMargin(const DetectionSettings& settings) { return tailReach(inkLimits(settings, ScanTraits{})); }

int snapMargin(const DetectionSettings& settings)
{
    const InkLimits limits = inkLimits(settings, ScanTraits{});
    return std::max(tailReach(limits), limits.shortestLine) + int(std::ceil(limits.maxDiameter));
}

GreyCopy blankGreyCopy(int left, int top, int width, int height)
{
    GreyCopy copy;
    width = std::max(width, 0);
    height = std::max(height, 0);
    copy.pixels.resize(std::size_t(width) * std::size_t(height));
    copy.picture = {copy.pixels.data(), width, height, width, left, top};
    return copy;
}

FoundTadpoles findTadpoles(const GreyPicture& picture, const std::vector<TrackStretch>& track,
                           const DetectionSettings& settings, const DetectionProgress& progress, bool* cancelled)
{
    if (!picture.pixels) {
        if (cancelled)
            *cancelled = false;
        return {};
    }
    return findIn(picture, wholePicture(picture), track, settings, progress, cancelled);
}

FoundTadpoles findTadpoles(const GreyRows& picture, const std::vector<TrackStretch>& track,
                           const DetectionSettings& settings, const DetectionProgress& progress, bool* cancelled)
{
    const GreyPicture extent{nullptr, picture.width, picture.height, 0, picture.left, picture.top};
    return findIn(extent, filledPicture(picture), track, settings, progress, cancelled);
}

ScanContext studyTrack(const GreyRows& picture, const std::vector<TrackStretch>& track,
                       const DetectionSettings& settings)
{
    const GreyPicture extent{nullptr, picture.width, picture.height, 0, picture.left, picture.top};
    const Area region = trackArea(extent, track);
    ScanContext context;
    if (!region.empty())
        context.traits = studyTrackArea(region, filledPicture(picture), settings);
    if (settings.maxDiameter > 0)
        context.dotDiameter = (settings.minDiameter + settings.maxDiameter) / 2;
    return context;
}

std::optional<FoundTadpole> tadpoleNear(const GreyPicture& picture, double x, double y, double reach,
                                        const DetectionSettings& settings, const ScanContext& context)
{
    if (!picture.pixels || !(reach >= 0))
        return std::nullopt;
    const InkLimits limits = inkLimits(settings, context.traits);
    const int around = int(std::ceil(reach + limits.maxDiameter / 2)) + 1;
    const Area area = clipped(picture, {int(std::floor(x)) - around, int(std::floor(y)) - around,
                                        int(std::floor(x)) + around + 1, int(std::floor(y)) + around + 1});
    if (area.empty())
        return std::nullopt;
    std::vector<FoundTadpole> found;
    InkLayers layers;
    searchArea(picture, area, context.traits, limits, smallestRadius(settings, context.traits),
               [](const FoundTadpole&) { return true; }, layers, found);
    // The usual size of the search, where it is known: a blot on a line
    // beside a dot must not be taken for it.
    const double usual = settings.maxDiameter > 0 ? 0 : context.dotDiameter;
    std::optional<FoundTadpole> nearest;
    double nearestDistance = 0;
    for (const FoundTadpole& t : withoutRepeats(found)) {
        const double d = std::hypot(t.x - x, t.y - y);
        // A dot without a tail to read is a dot for a press still, when it
        // is round and as dark as ink.
        const bool dot = t.evidence.roundness >= 0.5 && t.evidence.contrast >= 0.5;
        if (d > reach + t.diameter / 2 || !sizeFits(t, settings, usual) || !dot)
            continue;
        if (!nearest || d < nearestDistance) {
            nearest = t;
            nearestDistance = d;
        }
    }
    return nearest;
}
