#pragma once

#include "picture/log_picture.h"
#include "session/calibration_finder.h"
#include "session/picture_search.h"

// Find Calibration over the whole picture on a thread of its own. The
// picture's pixels are shared with the work's, which stay unchanged
// meanwhile.
class CalibrationSearch : public PictureSearch {
public:
    explicit CalibrationSearch(LogPicture picture) : picture_(std::move(picture)) {}
    ~CalibrationSearch() override { stop(); }

    // The search on this thread, to its end.
    FoundCalibration runHere(const DetectionProgress& progress = {});
    // What was found; valid after finished, and only when not cancelled.
    const FoundCalibration& result() const { return result_; }

private:
    void run() override { result_ = runHere(); }

    LogPicture picture_;
    FoundCalibration result_;
};
