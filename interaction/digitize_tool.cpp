#include "interaction/digitize_tool.h"

#include <cmath>

#include "drawing/log_drawing.h"
#include "model/calibration_rules.h"
#include "model/number_format.h"

namespace {

constexpr double kGuideRadius = 20;
constexpr double kShortestTail = 8.0 / 3;  // nearer the centre, the tail has no length
constexpr double kSnapReach = 10;          // view pixels from a printed dot

constexpr Rgb kBlack{0, 0, 0};

}  // namespace

Rgb DigitizeTool::colour() const { return host_.gradeColour(grade_).value_or(kBlack); }

void DigitizeTool::press(int /*button*/, double x, double y)
{
    const Viewport& v = host_.viewport();
    if (pending_) {
        finish(azimuth_);  // wherever the second press lands
        return;
    }
    double px = v.toPictureX(x), py = v.toPictureY(y);
    const auto snap = host_.snapTarget(px, py, kSnapReach / v.zoom);
    if (snap) {
        px = snap->x;
        py = snap->y;
    }
    const Calibration& c = host_.calibration();
    if (!c.depthAt(py) || !c.dipAt(px, py)) {
        if (const std::string depths = calibratedDepths(host_.work()); !depths.empty())
            host_.showStatus("Outside the calibrated depths " + depths);
        host_.showMessage("Not Calibrated", "This area of the log is not calibrated.");
        return;
    }
    if (host_.work().dips.size() >= std::size_t(kMaxDips)) {
        host_.showMessage("Dip Table Full", "The dip table holds at most " + std::to_string(kMaxDips)
                                                + " dips; this dip was not placed.");
        return;
    }
    start(px, py);
    if (snap && snap->azimuth)
        finish(*snap->azimuth);  // one press, one action
}

void DigitizeTool::start(double x, double y)
{
    pending_ = PendingDip{x, y, colour()};
    // Until the mouse moves the tail has no length and the azimuth is that of
    // a cursor on the centre, not one left from the dip before.
    azimuth_ = azimuthTowards(0, 0);
    drawPending();
}

void DigitizeTool::drawPending()
{
    const Viewport& v = host_.viewport();
    DrawingSurface& s = host_.surface();
    const double x = v.toViewX(pending_->x), y = v.toViewY(pending_->y);
    const Rgb c = pending_->colour;
    s.setDrawWidth(2);
    s.setDrawMode(DrawMode::Copy);
    s.setFillColor(c);
    s.setFillStyle(FillStyle::Solid);
    s.circle(x, y, kDipDotRadius, c);
    s.setFillStyle(FillStyle::Transparent);
    s.setDrawMode(DrawMode::Invert);
    s.circle(x, y, kGuideRadius, c);
    tailEnd_.reset();
}

void DigitizeTool::finish(double azimuth)
{
    const PendingDip dip = *pending_;
    pending_.reset();
    tailEnd_.reset();
    if (!host_.apply(AddDips{{Dip{dip.x, dip.y, azimuth, grade_}}}))
        host_.redraw();
}

bool DigitizeTool::stepBack()
{
    if (!pending_)
        return false;
    pending_.reset();
    tailEnd_.reset();
    host_.redraw();
    return true;
}

void DigitizeTool::reset()
{
    pending_.reset();
    tailEnd_.reset();
}

void DigitizeTool::drawFigures()
{
    if (pending_)
        drawPending();
}

void DigitizeTool::move(int /*buttons*/, double x, double y)
{
    showReadout(x, y);
    if (pending_)
        swingTail(x, y);
}

void DigitizeTool::swingTail(double x, double y)
{
    const Viewport& v = host_.viewport();
    DrawingSurface& s = host_.surface();
    const double cx = v.toViewX(pending_->x), cy = v.toViewY(pending_->y);
    const double dx = x - cx, dy = cy - y;
    azimuth_ = azimuthTowards(dx, dy);
    s.setForeColor(pending_->colour);
    s.setDrawWidth(2);
    s.setDrawMode(DrawMode::Invert);
    if (tailEnd_)
        s.line(cx, cy, tailEnd_->first, tailEnd_->second);
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < kShortestTail)
        tailEnd_ = {cx, cy};
    else
        tailEnd_ = {cx + (x - cx) * kDipTailLength / d, cy + (y - cy) * kDipTailLength / d};
    s.line(cx, cy, tailEnd_->first, tailEnd_->second);
    s.setForeColor(kBlack);
}

void DigitizeTool::showReadout(double x, double y)
{
    ToolHost::Readout r;
    const Viewport& v = host_.viewport();
    const Calibration& c = host_.calibration();
    // While a tail is swung the readout holds the dip's own depth and dip.
    const double px = pending_ ? pending_->x : v.toPictureX(x), py = pending_ ? pending_->y : v.toPictureY(y);
    r.depth = formatOneDecimal(c.depthAt(py));
    r.dip = formatOneDecimal(c.dipAt(px, py));
    if (pending_) {
        const double dx = x - v.toViewX(pending_->x), dy = v.toViewY(pending_->y) - y;
        r.azimuth = formatOneDecimal(azimuthTowards(dx, dy));
    }
    r.grade = grade_;
    host_.showReadout(r);
}
