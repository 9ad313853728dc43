#pragma once

#include <QImage>
#include <QWidget>

// The loupe: a small window beside the cursor showing the log view around it
// four times enlarged, with a cross-hair on the pixel a press would take. It
// takes neither the focus nor the mouse.
class Magnifier : public QWidget {
public:
    static constexpr int kZoom = 4;
    static constexpr int kReach = 20;  // view pixels shown either side of the cursor
    static constexpr int kSide = (2 * kReach + 1) * kZoom;

    explicit Magnifier(QWidget* parent = nullptr);

    // The view's pixels around pixel (a position in view), shown beside the
    // cursor at the global position cursor.
    void follow(const QImage& view, QPoint pixel, QPoint cursor);
    // The same place again, after the view was redrawn under the cursor.
    void refresh(const QImage& view);

    const QImage& lens() const { return lens_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void magnify(const QImage& view);

    QImage lens_;
    QPoint pixel_;
};
