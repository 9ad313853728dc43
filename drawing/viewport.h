#pragma once

// Where the log view shows the picture: the picture pixel at the view's
// top-left corner and the zoom (view pixels per picture pixel).
struct Viewport {
    double left = 0;
    double top = 0;
    double zoom = 1;

    double toViewX(double x) const { return (x - left) * zoom; }
    double toViewY(double y) const { return (y - top) * zoom; }
    double toPictureX(double viewX) const { return left + viewX / zoom; }
    double toPictureY(double viewY) const { return top + viewY / zoom; }
};
