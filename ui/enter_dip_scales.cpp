#include "ui/enter_dip_scales.h"

#include <QLabel>
#include <QVBoxLayout>

EnterDipScales::EnterDipScales(QWidget* parent) : QWidget(parent, Qt::Tool)
{
    setWindowTitle(QStringLiteral("Enter Dip Scales"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("Label2"));
    prompt_->setMinimumWidth(220);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
}

void EnterDipScales::setPrompt(const QString& text) { prompt_->setText(text); }

QString EnterDipScales::prompt() const { return prompt_->text(); }
