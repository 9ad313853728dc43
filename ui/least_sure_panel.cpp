#include "ui/least_sure_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/work_edits.h"

namespace {

QPushButton* button(const char* name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    return b;
}

}  // namespace

LeastSurePanel::LeastSurePanel(QWidget* parent) : QDockWidget(QStringLiteral("Least Sure Dips"), parent)
{
    setObjectName(QStringLiteral("leastsure"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    count_ = new QLabel(body);
    count_->setObjectName(QStringLiteral("leastsurecount"));
    count_->setWordWrap(true);
    column->addWidget(count_);
    current_ = new QLabel(body);
    current_->setObjectName(QStringLiteral("leastsurecurrent"));
    current_->setWordWrap(true);
    column->addWidget(current_);
    keep_ = button("keepdip", QStringLiteral("Keep"), QStringLiteral("The dip is right: it is marked reviewed"), body);
    remove_ = button("removedip", QStringLiteral("Delete"), QStringLiteral("The dip is wrong: it goes"), body);
    previous_ = button("previousdip", QStringLiteral("Previous"), QStringLiteral("The next less sure dip"), body);
    next_ = button("nextdip", QStringLiteral("Next"), QStringLiteral("The next surer dip"), body);
    auto* buttons = new QGridLayout;
    buttons->addWidget(keep_, 0, 0);
    buttons->addWidget(remove_, 0, 1);
    buttons->addWidget(previous_, 1, 0);
    buttons->addWidget(next_, 1, 1);
    column->addLayout(buttons);
    column->addStretch(1);
    body->setMaximumWidth(300);
    setWidget(body);
    connect(keep_, &QPushButton::clicked, this, &LeastSurePanel::keepClicked);
    connect(remove_, &QPushButton::clicked, this, &LeastSurePanel::removeClicked);
    connect(previous_, &QPushButton::clicked, this, [this] { emit stepClicked(false); });
    connect(next_, &QPushButton::clicked, this, [this] { emit stepClicked(true); });
    showReview(0, QString());
}

void LeastSurePanel::showReview(int left, const QString& current)
{
    count_->setText(left == 0 ? QStringLiteral("No found dip under %1 % sure is left to review.").arg(kReviewBelow)
                              : QStringLiteral("%1 found dip%2 under %3 % sure not yet reviewed, the least sure first.")
                                    .arg(left)
                                    .arg(left == 1 ? QString() : QStringLiteral("s"))
                                    .arg(kReviewBelow));
    current_->setText(current);
    for (QPushButton* b : {keep_, remove_, previous_, next_})
        b->setEnabled(left > 0);
}
