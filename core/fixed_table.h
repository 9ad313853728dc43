#pragma once

#include <cstddef>
#include <vector>

#include "core/table_index.h"

// A table of a fixed number of slots, indexed 0 to Size - 1 with every access
// checked. The project tables are numbered from 1 with slot 0 unused, so a
// table of 200 rows has Size 201. Storage is on the heap: ProjectState is
// often a local variable and 10000 dip rows would not belong on the stack.
template <typename T, std::size_t Size>
class FixedTable {
public:
    FixedTable() : slots_(Size) {}

    static constexpr std::size_t size() { return Size; }

    T& operator[](std::ptrdiff_t i) { return slots_[checked(i)]; }
    const T& operator[](std::ptrdiff_t i) const { return slots_[checked(i)]; }

    bool operator==(const FixedTable&) const = default;

private:
    static std::size_t checked(std::ptrdiff_t i) { return checkedTableIndex(i, Size); }

    std::vector<T> slots_;
};
