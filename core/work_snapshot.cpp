#include "core/work_snapshot.h"

#include "core/dipdigitize.h"

namespace {

// One list of the fields, for both directions.
template <typename From, typename To>
void copyWork(const From& f, To& t)
{
    t.DipScaleMode = f.DipScaleMode;
    t.MINDIP = f.MINDIP;
    t.MAXDIP = f.MAXDIP;
    t.DipScaleDefined = f.DipScaleDefined;
    t.NCUST = f.NCUST;
    t.CustomDipTwip = f.CustomDipTwip;
    t.CustomClicks = f.CustomClicks;
    t.NUMDEP = f.NUMDEP;
    t.depths = f.depths;
    t.NumPoints = f.NumPoints;
    t.dips = f.dips;
    t.HeaderTop = f.HeaderTop;
    t.HeaderBottom = f.HeaderBottom;
    t.FooterTop = f.FooterTop;
    t.FooterBottom = f.FooterBottom;
    t.LeftEdge = f.LeftEdge;
    t.RightEdge = f.RightEdge;
    t.AwaitDepthLine = f.AwaitDepthLine;
    t.AwaitMinDipClick = f.AwaitMinDipClick;
    t.AwaitMaxDipClick = f.AwaitMaxDipClick;
    t.AwaitCustomClick = f.AwaitCustomClick;
    t.GridReady = f.GridReady;
}

}  // namespace

WorkSnapshot takeSnapshot(const ProjectState& state)
{
    WorkSnapshot work;
    copyWork(state, work);
    work.AwaitingAzimuth = state.interaction.AwaitingAzimuth;
    work.PendingRow = state.interaction.PendingRow;
    return work;
}

void restoreSnapshot(ProjectState& state, const WorkSnapshot& work)
{
    copyWork(work, state);
    PictureInteraction& in = state.interaction;
    in.AwaitingAzimuth = work.AwaitingAzimuth;
    in.PendingRow = work.PendingRow;
    in.RubberColour = gradeColour(state, state.CurrentQuality).value_or(state.CurrentQualityColor);
    in.TailDrawn = false;
    in.TailEndX = in.PendingCentreX;
    in.TailEndY = in.PendingCentreY;
}
