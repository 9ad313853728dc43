#pragma once

#include <array>

class QBoxLayout;
class QCheckBox;
class QString;
class QWidget;

// A filter by grade: four boxes "A" to "D", each ticked, named namePrefix
// and its letter, added to row in order.
std::array<QCheckBox*, 4> addGradeBoxes(QBoxLayout& row, QWidget* parent, const QString& namePrefix);
