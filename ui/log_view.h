#pragma once

#include <QFrame>

#include "drawing/qt_surface.h"

// The log view (Picture1): shows its drawing surface and reports the wheel.
// It never draws on its own; the window redraws the surface and the view
// shows what is there.
class LogView : public QFrame {
    Q_OBJECT
public:
    LogView(double twipsPerPixelX, double twipsPerPixelY, QWidget* parent = nullptr);

    QtSurface& surface() { return surface_; }

    // Gives the surface the size of the drawing area; a new size clears it.
    void fitSurface();
    void setBordered(bool bordered);

signals:
    // Whole wheel notches, positive away from the user; horizontal with Shift.
    void wheelScrolled(double notches, bool horizontal);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QtSurface surface_;
};
