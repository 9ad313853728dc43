#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "detection/scan_traits.h"

// Finds the tadpoles of a scanned dipmeter log: round dots, filled or hollow,
// each with a straight tail pointing along the dip's azimuth.
//
// Positions are picture units: pixel (i, j) covers [i, i + 1) x [j, j + 1),
// so the centre of pixel (0, 0) is (0.5, 0.5).

// An 8-bit grey picture (0 black, 255 white) the caller keeps alive, or a
// part of one: its first pixel is pixel (left, top) of the whole picture.
struct GreyPicture {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next
    int left = 0;
    int top = 0;
};

// An 8-bit grey copy of a part of a picture, which its maker fills.
struct GreyCopy {
    std::vector<std::uint8_t> pixels;
    GreyPicture picture;  // a view of pixels: moved with them, never copied

    GreyCopy() = default;
    GreyCopy(const GreyCopy&) = delete;
    GreyCopy& operator=(const GreyCopy&) = delete;
    GreyCopy(GreyCopy&&) = default;
    GreyCopy& operator=(GreyCopy&&) = default;
};
// Room for the part width x height whose first pixel is (left, top).
GreyCopy blankGreyCopy(int left, int top, int width, int height);

// One stretch of the dip track between two depth lines: its top and bottom
// rows and the track's edges on each, straight in between.
struct TrackStretch {
    double top = 0;
    double bottom = 0;
    double leftTop = 0;
    double rightTop = 0;
    double leftBottom = 0;
    double rightBottom = 0;
};

struct DetectionSettings {
    // The dots' diameter range in pixels; both 0: estimated from the picture.
    double minDiameter = 0;
    double maxDiameter = 0;
    // Tadpoles less sure than this (0 to 1) are left out.
    double minConfidence = 0.5;
};

// What a tadpole's confidence is made of, each measured on the picture.
struct TadpoleEvidence {
    double roundness = 0;      // 1 with paper all round the dot, 0 with a fifth of ink
    double contrast = 0;       // the dot's ink against the paper round it, as a share of the scan's ink's
    double tailLength = 0;     // beyond the dot's edge, in dot diameters; 0 without a tail
    double straightness = 0;   // 1 for a straight bar, less as the tail's ink strays from its axis
    double tailWidth = 0;      // in dot diameters
    double tailInk = 0;        // the tail's darkness across it, as pixels of black: faint lines have little
    double clutter = 0;        // the share of other ink round the dot, out to three radii
    bool doubtful = false;     // another direction runs nearly as far as the tail
    bool alongLine = false;    // the tail lies along a depth or grid line
    bool endless = false;      // the tail runs on as far as any tail is looked for: a line or a curve
};

struct FoundTadpole {
    double x = 0;  // the dot's centre
    double y = 0;
    double diameter = 0;
    bool filled = true;
    // Degrees clockwise from straight up, from the dot along its tail;
    // nothing when no tail was found.
    std::optional<double> azimuth;
    // How likely this is a printed tadpole (0 to 1), from its evidence.
    double confidence = 0;
    TadpoleEvidence evidence;
};

// The confidence that evidence of this kind gives, calibrated on synthetic
// logs of every kind whose truth is known.
double confidenceOf(const TadpoleEvidence& evidence);

// What a search learns of a scan: how its picture is prepared, and how big
// its dots are. Kept, it lets a press on one tadpole be read as the search
// reads them all.
struct ScanContext {
    ScanTraits traits;
    // The dots' usual diameter: estimated from the surest tadpoles, or the
    // middle of the range the settings give; 0 when not known.
    double dotDiameter = 0;
    bool dotDiameterEstimated = false;
};

// What a search found, and what it learned of the scan on the way.
struct FoundTadpoles {
    std::vector<FoundTadpole> tadpoles;  // most sure first
    ScanContext context;
};

// How far beyond the track the search reads the picture: the longest tail
// of the largest dot looked for.
int searchMargin(const DetectionSettings& settings);

// Reports the share done (0 to 1); returning false cancels the search. It is
// called from the searching threads, one call at a time.
using DetectionProgress = std::function<bool(double done)>;

// Every tadpole whose centre lies inside one of the stretches, most sure
// first. Nothing when cancelled (cancelled is then set, where given).
FoundTadpoles findTadpoles(const GreyPicture& picture, const std::vector<TrackStretch>& track,
                                       const DetectionSettings& settings, const DetectionProgress& progress = {},
                                       bool* cancelled = nullptr);

// A grey picture that is never held whole, such as one kept at one bit a
// pixel: fill writes the grey pixels of the part width x height whose first
// pixel is (left, top), a row every stride bytes. The part lies inside the
// extent; the searching threads call fill at once, each for parts of its own.
struct GreyRows {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::function<void(int left, int top, int width, int height, std::uint8_t* out, std::ptrdiff_t stride)> fill;
};

// The same search, the picture filled a band at a time: the same tadpoles as
// from the whole picture.
FoundTadpoles findTadpoles(const GreyRows& picture, const std::vector<TrackStretch>& track,
                                       const DetectionSettings& settings, const DetectionProgress& progress = {},
                                       bool* cancelled = nullptr);

// The scan's context from samples of the track, without searching it: for
// a press before any search.
ScanContext studyTrack(const GreyRows& picture, const std::vector<TrackStretch>& track,
                       const DetectionSettings& settings);

// The tadpole whose dot centre lies within reach of (x, y), the nearest of
// them, read as the search reads it in the scan's context; for a single
// press, so it looks only at the picture around it (picture holds at least
// snapMargin() pixels round the press, where the log has them). A dot
// without a tail to read is given without an azimuth.
std::optional<FoundTadpole> tadpoleNear(const GreyPicture& picture, double x, double y, double reach,
                                        const DetectionSettings& settings, const ScanContext& context = {});

// How far round a press tadpoleNear reads the picture: far enough to tell
// lines from tails.
int snapMargin(const DetectionSettings& settings);
