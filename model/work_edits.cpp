#include "model/work_edits.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <type_traits>

#include "model/heap_sort.h"

namespace {

void require(bool condition, const char* what)
{
    if (!condition)
        throw std::out_of_range(what);
}

void requireWhole(const DipScale& scale)
{
    if (scale.kind == DipScaleKind::Custom)
        require(!scale.customSteps.empty() && scale.customSteps.size() <= kMaxCustomSteps + 1,
                "a custom dip scale of 1 to 11 positions");
}

void sortByRow(std::vector<DepthRow>& rows)
{
    heapSort(rows, [](const DepthRow& a, const DepthRow& b) { return a.y < b.y; });
}

struct Apply {
    Work& w;

    void operator()(const SetDipScale& e) const
    {
        requireWhole(e.scale);
        w.scale = e.scale;
    }

    void operator()(const SetCalibration& e) const
    {
        if (e.scale)
            requireWhole(*e.scale);
        require(e.rows.size() <= std::size_t(kMaxDepthRows), "depth table full");
        w.scale = e.scale;
        w.depthRows = e.rows;
        sortByRow(w.depthRows);
        w.marks[std::size_t(Mark::LeftEdge)] = e.leftEdge;
        w.marks[std::size_t(Mark::RightEdge)] = e.rightEdge;
    }

    void operator()(const AddDepthRows& e) const
    {
        require(w.depthRows.size() + e.rows.size() <= std::size_t(kMaxDepthRows), "depth table full");
        w.depthRows.insert(w.depthRows.end(), e.rows.begin(), e.rows.end());
        sortByRow(w.depthRows);
    }

    void operator()(const DeleteDepthRows& e) const
    {
        std::vector<bool> gone(w.depthRows.size());
        for (std::size_t r : e.rows) {
            require(r < gone.size(), "no such depth row");
            gone[r] = true;
        }
        std::size_t i = 0;
        std::erase_if(w.depthRows, [&](const DepthRow&) { return gone[i++]; });
    }

    void operator()(const SetMark& e) const { w.marks[std::size_t(e.mark)] = e.value; }

    void operator()(const AddDips& e) const
    {
        require(w.dips.size() + e.dips.size() <= std::size_t(kMaxDips), "dip table full");
        for (const Dip& d : e.dips)
            w.dips.push_back(d);
    }

    void operator()(const EraseDips& e) const
    {
        w.dips.keepIf([&](const Dip& d) { return !(d.y >= e.top && d.y <= e.bottom); });
    }

    void operator()(const DeleteDip& e) const
    {
        require(e.index < w.dips.size(), "no such dip");
        w.dips.erase(e.index);
    }

    void operator()(const DeleteDips& e) const
    {
        std::vector<bool> gone(w.dips.size());
        for (const std::size_t i : e.indices) {
            require(i < gone.size(), "no such dip");
            gone[i] = true;
        }
        std::size_t i = 0;
        w.dips.keepIf([&](const Dip&) { return !gone[i++]; });
    }

    void operator()(const ChangeDip& e) const
    {
        require(e.index < w.dips.size(), "no such dip");
        require(std::isfinite(e.dip.x) && std::isfinite(e.dip.y) && std::isfinite(e.dip.azimuth), "a finite place");
        w.dips.at(e.index) = e.dip;
    }

    void operator()(const KeepDip& e) const
    {
        require(e.index < w.dips.size(), "no such dip");
        w.dips.at(e.index).confidence = 100;
    }

    void operator()(const SetWellDetails& e) const
    {
        require(wellDetailsWritable(e.details),
                "well details without double quotes or line breaks, and a depth unit M, FT or none");
        w.well = e.details;
    }
};

}  // namespace

void applyEdit(Work& work, const WorkEdit& edit)
{
    Work changed = work;
    std::visit(Apply{changed}, edit);
    work = std::move(changed);
}

SetCalibration calibrationOf(const Work& work)
{
    return {work.scale, work.depthRows, work.marks[std::size_t(Mark::LeftEdge)],
            work.marks[std::size_t(Mark::RightEdge)]};
}

std::vector<std::size_t> leastSureDips(const Work& work)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < work.dips.size(); ++i)
        if (work.dips[i].confidence && *work.dips[i].confidence < kReviewBelow)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&work](std::size_t a, std::size_t b) {
        const Dip &da = work.dips[a], &db = work.dips[b];
        return *da.confidence != *db.confidence ? *da.confidence < *db.confidence : da.y < db.y;
    });
    return order;
}

std::string editName(const WorkEdit& edit)
{
    return std::visit(
        [](const auto& e) -> std::string {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, SetDipScale>)
                return "Define Dip Scale";
            else if constexpr (std::is_same_v<E, AddDepthRows>)
                return e.rows.size() == 1 ? "Add Depth Row" : "Add Depth Rows";
            else if constexpr (std::is_same_v<E, DeleteDepthRows>)
                return "Delete Depth Lines";
            else if constexpr (std::is_same_v<E, SetMark>) {
                const char* names[] = {"Set Header Top", "Set Header Bottom", "Set Footer Top",
                                       "Set Footer Bottom", "Set Left Edge", "Set Right Edge"};
                return names[std::size_t(e.mark)];
            } else if constexpr (std::is_same_v<E, AddDips>)
                return e.dips.size() == 1 ? "Add Dip" : "Add Dips";
            else if constexpr (std::is_same_v<E, EraseDips>)
                return "Area Erase";
            else if constexpr (std::is_same_v<E, SetWellDetails>)
                return "Well Details";
            else if constexpr (std::is_same_v<E, KeepDip>)
                return "Keep Dip";
            else if constexpr (std::is_same_v<E, ChangeDip>)
                return "Edit Dip";
            else if constexpr (std::is_same_v<E, DeleteDips>)
                return e.indices.size() == 1 ? "Delete Dip" : "Delete Dips";
            else if constexpr (std::is_same_v<E, SetCalibration>)
                return "Calibration";
            else
                return "Delete Dip";
        },
        edit);
}

std::vector<std::size_t> depthRowsAt(const Work& work, double y, double reach)
{
    // Places in the table as it closes up, mapped back to the rows.
    std::vector<std::size_t> left(work.depthRows.size()), gone;
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = i;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (!(std::abs(work.depthRows[left[i]].y - y) <= reach))
            continue;
        gone.push_back(left[i]);
        left.erase(left.begin() + std::ptrdiff_t(i));
    }
    return gone;
}

std::optional<std::size_t> dipNearest(const Work& work, double x, double y, double reach, double scale)
{
    std::optional<std::size_t> nearest;
    double best = reach * reach;
    for (std::size_t i = 0; i < work.dips.size(); ++i) {
        const Dip& d = work.dips[i];
        const double dx = (d.x - x) * scale, dy = (d.y - y) * scale;
        const double squared = dx * dx + dy * dy;
        if (squared <= best && (!nearest || squared < best)) {
            nearest = i;
            best = squared;
        }
    }
    return nearest;
}
