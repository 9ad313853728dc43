#include "interaction/calibration_tool.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/calibration_dialogs.h"
#include "core/number_format.h"
#include "drawing/redraw.h"

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kPurple{128, 0, 255};
constexpr Rgb kBlack{0, 0, 0};

enum Tool { kAdd, kDelete, kHeaderTop, kHeaderBottom, kFooterTop, kFooterBottom, kLeftEdge, kRightEdge };

// Picture-box heights of the custom scale's marker, near the top of the view.
constexpr double kCustomMarkerTop = 150;
constexpr double kCustomMarkerBottom = 650;
constexpr double kRowMarkerHalfHeight = 250;

std::int32_t wholeTwips(double value)
{
    const double r = roundHalfEven(value);
    if (!(r > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (!(r < std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

}  // namespace

void CalibrationTool::press(int /*button*/, double x, double y)
{
    ProjectState& st = c_.state;
    if (!st.DipScaleDefined) {
        // "Define Dip Scale" closed by its frame must not leave the picture
        // without a way to calibrate it.
        if (!st.FILE.empty())
            c_.host.showDefineDipScale();
        return;
    }
    switch (st.CalTool) {
    case kAdd:
        add(x, y);
        break;
    case kDelete:
        deleteDepthRows(imageY(st, y));
        break;
    case kHeaderTop:
    case kHeaderBottom:
    case kFooterTop:
    case kFooterBottom:
    case kLeftEdge:
    case kRightEdge:
        setMark(st.CalTool, x, y);
        break;
    default:
        break;
    }
}

void CalibrationTool::add(double x, double y)
{
    ProjectState& st = c_.state;
    InteractionHost& host = c_.host;
    if (st.AwaitMinDipClick && !st.AwaitMaxDipClick) {
        host.apply(SetMinDipPosition{imageX(st, x)});
        host.showDipScalePrompt(false);
        host.setDipScalePrompt(dipScalePrompt(st.MAXDIP));
        host.redraw();
        host.showDipScalePrompt(true);
    } else if (st.AwaitDepthLine) {
        placeDepthLine(y);
    } else if (st.AwaitCustomClick) {
        recordCustomPosition(imageX(st, x));
    } else if (st.AwaitMaxDipClick) {
        host.apply(CompleteDepthRow{imageX(st, x)});
        host.showDipScalePrompt(false);
        if (st.NUMDEP > 1)
            host.enableSaveProjectAs();
        host.redraw();
    }
}

void CalibrationTool::placeDepthLine(double y)
{
    ProjectState& st = c_.state;
    if (st.NUMDEP >= kMaxDepthRows) {
        c_.host.showMessage("Depth Table Full", "The depth table holds at most " + std::to_string(kMaxDepthRows)
                                                    + " depth lines; this line was not placed.");
        return;
    }
    st.interaction.GridReadyBeforeDepthLine = st.GridReady;
    c_.host.apply(PlaceDepthLine{imageY(st, y)});

    DrawingSurface& s = c_.surface;
    s.refresh();
    s.setDrawMode(DrawMode::Copy);
    s.setDrawWidth(3);
    const double lineY = viewY(st, st.depths[st.NUMDEP].DEPTHTWIP);
    s.line(0, lineY, st.IMAGEWIDTH * double(st.TwipsPerPixelX) * st.ZoomFactor, lineY, kRed);
    s.setForeColor(kBlack);

    c_.host.setMainWindowEnabled(false);
    c_.host.setDipScalePrompt(dipScalePrompt(st.MINDIP));
    st.interaction.LastMarkX = -1;
    c_.host.showEnterDepth(true);
}

void CalibrationTool::recordCustomPosition(double x)
{
    ProjectState& st = c_.state;
    if (st.CustomClicks < 0 || st.CustomClicks > kMaxCustomSteps) {
        c_.host.showMessage("Custom Dip Scale Full", "The custom dip scale holds at most "
                                                         + std::to_string(kMaxCustomSteps + 1)
                                                         + " positions; this position was not recorded.");
        return;
    }
    c_.host.apply(RecordCustomPosition{x});
    c_.host.setDipScalePrompt(dipScalePrompt(st.CustomClicks * 10 + st.MINDIP));
    if (!st.AwaitCustomClick)
        c_.host.showDipScalePrompt(false);
}

void CalibrationTool::deleteDepthRows(double y)
{
    ProjectState& st = c_.state;
    const bool entering = st.AwaitMinDipClick || st.AwaitMaxDipClick;
    c_.host.apply(DeleteDepthRows{y});
    if (entering && !(st.AwaitMinDipClick || st.AwaitMaxDipClick))
        c_.host.showDipScalePrompt(false);  // the row it asked about is gone
    c_.host.redraw();
}

void CalibrationTool::setMark(int tool, double x, double y)
{
    ProjectState& st = c_.state;
    const auto mark = static_cast<Mark>(tool - kHeaderTop);
    if (tool == kLeftEdge || tool == kRightEdge) {
        // Held as image X like every other position, so that an edge stays on
        // the picture when the view scrolls by more than a twip a step.
        const double width = st.IMAGEWIDTH * double(st.TwipsPerPixelX);
        c_.host.apply(SetMark{mark, wholeTwips(std::clamp(imageX(st, x), 0.0, std::max(width, 0.0)))});
        c_.host.redrawOverlay();
    } else {
        c_.host.apply(SetMark{mark, wholeTwips(imageY(st, y))});
        c_.host.redraw();
    }
}

void CalibrationTool::move(int /*buttons*/, double x, double y)
{
    PictureInteraction& in = c_.state.interaction;
    c_.surface.refresh();
    // A pending dip's tail end must survive a visit to calibrate mode.
    if (!in.AwaitingAzimuth) {
        in.TailEndX = x;
        in.TailEndY = y;
    }
    markers(x, y);
}

void CalibrationTool::markers(double x, double y)
{
    PictureInteraction& in = c_.state.interaction;
    const Marker marker = awaitedMarker();
    if (marker.vertical) {
        if (in.LastMarkX != -1)
            drawMarker(marker, in.LastMarkX);
        drawMarker(marker, x);
        in.LastMarkX = x;
        in.LastMarkY = -2;
    } else if (marker.horizontal) {
        // -2 says no line is shown, and so does the -1 a double click leaves.
        if (in.LastMarkY != -2 && in.LastMarkY != -1)
            drawMarker(marker, in.LastMarkY);
        drawMarker(marker, y);
        in.LastMarkX = -1;
        in.LastMarkY = y;
    }
}

void CalibrationTool::hideMarker()
{
    PictureInteraction& in = c_.state.interaction;
    const Marker marker = awaitedMarker();
    if (marker.vertical && in.LastMarkX != -1)
        drawMarker(marker, in.LastMarkX);
    else if (marker.horizontal && in.LastMarkY != -2 && in.LastMarkY != -1)
        drawMarker(marker, in.LastMarkY);
    in.LastMarkX = -1;
    in.LastMarkY = -2;
}

CalibrationTool::Marker CalibrationTool::awaitedMarker() const
{
    const ProjectState& st = c_.state;
    if (st.AwaitCustomClick)
        return {true, false, kCustomMarkerTop, kCustomMarkerBottom};
    if (st.AwaitDepthLine)
        return {false, true, 0, 0};
    if ((st.AwaitMinDipClick || st.AwaitMaxDipClick) && st.NUMDEP >= 1 && st.NUMDEP <= kMaxDepthRows) {
        const double rowY = viewY(st, st.depths[st.NUMDEP].DEPTHTWIP);
        return {true, false, rowY - kRowMarkerHalfHeight, rowY + kRowMarkerHalfHeight};
    }
    return {};
}

void CalibrationTool::drawMarker(const Marker& marker, double at)
{
    DrawingSurface& s = c_.surface;
    s.setDrawMode(DrawMode::Invert);
    s.setDrawWidth(2);
    if (marker.vertical)
        s.line(at, marker.top, at, marker.bottom, kPurple);
    else
        s.line(0, at, s.scaleWidth(), at, kBlue);
    s.setForeColor(kBlack);
}

bool CalibrationTool::enterDepthAccepted(const std::string& text)
{
    ProjectState& st = c_.state;
    const double depth = leadingNumber(text);
    if (!std::isfinite(depth)) {
        c_.host.showMessage("Enter Depth", "The depth \"" + text + "\" is too large a number.");
        return false;
    }
    if (st.NUMDEP >= 1 && st.AwaitDepthLine)
        c_.host.apply(EnterDepth{depth});
    c_.host.setMainWindowEnabled(true);
    c_.host.redraw();
    st.interaction.LastMarkX = -1;
    c_.host.showEnterDepth(false);
    c_.host.showDipScalePrompt(true);
    return true;
}

void CalibrationTool::enterDepthClosed()
{
    ProjectState& st = c_.state;
    if (st.NUMDEP >= 1 && st.AwaitDepthLine)
        c_.host.apply(WithdrawDepthLine{st.interaction.GridReadyBeforeDepthLine});
    c_.host.setMainWindowEnabled(true);
    c_.host.redraw();
}
