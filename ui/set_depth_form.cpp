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
    auto* caption = new QLabel(QStringLiteral("DEPTH"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    depth_ = new QLineEdit(this);
    depth_->setObjectName(QStringLiteral("Text1(0)"));
    depth_->setMinimumWidth(110);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Command1"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &SetDepthForm::okClicked);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(depth_, 1);
    layout->addWidget(ok_);
}

void SetDepthForm::activate(const QString& proposal)
{
    depth_->setText(proposal.isEmpty() ? QStringLiteral(" ") : proposal);
    show();
    raise();
    activateWindow();
    if (proposal.isEmpty()) {
        depth_->setFocus();
    } else {
        ok_->setFocus();
    }
}

QString SetDepthForm::depthText() const { return depth_->text(); }
