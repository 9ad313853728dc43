#include "ui/set_scale_form.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SetScaleForm::SetScaleForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Define Dip Scale"));
    setModal(false);

    auto* scaleKinds = new QGroupBox(QStringLiteral("Type of Dip Scaling"), this);
    scaleKinds->setObjectName(QStringLiteral("Frame1"));
    auto* scales = new QVBoxLayout(scaleKinds);
    const char* captions[kScales] = {"Standard 0-20/20-60/60-90", "Linear", "Sine", "Standard 0-20/20-50/50-90",
                                     "Custom By 10 degree steps Linear within each step"};
    for (int i = 0; i < kScales; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(captions[i]), scaleKinds);
        option->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        scales->addWidget(option);
        options_[std::size_t(i)] = option;
        connect(option, &QRadioButton::clicked, this,
                [this, i] { maxText_->setText(i == 2 ? QStringLiteral("80") : QStringLiteral("90")); });
    }

    auto* limitsBox = new QGroupBox(QStringLiteral("Dip Scale Values"), this);
    limitsBox->setObjectName(QStringLiteral("Frame2"));
    auto* limits = new QFormLayout(limitsBox);
    minText_ = new QLineEdit(limitsBox);
    minText_->setObjectName(QStringLiteral("Text1(0)"));
    maxText_ = new QLineEdit(limitsBox);
    maxText_->setObjectName(QStringLiteral("Text1(1)"));
    limits->addRow(QStringLiteral("Min Dip Value"), minText_);
    limits->addRow(QStringLiteral("Max Dip Value"), maxText_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Command1"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SetScaleForm::okClicked);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scaleKinds);
    layout->addWidget(limitsBox);
    layout->addWidget(ok_, 0, Qt::AlignRight);
    reset();
}

void SetScaleForm::propose(int kind, int minDip, int maxDip)
{
    kind_ = std::clamp(kind, 0, kScales - 1);
    minDip_ = minDip;
    maxDip_ = maxDip;
    reset();
}

void SetScaleForm::reset()
{
    minText_->setText(QString::number(minDip_));
    maxText_->setText(QString::number(maxDip_));
    options_[std::size_t(kind_)]->setChecked(true);
}

QString SetScaleForm::minDipText() const { return minText_->text(); }

QString SetScaleForm::maxDipText() const { return maxText_->text(); }

void SetScaleForm::closeEvent(QCloseEvent* event)
{
    reset();
    QDialog::closeEvent(event);
}
