#include "ui/enter_dip_scales.h"

#include <QLabel>
#include <QVBoxLayout>

EnterDipScales::EnterDipScales(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Enter Dip Scales"));
    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setMinimumWidth(220);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label2_);
}

void EnterDipScales::setPromptDip(int degrees)
{
    label2_->setText(QStringLiteral("Please left click on Dip = %1").arg(degrees));
}

QString EnterDipScales::prompt() const { return label2_->text(); }
