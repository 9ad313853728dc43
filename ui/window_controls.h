#pragma once

#include <array>

#include "session/work_controls.h"

class BevelBar;
class QAction;
class QCheckBox;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QWidget;

// The main window's menus' actions, by what they do. Object names are the
// menu items' ("mnuopen", ...), which tests and accessibility find.
struct WindowActions {
    QAction* openPicture = nullptr;
    QAction* openProject = nullptr;
    QAction* openNextLog = nullptr;
    QMenu* recentProjects = nullptr;
    QAction* saveProject = nullptr;
    QAction* saveProjectAs = nullptr;
    QAction* exportDips = nullptr;
    QAction* exportNearestInteger = nullptr;
    QAction* exportCsv = nullptr;
    QAction* exportLas = nullptr;
    QAction* exportAll = nullptr;
    QAction* applyCalibration = nullptr;
    QAction* fitWidth = nullptr;
    QAction* keysAndMouse = nullptr;
    QAction* wellDetails = nullptr;
    QAction* exit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* areaErase = nullptr;
    QAction* deleteDip = nullptr;
    QAction* reviewLeastSure = nullptr;
    QAction* findTadpoles = nullptr;
    QAction* findCalibration = nullptr;
    QAction* snap = nullptr;
    QAction* grid = nullptr;
    std::array<QAction*, 4> gradeColours{};
    QAction* magnifier = nullptr;
    QAction* goToDepth = nullptr;
    std::array<QAction*, 2> logEnds{};  // Ctrl+Home and Ctrl+End: the log's top and end
    QAction* statistics = nullptr;
    QAction* about = nullptr;
    // Keys without a menu item.
    QAction* escape = nullptr;
    std::array<QAction*, 2> zoomKeys{};  // "+" and "-"
    QAction* acceptFound = nullptr;
    std::array<QAction*, 2> stepFound{};  // N and P
};

// The bars and the tool panel round the log, by what they show. Object
// names are those of the window's design ("OptDigCal(0)", "Label60", ...).
struct WindowControls {
    BevelBar* topBar = nullptr;       // Picture3: modes, grid, grades
    BevelBar* bottomBar = nullptr;    // Picture2: the readout and the scale's name
    QWidget* toolPanel = nullptr;     // Picture5
    std::array<QRadioButton*, 2> modes{};         // digitize, calibrate
    QCheckBox* grid = nullptr;
    std::array<QLabel*, 4> gradeSwatches{};
    std::array<QRadioButton*, 4> grades{};
    std::array<QRadioButton*, 8> calibrationTools{};
    QLabel* depthHeading = nullptr;
    std::array<QPushButton*, 2> zoomButtons{};    // "+" and "-"
    QPushButton* fitWidth = nullptr;              // "Fit": the picture's whole width
    QLabel* zoomCaption = nullptr;
    // The readout: captions and values of depth, dip, azimuth and grade.
    std::array<QLabel*, 4> readoutCaptions{};
    std::array<QLabel*, 4> readoutValues{};
    QLabel* scaleCaption = nullptr;
};

// Makes the bars and the panel on centre.
WindowControls makeControls(QMainWindow* window, QWidget* centre);

// Each control of changed enabled, or shown, as on says.
void showWorkControls(const WindowActions& actions, const WindowControls& controls, WorkControls on,
                      WorkControls changed);
