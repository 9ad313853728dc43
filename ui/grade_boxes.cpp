#include "ui/grade_boxes.h"

#include <QBoxLayout>
#include <QCheckBox>

std::array<QCheckBox*, 4> addGradeBoxes(QBoxLayout& row, QWidget* parent, const QString& namePrefix)
{
    std::array<QCheckBox*, 4> boxes{};
    for (std::size_t g = 0; g < boxes.size(); ++g) {
        const QChar letter(char16_t(u'A' + g));
        auto* box = new QCheckBox(QString(letter), parent);
        box->setObjectName(namePrefix + letter);
        box->setChecked(true);
        row.addWidget(box);
        boxes[g] = box;
    }
    return boxes;
}
