#pragma once

#include <array>

#include <QDialog>

#include "model/work.h"

class QComboBox;
class QLabel;
class QLineEdit;

// "Well Details": the well's name, company, field, location, province,
// service company, UWI and depth unit, as the LAS export writes them.
class WellDetailsDialog : public QDialog {
    Q_OBJECT
public:
    explicit WellDetailsDialog(QWidget* parent = nullptr);

    void setDetails(const WellDetails& details);
    WellDetails details() const;

private:
    std::array<QLineEdit*, 7> texts_{};
    QComboBox* unit_ = nullptr;
    QLabel* refused_ = nullptr;  // shown once a typed character was refused
};
