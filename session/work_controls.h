#pragma once

#include <bitset>
#include <cstddef>

// Which of a front end's commands and controls can be used, or are shown,
// in each state of the work: the one rule the window follows after every
// change, kept as a table.
enum class WorkControl : std::size_t {
    SaveProject,           // and "Save Project As"
    ExportDips,            // "Save Digitized Dips As", CSV and LAS
    ExportNearestInteger,  // "Save at Nearest Integer Depth"
    EditDips,              // "Area Erase" and "Delete Dip"
    WellDetails,           // and "Open Next Log": a picture is open
    FindTadpoles,
    FindCalibration,
    ReviewKeys,    // accept and step through the tadpoles under review
    Grid,          // "Show Grid"
    DepthTools,    // a depth line's "Add" and "Delete"
    MarkTools,     // header, footer and edges
    ZoomButtons,   // with the depth tools' heading
    Grades,        // the grade of the next dip
    Readout,       // depth, dip, azimuth and grade, shown
    ScaleCaption,  // the dip scale's name, shown
    Count
};
using WorkControls = std::bitset<std::size_t(WorkControl::Count)>;

// What the controls depend on.
struct WorkState {
    bool picture = false;
    bool openedProject = false;  // the work came from a project (or its recovery file)
    bool scale = false;          // a dip scale is defined, or its positions are being pressed
    bool digitizing = false;     // else calibrating
    bool calibrated = false;     // dips may be placed: Calibration::complete()
    bool dips = false;
    bool searching = false;
    bool reviewing = false;      // tadpoles found are under review
    bool reviewingCalibration = false;  // a calibration found is under review
    // What was usable before in this work: a save or export command, once
    // usable, stays so until another log is opened.
    WorkControls before;
};

// The controls usable (or shown) in the state.
WorkControls workControls(const WorkState& state);
