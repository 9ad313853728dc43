#include "ui/magnifier.h"

#include <algorithm>
#include <cstdint>

#include <QPainter>
#include <QScreen>

namespace {

constexpr QRgb kOutside = 0xff808080u;  // beyond the edge of the view
constexpr int kGap = 24;                // between the cursor and the loupe

}  // namespace

Magnifier::Magnifier(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      lens_(kSide, kSide, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("Magnifier"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kSide, kSide);
    lens_.fill(kOutside);
}

void Magnifier::follow(const QImage& view, QPoint pixel, QPoint cursor)
{
    pixel_ = pixel;
    magnify(view);
    // Below and right of the cursor, or across it where the screen ends there.
    QPoint at = cursor + QPoint(kGap, kGap);
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        if (at.x() + kSide > room.right())
            at.setX(cursor.x() - kGap - kSide);
        if (at.y() + kSide > room.bottom())
            at.setY(cursor.y() - kGap - kSide);
    }
    if (pos() != at)
        move(at);
    if (!isVisible())
        show();
    update();
}

void Magnifier::refresh(const QImage& view)
{
    magnify(view);
    update();
}

void Magnifier::magnify(const QImage& view)
{
    for (int sy = -kReach; sy <= kReach; ++sy) {
        const int vy = pixel_.y() + sy;
        const bool rowInside = vy >= 0 && vy < view.height();
        const auto* source = rowInside ? reinterpret_cast<const QRgb*>(view.constScanLine(vy)) : nullptr;
        auto* first = reinterpret_cast<QRgb*>(lens_.scanLine((sy + kReach) * kZoom));
        for (int sx = -kReach; sx <= kReach; ++sx) {
            const int vx = pixel_.x() + sx;
            const QRgb colour = rowInside && vx >= 0 && vx < view.width() ? source[vx] : kOutside;
            std::fill_n(first + (sx + kReach) * kZoom, kZoom, colour);
        }
        for (int k = 1; k < kZoom; ++k)
            std::copy_n(first, kSide, reinterpret_cast<QRgb*>(lens_.scanLine((sy + kReach) * kZoom + k)));
    }
}

void Magnifier::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, lens_);
    // The cross-hair stops short of the centre pixel, which stays in sight.
    const int low = kReach * kZoom, high = low + kZoom - 1;
    p.setPen(QColor(255, 0, 0));
    p.drawLine(0, low + kZoom / 2, low - 2, low + kZoom / 2);
    p.drawLine(high + 2, low + kZoom / 2, kSide - 1, low + kZoom / 2);
    p.drawLine(low + kZoom / 2, 0, low + kZoom / 2, low - 2);
    p.drawLine(low + kZoom / 2, high + 2, low + kZoom / 2, kSide - 1);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(0, 0, kSide - 1, kSide - 1);
}
