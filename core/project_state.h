#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/fixed_table.h"
#include "core/shared_table.h"

// A depth or dip reading: a number, or "NO CAL" (no value) where the position
// lies outside the calibrated part of the log.
using Reading = std::optional<double>;

inline constexpr int kMaxDepthRows = 200;
inline constexpr int kMaxDips = 10000;
inline constexpr int kMaxCustomSteps = 10;  // NCUST; CustomDipTwip holds 0 to 10

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct DepthCalibrationPoint {
    double DEPTH = 0;
    double DEPTHTWIP = 0;
    double MINDIPTWIP = 0;
    double MAXDIPTWIP = 0;
    bool operator==(const DepthCalibrationPoint&) const = default;
};

struct DipPoint {
    Reading Depth = 0.0;
    double YPIX = 0;
    Reading Dip = 0.0;
    double DIPPIX = 0;
    double Azimuth = 0;
    std::string Quality;  // "A" to "D", or "" while the dip has no grade
    bool operator==(const DipPoint&) const = default;
};

// Transient state of the mouse work on the log view, never saved. Positions
// are picture-box twips unless named otherwise.
struct PictureInteraction {
    bool AwaitingAzimuth = false;  // the dip of row PendingRow has its centre, not yet its tail
    int PendingRow = 0;            // followed through sorts and erases
    double PendingCentreX = -1;    // that centre on screen, placed again after every redraw
    double PendingCentreY = -1;
    double PendingAzimuth = 0;
    double TailEndX = 0;
    double TailEndY = 0;
    double LastMarkX = -1;  // vertical marker or band edge shown; -1 none
    double LastMarkY = -1;  // horizontal marker or band edge shown; -1 or -2 none
    bool TailDrawn = false;
    bool EraseArmed = false;
    bool DeleteArmed = false;  // "Delete Dip" chosen, waiting for its press
    double EraseStartY = 0;
    double EraseEndY = 0;
    int EraseBandShown = 0;  // band outlines drawn since "Area Erase"; 0 none shown
    Rgb RubberColour;        // of the guide circle and rubber tail shown, so they go in the colour they came
    bool GridReadyBeforeDepthLine = false;  // given back when "Enter Depth" is closed without OK
};

// Everything the program knows about the open work. Plain data: the
// conversions and the file formats are free functions elsewhere.
struct ProjectState {
    // Picture
    std::string FILE;
    std::int32_t IMAGEWIDTH = 0;
    std::int32_t IMAGEHEIGHT = 0;
    float TwipsPerPixelX = 15;  // replaced by the screen's value at start
    float TwipsPerPixelY = 15;

    // View
    double ZoomFactor = 1;
    std::int16_t HScrollValue = 0;
    std::int16_t VScrollValue = 0;
    double HScrollUnit = 1;
    double VScrollUnit = 1;

    // Mode and tools
    std::int16_t WorkMode = 1;  // 0 digitize dips, 1 calibrate log
    std::int16_t CalTool = 0;
    std::string CurrentQuality;
    Rgb CurrentQualityColor{0, 0, 0};
    Rgb QualityColorA{255, 0, 0};
    Rgb QualityColorB{0, 255, 0};
    Rgb QualityColorC{0, 0, 255};
    Rgb QualityColorD{128, 0, 128};

    // Calibration marks
    std::int32_t HeaderTop = 0;
    std::int32_t HeaderBottom = 0;
    std::int32_t FooterTop = 0;
    std::int32_t FooterBottom = 0;
    std::int32_t LeftEdge = 0;
    std::int32_t RightEdge = 0;

    // Dip scale
    std::int16_t DipScaleMode = 0;
    std::int16_t MINDIP = 0;
    std::int16_t MAXDIP = 0;
    bool DipScaleDefined = false;
    std::int16_t NCUST = 0;
    FixedTable<double, kMaxCustomSteps + 1> CustomDipTwip;
    std::int16_t CustomClicks = 0;

    // Depth calibration, rows 1 to NUMDEP
    std::int16_t NUMDEP = 0;
    FixedTable<DepthCalibrationPoint, kMaxDepthRows + 1> depths;

    // Digitized dips, rows 1 to NumPoints
    std::int16_t NumPoints = 0;
    SharedTable<DipPoint, kMaxDips + 1> dips;  // copies share their rows: the undo history keeps many

    // Calibration sequence
    bool AwaitDepthLine = false;
    bool AwaitMinDipClick = false;
    bool AwaitMaxDipClick = false;
    bool AwaitCustomClick = false;
    bool GridReady = false;

    // Run-time flags
    bool ProjectChanged = false;  // unsaved work: kept by the window as its history not at the saved point
    bool SkipNextPlot = true;

    PictureInteraction interaction;
};
