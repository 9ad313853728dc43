#pragma once

#include <QDockWidget>

#include "model/found_review.h"
#include "detection/tadpole_detector.h"
#include "session/search_settings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

// "Found Tadpoles": how many tadpoles the search proposes, the buttons that
// accept, drop and step through them, and the settings of the search.
class FoundTadpolesPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit FoundTadpolesPanel(QWidget* parent = nullptr);

    // The counts of the proposals under review; none: nothing to review.
    void showCounts(const FoundReview::Counts& counts);
    // What the search learned of the scan: the dots' size and the noise.
    void showScan(const ScanContext& scan);
    // The proposal the view was stepped to, described; empty: none.
    void showCurrent(const QString& description);
    SearchSettings search() const;
    void setSearch(const SearchSettings& search);

signals:
    void acceptClicked();
    void rejectClicked();
    void stepClicked(bool forward);
    // A setting was changed by the user.
    void searchChanged();

private:
    void followAutomaticSize();

    QLabel* counts_ = nullptr;
    QLabel* scan_ = nullptr;
    QLabel* current_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* reject_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QCheckBox* automaticSize_ = nullptr;
    QDoubleSpinBox* minDiameter_ = nullptr;
    QDoubleSpinBox* maxDiameter_ = nullptr;
    QComboBox* filledGrade_ = nullptr;
    QComboBox* hollowGrade_ = nullptr;
    QSpinBox* minConfidence_ = nullptr;
};
