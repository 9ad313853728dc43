#pragma once

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QImage>

#include "core/calibration_dialogs.h"
#include "drawing/log_picture.h"
#include "drawing/qt_surface.h"
#include "drawing/redraw.h"
#include "interaction/cursor_readout.h"
#include "interaction/picture_mouse.h"

// The window as the mouse work sees it: records what it is asked to show and
// redraws the surface as the window does.
class FakeHost : public InteractionHost {
public:
    FakeHost(ProjectState& state, QtSurface& surface) : state_(state), surface_(surface) {}

    PictureMouse* mouse = nullptr;
    int edits = 0;
    int redraws = 0;
    int overlayRedraws = 0;
    bool promptShown = false;
    std::string prompt;
    bool enterDepthShown = false;
    int defineDipScaleShown = 0;
    bool mainEnabled = true;
    std::vector<std::string> messages;  // "title: text"
    std::map<int, std::string> readout;
    std::map<int, bool> readoutShown;
    bool saveProjectAsEnabled = false;

    void apply(const WorkEdit& edit) override
    {
        applyEdit(state_, edit);
        ++edits;
    }
    void redraw() override
    {
        ++redraws;
        replot2(state_, surface_);
        PP(state_, surface_, false);
        mouse->afterRedraw();
    }
    void redrawOverlay() override
    {
        ++overlayRedraws;
        replot2(state_, surface_);
        mouse->afterRedraw();
    }
    void showDipScalePrompt(bool shown) override { promptShown = shown; }
    void setDipScalePrompt(const std::string& text) override { prompt = text; }
    void showEnterDepth(bool shown) override { enterDepthShown = shown; }
    void showDefineDipScale() override { ++defineDipScaleShown; }
    void setMainWindowEnabled(bool enabled) override { mainEnabled = enabled; }
    void showMessage(const std::string& title, const std::string& text) override
    {
        messages.push_back(title + ": " + text);
    }
    void setReadout(int label, const std::string& text) override { readout[label] = text; }
    void showReadout(int label, bool shown) override { readoutShown[label] = shown; }
    void enableSaveProjectAs() override { saveProjectAsEnabled = true; }

private:
    ProjectState& state_;
    QtSurface& surface_;
};

// A white picture seen at 1:1 through a log view of the same size, with the
// mouse work on it. Positions given to the helpers are pixels; a pixel is 15
// twips.
class MouseScene {
public:
    static constexpr double kTpp = 15;

    explicit MouseScene(int width = 400, int height = 400, QSize view = QSize())
    {
        QImage white(width, height, QImage::Format_RGB32);
        white.fill(Qt::white);
        picture.setImage(white);
        surface.setPicture(&picture);
        surface.resize(view.isEmpty() ? QSize(width, height) : view);
        state.TwipsPerPixelX = state.TwipsPerPixelY = float(kTpp);
        state.IMAGEWIDTH = width;
        state.IMAGEHEIGHT = height;
        state.FILE = "log.bmp";
        state.SkipNextPlot = false;
        host.mouse = &mouse;
        host.redraw();
    }

    static double tw(double pixels) { return pixels * kTpp; }

    void press(double x, double y, int button = kLeftButton) { mouse.Picture1_MouseDown(button, 0, tw(x), tw(y)); }
    void move(double x, double y, int buttons = 0) { mouse.Picture1_MouseMove(buttons, 0, tw(x), tw(y)); }
    void release(double x, double y, int button = kLeftButton) { mouse.Picture1_MouseUp(button, 0, tw(x), tw(y)); }

    void defineScale(int mode = 1, const char* minDip = "0", const char* maxDip = "90")
    {
        host.apply(std::get<DefineDipScale>(readDipScale(mode, minDip, maxDip)));
    }

    // One depth row by its presses and "Enter Depth": the line at y with its
    // depth, then its MINDIP and MAXDIP ends.
    void addRow(double y, const std::string& depth, double minX, double maxX)
    {
        press(200, y);
        mouse.setdepthform_Command1_Click(depth);
        press(minX, y);
        press(maxX, y);
    }

    // Linear 0 to 90 over x 100 to 280 pixels, depths 1000 at y 100 and 1100
    // at y 300, then digitize mode with grade A.
    void calibrateAndDigitize()
    {
        defineScale();
        addRow(100, "1000", 100, 280);
        addRow(300, "1100", 100, 280);
        state.WorkMode = 0;
        state.CurrentQuality.assign(1, 'A');  // GCC 12 warns wrongly (-Wrestrict) on = "A"
    }

    QImage image() { return surface.image().copy(); }

    LogPicture picture;
    QtSurface surface{kTpp, kTpp};
    ProjectState state;
    FakeHost host{state, surface};
    PictureMouse mouse{state, surface, host};
};

inline QRgb rgb(Rgb c) { return qRgb(c.r, c.g, c.b); }
