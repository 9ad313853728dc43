#include "ui/window_placement.h"

#include <algorithm>

#include <QScreen>
#include <QWidget>

void placeScaleForm(QWidget& form, const QWidget& logView)
{
    placeBesideLog(&form, &logView, logView.mapToGlobal(QPoint(0, 0)).y());
}

void placeBesideLog(QWidget* window, const QWidget* logView, int avoidY)
{
    window->adjustSize();
    // The frame is known only once shown; allow for a title bar before that.
    const QSize frame = window->isVisible() ? window->frameGeometry().size() : window->size() + QSize(8, 32);
    const QRect view(logView->mapToGlobal(QPoint(0, 0)), logView->size());
    const QRect main = logView->window()->frameGeometry();
    const QScreen* screen = logView->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect(view.topLeft(), QSize(1 << 14, 1 << 14));

    constexpr int kGap = 8;
    QPoint at(main.right() + kGap, view.top());
    if (at.x() + frame.width() > room.right()) {
        at.setX(view.right() - frame.width() - kGap);
        const bool avoidLowerHalf = avoidY > view.center().y();
        at.setY(avoidLowerHalf ? view.top() + kGap : view.bottom() - frame.height() - kGap);
    }
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - frame.width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - frame.height())));
    window->move(at);
}
