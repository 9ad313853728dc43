#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/dip_scale.h"
#include "model/shared_rows.h"

// The work on a log as it is saved: the dip scale, the depth rows, the
// calibration marks and the dips. Positions are picture pixels: x to the
// right and y down from the picture's top-left corner, pixel (i, j)
// covering [i, i + 1) x [j, j + 1).

// The largest counts the files' 16-bit fields hold: a 3,000 m log with a
// line every 10 m, and a whole well's dips.
inline constexpr int kMaxDepthRows = 32767;
inline constexpr int kMaxDips = 32767;

// A depth line across the log: its depth, its row, and where the dip scale's
// minimum and maximum lie on it.
struct DepthRow {
    double depth = 0;
    double y = 0;
    double minDipX = 0;
    double maxDipX = 0;
    bool operator==(const DepthRow&) const = default;
};

// A digitized dip: where its dot is, where its tail points (degrees clockwise
// from the top of the picture) and its grade, "A" to "D", or "" when it has
// none. Its depth and dip are read from the calibration.
struct Dip {
    double x = 0;
    double y = 0;
    double azimuth = 0;
    std::string grade;
    // How sure the search was of it, 0 to 100; none for a dip placed by
    // hand. A reviewer who keeps a found dip makes it 100.
    std::optional<int> confidence = std::nullopt;
    bool operator==(const Dip&) const = default;
};

enum class Mark { HeaderTop, HeaderBottom, FooterTop, FooterBottom, LeftEdge, RightEdge };
inline constexpr int kMarks = 6;

using DipList = SharedRows<Dip, kMaxDips>;

// What is known of the well the log was run in, as a LAS file's well section
// names it; every part may be empty. The depth unit is "M", "FT" or empty.
struct WellDetails {
    std::string name;
    std::string company;
    std::string field;
    std::string location;
    std::string province;
    std::string serviceCompany;
    std::string uwi;
    std::string depthUnit;

    bool empty() const { return *this == WellDetails{}; }
    bool operator==(const WellDetails&) const = default;
};

// The details as the files keep them, in their order, by their LAS
// mnemonics ("UNIT" for the depth unit, which LAS gives with the depths).
struct WellDetailKey {
    const char* key;
    std::string WellDetails::*member;
};
inline const std::array<WellDetailKey, 8> kWellDetailKeys{{{"WELL", &WellDetails::name},
                                                           {"COMP", &WellDetails::company},
                                                           {"FLD", &WellDetails::field},
                                                           {"LOC", &WellDetails::location},
                                                           {"PROV", &WellDetails::province},
                                                           {"SRVC", &WellDetails::serviceCompany},
                                                           {"UWI", &WellDetails::uwi},
                                                           {"UNIT", &WellDetails::depthUnit}}};

// Each detail's text holds no double quote and no control character, so that
// every file can carry it; a depth unit is "M", "FT" or empty.
bool wellDetailsWritable(const WellDetails& details);

struct Work {
    std::optional<DipScale> scale;  // none until the user defines it
    std::vector<DepthRow> depthRows;  // by y, top first
    // Header and footer rows, and the dip track's edges (x), by Mark.
    std::array<std::optional<double>, kMarks> marks;
    DipList dips;
    WellDetails well;

    bool operator==(const Work&) const = default;
};

// Whether any dip keeps the search's confidence: the files then carry them.
bool anyConfidence(const Work& work);

// 0 to 3 for the grades "A" to "D" (exact, case-sensitive); -1 for any other text.
int gradeIndex(const std::string& grade);

// Degrees clockwise from straight up of the direction (dx, dy), dx to the
// right and dy upward; 90 for no direction at all, never 360.
double azimuthTowards(double dx, double dy);
