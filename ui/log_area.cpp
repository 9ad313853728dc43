#include "ui/log_area.h"

#include <algorithm>
#include <cmath>

#include <QScrollBar>
#include <QSignalBlocker>

#include "ui/log_view.h"
#include "ui/view_rules.h"

LogArea::LogArea(QWidget* parent) : QObject(parent)
{
    view_ = new LogView(parent);
    view_->setObjectName(QStringLiteral("Picture1"));
    hBar_ = new QScrollBar(Qt::Horizontal, parent);
    hBar_->setObjectName(QStringLiteral("HScroll1"));
    vBar_ = new QScrollBar(Qt::Vertical, parent);
    vBar_->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* bar : {hBar_, vBar_}) {
        // Changes arrive when the thumb is released, not while it is dragged.
        bar->setTracking(false);
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            followBars();
            emit viewChanged();
        });
    }
    corner_ = new QWidget(parent);
    corner_->setObjectName(QStringLiteral("Picture4"));
    // The bars' ranges follow the view's size; the window redraws.
    connect(view_, &LogView::resized, this, [this] {
        layoutRanges();
        emit viewChanged();
    });
}

void LogArea::setPictureSize(QSize size) { picture_ = size.expandedTo(QSize(1, 1)); }

double LogArea::zoom() const { return view_->viewport().zoom; }

bool LogArea::zoomStep(bool in)
{
    const double factor = zoomAfterButton(in ? 0 : 1, zoom());
    if (factor == zoom())
        return false;
    setZoom(factor);
    return true;
}

bool LogArea::zoomStepAbout(bool in, double viewX, double viewY)
{
    return zoomKeeping(viewX, viewY, [&] { return zoomStep(in); });
}

void LogArea::setZoomAboutMiddle(double factor)
{
    zoomKeeping(view_->contentsRect().width() / 2.0, view_->contentsRect().height() / 2.0, [&] {
        setZoom(factor);
        return true;
    });
}

bool LogArea::zoomKeeping(double viewX, double viewY, const std::function<bool()>& change)
{
    const Viewport before = view_->viewport();
    const double x = before.toPictureX(viewX), y = before.toPictureY(viewY);
    if (!change())
        return false;
    layoutRanges();
    placeAt(x - viewX / zoom(), y - viewY / zoom());
    return true;
}

void LogArea::placeAt(double left, double top)
{
    const std::pair<QScrollBar*, double> bars[] = {{hBar_, left * kDesignUnitsPerPixel / hUnit_},
                                                   {vBar_, top * kDesignUnitsPerPixel / vUnit_}};
    for (const auto& [bar, value] : bars) {
        const QSignalBlocker quiet(bar);  // the caller redraws once
        bar->setValue(std::clamp(int(std::lround(value)), bar->minimum(), bar->maximum()));
    }
    followBars();
}

void LogArea::setZoom(double zoom)
{
    Viewport v = view_->viewport();
    v.zoom = zoom;
    view_->setViewport(v);
}

void LogArea::layoutRanges()
{
    const QSize inner = view_->contentsRect().size();
    // The bars stop where the picture's end reaches the view's edge, not a
    // screen of nothing beyond it.
    const auto beyondView = [](int pictureSpan, double shown) {
        return std::max(1, int(std::ceil(pictureSpan - shown)));
    };
    // Across, the bar's range is 95 % of the width it is given.
    const ScrollSettings h =
        horizontalScroll(kDesignUnitsPerPixel, int(std::ceil(beyondView(picture_.width(), view_->shownWidth()) / 0.95)),
                         inner.width() * kDesignUnitsPerPixel);
    const ScrollSettings v = verticalScroll(kDesignUnitsPerPixel, beyondView(picture_.height(), view_->shownHeight()),
                                            inner.height() * kDesignUnitsPerPixel);
    hUnit_ = h.unit;
    vUnit_ = v.unit;
    const std::pair<QScrollBar*, const ScrollSettings*> bars[] = {{hBar_, &h}, {vBar_, &v}};
    for (const auto& [bar, s] : bars) {
        // A position beyond a smaller maximum is clamped; the layout redraws
        // once at its end, so the clamp must not redraw on its own.
        const QSignalBlocker quiet(bar);
        bar->setMaximum(s->maximum);
        bar->setPageStep(s->largeChange);
        bar->setSingleStep(s->smallChange);
    }
    followBars();
}

void LogArea::followBars()
{
    Viewport v = view_->viewport();
    v.left = hBar_->value() * hUnit_ / kDesignUnitsPerPixel;
    v.top = vBar_->value() * vUnit_ / kDesignUnitsPerPixel;
    view_->setViewport(v);
}

void LogArea::centreOn(double x, double y)
{
    placeAt(x - view_->shownWidth() / 2, y - view_->shownHeight() / 2);
    emit viewChanged();
}

void LogArea::bringIntoSight(double x, double y, double margin)
{
    const Viewport v = view_->viewport();
    const double width = view_->shownWidth(), height = view_->shownHeight();
    // Each way, only as far as the place needs; a margin too wide for the
    // view centres it.
    const auto needed = [](double at, double first, double shown, double room) {
        room = std::min(room, shown / 2);
        if (at - room < first)
            return at - room;
        if (at + room > first + shown)
            return at + room - shown;
        return first;
    };
    const double left = needed(x, v.left, width, margin), top = needed(y, v.top, height, margin);
    if (left == v.left && top == v.top)
        return;
    placeAt(left, top);
    emit viewChanged();
}

void LogArea::centreRow(double y)
{
    const double value = (y - view_->shownHeight() / 2) * kDesignUnitsPerPixel / vUnit_;
    vBar_->setValue(std::clamp(int(std::lround(value)), vBar_->minimum(), vBar_->maximum()));
}

void LogArea::toEnd(bool last) { vBar_->setValue(last ? vBar_->maximum() : vBar_->minimum()); }

void LogArea::wheel(double notches, bool horizontal)
{
    QScrollBar* bar = horizontal ? hBar_ : vBar_;
    if (!bar->isVisible() || !bar->isEnabled())
        return;
    const int steps = int(std::lround(notches * bar->singleStep()));
    bar->setValue(std::clamp(bar->value() - steps, bar->minimum(), bar->maximum()));
}

void LogArea::reset()
{
    for (QScrollBar* bar : {hBar_, vBar_}) {
        const QSignalBlocker quiet(bar);  // the new log's layout redraws once
        bar->setValue(0);
    }
    setZoom(1);
    followBars();
}
