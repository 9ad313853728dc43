#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

// Slot i of a table of size slots, or std::out_of_range naming both.
inline std::size_t checkedTableIndex(std::ptrdiff_t i, std::size_t size)
{
    if (i < 0 || static_cast<std::size_t>(i) >= size)
        throw std::out_of_range("table index " + std::to_string(i) + " outside 0 to " + std::to_string(size - 1));
    return static_cast<std::size_t>(i);
}
