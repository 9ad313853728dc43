#include "ui/found_calibration_panel.h"

#include <cmath>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/number_format.h"
#include "session/calibration_finder.h"

namespace {

constexpr int kWidth = 300;

QString plain(double value) { return QString::fromStdString(formatPlain(value)); }

QString labelsOf(const FoundCalibration& f)
{
    return QStringLiteral("%1 printed depths looked at, %2 read as numbers, %3 agreeing.")
        .arg(f.labelsLooked)
        .arg(f.labelsRead)
        .arg(f.labelsAgreeing);
}

QString summaryOf(const FoundCalibration& f)
{
    const SetCalibration& c = f.calibration;
    QString scale = QString::fromStdString(dipScaleCaption(c.scale ? c.scale->kind : DipScaleKind::Linear));
    if (c.scale)
        scale += QStringLiteral(", %1 to %2").arg(c.scale->minDip).arg(c.scale->maxDip);
    if (f.scaleAssumed)
        scale += QStringLiteral(" (assumed: no grid was seen on the track)");
    else if (!f.limitsRead)
        scale += QStringLiteral(" (limits assumed: the scale's numbers were not read)");
    QString text = QStringLiteral("%1.\n").arg(scale);
    if (!c.rows.empty())
        text += QStringLiteral("%1 depth lines, %2 to %3, every %4.\n")
                    .arg(c.rows.size())
                    .arg(plain(c.rows.front().depth), plain(c.rows.back().depth), plain(f.depthStep));
    text += labelsOf(f) + QLatin1Char('\n');
    if (const std::string note = missedLinesNote(f.missed); !note.empty())
        text += QString::fromStdString(note) + QLatin1Char('\n');
    // No "-0.0" for a skew too small to show.
    const double skew = std::abs(f.skewDegrees) < 0.05 ? 0 : f.skewDegrees;
    text += QStringLiteral("Skew %1°.").arg(QString::fromStdString(formatOneDecimal(skew)));
    return text;
}

QString misreadsOf(const FoundCalibration& f)
{
    QStringList lines;
    for (const FoundCalibration::Misread& m : f.disagreeing)
        lines << QStringLiteral("Row %1: read %2, fits %3.")
                     .arg(int(m.y))
                     .arg(QString::fromStdString(m.read), plain(m.fits));
    return lines.isEmpty() ? QString() : QStringLiteral("Disagreeing with the others:\n") + lines.join(QLatin1Char('\n'));
}

}  // namespace

FoundCalibrationPanel::FoundCalibrationPanel(QWidget* parent) : QDockWidget(QStringLiteral("Found Calibration"), parent)
{
    setObjectName(QStringLiteral("foundcalibration"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    summary_ = new QLabel(body);
    summary_->setObjectName(QStringLiteral("calibrationsummary"));
    summary_->setWordWrap(true);
    column->addWidget(summary_);
    misreads_ = new QLabel(body);
    misreads_->setObjectName(QStringLiteral("calibrationmisreads"));
    misreads_->setWordWrap(true);
    column->addWidget(misreads_);
    auto* buttons = new QGridLayout;
    accept_ = new QPushButton(QStringLiteral("Accept"), body);
    accept_->setObjectName(QStringLiteral("acceptcalibration"));
    accept_->setToolTip(QStringLiteral("Takes the dip scale, depth lines and edges found as the log's calibration (Enter)"));
    reject_ = new QPushButton(QStringLiteral("Reject"), body);
    reject_->setObjectName(QStringLiteral("rejectcalibration"));
    buttons->addWidget(accept_, 0, 0);
    buttons->addWidget(reject_, 0, 1);
    column->addLayout(buttons);
    column->addStretch(1);
    // Narrow, so that the log keeps the window's width; the text wraps.
    body->setMaximumWidth(kWidth);
    setWidget(body);
    connect(accept_, &QPushButton::clicked, this, &FoundCalibrationPanel::acceptClicked);
    connect(reject_, &QPushButton::clicked, this, &FoundCalibrationPanel::rejectClicked);
    showFound(nullptr);
}

void FoundCalibrationPanel::showFound(const FoundCalibration* found)
{
    if (found) {
        summary_->setText(summaryOf(*found));
        misreads_->setText(misreadsOf(*found));
    }
    accept_->setEnabled(found != nullptr);
    reject_->setEnabled(found != nullptr);
}

void FoundCalibrationPanel::showRefused(const FoundCalibration& found)
{
    summary_->setText(QStringLiteral("No calibration: %1\n%2")
                          .arg(QString::fromStdString(found.failure), labelsOf(found)));
    misreads_->setText(misreadsOf(found));
    accept_->setEnabled(false);
    reject_->setEnabled(false);
}

void FoundCalibrationPanel::showOutcome(const QString& outcome)
{
    summary_->setText(outcome);
    misreads_->clear();
}
