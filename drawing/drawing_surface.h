#pragma once

#include <optional>
#include <string>

#include <cstdint>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

enum class DrawMode { Copy, Invert };  // Invert: each pixel becomes NOT(pixel XOR pen)
enum class FillStyle { Solid, Transparent };
enum class LineStyle { Solid, Dashed };

// Pen state that a surface keeps until it is changed. Each drawing routine
// sets what it needs and leaves it so.
struct PenState {
    Rgb foreColor{0, 0, 0};
    int drawWidth = 1;  // pixels
    LineStyle lineStyle = LineStyle::Solid;
    DrawMode drawMode = DrawMode::Copy;
    Rgb fillColor{0, 0, 0};
    FillStyle fillStyle = FillStyle::Transparent;
    bool fontTransparent = true;  // false: text on the surface's background colour
    std::optional<Rgb> textBackColor;  // set: opaque text on this colour instead
    bool boldText = false;
    double currentX = 0;          // text position
    double currentY = 0;
};

// What the program draws on: the log view and the bars. Positions and sizes
// are pixels from the top-left corner of the drawing area.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual void clear() = 0;
    // Paints the source rectangle of the stored picture (picture pixels)
    // scaled into the destination rectangle.
    virtual void paintPicture(double dx, double dy, double dw, double dh, double sx, double sy, double sw,
                              double sh) = 0;
    virtual void line(double x1, double y1, double x2, double y2, Rgb colour) = 0;
    virtual void box(double x1, double y1, double x2, double y2, Rgb colour) = 0;
    // Outline in colour, filled with the fill colour when the fill style is solid.
    virtual void circle(double x, double y, double radius, Rgb colour) = 0;
    // Text at the text position, which then moves to the start of the next line.
    virtual void print(const std::string& text) = 0;
    // How wide print would make the text, in the pen's font.
    virtual double textWidth(const std::string& text) const = 0;
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
    virtual void refresh() = 0;

    void line(double x1, double y1, double x2, double y2) { line(x1, y1, x2, y2, pen_.foreColor); }

    PenState& pen() { return pen_; }
    const PenState& pen() const { return pen_; }
    void setForeColor(Rgb c) { pen_.foreColor = c; }
    void setDrawWidth(int w) { pen_.drawWidth = w; }
    void setLineStyle(LineStyle s) { pen_.lineStyle = s; }
    void setDrawMode(DrawMode m) { pen_.drawMode = m; }
    void setFillColor(Rgb c) { pen_.fillColor = c; }
    void setFillStyle(FillStyle s) { pen_.fillStyle = s; }
    void setFontTransparent(bool t) { pen_.fontTransparent = t; }
    // A tag: bold, on its own colour, to be read over any scan.
    void setTagText(std::optional<Rgb> back)
    {
        pen_.fontTransparent = !back;
        pen_.textBackColor = back;
        pen_.boldText = back.has_value();
    }
    void setTextPosition(double x, double y)
    {
        pen_.currentX = x;
        pen_.currentY = y;
    }

private:
    PenState pen_;
};
