#pragma once

#include <QFrame>

#include "drawing/qt_surface.h"
#include "drawing/viewport.h"

// The log view (Picture1): shows its drawing surface, keeps which part of
// the picture it shows at which zoom, and reports the mouse and the wheel.
// It never draws on its own; the window and the tools draw on the surface,
// and after each mouse event the view shows what they changed.
class LogView : public QFrame {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    QtSurface& surface() { return surface_; }
    const Viewport& viewport() const { return viewport_; }
    void setViewport(const Viewport& viewport) { viewport_ = viewport; }
    // The picture pixels the view shows across and down at its zoom.
    double shownWidth() const { return contentsRect().width() / viewport_.zoom; }
    double shownHeight() const { return contentsRect().height() / viewport_.zoom; }

    // Gives the surface the size of the drawing area; a new size clears it.
    void fitSurface();
    void setBordered(bool bordered);
    // Repaints what was drawn on the surface since the last call.
    void showChanges();

signals:
    // Positions in pixels from the top-left corner of the drawing area; the
    // buttons as 1 left, 2 right, 4 middle (or-ed for those held in a move),
    // the shift state as 1 Shift, 2 Ctrl, 4 Alt.
    void mousePressed(int button, int shift, double x, double y);
    void mouseMoved(int buttons, int shift, double x, double y);
    void mouseReleased(int button, int shift, double x, double y);
    // The second press of a double click, which is reported only so.
    void doubleClicked();
    void mouseLeft();
    // The drawing area took another size.
    void resized();
    // Whole wheel notches, positive away from the user; horizontal with Shift.
    void wheelScrolled(double notches, bool horizontal);
    // With Ctrl held: one step per notch, in (away from the user) or out.
    // A notch of Ctrl and the wheel, at (x, y) of the drawing area.
    void wheelZoomed(bool in, double x, double y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPointF position(const QMouseEvent* event) const;

    QtSurface surface_;
    Viewport viewport_;
    int zoomTurn_ = 0;  // wheel angle with Ctrl not yet a whole notch
};
