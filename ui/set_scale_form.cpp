#include "ui/set_scale_form.h"

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

    auto* frame1 = new QGroupBox(QStringLiteral("Type of Dip Scaling"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* scales = new QVBoxLayout(frame1);
    const char* captions[kScales] = {"Standard 0-20/20-60/60-90", "Linear", "Sine", "Standard 0-20/20-50/50-90",
                                     "Custom By 10 degree steps Linear within each step"};
    for (int i = 0; i < kScales; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(captions[i]), frame1);
        option->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        scales->addWidget(option);
        options_[std::size_t(i)] = option;
        connect(option, &QRadioButton::clicked, this,
                [this, i] { maxText_->setText(i == 2 ? QStringLiteral("80") : QStringLiteral("90")); });
    }

    auto* frame2 = new QGroupBox(QStringLiteral("Dip Scale Values"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* limits = new QFormLayout(frame2);
    minText_ = new QLineEdit(frame2);
    minText_->setObjectName(QStringLiteral("Text1(0)"));
    maxText_ = new QLineEdit(frame2);
    maxText_->setObjectName(QStringLiteral("Text1(1)"));
    limits->addRow(QStringLiteral("Min Dip Value"), minText_);
    limits->addRow(QStringLiteral("Max Dip Value"), maxText_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Command1"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SetScaleForm::okClicked);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2);
    layout->addWidget(ok_, 0, Qt::AlignRight);
    reset();
}

void SetScaleForm::reset()
{
    minText_->setText(QStringLiteral("0"));
    maxText_->setText(QStringLiteral("90"));
    options_[0]->setChecked(true);
}

QString SetScaleForm::minDipText() const { return minText_->text(); }

QString SetScaleForm::maxDipText() const { return maxText_->text(); }

void SetScaleForm::closeEvent(QCloseEvent* event)
{
    reset();
    QDialog::closeEvent(event);
}
