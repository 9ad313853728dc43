#include "ui/bevel_bar.h"

#include <QPainter>

BevelBar::BevelBar(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void BevelBar::paintEvent(QPaintEvent*)
{
    // In pixels: the outlines of the bar's design, one pixel outside and one
    // inside its edges.
    QPainter p(this);
    const int w = width(), h = height();
    p.setPen(QColor(128, 128, 128));
    p.drawRect(-1, -1, w, h);
    p.setPen(Qt::white);
    p.drawRect(0, 1, w + 1, h);
    p.setPen(Qt::black);
    p.drawLine(0, 0, w + 1, 0);
}
