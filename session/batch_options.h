#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "model/work.h"
#include "session/search_settings.h"

// What "dipdigitizer-batch" is asked to do, from its command line.
struct BatchOptions {
    QStringList pictures;
    QString calibration;  // the project whose dip scale and depth rows every log takes, or "auto"
    bool autoCalibration() const { return calibration == QStringLiteral("auto"); }
    QString outFolder;    // empty: beside each picture
    bool las = true;
    bool csv = true;
    bool dip = false;
    bool ddp = true;
    QString report;  // empty: none; "-": standard output
    bool force = false;
    bool quiet = false;
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

// The well details of the calibration with those of the command line over them.
WellDetails wellDetailsFor(const WellDetails& calibration, const BatchOptions& options);
