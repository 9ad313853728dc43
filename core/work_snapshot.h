#pragma once

#include <cstddef>

#include "core/project_state.h"

// The work as it stands between two user actions: dip scale, depth table,
// dips, calibration marks, the calibration sequence and the dip awaiting its
// tail. Undo and redo put one back. The dips are shared with the table they
// were taken from, so a snapshot costs little more than the depth table.
struct WorkSnapshot {
    std::int16_t DipScaleMode = 0;
    std::int16_t MINDIP = 0;
    std::int16_t MAXDIP = 0;
    bool DipScaleDefined = false;
    std::int16_t NCUST = 0;
    FixedTable<double, kMaxCustomSteps + 1> CustomDipTwip;
    std::int16_t CustomClicks = 0;

    std::int16_t NUMDEP = 0;
    FixedTable<DepthCalibrationPoint, kMaxDepthRows + 1> depths;
    std::int16_t NumPoints = 0;
    SharedTable<DipPoint, kMaxDips + 1> dips;

    std::int32_t HeaderTop = 0, HeaderBottom = 0, FooterTop = 0, FooterBottom = 0, LeftEdge = 0, RightEdge = 0;

    bool AwaitDepthLine = false;
    bool AwaitMinDipClick = false;
    bool AwaitMaxDipClick = false;
    bool AwaitCustomClick = false;
    bool GridReady = false;

    bool AwaitingAzimuth = false;
    int PendingRow = 0;

    bool operator==(const WorkSnapshot&) const = default;
};

WorkSnapshot takeSnapshot(const ProjectState& state);

// Puts the work back. The pending dip's rubber figures start afresh, in the
// colour of the grade in use: no tail shown, its guide circle to be drawn by
// the next redraw.
void restoreSnapshot(ProjectState& state, const WorkSnapshot& work);

// Bytes a snapshot holds of its own: its fields, the depth and custom tables
// and the dip table's block pointers. The dip rows are counted apart, by
// block (SharedTable::forEachBlock), since snapshots share them.
constexpr std::size_t snapshotOwnBytes()
{
    return sizeof(WorkSnapshot) + (kMaxDepthRows + 1) * sizeof(DepthCalibrationPoint)
           + (kMaxCustomSteps + 1) * sizeof(double) + SharedTable<DipPoint, kMaxDips + 1>::kBlocks * 2 * sizeof(void*);
}
