#include "core/work_edits.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

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
        const double steps = roundHalfEven((double(e.maxDip) - e.minDip) / 10);
        if (e.mode == 4)
            require(steps >= 0 && steps <= kMaxCustomSteps, "custom dip scale of more than 10 steps");
        s.DipScaleDefined = true;
        s.DipScaleMode = e.mode;
        s.MINDIP = e.minDip;
        s.MAXDIP = e.maxDip;
        awaitStep(s, Step::DepthLine);
        if (e.mode == 4) {
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

    void operator()(const AddFoundDips& e) const
    {
        require(s.NumPoints >= 0 && std::size_t(s.NumPoints) + e.dips.size() <= std::size_t(kMaxDips),
                "dip table full");
        for (const DipPoint& d : e.dips)
            s.dips[++s.NumPoints] = d;
    }

    void operator()(const StartDip& e) const
    {
        require(s.NumPoints >= 0 && s.NumPoints < kMaxDips, "dip table full");
        ++s.NumPoints;
        // Azimuth and grade come with the second press; a reused row drops its old ones.
        s.dips[s.NumPoints] = DipPoint{e.depth, e.y, e.dip, e.x, 0, ""};
        s.interaction.AwaitingAzimuth = true;
        s.interaction.PendingRow = s.NumPoints;
    }

    void operator()(const FinishDip& e) const
    {
        require(e.row >= 1 && e.row <= s.NumPoints && s.NumPoints <= kMaxDips, "no dip awaiting its azimuth");
        s.dips[e.row].Azimuth = e.azimuth;
        s.dips[e.row].Quality = e.quality;
        s.interaction.AwaitingAzimuth = false;
    }

    void operator()(const EraseDips& e) const
    {
        require(s.NumPoints >= 0 && s.NumPoints <= kMaxDips, "dip table count out of range");
        const auto& rows = std::as_const(s.dips);
        std::vector<bool> erased(std::size_t(s.NumPoints) + 1);
        for (int i = 1; i <= s.NumPoints; ++i)
            erased[std::size_t(i)] = rows[i].YPIX >= e.top && rows[i].YPIX <= e.bottom;
        followPending(erased);
        int kept = 0;
        for (int i = 1; i <= s.NumPoints; ++i) {
            if (erased[std::size_t(i)])
                continue;
            ++kept;
            if (kept != i)
                s.dips[kept] = rows[i];
        }
        closeUp(kept);
        for (int i = 1; i <= kept; ++i) {
            const Reading dip = getdip(s, rows[i].DIPPIX, rows[i].YPIX);
            const Reading depth = getdepth(s, rows[i].YPIX);
            if (!(dip == rows[i].Dip && depth == rows[i].Depth)) {
                s.dips[i].Dip = dip;
                s.dips[i].Depth = depth;
            }
        }
    }

    void operator()(const DeleteDip& e) const
    {
        require(e.row >= 1 && e.row <= s.NumPoints && s.NumPoints <= kMaxDips, "no such dip");
        std::vector<bool> gone(std::size_t(s.NumPoints) + 1);
        gone[std::size_t(e.row)] = true;
        followPending(gone);
        for (int i = e.row; i < s.NumPoints; ++i)
            s.dips[i] = std::as_const(s.dips)[i + 1];
        closeUp(s.NumPoints - 1);
    }

    void operator()(const SwitchGrid&) const { s.GridReady = true; }

    // The dip awaiting its tail, followed as rows leave the table (gone, by
    // row number): it closes up with the others, or goes with its row.
    void followPending(const std::vector<bool>& gone) const
    {
        PictureInteraction& in = s.interaction;
        if (!in.AwaitingAzimuth || in.PendingRow < 1 || std::size_t(in.PendingRow) >= gone.size())
            return;
        if (gone[std::size_t(in.PendingRow)]) {
            in.AwaitingAzimuth = false;
            return;
        }
        in.PendingRow -= static_cast<int>(std::count(gone.begin(), gone.begin() + in.PendingRow, true));
    }

    // The table ends at row count; the rows given up lose their positions.
    void closeUp(int count) const
    {
        for (int i = count + 1; i <= s.NumPoints; ++i)
            if (std::as_const(s.dips)[i].YPIX != 0 || std::as_const(s.dips)[i].DIPPIX != 0)
                s.dips[i].YPIX = s.dips[i].DIPPIX = 0;
        s.NumPoints = static_cast<std::int16_t>(count);
    }
};

}  // namespace

void applyEdit(ProjectState& state, const WorkEdit& edit)
{
    std::visit(Apply{state}, edit);
}
