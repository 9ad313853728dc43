#pragma once

#include "core/project_state.h"
#include "drawing/drawing_surface.h"
#include "interaction/interaction_host.h"

// Buttons as the log view reports them; a move reports those held, or-ed.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// Image twips of a picture-box position under the current view.
inline double imageX(const ProjectState& s, double x) { return s.HScrollValue * s.HScrollUnit + x / s.ZoomFactor; }
inline double imageY(const ProjectState& s, double y) { return s.VScrollValue * s.VScrollUnit + y / s.ZoomFactor; }

// What every tool works on.
struct PictureContext {
    ProjectState& state;
    DrawingSurface& surface;
    InteractionHost& host;
};

// One way of working with the mouse on the log view. A tool changes the work
// only through the host, and draws its rubber figures itself.
class PictureTool {
public:
    explicit PictureTool(PictureContext context) : c_(context) {}
    virtual ~PictureTool() = default;
    PictureTool(const PictureTool&) = delete;
    PictureTool& operator=(const PictureTool&) = delete;

    virtual void press(int button, double x, double y) = 0;
    virtual void move(int buttons, double x, double y) = 0;
    virtual void release(int /*button*/, double /*x*/, double /*y*/) {}

protected:
    PictureContext c_;
};
