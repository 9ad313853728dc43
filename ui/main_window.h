#pragma once

#include <array>
#include <memory>

#include <QMainWindow>

#include "core/project_state.h"
#include "drawing/log_picture.h"
#include "ui/common_dialog.h"
#include "ui/user_messages.h"

class BevelBar;
class EnterDipScales;
class LogView;
class QAction;
class QButtonGroup;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class SetScaleForm;

// The main window (digitize): owns the project state for the life of the
// program, carries the menus, the tool panel and the log view, and turns the
// user's commands into changes of the state and redraws.
class DigitizeWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DigitizeWindow(std::unique_ptr<CommonDialog> dialog = nullptr,
                            std::unique_ptr<UserMessages> messages = nullptr);
    ~DigitizeWindow() override;

    ProjectState& state() { return state_; }
    LogView& logView() { return *picture1_; }
    SetScaleForm& scaleForm() { return *setscaleform_; }
    EnterDipScales& dipScalePrompt() { return *enterDipScl_; }

    // The full redraw: the overlay, then the dip plot.
    void redraw();

    // Commands of the menus and controls.
    void mnuopen_Click();
    void mnuexit_Click();
    void mnuabout_Click();
    void Command1_Click(int index);
    void Form_Resize();
    void OptDigCal_Click(int index);
    void mnugrid_Click();
    void qualityColour_Click(int quality);
    void setscaleform_Command1_Click();

    // Opens the picture at path as "Open Picture" does after its dialog.
    bool openPicture(const QString& path);

signals:
    // Every window is closed: the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createControls();
    void createToolPanel();
    void createQualityButtons(QHBoxLayout* row);
    void createBars();
    void Form_Load();

    // The close prompt; true when the program is to end.
    bool Form_Unload();
    void endProgram();

    void replot2();
    void PP();
    void ScrollBars_Change();
    void wheelScroll(double notches, bool horizontal);
    void layoutScrollRanges();
    void setQualitySwatch(int quality, Rgb colour);
    int toPixelsX(double twips) const;
    int toPixelsY(double twips) const;

    ProjectState state_;
    LogPicture picture6_;
    std::unique_ptr<CommonDialog> cmDialog1_;
    std::unique_ptr<UserMessages> messages_;
    bool closing_ = false;

    // Windows
    SetScaleForm* setscaleform_ = nullptr;
    EnterDipScales* enterDipScl_ = nullptr;

    // Menus
    QAction* mnuopen_ = nullptr;
    QAction* mnuopenprj_ = nullptr;
    QAction* mnusavedig_ = nullptr;
    QAction* mnusavecal_ = nullptr;
    QAction* mnureslog_ = nullptr;
    QAction* mnuexit_ = nullptr;
    QAction* mnuerase_ = nullptr;
    QAction* mnugrid_ = nullptr;
    std::array<QAction*, 4> mnucol_{};
    QAction* mnuabout_ = nullptr;
    QMenu* mnucolMenu_ = nullptr;

    // Controls
    QWidget* centre_ = nullptr;
    LogView* picture1_ = nullptr;
    BevelBar* picture3_ = nullptr;
    BevelBar* picture2_ = nullptr;
    QWidget* picture5_ = nullptr;
    QWidget* picture4_ = nullptr;
    QScrollBar* hScroll1_ = nullptr;
    QScrollBar* vScroll1_ = nullptr;
    std::array<QRadioButton*, 2> optDigCal_{};
    std::array<QRadioButton*, 8> option2_{};
    std::array<QRadioButton*, 4> option1_{};
    std::array<QLabel*, 4> label9_{};
    std::array<QPushButton*, 2> command1_{};
    std::array<QLabel*, 8> readout_{};  // Label1 to Label8
    QCheckBox* check1_ = nullptr;
    QLabel* label11_ = nullptr;
    QLabel* label60_ = nullptr;
    QLabel* label70_ = nullptr;
    QLabel* label100_ = nullptr;
    QLabel* label90_ = nullptr;
};
