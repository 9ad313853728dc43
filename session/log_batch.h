#pragma once

#include <array>
#include <atomic>
#include <functional>

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include "model/work.h"
#include "session/batch_options.h"

// The exit codes of "dipdigitizer-batch", one per kind of failure.
enum class BatchExit {
    Done = 0,
    BadArguments = 1,       // and pictures whose outputs would be one another's
    Unreadable = 2,         // a picture, the calibration project or the wells file
    OutputExists = 3,       // and no --force
    CalibrationMisfit = 4,  // the calibration does not fit the picture, or none was found on it
    Stopped = 5,            // by SIGTERM or SIGINT
    TooManyDips = 6,        // more tadpoles accepted than the dip table holds
    Unwritable = 7,         // an output or the report cannot be written
};

// What became of one log, as the JSON report keeps it.
struct LogReport {
    QString picture;  // as given
    int width = 0;
    int height = 0;
    QString kind;  // "bmp", "tiff", "png", "jpeg"
    int rows = 0;
    int dips = 0;
    int filled = 0;
    int hollow = 0;
    int review = 0;  // dips accepted that Review Least Sure offers: where a reviewer looks first
    double dotSize = 0;
    double noise = 0;
    std::array<int, 10> confidence{};  // the tadpoles found, by tenths of confidence
    QStringList outputs;  // whole paths
    QStringList warnings;
    QJsonObject calibration;  // where the calibration came from, and what it rests on
    double readSeconds = 0;
    double findSeconds = 0;
    double writeSeconds = 0;
    double totalSeconds = 0;
    BatchExit exit = BatchExit::Done;
    QString error;  // as the window would say it

    QJsonObject toJson() const;
};

// One log digitized: the picture read, the calibration applied (found on
// the picture itself when options ask for "auto"), its tadpoles
// found and every one shown at the least confidence accepted, then the
// outputs written under temporary names and renamed together at the end, so
// that a log that fails leaves none of its own. stop is looked at between
// and within the steps; say tells the progress in a line (failures are in
// the report, for the caller to tell).
LogReport digitizeLog(const QString& picture, const Work& calibration, const LogWells& wells,
                      const BatchOptions& options, const std::atomic<bool>& stop,
                      const std::function<void(const QString&)>& say);
