#include "drawing/qt_surface.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "picture/log_picture.h"

namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of it
// lies inside. Keeps huge coordinates from a far zoom away from the rasterizer.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, const QRectF& r)
{
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x1 - r.left(), r.right() - x1, y1 - r.top(), r.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1, oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

bool finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

QtSurface::QtSurface() : image_(1, 1, QImage::Format_RGB32)
{
    QFont font;
    font.setPointSize(8);
    setFont(font);
    image_.fill(toQColor(background_));
}

QtSurface::~QtSurface() { finishPainting(); }

void QtSurface::resize(QSize pixels)
{
    finishPainting();
    image_ = QImage(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image_.fill(toQColor(background_));
    changed_ = image_.rect();
}

void QtSurface::setBackground(Rgb colour) { background_ = colour; }

void QtSurface::setFont(const QFont& font)
{
    font_ = font;
    metrics_ = QFontMetricsF(font_);
    boldFont_ = font;
    boldFont_.setBold(true);
    boldMetrics_ = QFontMetricsF(boldFont_);
}

const QImage& QtSurface::image()
{
    finishPainting();
    return image_;
}

QRect QtSurface::takeChangedArea()
{
    const QRect area = changed_.intersected(image_.rect());
    changed_ = QRect();
    return area;
}

void QtSurface::changed(const QRectF& pixels)
{
    if (changed_ == image_.rect())
        return;  // after a clear, as through every full redraw
    // Wide pens and round caps reach past the figure's own rectangle.
    const int reach = std::max(1, pen().drawWidth) + 1;
    changed_ |= pixels.normalized().toAlignedRect().adjusted(-reach, -reach, reach, reach);
}

QPainter& QtSurface::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    return *painter_;
}

void QtSurface::finishPainting() { painter_.reset(); }

void QtSurface::refresh() { finishPainting(); }

bool QtSurface::outside(double left, double top, double right, double bottom) const
{
    return right < 0 || bottom < 0 || left > image_.width() || top > image_.height();
}

void QtSurface::setStroke(QPainter& p, Rgb colour)
{
    QPen stroke(toQColor(colour));
    stroke.setWidth(std::max(1, pen().drawWidth));
    stroke.setCapStyle(Qt::RoundCap);
    stroke.setJoinStyle(Qt::RoundJoin);
    if (pen().lineStyle == LineStyle::Dashed) {
        stroke.setCapStyle(Qt::FlatCap);
        stroke.setDashPattern({3, 2});
    }
    p.setPen(stroke);
    p.setCompositionMode(pen().drawMode == DrawMode::Invert ? QPainter::RasterOp_NotSourceXorDestination
                                                                  : QPainter::CompositionMode_SourceOver);
}

void QtSurface::clear()
{
    finishPainting();
    image_.fill(toQColor(background_));
    changed_ = image_.rect();
    setTextPosition(0, 0);
}

void QtSurface::paintPicture(double dx, double dy, double dw, double dh, double sx, double sy, double sw,
                             double sh)
{
    if (!picture_ || picture_->isNull() || !finite({dx, dy, dw, dh, sx, sy, sw, sh}) || dw <= 0 || dh <= 0
        || sw <= 0 || sh <= 0)
        return;
    QRectF dest(dx, dy, dw, dh);
    QRectF source(sx, sy, sw, sh);
    const double scaleX = dest.width() / source.width();
    const double scaleY = dest.height() / source.height();

    // Keep only what lands on the surface and lies on the picture.
    QRectF visible = dest.intersected(QRectF(0, 0, image_.width(), image_.height()));
    QRectF wanted(source.left() + (visible.left() - dest.left()) / scaleX,
                  source.top() + (visible.top() - dest.top()) / scaleY, visible.width() / scaleX,
                  visible.height() / scaleY);
    wanted = wanted.intersected(QRectF(0, 0, picture_->width(), picture_->height()));
    if (wanted.isEmpty())
        return;
    visible = QRectF(dest.left() + (wanted.left() - source.left()) * scaleX,
                     dest.top() + (wanted.top() - source.top()) * scaleY, wanted.width() * scaleX,
                     wanted.height() * scaleY);

    // The reduced copy that is drawn at its own size or larger: each screen
    // pixel then shows the ink of the picture pixels it stands for, where
    // scaling a larger copy down would drop rows and columns of it.
    int level = 0;
    while (level + 1 < LogPicture::kLevels && std::min(scaleX, scaleY) * (1 << level) < 0.999999)
        ++level;
    const double reduction = 1 << level;
    const QImage& img = picture_->level(level);
    const QRectF levelSource(wanted.left() / reduction, wanted.top() / reduction, wanted.width() / reduction,
                             wanted.height() / reduction);

    changed(visible);
    if (std::abs(scaleX * reduction - 1) < 1e-6 && std::abs(scaleY * reduction - 1) < 1e-6) {
        // Pixel for pixel: converted straight into the surface.
        const QRect source = levelSource.toAlignedRect().intersected(img.rect());
        const QPoint at(int(std::lround(visible.left())), int(std::lround(visible.top())));
        const QRect target = QRect(at, source.size()).intersected(image_.rect());
        if (target.isEmpty())
            return;
        finishPainting();
        auto* first = reinterpret_cast<std::uint32_t*>(image_.scanLine(target.top())) + target.left();
        picture_->toRgb32(level, target.translated(source.topLeft() - at), first, image_.bytesPerLine() / 4);
        return;
    }
    // Scaled: the part sampled, with a margin, converted for Qt to scale as
    // it would the whole level.
    const QRect part = levelSource.toAlignedRect().adjusted(-2, -2, 2, 2).intersected(img.rect());
    scratch_.resize(std::size_t(part.width()) * std::size_t(part.height()));
    picture_->toRgb32(level, part, scratch_.data(), part.width());
    const QImage shown(reinterpret_cast<const uchar*>(scratch_.data()), part.width(), part.height(),
                       qsizetype(part.width()) * 4, QImage::Format_RGB32);
    QPainter& p = painter();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(visible, shown, levelSource.translated(-part.topLeft()));
}

void QtSurface::line(double x1, double y1, double x2, double y2, Rgb colour)
{
    if (!finite({x1, y1, x2, y2}))
        return;
    const double margin = pen().drawWidth + 1;
    if (!clipSegment(x1, y1, x2, y2, QRectF(-margin, -margin, image_.width() + 2 * margin, image_.height() + 2 * margin)))
        return;
    changed(QRectF(QPointF(x1, y1), QPointF(x2, y2)));
    QPainter& p = painter();
    if (pen().drawWidth == 2 && pen().lineStyle == LineStyle::Solid && pen().drawMode == DrawMode::Copy) {
        // A tail: two one-pixel lines side by side, across the line's
        // steeper direction, which Qt draws without building an outline
        // (thousands of tails a redraw).
        const bool flat = std::abs(x2 - x1) >= std::abs(y2 - y1);
        const double dx = flat ? 0 : 0.5, dy = flat ? 0.5 : 0;
        p.setPen(QPen(toQColor(colour), 1));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QLineF sides[] = {{x1 - dx, y1 - dy, x2 - dx, y2 - dy}, {x1 + dx, y1 + dy, x2 + dx, y2 + dy}};
        p.drawLines(sides, 2);
        return;
    }
    setStroke(p, colour);
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void QtSurface::box(double x1, double y1, double x2, double y2, Rgb colour)
{
    const QRectF r = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
    if (!finite({r.left(), r.top(), r.width(), r.height()}) || outside(r.left(), r.top(), r.right(), r.bottom()))
        return;
    changed(r);
    QPainter& p = painter();
    setStroke(p, colour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void QtSurface::circle(double x, double y, double radius, Rgb colour)
{
    const double cx = x, cy = y, r = std::abs(radius);
    if (!finite({cx, cy, r}))
        return;
    const double reach = r + pen().drawWidth + 1;
    if (outside(cx - reach, cy - reach, cx + reach, cy + reach))
        return;
    changed(QRectF(cx - r, cy - r, 2 * r, 2 * r));
    QPainter& p = painter();
    if (pen().fillStyle == FillStyle::Solid && pen().fillColor == colour && pen().drawMode == DrawMode::Copy) {
        // A dot, outline and fill of one colour: the disc the outline's outer
        // edge bounds, on whole pixels, which Qt fills without stroking a path
        // (thousands of tadpoles a redraw).
        const int outer = int(std::lround(r + std::max(1, pen().drawWidth) / 2.0));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.drawImage(QPoint(int(std::lround(cx)) - outer, int(std::lround(cy)) - outer), dot(outer, colour));
        return;
    }
    setStroke(p, colour);
    if (pen().fillStyle == FillStyle::Solid)
        p.setBrush(toQColor(pen().fillColor));
    else
        p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(cx, cy), r, r);
}

const QImage& QtSurface::dot(int outer, Rgb colour)
{
    const std::uint64_t key = std::uint64_t(std::uint32_t(outer)) << 32 | std::uint32_t(colour.r) << 16
                              | std::uint32_t(colour.g) << 8 | colour.b;
    auto found = dots_.find(key);
    if (found == dots_.end()) {
        // Qt's own disc, drawn once on a clear stamp: the same pixels as
        // drawing it in place.
        QImage stamp(2 * outer + 1, 2 * outer + 1, QImage::Format_ARGB32_Premultiplied);
        stamp.fill(Qt::transparent);
        QPainter p(&stamp);
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(colour));
        p.drawEllipse(QRect(0, 0, 2 * outer, 2 * outer));
        p.end();
        found = dots_.emplace(key, stamp).first;
    }
    return found->second;
}

double QtSurface::textWidth(const std::string& text) const
{
    return (pen().boldText ? boldMetrics_ : metrics_).horizontalAdvance(QString::fromStdString(text));
}

void QtSurface::print(const std::string& text)
{
    const QString s = QString::fromStdString(text);
    const double x = pen().currentX, y = pen().currentY;
    const QFontMetricsF& metrics = pen().boldText ? boldMetrics_ : metrics_;
    const double w = metrics.horizontalAdvance(s), h = metrics.height();
    if (finite({x, y}) && !outside(x, y, x + w, y + h)) {
        changed(QRectF(x, y, w, h));
        QPainter& p = painter();
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.setFont(pen().boldText ? boldFont_ : font_);
        p.setPen(toQColor(pen().foreColor));
        p.setBackgroundMode(pen().fontTransparent ? Qt::TransparentMode : Qt::OpaqueMode);
        p.setBackground(toQColor(pen().textBackColor.value_or(background_)));
        p.drawText(QPointF(x, y + metrics.ascent()), s);
    }
    setTextPosition(0, pen().currentY + h);
}
