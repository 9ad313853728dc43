#include "ui/about_box.h"

#include <cmath>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A tadpole on a dip track: the program's logo.
QPixmap tadpoleLogo(int size)
{
    QPixmap logo(size, size);
    logo.fill(Qt::white);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 160, 160), 1));
    for (int i = 1; i < 6; ++i)
        p.drawLine(size * i / 6, 0, size * i / 6, size);
    const QPointF centre(size * 0.45, size * 0.55);
    const double a = 50 * 3.14159 / 180;
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(centre, centre + QPointF(size * 0.35 * std::sin(a), -size * 0.35 * std::cos(a)));
    p.setBrush(Qt::red);
    p.drawEllipse(centre, size * 0.1, size * 0.1);
    return logo;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Vellwick Digitizer"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Pic_ApplicationIcon"));
    icon->setPixmap(tadpoleLogo(32));
    auto* title = new QLabel(QStringLiteral("Dipmeter Digitizer"), this);
    title->setObjectName(QStringLiteral("Label2"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version " DIP_VERSION), this);
    version->setObjectName(QStringLiteral("Lbl_Version"));
    auto* about = new QLabel(QStringLiteral("Calibrates scanned dipmeter logs and digitizes their tadpoles\n"
                                            "into tables of depth, dip, azimuth and quality."),
                             this);
    about->setObjectName(QStringLiteral("Lbl_Harrowmere"));
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Picture1"));
    logo->setPixmap(tadpoleLogo(96));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Cmd_OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* heading = new QHBoxLayout;
    heading->addWidget(icon);
    heading->addWidget(title, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(version);
    layout->addWidget(logo, 0, Qt::AlignHCenter);  // centred, as the dialog's design asks
    layout->addWidget(about);
    layout->addWidget(ok, 0, Qt::AlignRight);
}
