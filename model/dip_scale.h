#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/reading.h"

// The dip scale printed across the dip track: how a place in the track,
// as a fraction of its width at that depth, reads as a dip angle.

inline constexpr int kMaxCustomSteps = 10;  // a custom scale has 1 to 11 positions

// The kinds the project file numbers 0 to 4.
enum class DipScaleKind : std::int16_t {
    Standard60 = 0,  // 0-20/20-60/60-90 on 32.5, 45 and 22.5 % of the track
    Linear = 1,
    Sine = 2,
    Standard50 = 3,  // 0-20/20-50/50-90 on 4/9, 3/9 and 2/9 of the track
    Custom = 4,      // the user's own positions of every 10 degrees, linear between them
};

struct DipScale {
    DipScaleKind kind = DipScaleKind::Standard60;
    std::int16_t minDip = 0;
    std::int16_t maxDip = 0;
    // The custom scale's picture x of minDip, minDip + 10, ...; only their
    // spacing counts. Empty for the other kinds.
    std::vector<double> customSteps;

    bool operator==(const DipScale&) const = default;
};

// The caption of the scale, as the window shows it.
std::string dipScaleCaption(DipScaleKind kind);

// Pi as every degree-radian conversion of the program takes it; stored
// azimuths and dips depend on this exact value.
inline constexpr double kPi = 3.14159;

// The dip at track position d, given in the units of a linear scale from
// minDip to maxDip (the position's fraction of the track times the span,
// plus minDip); nothing where the scale has no value there.
Reading dipOnScale(const DipScale& scale, double d);

// The fraction of the track (0 at the minDip end, 1 at the maxDip end) at
// which the scale puts the 10-degree line of dip d; NaN where the scale
// defines no position (equal limits or custom ends, d not a custom step).
double dipFraction(const DipScale& scale, double d);
