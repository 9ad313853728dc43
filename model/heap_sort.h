#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// The heap sort the project file has always been written in: not stable, so
// rows that compare equal come out in its own order, and files written
// before keep their bytes only when it is kept. less compares two rows.
template <typename Row, typename Less>
void heapSort(std::vector<Row>& rows, Less less)
{
    const std::size_t count = rows.size();
    if (count < 2)
        return;
    // Written for rows numbered from 1.
    auto row = [&rows](std::size_t i) -> Row& { return rows[i - 1]; };
    std::size_t l = count / 2 + 1, ir = count;
    for (;;) {
        Row held;
        if (l > 1) {
            --l;
            held = std::move(row(l));
        } else {
            held = std::move(row(ir));
            row(ir) = std::move(row(1));
            if (--ir == 1) {
                row(1) = std::move(held);
                return;
            }
        }
        std::size_t i = l, j = 2 * l;
        while (j <= ir) {
            if (j < ir && less(row(j), row(j + 1)))
                ++j;
            if (less(held, row(j))) {
                row(i) = std::move(row(j));
                i = j;
                j *= 2;
            } else {
                j = ir + 1;
            }
        }
        row(i) = std::move(held);
    }
}
