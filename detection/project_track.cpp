#include "detection/project_track.h"

#include "core/dipdigitize.h"

std::vector<TrackStretch> calibratedTrack(const ProjectState& state)
{
    std::vector<TrackStretch> track;
    const double tx = state.TwipsPerPixelX, ty = state.TwipsPerPixelY;
    if (!(tx > 0 && ty > 0))
        return track;
    const int rows = completeDepthRows(state);
    for (int i = 1; i < rows; ++i) {
        const DepthCalibrationPoint& a = state.depths[i];
        const DepthCalibrationPoint& b = state.depths[i + 1];
        track.push_back({a.DEPTHTWIP / ty, b.DEPTHTWIP / ty, a.MINDIPTWIP / tx, a.MAXDIPTWIP / tx, b.MINDIPTWIP / tx,
                         b.MAXDIPTWIP / tx});
    }
    return track;
}

std::vector<Proposal> proposalsFrom(const std::vector<FoundTadpole>& found, const ProjectState& state)
{
    std::vector<Proposal> proposals;
    const double tx = state.TwipsPerPixelX, ty = state.TwipsPerPixelY;
    for (const FoundTadpole& t : found) {
        if (!t.azimuth)
            continue;
        const Proposal p{t.x * tx, t.y * ty, t.diameter / 2 * tx, t.filled, *t.azimuth, t.confidence, true};
        if (!dipNear(state, p.x, p.y, p.radius))
            proposals.push_back(p);
    }
    return proposals;
}
