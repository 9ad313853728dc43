#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Depth lines as a log prints them: one every so many rows (the paper may
// stretch a little along the log), at round depths a constant, round step
// apart, some of them labelled with their depth. A line's depth follows from
// the count of lines between it and a label, never from its row, so that
// stretched paper moves no depth off the value printed.

// The lines counted along the log.
struct LineCount {
    double spacing = 0;  // the usual rows from one line to the next
    // Each line's place in the count from the first line counted (0, 1,
    // ...), in the order given; nullopt for a line that falls between the
    // printed ones (a rule of the header, a grid line).
    std::vector<std::optional<int>> place;
    // The places the spacing shows a printed line at where none was found,
    // with the rows they would lie on, top first.
    struct Missing {
        int place = 0;
        double y = 0;
    };
    std::vector<Missing> missing;
};

// Counts lines found at these rows (top first): the longest run of lines
// whose every gap is a whole number of the usual spacing. Empty places when
// fewer than two lines are given.
LineCount countLines(const std::vector<double>& rows);

// A depth read beside the line at a place of the count.
struct LabelAtPlace {
    int place = 0;
    double depth = 0;
};

// The printed depths: depthAt(place) is the depth printed at that place.
struct PrintedDepths {
    double firstDepth = 0;  // at place 0
    double step = 0;        // round, never 0
    std::vector<bool> agrees;  // each label's, in the order given
    std::size_t agreeing() const;
    double depthAt(int place) const;
};

// Round steps: 1, 2, 2.5 and 5 times a power of ten, 0.01 to 10000, either
// sign (depths that grow up the sheet).
bool isRoundStep(double step);

// The printed depths most labels agree on, exactly: of the lines through
// two labels whose step is round, the one the most labels lie on. Nothing
// when no two labels give a round step, or when two such lines are agreed
// on by as many labels, so that the labels cannot tell which is right.
std::optional<PrintedDepths> fitPrintedDepths(const std::vector<LabelAtPlace>& labels);

// Whether the labels settle a calibration: at least three agree and they
// are at least half of those read. Empty when they do, else why not.
std::string unsettledBy(std::size_t read, std::size_t agreeing);

// A run of labels, one after another along the log with none agreeing
// among them, that all lie the same whole number of steps off the fit: the
// count of lines between them and the others is wrong (a line missed or
// taken twice). Their first and last places and the steps they are off.
struct MiscountedRun {
    int firstPlace = 0;
    int lastPlace = 0;
    int stepsOff = 0;
};
std::optional<MiscountedRun> miscountedRun(const std::vector<LabelAtPlace>& labels, const PrintedDepths& depths);
