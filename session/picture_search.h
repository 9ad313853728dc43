#pragma once

#include <atomic>
#include <thread>

#include <QObject>

#include "detection/tadpole_detector.h"

// A search over the log's picture on a thread of its own, with its progress
// and a cancel that the search heeds between bands. Each kind of search
// says what it runs and keeps what it found.
class PictureSearch : public QObject {
    Q_OBJECT
public:
    ~PictureSearch() override;

    void start();
    double progress() const { return permille_ / 1000.0; }
    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

signals:
    // From the search's thread, queued to the object's own.
    void finished();

protected:
    // The search itself, on whichever thread runs it, keeping its result.
    virtual void run() = 0;
    // What run passes to the search: records the progress, and says whether
    // to go on. caller, when set, is asked too.
    bool report(double done, const DetectionProgress& caller = {});
    // The search cancelled and its thread ended. Each kind calls it first
    // thing in its destructor, while what run reads is still there.
    void stop();

private:
    std::atomic<int> permille_{0};
    std::atomic<bool> cancelled_{false};
    std::thread thread_;
};
