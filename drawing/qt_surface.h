#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include "drawing/drawing_surface.h"

class LogPicture;
class QPainter;

// A drawing surface kept in an off-screen image: what is drawn stays until the
// next clear, and a widget shows the image. Invert figures are drawn without
// antialiasing and as single strokes, so that drawing one twice restores every
// pixel. Figures wholly outside the image are skipped before they reach Qt.
class QtSurface : public DrawingSurface {
public:
    QtSurface();
    ~QtSurface() override;

    // A new size clears the surface to its background colour.
    void resize(QSize pixels);
    QSize sizeInPixels() const { return image_.size(); }
    void setBackground(Rgb colour);
    Rgb background() const { return background_; }
    void setPicture(const LogPicture* picture) { picture_ = picture; }
    const LogPicture* picture() const { return picture_; }
    void setFont(const QFont& font);

    // The image with everything drawn so far.
    const QImage& image();

    // The pixels drawn on since the last call, so that a view repaints only
    // those after a mouse move.
    QRect takeChangedArea();

    void clear() override;
    void paintPicture(double dx, double dy, double dw, double dh, double sx, double sy, double sw,
                      double sh) override;
    void line(double x1, double y1, double x2, double y2, Rgb colour) override;
    void box(double x1, double y1, double x2, double y2, Rgb colour) override;
    void circle(double x, double y, double radius, Rgb colour) override;
    void print(const std::string& text) override;
    double textWidth(const std::string& text) const override;
    double scaleWidth() const override { return image_.width(); }
    double scaleHeight() const override { return image_.height(); }
    void refresh() override;

    using DrawingSurface::line;

private:
    QPainter& painter();
    void finishPainting();
    void setStroke(QPainter& p, Rgb colour);
    bool outside(double left, double top, double right, double bottom) const;
    void changed(const QRectF& pixels);
    // A tadpole's dot of the given outer radius and colour, on a clear stamp.
    const QImage& dot(int outer, Rgb colour);

    QImage image_;
    Rgb background_{192, 192, 192};
    QFont font_;
    QFontMetricsF metrics_{font_};
    QFont boldFont_;
    QFontMetricsF boldMetrics_{boldFont_};
    const LogPicture* picture_ = nullptr;
    std::unique_ptr<QPainter> painter_;
    std::vector<std::uint32_t> scratch_;
    std::map<std::uint64_t, QImage> dots_;  // the picture's part a scaled view shows
    QRect changed_;
};
