#pragma once

#include "interaction/picture_tool.h"

// "Area Erase": once armed, a drag with the left button marks a band of
// heights across the whole picture, and its release erases every dip in it.
class AreaEraseTool : public PictureTool {
public:
    using PictureTool::PictureTool;

    void arm();
    void press(int button, double x, double y) override;
    void move(int buttons, double x, double y) override;
    void release(int button, double x, double y) override;

    // Erases the dips between the press and the release heights, both
    // included, and redraws.
    void erase();
};
