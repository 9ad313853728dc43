#pragma once

#include <QObject>

class QWidget;

// While a long task runs in the background, the user's input reaches only
// its progress dialog, which shows after a while: the work must not change
// under the task. Drops are refused too.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(const QWidget* allowed);
    ~InputBlocker() override;
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QWidget* allowed_;
};
