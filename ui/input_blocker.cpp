#include "ui/input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

InputBlocker::InputBlocker(const QWidget* allowed) : allowed_(allowed) { qApp->installEventFilter(this); }

InputBlocker::~InputBlocker() { qApp->removeEventFilter(this); }

bool InputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride: {
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (widget && widget->window() == allowed_)
            return false;
        // Taken here, a key is no shortcut either.
        event->accept();
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        event->ignore();
        return true;
    default:
        return false;
    }
}
