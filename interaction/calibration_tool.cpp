#include "interaction/calibration_tool.h"

#include <algorithm>
#include <cmath>

#include "drawing/log_drawing.h"
#include "model/calibration_rules.h"
#include "model/number_format.h"

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kPurple{128, 0, 255};
constexpr Rgb kBlack{0, 0, 0};

// The custom scale's marker, near the top of the view, and the depth row's
// around it; view pixels.
constexpr double kCustomMarkerTop = 10;
constexpr double kCustomMarkerBottom = 130.0 / 3;
constexpr double kRowMarkerHalfHeight = 50.0 / 3;
// A Delete press takes the depth rows this near, picture pixels.
constexpr double kDeleteReach = 20.0 / 3;

}  // namespace

void CalibrationTool::startCustomScale(const DipScale& scale)
{
    custom_ = scale;
    custom_->customSteps.clear();
    prompt();
}

void CalibrationTool::press(int /*button*/, double x, double y)
{
    if (!host_.work().scale && !custom_) {
        // "Define Dip Scale" closed by its frame must not leave the picture
        // without a way to calibrate it.
        host_.showDefineDipScale();
        return;
    }
    hideMarker();
    const Viewport& v = host_.viewport();
    switch (step_) {
    case CalibrationStep::AddDepthRow:
        add(v.toPictureX(x), v.toPictureY(y));
        break;
    case CalibrationStep::DeleteDepthRows:
        deleteDepthRows(v.toPictureY(y));
        break;
    default:
        setMark(v.toPictureX(x), v.toPictureY(y));
        break;
    }
}

void CalibrationTool::add(double x, double y)
{
    if (custom_) {
        recordCustomPosition(x);
    } else if (!row_) {
        placeDepthLine(y);
    } else if (!row_->minDipX) {
        row_->minDipX = x;
        prompt();
        host_.redraw();
    } else {
        const DepthRow complete{*row_->depth, row_->y, *row_->minDipX, x};
        row_.reset();
        host_.hidePrompt();
        if (!host_.apply(AddDepthRows{{complete}}))
            host_.redraw();
    }
}

void CalibrationTool::placeDepthLine(double y)
{
    if (host_.work().depthRows.size() >= std::size_t(kMaxDepthRows)) {
        host_.showMessage("Depth Table Full", "The depth table holds at most " + std::to_string(kMaxDepthRows)
                                                  + " depth lines; this line was not placed.");
        return;
    }
    row_ = PendingRow{std::min(y, double(host_.pictureHeight())), {}, {}};
    DrawingSurface& s = host_.surface();
    s.refresh();
    s.setDrawMode(DrawMode::Copy);
    s.setDrawWidth(3);
    const double lineY = host_.viewport().toViewY(row_->y);
    s.line(0, lineY, host_.pictureWidth() * host_.viewport().zoom, lineY, kRed);
    s.setForeColor(kBlack);
    host_.setWindowEnabled(false);
    depthAsked_ = true;
    host_.askDepth(row_->y, proposeDepth(host_.work(), row_->y));
}

bool CalibrationTool::depthEntered(const std::string& text)
{
    const double depth = leadingNumber(text);
    if (!std::isfinite(depth)) {
        host_.showMessage("Enter Depth", "The depth \"" + text + "\" is too large a number.");
        return false;
    }
    if (row_)
        if (const auto fits = depthThatFits(host_.work(), row_->y, depth);
            fits && !host_.confirm("Enter Depth", depthMisfitMessage(depth, *fits) + " Keep " + formatPlain(depth) + "?"))
            return false;
    depthAsked_ = false;
    if (row_)
        row_->depth = depth;
    host_.setWindowEnabled(true);
    host_.redraw();
    prompt();
    return true;
}

void CalibrationTool::depthCancelled()
{
    if (!depthAsked_)
        return;
    depthAsked_ = false;
    row_.reset();
    host_.setWindowEnabled(true);
    host_.redraw();
}

void CalibrationTool::recordCustomPosition(double x)
{
    custom_->customSteps.push_back(x);
    if (custom_->customSteps.size() < customPositions(*custom_)) {
        prompt();
        return;
    }
    const DipScale scale = std::move(*custom_);
    custom_.reset();
    host_.hidePrompt();
    host_.apply(SetDipScale{scale});
}

