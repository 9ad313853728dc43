#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "model/work.h"

// What the dip statistics show of the digitized dips: the rose of their
// azimuths, the poles to their bedding planes and the mean of those poles.
// Depths and dips are read afresh from the positions, as the exports do.

// Which dips count: the grades A to D ticked, and a depth interval (both ends
// included, either may be open).
struct DipSelection {
    std::array<bool, 4> grades{true, true, true, true};
    std::optional<double> from;
    std::optional<double> to;
    // Only the dips at these places of the list (a zone chosen in the dip
    // table), within the grades and depths above; every dip when empty.
    std::vector<std::size_t> only;
};

// A pole to a bedding plane: a line pointing down into the lower hemisphere.
struct Pole {
    double trend = 0;   // degrees clockwise from north, the top of the picture
    double plunge = 0;  // degrees below the horizontal
    int grade = 0;      // 0 to 3 for "A" to "D"
};

struct DipStatistics {
    int counted = 0;
    // Selected by depth but left out: "NO CAL" under the calibration of the
    // moment, or no azimuth (a dip with no grade).
    int leftOut = 0;
    std::array<int, 36> sectors{};  // dip azimuths in 10-degree sectors clockwise from north
    std::vector<Pole> poles;
    // The plane whose pole is the mean of the unit poles; nothing without dips.
    std::optional<double> meanDip;
    std::optional<double> meanAzimuth;
    double sphericalVariance = 0;  // 1 - R / n: 0 when every pole is the same
    // The depths of the dips counted, shallowest and deepest; nothing without dips.
    std::optional<double> shallowest;
    std::optional<double> deepest;
};

DipStatistics dipStatistics(const Work& work, const DipSelection& selection);

// The pole of a bed of the given dip and azimuth: azimuth + 180, 90 - dip.
Pole poleOf(double dip, double azimuth, int grade = 0);

// A line of the lower hemisphere on the equal-area (Schmidt) net of radius
// 1, north up: x to the right, y downwards. The distance from the centre is
// sqrt(2) sin((90 - plunge) / 2).
std::pair<double, double> equalAreaPoint(double trend, double plunge);
