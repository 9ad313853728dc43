#pragma once

#include <memory>

#include <QObject>

#include "session/work_session.h"

class CalibrationSearch;
class FoundCalibrationPanel;
class LogArea;
class SearchProgress;
class UserMessages;
class QWidget;

// "Find Calibration" with its progress, and the review of what it found in
// the "Found Calibration" panel: accepted as one action, or rejected.
class CalibrationCommands : public QObject {
    Q_OBJECT
public:
    CalibrationCommands(WorkSession& session, FoundCalibrationPanel& panel, LogArea& area, UserMessages& messages,
                        QWidget* parent);
    ~CalibrationCommands() override;

    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
    bool searching() const { return search_ != nullptr; }

    // The search over the whole picture, in the background.
    void find();
    // A calibration made by hand is replaced only when the user says so.
    void accept();
    void reject();
    // The panel after the calibration under review changed.
    void followReview();

signals:
    // The search ended, found or cancelled.
    void searchEnded();
    // A calibration was found to review.
    void reviewStarted();
    // The work took the calibration found.
    void accepted();
    // The review ended, accepted or rejected, as outcome says.
    void reviewEnded(const QString& outcome);

private:
    void finish();

    WorkSession& session_;
    FoundCalibrationPanel& panel_;
    LogArea& area_;
    UserMessages& messages_;
    QWidget* parent_;
    int progressDelay_ = 500;
    std::unique_ptr<CalibrationSearch> search_;
    std::unique_ptr<SearchProgress> progress_;
};
