#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>

#include "detection/tadpole_detector.h"
#include "ui/input_blocker.h"

// "Find Tadpoles" under way: the search's future, its progress, and the
// input held back meanwhile.
struct TadpoleSearchRun {
    std::atomic<int> permille{0};
    std::atomic<bool> cancelled{false};
    QFutureWatcher<FoundTadpoles> watcher;
    std::unique_ptr<QProgressDialog> progress;
    std::unique_ptr<InputBlocker> blocker;
    QTimer poll;
};
