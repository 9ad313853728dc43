#include "ui/enter_dip_scales.h"

#include <QLabel>
#include <QVBoxLayout>

EnterDipScales::EnterDipScales(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Enter Dip Scales"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setMinimumWidth(220);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label2_);
}

void EnterDipScales::setPrompt(const QString& text) { label2_->setText(text); }

QString EnterDipScales::prompt() const { return label2_->text(); }
