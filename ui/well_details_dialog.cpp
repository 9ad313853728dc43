#include "ui/well_details_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

struct DetailField {
    const char* objectName;
    const char* label;
    std::string WellDetails::*member;
};

const DetailField kFields[] = {
    {"wellname", "Well:", &WellDetails::name},
    {"wellcompany", "Company:", &WellDetails::company},
    {"wellfield", "Field:", &WellDetails::field},
    {"welllocation", "Location:", &WellDetails::location},
    {"wellprovince", "Province:", &WellDetails::province},
    {"wellservice", "Service company:", &WellDetails::serviceCompany},
    {"welluwi", "UWI:", &WellDetails::uwi},
};

const QStringList kUnits{QStringLiteral("none"), QStringLiteral("M"), QStringLiteral("FT")};

}  // namespace

WellDetailsDialog::WellDetailsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("welldetails"));
    setWindowTitle(QStringLiteral("Well Details"));
    auto* form = new QFormLayout(this);
    // Every file keeps a detail in double quotes on one line.
    auto* oneLine = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\"\\x00-\\x1f\\x7f]*")), this);
    // What the validator refuses is told, not dropped without a word.
    refused_ = new QLabel(QStringLiteral("A well detail holds no double quote nor line break: every file keeps it "
                                         "in double quotes on one line."),
                          this);
    refused_->setObjectName(QStringLiteral("wellrefused"));
    refused_->setWordWrap(true);
    refused_->hide();
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        texts_[i] = new QLineEdit(this);
        texts_[i]->setObjectName(QString::fromLatin1(kFields[i].objectName));
        texts_[i]->setValidator(oneLine);
        connect(texts_[i], &QLineEdit::inputRejected, this, [this] {
            refused_->show();
            adjustSize();  // room for the note's lines
        });
        form->addRow(QString::fromLatin1(kFields[i].label), texts_[i]);
    }
    unit_ = new QComboBox(this);
    unit_->setObjectName(QStringLiteral("wellunit"));
    unit_->addItems(kUnits);
    form->addRow(QStringLiteral("Depth unit:"), unit_);
    form->addRow(refused_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 50);
}

void WellDetailsDialog::setDetails(const WellDetails& details)
{
    refused_->hide();
    for (std::size_t i = 0; i < texts_.size(); ++i)
        texts_[i]->setText(QString::fromStdString(details.*kFields[i].member));
    unit_->setCurrentIndex(std::max(0, int(kUnits.indexOf(QString::fromStdString(details.depthUnit)))));
}

WellDetails WellDetailsDialog::details() const
{
    WellDetails d;
    for (std::size_t i = 0; i < texts_.size(); ++i)
        d.*kFields[i].member = texts_[i]->text().trimmed().toStdString();
    d.depthUnit = unit_->currentIndex() == 0 ? std::string() : unit_->currentText().toStdString();
    return d;
}