void CalibrationTool::prompt()
{
    if (custom_)
        host_.showPrompt(dipScalePrompt(int(custom_->customSteps.size()) * 10 + custom_->minDip), std::nullopt);
    else if (row_ && row_->depth && host_.work().scale)
        host_.showPrompt(dipScalePrompt(row_->minDipX ? host_.work().scale->maxDip : host_.work().scale->minDip),
                         row_->y);
    else
        host_.hidePrompt();
}

void CalibrationTool::deleteDepthRows(double y)
{
    // The row being entered goes as well when it is as near.
    if (row_ && !depthAsked_ && std::abs(row_->y - y) <= kDeleteReach) {
        row_.reset();
        host_.hidePrompt();
    }
    const std::vector<std::size_t> rows = depthRowsAt(host_.work(), y, kDeleteReach);
    if (rows.empty() || !host_.apply(DeleteDepthRows{rows}))
        host_.redraw();
}

void CalibrationTool::setMark(double x, double y)
{
    const auto mark = static_cast<Mark>(int(step_) - int(CalibrationStep::HeaderTop));
    const bool across = step_ == CalibrationStep::LeftEdge || step_ == CalibrationStep::RightEdge;
    const double at = across ? std::clamp(x, 0.0, std::max(double(host_.pictureWidth()), 0.0)) : y;
    if (!host_.apply(SetMark{mark, at}))
        host_.redraw();
}

bool CalibrationTool::stepBack()
{
    if (custom_ && !custom_->customSteps.empty()) {
        custom_->customSteps.pop_back();
        prompt();
        return true;
    }
    if (!row_ || depthAsked_)
        return false;
    if (row_->minDipX)
        row_->minDipX.reset();
    else
        row_.reset();
    prompt();
    host_.redraw();
    return true;
}

void CalibrationTool::reset()
{
    row_.reset();
    custom_.reset();
    depthAsked_ = false;
    markerAt_.reset();
}

void CalibrationTool::drawFigures()
{
    markerAt_.reset();
    if (!row_)
        return;
    const Work& w = host_.work();
    DrawnRow before;
    if (!w.depthRows.empty()) {
        const DepthRow& last = w.depthRows.back();
        before = DrawnRow{last.y, last.depth, last.minDipX, last.maxDipX};
    }
    drawDepthRow(host_.viewport(), host_.surface(), DrawnRow{row_->y, row_->depth, row_->minDipX, std::nullopt},
                 w.depthRows.empty() ? nullptr : &before, host_.pictureWidth() * host_.viewport().zoom);
}

void CalibrationTool::move(int /*buttons*/, double x, double y)
{
    if (!host_.work().scale && !custom_)
        return;
    host_.surface().refresh();
    const Marker marker = awaitedMarker();
    if (!marker.vertical && !marker.horizontal)
        return;
    if (markerAt_)
        drawMarker(marker, *markerAt_);
    const double at = marker.vertical ? x : y;
    drawMarker(marker, at);
    markerAt_ = at;
}

void CalibrationTool::leave()
{
    if (host_.work().scale || custom_)
        hideMarker();
}

void CalibrationTool::hideMarker()
{
    if (markerAt_)
        drawMarker(awaitedMarker(), *markerAt_);
    markerAt_.reset();
}

CalibrationTool::Marker CalibrationTool::awaitedMarker() const
{
    if (custom_)
        return {true, false, kCustomMarkerTop, kCustomMarkerBottom};
    if (!row_)
        return {false, true, 0, 0};
    if (row_->depth) {
        const double rowY = host_.viewport().toViewY(row_->y);
        return {true, false, rowY - kRowMarkerHalfHeight, rowY + kRowMarkerHalfHeight};
    }
    return {};
}

void CalibrationTool::drawMarker(const Marker& marker, double at)
{
    DrawingSurface& s = host_.surface();
    s.setDrawMode(DrawMode::Invert);
    s.setDrawWidth(2);
    if (marker.vertical)
        s.line(at, marker.top, at, marker.bottom, kPurple);
    else if (marker.horizontal)
        s.line(0, at, s.scaleWidth(), at, kBlue);
    s.setForeColor(kBlack);
}
