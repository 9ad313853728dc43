#include "core/work_edits.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/dipdigitize.h"
#include "core/number_format.h"

namespace {

void require(bool condition, const char* what)
{
    if (!condition)
        throw std::out_of_range(what);
}

// The depth-row steps of the calibration sequence; the custom clicks are
// set apart by the two edits that start and end them.
enum class Step { None, DepthLine, MinDip, MaxDip };

void awaitStep(ProjectState& s, Step step)
{
    s.AwaitDepthLine = step == Step::DepthLine;
    s.AwaitMinDipClick = step == Step::MinDip;
    s.AwaitMaxDipClick = step == Step::MaxDip;
}

// The row being entered: the newest, while its dip-scale clicks are awaited.
bool rowBeingEntered(const ProjectState& s) { return s.AwaitMinDipClick || s.AwaitMaxDipClick; }

struct Apply {
    ProjectState& s;

    void operator()(const DefineDipScale& e) const
    {
        s.DipScaleDefined = true;
        s.DipScaleMode = e.mode;
        s.MINDIP = e.minDip;
        s.MAXDIP = e.maxDip;
        awaitStep(s, Step::DepthLine);
        if (e.mode == 4) {
            const double steps = roundHalfEven((double(e.maxDip) - e.minDip) / 10);
            require(steps >= 0 && steps <= kMaxCustomSteps, "custom dip scale of more than 10 steps");
            awaitStep(s, Step::None);
            s.AwaitCustomClick = true;
            s.NCUST = static_cast<std::int16_t>(steps);
            s.CustomClicks = 0;
        }
    }

    void operator()(const RecordCustomPosition& e) const
    {
        require(s.CustomClicks >= 0 && s.CustomClicks <= kMaxCustomSteps, "custom dip-scale positions full");
        s.CustomDipTwip[s.CustomClicks] = e.x;
        ++s.CustomClicks;
        if (s.CustomClicks == s.NCUST + 1) {
            s.AwaitCustomClick = false;
            awaitStep(s, Step::DepthLine);
        }
    }

    void operator()(const PlaceDepthLine& e) const
    {
        require(s.NUMDEP >= 0 && s.NUMDEP < kMaxDepthRows, "depth table full");
        ++s.NUMDEP;
        s.GridReady = false;
        // A row left behind by a delete may hold old ends: the new line has none yet.
        s.depths[s.NUMDEP] = {0, std::min(e.y, double(s.IMAGEHEIGHT) * s.TwipsPerPixelY), 0, 0};
    }

    void operator()(const WithdrawDepthLine& e) const
    {
        require(s.NUMDEP >= 1 && s.NUMDEP <= kMaxDepthRows, "no depth line to withdraw");
        s.depths[s.NUMDEP] = {};
        --s.NUMDEP;
        s.GridReady = e.gridReady;
    }

    void operator()(const EnterDepth& e) const
    {
        require(s.NUMDEP >= 1 && s.NUMDEP <= kMaxDepthRows, "no depth line awaiting its depth");
        s.depths[s.NUMDEP].DEPTH = e.depth;
        awaitStep(s, Step::MinDip);
        s.GridReady = false;
    }

    void operator()(const SetMinDipPosition& e) const
    {
        require(s.NUMDEP >= 1 && s.NUMDEP <= kMaxDepthRows, "no depth row being entered");
        s.depths[s.NUMDEP].MINDIPTWIP = e.x;
        s.GridReady = false;
        awaitStep(s, Step::MaxDip);
    }

    void operator()(const CompleteDepthRow& e) const
    {
        require(s.NUMDEP >= 1 && s.NUMDEP <= kMaxDepthRows, "no depth row being entered");
        s.depths[s.NUMDEP].MAXDIPTWIP = e.x;
        s.GridReady = true;
        if (s.NUMDEP > 1)
            sortdepths(s);
        awaitStep(s, Step::DepthLine);
    }

    void operator()(const DeleteDepthRows& e) const
    {
        require(s.NUMDEP >= 0 && s.NUMDEP <= kMaxDepthRows, "depth table count out of range");
        int entering = rowBeingEntered(s) ? s.NUMDEP : 0;
        bool enteringDeleted = false;
        // The row that closes up into place i is not looked at in this press.
        for (int i = 1; i <= s.NUMDEP; ++i) {
            if (!(std::abs(s.depths[i].DEPTHTWIP - e.y) <= 100))
                continue;
            if (i == entering)
                enteringDeleted = true;
            else if (i < entering)
                --entering;
            for (int j = i; j < s.NUMDEP; ++j)
                s.depths[j] = s.depths[j + 1];
            --s.NUMDEP;
        }
        // Its dip-scale clicks would otherwise land on a complete row.
        if (enteringDeleted)
            awaitStep(s, Step::DepthLine);
    }

    void operator()(const SetMark& e) const
    {
        std::int32_t* marks[] = {&s.HeaderTop, &s.HeaderBottom, &s.FooterTop,
                                 &s.FooterBottom, &s.LeftEdge, &s.RightEdge};
        *marks[static_cast<int>(e.mark)] = e.value;
    }

    void operator()(const StartDip& e) const
    {
        require(s.NumPoints >= 0 && s.NumPoints < kMaxDips, "dip table full");
        ++s.NumPoints;
        if (s.NumPoints == 1)
            s.FirstDipAdded = true;
        // Azimuth and grade come with the second press; a reused row drops its old ones.
        s.dips[s.NumPoints] = DipPoint{e.depth, e.y, e.dip, e.x, 0, ""};
    }

    void operator()(const FinishDip& e) const
    {
        require(e.row >= 1 && e.row <= s.NumPoints && s.NumPoints <= kMaxDips, "no dip awaiting its azimuth");
        s.dips[e.row].Azimuth = e.azimuth;
        s.dips[e.row].Quality = e.quality;
    }

    void operator()(const EraseDips& e) const
    {
        require(s.NumPoints >= 0 && s.NumPoints <= kMaxDips, "dip table count out of range");
        int kept = 0;
        for (int i = 1; i <= s.NumPoints; ++i) {
            const DipPoint& d = s.dips[i];
            if (d.YPIX >= e.top && d.YPIX <= e.bottom)
                continue;
            ++kept;
            if (kept != i)
                s.dips[kept] = d;
        }
        for (int i = kept + 1; i <= s.NumPoints; ++i)
            s.dips[i].YPIX = s.dips[i].DIPPIX = 0;
        s.NumPoints = static_cast<std::int16_t>(kept);
        for (int i = 1; i <= kept; ++i) {
            DipPoint& d = s.dips[i];
            d.Dip = getdip(s, d.DIPPIX, d.YPIX);
            d.Depth = getdepth(s, d.YPIX);
        }
    }
};

}  // namespace

void applyEdit(ProjectState& state, const WorkEdit& edit)
{
    std::visit(Apply{state}, edit);
    state.ProjectChanged = true;
}
