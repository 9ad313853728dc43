#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/work.h"

// The changes of the work, each whole: what one user action, or one step of
// a program working on its own, does to it. Positions are picture pixels.

// The dip scale defined, or defined anew.
struct SetDipScale {
    DipScale scale;
};

// Depth rows, each complete, added to the others; the rows stay in order of
// their y.
struct AddDepthRows {
    std::vector<DepthRow> rows;
};

// The depth rows of these places in the table go.
struct DeleteDepthRows {
    std::vector<std::size_t> rows;
};

// A header or footer row, or an edge of the dip track, set or cleared.
struct SetMark {
    Mark mark = Mark::HeaderTop;
    std::optional<double> value;
};

// Dips added after the others, in their order.
struct AddDips {
    std::vector<Dip> dips;
};

// Every dip whose y lies from top to bottom, both included, goes; the rest
// keep their order.
struct EraseDips {
    double top = 0;
    double bottom = 0;
};

// The dip at this place of the list goes.
struct DeleteDip {
    std::size_t index = 0;
};

// The dips at these places of the list go, in one step; the rest keep
// their order.
struct DeleteDips {
    std::vector<std::size_t> indices;
};

// The dip at this place of the list replaced, where it stands in the list:
// moved, turned or regraded by typing in the dip table.
struct ChangeDip {
    std::size_t index = 0;
    Dip dip;
};

// The dip at this place of the list reviewed and kept: it becomes as sure
// as a dip can be.
struct KeepDip {
    std::size_t index = 0;
};

// The whole calibration replaced at once: the dip scale, every depth row
// and the dip track's edges (a found or borrowed calibration accepted).
// The header and footer rows and the dips stay.
struct SetCalibration {
    std::optional<DipScale> scale;
    std::vector<DepthRow> rows;  // in any order: they are kept by their y
    std::optional<double> leftEdge;
    std::optional<double> rightEdge;
};

// A found dip less sure than this (in %) is one a reviewer looks at.
inline constexpr int kReviewBelow = 90;

// The found dips a reviewer looks at: less than kReviewBelow sure and not
// kept yet, least sure first (ties top first), by their places in the list.
// Review Least Sure offers these, and an archive's report counts them.
std::vector<std::size_t> leastSureDips(const Work& work);

// The calibration of the work, as one edit that gives it to another.
SetCalibration calibrationOf(const Work& work);

// The well's details replaced.
struct SetWellDetails {
    WellDetails details;
};

using WorkEdit =
    std::variant<SetDipScale, AddDepthRows, DeleteDepthRows, SetMark, AddDips, EraseDips, DeleteDip, DeleteDips,
                 ChangeDip, SetWellDetails, SetCalibration, KeepDip>;

// Carries the edit out. An edit beyond the work's capacities (32767 depth
// rows, 32767 dips, 11 custom scale positions), naming a row or dip the work does
// not have, or with well details no file can carry throws std::out_of_range
// and changes nothing.
void applyEdit(Work& work, const WorkEdit& edit);

// What the edit is called in "Undo ..." and "Redo ...".
std::string editName(const WorkEdit& edit);

// The depth rows a press at y deletes: those within reach of it, looked at
// from the top; the row that moves up into a deleted one's place is passed
// over, as the table closes up under the press.
std::vector<std::size_t> depthRowsAt(const Work& work, double y, double reach);

// The dip nearest (x, y) within reach, distances measured after scaling
// both axes by scale (the view's zoom); nothing when none is that near.
std::optional<std::size_t> dipNearest(const Work& work, double x, double y, double reach, double scale);
