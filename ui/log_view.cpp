#include "ui/log_view.h"

#include <QPainter>
#include <QWheelEvent>

LogView::LogView(double twipsPerPixelX, double twipsPerPixelY, QWidget* parent)
    : QFrame(parent), surface_(twipsPerPixelX, twipsPerPixelY)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::WheelFocus);
}

void LogView::fitSurface()
{
    const QSize inner = contentsRect().size().expandedTo(QSize(1, 1));
    if (surface_.sizeInPixels() != inner)
        surface_.resize(inner);
}

void LogView::setBordered(bool bordered)
{
    setFrameStyle(bordered ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
    fitSurface();
}

void LogView::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    p.drawImage(contentsRect().topLeft(), surface_.image());
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitSurface();
}

void LogView::wheelEvent(QWheelEvent* e)
{
    const QPoint delta = e->angleDelta();
    const bool horizontal = (e->modifiers() & Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount != 0)
        emit wheelScrolled(amount / 120.0, horizontal);
    e->accept();
}
