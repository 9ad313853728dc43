#include "ui/log_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

LogView::LogView(double twipsPerPixelX, double twipsPerPixelY, QWidget* parent)
    : QFrame(parent), tppX_(twipsPerPixelX), tppY_(twipsPerPixelY), surface_(twipsPerPixelX, twipsPerPixelY)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
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

QPointF LogView::toTwips(QPointF pos) const
{
    const QPointF inner = pos - contentsRect().topLeft();
    return {inner.x() * tppX_, inner.y() * tppY_};
}

void LogView::mousePressEvent(QMouseEvent* e)
{
    const QPointF t = toTwips(e->position());
    emit mousePressed(e->button(), e->modifiers(), t.x(), t.y());
}

void LogView::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF t = toTwips(e->position());
    emit mouseMoved(e->buttons(), e->modifiers(), t.x(), t.y());
}

void LogView::mouseReleaseEvent(QMouseEvent* e)
{
    const QPointF t = toTwips(e->position());
    emit mouseReleased(e->button(), e->modifiers(), t.x(), t.y());
}

void LogView::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPointF t = toTwips(e->position());
    emit mouseDoubleClicked(e->button(), e->modifiers(), t.x(), t.y());
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
