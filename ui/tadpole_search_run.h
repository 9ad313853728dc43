#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <QApplication>
#include <QEvent>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>

#include "detection/tadpole_detector.h"

// While the search runs, the user's input reaches only its progress dialog,
// which shows after a while: the work must not change under the search.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(const QWidget* allowed) : allowed_(allowed) { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QWidget* allowed_;
};

// "Find Tadpoles" under way: the search's future, its progress, and the
// input held back meanwhile.
struct TadpoleSearchRun {
    std::atomic<int> permille{0};
    std::atomic<bool> cancelled{false};
    QFutureWatcher<std::vector<FoundTadpole>> watcher;
    std::unique_ptr<QProgressDialog> progress;
    std::unique_ptr<InputBlocker> blocker;
    QTimer poll;
};
