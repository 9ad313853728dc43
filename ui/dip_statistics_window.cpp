#include "ui/dip_statistics_window.h"

#include <charconv>
#include <cmath>
#include <optional>

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QVBoxLayout>

#include "model/number_format.h"
#include "session/work_session.h"
#include "ui/grade_boxes.h"
#include "drawing/dip_diagrams.h"

namespace {

constexpr QSize kImageSize(960, 560);
constexpr double kFooterHeight = 80;  // of the saved image, below the diagrams

// A depth typed as a limit: empty is no limit; anything else must be a number.
std::optional<double> depthLimit(const QLineEdit* box, bool& valid)
{
    const std::string text = box->text().trimmed().toStdString();
    double value = 0;
    valid = text.empty() || (parseDecimal(text, value) && std::isfinite(value));
    if (text.empty() || !valid)
        return std::nullopt;
    return value;
}

QString threeDecimals(double value)
{
    char buf[32];
    const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3).ptr;
    return QString::fromLatin1(buf, int(end - buf));
}

}  // namespace

// The two diagrams, painted from the window's statistics.
class DipStatisticsWindow::Diagrams : public QWidget {
public:
    explicit Diagrams(const DipStatisticsWindow& owner) : QWidget(nullptr), owner_(owner)
    {
        setObjectName(QStringLiteral("statDiagrams"));
        setMinimumSize(560, 300);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        paintDipDiagrams(p, QRectF(rect()), owner_.statistics_, owner_.colours_);
    }

private:
    const DipStatisticsWindow& owner_;
};

DipStatisticsWindow::DipStatisticsWindow(const WorkSession& session, const GradeColours& colours, QWidget* parent)
    : QWidget(parent, Qt::Tool), session_(session), colours_(colours)
{
    setObjectName(QStringLiteral("DipStatistics"));
    setWindowTitle(QStringLiteral("Dip Statistics"));
    setAttribute(Qt::WA_ShowWithoutActivating);

    diagrams_ = new Diagrams(*this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("statSummary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Grades:"), this));
    grades_ = addGradeBoxes(*filters, this, QStringLiteral("statGrade"));
    for (QCheckBox* box : grades_)
        connect(box, &QCheckBox::toggled, this, &DipStatisticsWindow::refresh);
    filters->addSpacing(16);
    from_ = new QLineEdit(this);
    to_ = new QLineEdit(this);
    from_->setObjectName(QStringLiteral("statFrom"));
    to_->setObjectName(QStringLiteral("statTo"));
    for (QLineEdit* box : {from_, to_}) {
        box->setPlaceholderText(QStringLiteral("whole log"));
        box->setMaximumWidth(90);
        connect(box, &QLineEdit::textChanged, this, &DipStatisticsWindow::refresh);
    }
    filters->addWidget(new QLabel(QStringLiteral("Depths from"), this));
    filters->addWidget(from_);
    filters->addWidget(new QLabel(QStringLiteral("to"), this));
    filters->addWidget(to_);
    filters->addStretch(1);
    save_ = new QPushButton(QStringLiteral("Save Image"), this);
    save_->setObjectName(QStringLiteral("statSave"));
    connect(save_, &QPushButton::clicked, this, &DipStatisticsWindow::saveImageRequested);
    filters->addWidget(save_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(diagrams_, 1);
    layout->addWidget(summary_);
    layout->addLayout(filters);
    refresh();
}

DipSelection DipStatisticsWindow::selection()
{
    DipSelection s;
    for (std::size_t g = 0; g < 4; ++g)
        s.grades[g] = grades_[g]->isChecked();
    bool fromValid = true, toValid = true;
    s.from = depthLimit(from_, fromValid);
    s.to = depthLimit(to_, toValid);
    limitsValid_ = fromValid && toValid;
    s.only = zone_;
    return s;
}

void DipStatisticsWindow::setZone(std::vector<std::size_t> dips)
{
    zone_ = std::move(dips);
    refresh();
}

