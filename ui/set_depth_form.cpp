#include "ui/set_depth_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SetDepthForm::SetDepthForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Enter Depth"));
    // Shown without waiting for it, but nothing else of the main window
    // takes input meanwhile, shortcuts included.
    setWindowModality(Qt::WindowModal);
    auto* label1 = new QLabel(QStringLiteral("DEPTH"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    text1_ = new QLineEdit(this);
    text1_->setObjectName(QStringLiteral("Text1(0)"));
    text1_->setMinimumWidth(110);
    command1_ = new QPushButton(QStringLiteral("OK"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setDefault(true);
    connect(command1_, &QPushButton::clicked, this, &SetDepthForm::okClicked);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(text1_, 1);
    layout->addWidget(command1_);
}

void SetDepthForm::activate(const QString& proposal)
{
    text1_->setText(proposal.isEmpty() ? QStringLiteral(" ") : proposal);
    show();
    raise();
    activateWindow();
    if (proposal.isEmpty()) {
        text1_->setFocus();
    } else {
        command1_->setFocus();
    }
}

QString SetDepthForm::depthText() const { return text1_->text(); }
