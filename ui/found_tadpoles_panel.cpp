#include "ui/found_tadpoles_panel.h"

#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QComboBox* gradeChooser(const char* name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    return combo;
}

QDoubleSpinBox* diameterBox(const char* name, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(kLeastDotDiameter, kMostDotDiameter);
    box->setSingleStep(0.5);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" px"));
    return box;
}

}  // namespace

FoundTadpolesPanel::FoundTadpolesPanel(QWidget* parent) : QDockWidget(QStringLiteral("Found Tadpoles"), parent)
{
    setObjectName(QStringLiteral("foundtadpoles"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);

    counts_ = new QLabel(body);
    counts_->setObjectName(QStringLiteral("foundcount"));
    counts_->setWordWrap(true);
    column->addWidget(counts_);
    scan_ = new QLabel(body);
    scan_->setObjectName(QStringLiteral("foundscan"));
    scan_->setWordWrap(true);
    column->addWidget(scan_);
    current_ = new QLabel(body);
    current_->setObjectName(QStringLiteral("foundcurrent"));
    current_->setWordWrap(true);
    column->addWidget(current_);

    auto* buttons = new QGridLayout;
    accept_ = new QPushButton(QStringLiteral("Accept"), body);
    accept_->setObjectName(QStringLiteral("acceptfound"));
    accept_->setToolTip(QStringLiteral("Adds every kept tadpole as a dip (Enter)"));
    reject_ = new QPushButton(QStringLiteral("Reject All"), body);
    reject_->setObjectName(QStringLiteral("rejectfound"));
    previous_ = new QPushButton(QStringLiteral("Previous"), body);
    previous_->setObjectName(QStringLiteral("previousfound"));
    previous_->setToolTip(QStringLiteral("The previous tadpole, less sure ones first (P)"));
    next_ = new QPushButton(QStringLiteral("Next"), body);
    next_->setObjectName(QStringLiteral("nextfound"));
    next_->setToolTip(QStringLiteral("The next tadpole, less sure ones first (N)"));
    buttons->addWidget(accept_, 0, 0);
    buttons->addWidget(reject_, 0, 1);
    buttons->addWidget(previous_, 1, 0);
    buttons->addWidget(next_, 1, 1);
    column->addLayout(buttons);
    connect(accept_, &QPushButton::clicked, this, &FoundTadpolesPanel::acceptClicked);
    connect(reject_, &QPushButton::clicked, this, &FoundTadpolesPanel::rejectClicked);
    connect(previous_, &QPushButton::clicked, this, [this] { emit stepClicked(false); });
    connect(next_, &QPushButton::clicked, this, [this] { emit stepClicked(true); });

    auto* form = new QFormLayout;
    automaticSize_ = new QCheckBox(QStringLiteral("From the picture"), body);
    automaticSize_->setObjectName(QStringLiteral("founddiameterauto"));
    form->addRow(QStringLiteral("Dot size:"), automaticSize_);
    minDiameter_ = diameterBox("founddiametermin", body);
    maxDiameter_ = diameterBox("founddiametermax", body);
    auto* range = new QHBoxLayout;
    range->addWidget(minDiameter_);
    range->addWidget(new QLabel(QStringLiteral("to"), body));
    range->addWidget(maxDiameter_);
    form->addRow(QString(), range);
    filledGrade_ = gradeChooser("filledgrade", body);
    form->addRow(QStringLiteral("Filled dots:"), filledGrade_);
    hollowGrade_ = gradeChooser("hollowgrade", body);
    form->addRow(QStringLiteral("Hollow dots:"), hollowGrade_);
    minConfidence_ = new QSpinBox(body);
    minConfidence_->setObjectName(QStringLiteral("foundconfidence"));
    minConfidence_->setRange(0, 100);
    minConfidence_->setSuffix(QStringLiteral(" %"));
    form->addRow(QStringLiteral("At least sure:"), minConfidence_);
    column->addLayout(form);
    column->addStretch(1);
    setWidget(body);

    setSearch(SearchSettings{});
    showCounts({});
    connect(automaticSize_, &QCheckBox::toggled, this, [this] {
        followAutomaticSize();
        emit searchChanged();
    });
    for (QDoubleSpinBox* box : {minDiameter_, maxDiameter_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, box] {
            // The range stays a range, whichever end moved.
            if (minDiameter_->value() > maxDiameter_->value())
                (box == minDiameter_ ? maxDiameter_ : minDiameter_)->setValue(box->value());
            emit searchChanged();
        });
    for (QComboBox* combo : {filledGrade_, hollowGrade_})
        connect(combo, &QComboBox::currentIndexChanged, this, &FoundTadpolesPanel::searchChanged);
    connect(minConfidence_, &QSpinBox::valueChanged, this, &FoundTadpolesPanel::searchChanged);
}

void FoundTadpolesPanel::showCounts(const FoundReview::Counts& c)
{
    counts_->setText(c.all == 0 ? QStringLiteral("No tadpoles to review.")
                                : QStringLiteral("%1 found: %2 filled, %3 hollow.\n%4 kept, %5 dropped.")
                                      .arg(c.all)
                                      .arg(c.filled)
                                      .arg(c.hollow)
                                      .arg(c.kept)
                                      .arg(c.all - c.kept));
    for (QPushButton* b : {accept_, reject_, previous_, next_})
        b->setEnabled(c.all > 0);
}

void FoundTadpolesPanel::showScan(const ScanContext& scan)
{
    const QString size = scan.dotDiameter <= 0 ? QStringLiteral("Dot size not known.")
                         : scan.dotDiameterEstimated
                             ? QStringLiteral("Dots about %1 px, estimated.").arg(scan.dotDiameter, 0, 'f', 1)
                             : QStringLiteral("Dots about %1 px, as set.").arg(scan.dotDiameter, 0, 'f', 1);
    const ScanTraits& t = scan.traits;
    QString noise = QStringLiteral("Noise: %1 % of the paper in specks").arg(100 * t.noise, 0, 'f', 1);
    noise += t.despeckle ? QStringLiteral(", cleared.") : QStringLiteral(".");
    if (t.levelPaper)
        noise += QStringLiteral(" Paper levelled.");
    scan_->setText(size + QLatin1Char('\n') + noise);
}

void FoundTadpolesPanel::showCurrent(const QString& description) { current_->setText(description); }

SearchSettings FoundTadpolesPanel::search() const
{
    SearchSettings s;
    if (!automaticSize_->isChecked()) {
        s.minDiameter = minDiameter_->value();
        s.maxDiameter = maxDiameter_->value();
    }
    s.minConfidence = minConfidence_->value() / 100.0;
    s.filledGrade = filledGrade_->currentText().toStdString();
    s.hollowGrade = hollowGrade_->currentText().toStdString();
    return s;
}

void FoundTadpolesPanel::setSearch(const SearchSettings& s)
{
    const QSignalBlocker b1(automaticSize_), b2(minDiameter_), b3(maxDiameter_), b4(filledGrade_), b5(hollowGrade_),
        b6(minConfidence_);
    const bool automatic = s.maxDiameter <= 0;
    automaticSize_->setChecked(automatic);
    minDiameter_->setValue(automatic ? 5 : s.minDiameter);
    maxDiameter_->setValue(automatic ? 16 : s.maxDiameter);
    filledGrade_->setCurrentText(QString::fromStdString(s.filledGrade));
    hollowGrade_->setCurrentText(QString::fromStdString(s.hollowGrade));
    minConfidence_->setValue(int(std::lround(s.minConfidence * 100)));
    followAutomaticSize();
}

void FoundTadpolesPanel::followAutomaticSize()
{
    minDiameter_->setEnabled(!automaticSize_->isChecked());
    maxDiameter_->setEnabled(!automaticSize_->isChecked());
}
