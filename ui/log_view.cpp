#include "ui/log_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
           | (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
           | (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

LogView::LogView(QWidget* parent) : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::WheelFocus);
    setMouseTracking(true);  // moves without a button swing the rubber tail
    setCursor(Qt::CrossCursor);  // a press lands where the lines cross
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
    const QRect area = event->rect().intersected(contentsRect());
    if (area.isEmpty())
        return;
    QPainter p(this);
    p.drawImage(area.topLeft(), surface_.image(), area.translated(-contentsRect().topLeft()));
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitSurface();
    emit resized();
}

void LogView::wheelEvent(QWheelEvent* e)
{
    const QPoint delta = e->angleDelta();
    e->accept();
    if (e->modifiers() & Qt::ControlModifier) {
        // Fine-grained wheels and touch pads send parts of a notch.
        zoomTurn_ += delta.y();
        const QPointF at = e->position() - QPointF(contentsRect().topLeft());
        for (; zoomTurn_ >= 120; zoomTurn_ -= 120)
            emit wheelZoomed(true, at.x(), at.y());
        for (; zoomTurn_ <= -120; zoomTurn_ += 120)
            emit wheelZoomed(false, at.x(), at.y());
        return;
    }
    const bool horizontal = (e->modifiers() & Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    if (amount != 0)
        emit wheelScrolled(amount / 120.0, horizontal);
}

QPointF LogView::position(const QMouseEvent* event) const
{
    return event->position().toPoint() - contentsRect().topLeft();
}

void LogView::showChanges()
{
    const QRect area = surface_.takeChangedArea();
    if (!area.isEmpty())
        update(area.translated(contentsRect().topLeft()));
}

void LogView::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = position(event);
    emit mousePressed(buttonCode(event->button()), shiftCode(event->modifiers()), at.x(), at.y());
    showChanges();
}

void LogView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = position(event);
    emit mouseMoved(buttonCode(event->buttons()), shiftCode(event->modifiers()), at.x(), at.y());
    showChanges();
}

void LogView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = position(event);
    emit mouseReleased(buttonCode(event->button()), shiftCode(event->modifiers()), at.x(), at.y());
    showChanges();
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Not passed on as a press: the second press of a double click is only this.
    emit doubleClicked();
    showChanges();
    event->accept();
}

void LogView::leaveEvent(QEvent* event)
{
    QFrame::leaveEvent(event);
    emit mouseLeft();
    showChanges();
}
