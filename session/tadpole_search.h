#pragma once

#include <vector>

#include "detection/tadpole_detector.h"
#include "picture/log_picture.h"
#include "session/picture_search.h"

// Find Tadpoles over a calibrated log on a thread of its own: the picture
// turned to ink a band at a time, so that a whole well's scan never is at
// once. The picture's pixels are shared with the work's, which stay
// unchanged meanwhile.
class TadpoleSearch : public PictureSearch {
public:
    TadpoleSearch(LogPicture picture, QRgb paper, std::vector<TrackStretch> track, DetectionSettings wanted,
                  QRect box);
    ~TadpoleSearch() override { stop(); }

    // The search on this thread, to its end.
    FoundTadpoles runHere(const DetectionProgress& progress = {});
    // What was found; empty when cancelled. Valid after finished.
    const FoundTadpoles& result() const { return result_; }

private:
    void run() override { result_ = runHere(); }

    LogPicture picture_;
    QRgb paper_;
    std::vector<TrackStretch> track_;
    DetectionSettings wanted_;
    QRect box_;
    FoundTadpoles result_;
};

// The picture's ink as the search reads it, a part at a time.
GreyRows inkRows(const LogPicture& picture, QRgb paper, const QRect& box);

// The box round the calibrated track, and the margin beyond it, within the
// picture.
QRect trackBox(const std::vector<TrackStretch>& track, int margin, const QSize& picture);
