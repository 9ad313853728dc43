#include "detection/project_track.h"

std::vector<TrackStretch> calibratedTrack(const Work& work)
{
    std::vector<TrackStretch> track;
    for (std::size_t i = 1; i < work.depthRows.size(); ++i) {
        const DepthRow& a = work.depthRows[i - 1];
        const DepthRow& b = work.depthRows[i];
        track.push_back({a.y, b.y, a.minDipX, a.maxDipX, b.minDipX, b.maxDipX});
    }
    return track;
}

std::vector<Proposal> proposalsFrom(const std::vector<FoundTadpole>& found, const Work& work)
{
    std::vector<Proposal> proposals;
    for (const FoundTadpole& t : found) {
        if (!t.azimuth)
            continue;
        const Proposal p{t.x, t.y, t.diameter / 2, t.filled, *t.azimuth, t.confidence, true};
        if (!dipNear(work, p.x, p.y, p.radius))
            proposals.push_back(p);
    }
    return proposals;
}
