#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "files/well_table.h"
#include "model/work.h"
#include "session/search_settings.h"

// What "dipdigitizer-batch" is asked to do, from its command line.
struct BatchOptions {
    QStringList pictures;
    QString calibration;  // the project whose dip scale and depth rows every log takes, or "auto"
    QString wells;        // each picture's well details, as a CSV file; empty: none
    bool autoCalibration() const { return calibration == QStringLiteral("auto"); }
    QString outFolder;    // empty: beside each picture
    bool las = true;
    bool csv = true;
    bool dip = false;
    bool ddp = true;
    QString report;  // empty: none; "-": standard output
    bool force = false;
    bool quiet = false;
    // Only list the file names the wells file has rows for, each followed
    // by a NUL, for scripts that check it against a folder.
    bool wellsPictures = false;
    // As the Found Tadpoles panel sets them.
    SearchSettings search;
    // The well details given, each replacing the calibration project's.
    WellDetails well;
    std::vector<std::string WellDetails::*> wellGiven;
};

// The command line read. Nothing, with the reason, for an unknown option, a
// value out of range or no picture; "--help" and "--version" set text to
// what is to be printed and return nothing with an empty error.
std::optional<BatchOptions> readBatchOptions(const QStringList& arguments, QString& error, QString& text);

// Where each log's well details come from.
struct LogWells {
    WellDetails calibration;      // the calibration project's
    QString calibrationPicture;   // the file name of the picture it was made on; empty: none
    std::optional<WellTable> table;  // --wells
};

// One log's well details: the calibration project's for the picture it was
// made on, else a well named after the picture (without its extension, and
// without double quotes or line breaks, as told in warnings) in the
// calibration's depth unit; then its row of the wells file over them, then
// the command line's. A picture the wells file has no row for is told in
// warnings.
WellDetails wellDetailsFor(const QString& picture, const LogWells& wells, const BatchOptions& options,
                           QStringList& warnings);
