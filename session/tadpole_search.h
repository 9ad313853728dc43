#pragma once

#include <atomic>
#include <thread>
#include <vector>

#include <QObject>

#include "detection/tadpole_detector.h"
#include "picture/log_picture.h"

// Find Tadpoles over a calibrated log on a thread of its own: the picture
// turned to ink a band at a time, so that a whole well's scan never is at
// once. The picture's pixels are shared with the work's, which stay
// unchanged meanwhile.
class TadpoleSearch : public QObject {
    Q_OBJECT
public:
    TadpoleSearch(LogPicture picture, QRgb paper, std::vector<TrackStretch> track, DetectionSettings wanted,
                  QRect box);
    // Cancels a search under way and waits for it.
    ~TadpoleSearch() override;

    void start();
    // The search on this thread, to its end.
    FoundTadpoles runHere(const DetectionProgress& progress = {});

    double progress() const { return permille_ / 1000.0; }
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }
    // What was found; empty when cancelled. Valid after finished.
    const FoundTadpoles& result() const { return result_; }

signals:
    // From the search's thread, queued to the object's own.
    void finished();

private:
    LogPicture picture_;
    QRgb paper_;
    std::vector<TrackStretch> track_;
    DetectionSettings wanted_;
    QRect box_;
    std::atomic<int> permille_{0};
    std::atomic<bool> cancelled_{false};
    FoundTadpoles result_;
    std::thread thread_;
};

// The picture's ink as the search reads it, a part at a time.
GreyRows inkRows(const LogPicture& picture, QRgb paper, const QRect& box);

// The box round the calibrated track, and the margin beyond it, within the
// picture.
QRect trackBox(const std::vector<TrackStretch>& track, int margin, const QSize& picture);