void DipStatisticsWindow::refresh()
{
    statistics_ = dipStatistics(session_.work(), selection());
    diagrams_->update();
    summary_->setText(summary());
    setWindowTitle(zoneWords().isEmpty() ? QStringLiteral("Dip Statistics")
                                         : QStringLiteral("Dip Statistics: %1").arg(zoneWords()));
}

QString DipStatisticsWindow::zoneWords() const
{
    if (zone_.empty())
        return QString();
    const DipStatistics& s = statistics_;
    QString words = QStringLiteral("the %1 dips selected in the dip table").arg(zone_.size());
    if (s.shallowest && s.deepest)
        words += QStringLiteral(", depths %1\u2013%2")
                     .arg(QString::fromStdString(formatOneDecimal(*s.shallowest)),
                          QString::fromStdString(formatOneDecimal(*s.deepest)));
    return words;
}

QString DipStatisticsWindow::summary() const
{
    const DipStatistics& s = statistics_;
    QString text = QStringLiteral("Dips: %1").arg(s.counted);
    if (s.leftOut > 0)
        text += QStringLiteral("    left out: %1 (not calibrated there, or no tail yet)").arg(s.leftOut);
    if (s.meanDip && s.meanAzimuth)
        text += QStringLiteral("\nMean dip %1\u00b0, azimuth %2\u00b0, spherical variance %3")
                    .arg(QString::fromStdString(formatOneDecimal(*s.meanDip)),
                         QString::fromStdString(formatOneDecimal(*s.meanAzimuth)), threeDecimals(s.sphericalVariance));
    if (!limitsValid_)
        text += QStringLiteral("\nA depth limit that is not a number is left out: the interval stays open there.");
    return text;
}

void DipStatisticsWindow::paintSaved(QPainter& p, const QRectF& area) const
{
    const QRectF diagrams(area.topLeft(), QSizeF(area.width(), area.height() - kFooterHeight));
    paintDipDiagrams(p, diagrams, statistics_, colours_);
    // What the diagrams rest on, and the grades' colours, so that the image
    // tells it all on its own.
    const DipStatistics& s = statistics_;
    QString facts = QStringLiteral("%1 dips").arg(s.counted);
    if (s.meanDip && s.meanAzimuth)
        facts += QStringLiteral(";  mean dip %1\u00b0, azimuth %2\u00b0 (the mean pole)")
                     .arg(QString::fromStdString(formatOneDecimal(*s.meanDip)),
                          QString::fromStdString(formatOneDecimal(*s.meanAzimuth)));
    if (!zone_.empty())
        facts += QStringLiteral(";  %1").arg(zoneWords());
    else if (s.shallowest && s.deepest)
        facts += QStringLiteral(";  depths %1\u2013%2").arg(QString::fromStdString(formatOneDecimal(*s.shallowest)),
                                                           QString::fromStdString(formatOneDecimal(*s.deepest)));
    const double top = diagrams.bottom();
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left() + 20, top + 8, area.width() - 40, 28), Qt::AlignLeft | Qt::AlignVCenter, facts);
    for (std::size_t g = 0; g < 4; ++g) {
        const double x = area.left() + 20 + 90.0 * double(g);
        const Rgb c = colours_[g];
        p.fillRect(QRectF(x, top + 44, 16, 16), QColor(c.r, c.g, c.b));
        p.drawRect(QRectF(x, top + 44, 16, 16));
        p.drawText(QRectF(x + 22, top + 40, 60, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Grade %1").arg(QChar('A' + int(g))));
    }
}

bool DipStatisticsWindow::saveImage(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QRectF area(QPointF(0, 0), QSizeF(kImageSize));
    if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(kImageSize);
        svg.setViewBox(area);
        svg.setTitle(QStringLiteral("Dip statistics"));
        QPainter p(&svg);
        p.fillRect(area, Qt::white);
        paintSaved(p, area);
    } else {
        QImage image(kImageSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            paintSaved(p, area);
        }
        if (!image.save(&file, "PNG"))
            return false;
    }
    return file.commit();
}
