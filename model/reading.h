#pragma once

#include <optional>

// A depth or dip read off the log: a number, or nothing ("NO CAL") where the
// position lies outside the calibrated part of the log.
using Reading = std::optional<double>;
