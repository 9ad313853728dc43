#pragma once

#include <QDockWidget>

struct FoundCalibration;
class QLabel;
class QPushButton;

// "Found Calibration": what Find Calibration read on the log (the dip
// scale, the depth lines, the printed depths read and agreeing, the skew
// and the labels that disagreed) and the buttons that accept or reject it.
class FoundCalibrationPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit FoundCalibrationPanel(QWidget* parent = nullptr);

    // The calibration under review described; none: nothing to review.
    void showFound(const FoundCalibration* found);
    // A search that found no calibration: why, and what the printed depths
    // read said; nothing to accept.
    void showRefused(const FoundCalibration& found);
    // What became of the last review, until the next.
    void showOutcome(const QString& outcome);

signals:
    void acceptClicked();
    void rejectClicked();

private:
    QLabel* summary_ = nullptr;
    QLabel* misreads_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* reject_ = nullptr;
};
