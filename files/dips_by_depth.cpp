#include "files/dips_by_depth.h"

#include "model/heap_sort.h"

namespace {

// "NO CAL" compares greater than every number; two of them are equal.
bool lessReading(const Reading& a, const Reading& b)
{
    if (!a)
        return false;
    if (!b)
        return true;
    return *a < *b;
}

}  // namespace

std::vector<DipWithReadings> dipsByDepth(const Work& work)
{
    const Calibration calibration(work);
    std::vector<DipWithReadings> rows;
    rows.reserve(work.dips.size());
    for (const Dip& d : work.dips)
        rows.push_back({&d, calibration.depthAt(d.y), calibration.dipAt(d.x, d.y)});
    bool sorted = true;
    for (std::size_t i = 1; i < rows.size() && sorted; ++i)
        sorted = !lessReading(rows[i].depth, rows[i - 1].depth);
    if (!sorted)
        heapSort(rows, [](const DipWithReadings& a, const DipWithReadings& b) { return lessReading(a.depth, b.depth); });
    return rows;
}
