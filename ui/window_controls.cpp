#include "ui/window_controls.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/bevel_bar.h"

namespace {

QFont panelFont(QFont base)
{
    base.setPointSizeF(8);
    return base;
}

QFrame* separator(QWidget* parent, const QString& name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void makeTopBar(WindowControls& c, QMainWindow* window, QWidget* centre)
{
    c.topBar = new BevelBar(centre);
    c.topBar->setObjectName(QStringLiteral("Picture3"));
    auto* row = new QHBoxLayout(c.topBar);
    row->setContentsMargins(8, 2, 8, 2);
    auto* modes = new QButtonGroup(window);
    const char* modeCaptions[] = {"Digitize Dips", "Calibrate Log"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(modeCaptions[i]), c.topBar);
        option->setObjectName(QStringLiteral("OptDigCal(%1)").arg(i));
        modes->addButton(option, i);
        row->addWidget(option);
        c.modes[std::size_t(i)] = option;
    }
    c.modes[1]->setChecked(true);
    row->addSpacing(16);
    c.grid = new QCheckBox(QStringLiteral("Show Grid"), c.topBar);
    c.grid->setObjectName(QStringLiteral("Check1"));
    c.grid->setEnabled(false);
    row->addWidget(c.grid);
    row->addSpacing(16);

    auto* caption = new QLabel(QStringLiteral("Quality:"), c.topBar);
    caption->setObjectName(QStringLiteral("Label10"));
    row->addWidget(caption);
    auto* grades = new QButtonGroup(window);
    for (int q = 0; q < 4; ++q) {
        auto* swatch = new QLabel(c.topBar);
        swatch->setObjectName(QStringLiteral("Label9(%1)").arg(q));
        swatch->setFixedSize(10, 14);
        swatch->setAutoFillBackground(true);
        c.gradeSwatches[std::size_t(q)] = swatch;
        auto* option = new QRadioButton(QString(QChar('A' + q)), c.topBar);
        option->setObjectName(QStringLiteral("Option1(%1)").arg(q));
        option->setEnabled(false);
        grades->addButton(option, q);
        c.grades[std::size_t(q)] = option;
        row->addSpacing(4);
        row->addWidget(swatch);
        row->addWidget(option);
    }
    c.grades[0]->setChecked(true);
    row->addStretch(1);
}

void makeBottomBar(WindowControls& c, QWidget* centre)
{
    c.bottomBar = new BevelBar(centre);
    c.bottomBar->setObjectName(QStringLiteral("Picture2"));
    auto* row = new QHBoxLayout(c.bottomBar);
    row->setContentsMargins(8, 2, 8, 2);
    // Caption and value of depth, dip, azimuth and grade, as the design
    // numbers them.
    const int captions[] = {5, 4, 1, 7}, values[] = {3, 2, 6, 8};
    const char* texts[] = {"Depth:", "Dip:", "Azimuth:", "Quality:"};
    for (std::size_t i = 0; i < 4; ++i) {
        auto* caption = new QLabel(QString::fromLatin1(texts[i]), c.bottomBar);
        caption->setObjectName(QStringLiteral("Label%1").arg(captions[i]));
        auto* value = new QLabel(c.bottomBar);
        value->setObjectName(QStringLiteral("Label%1").arg(values[i]));
        for (QLabel* label : {caption, value}) {
            label->setVisible(false);
            row->addWidget(label);
        }
        if (i < 3) {
            value->setMinimumWidth(60);
            row->addSpacing(12);
        }
        c.readoutCaptions[i] = caption;
        c.readoutValues[i] = value;
    }
    row->addStretch(1);
    c.scaleCaption = new QLabel(QStringLiteral("Standard Dip Scale"), c.bottomBar);
    c.scaleCaption->setObjectName(QStringLiteral("Label11"));
    c.scaleCaption->setVisible(false);
    row->addWidget(c.scaleCaption);
}

void makeToolPanel(WindowControls& c, QMainWindow* window, QWidget* centre)
{
    c.toolPanel = new QWidget(centre);
    c.toolPanel->setObjectName(QStringLiteral("Picture5"));
    c.toolPanel->setFont(panelFont(window->font()));
    auto* panel = new QVBoxLayout(c.toolPanel);
    panel->setContentsMargins(4, 2, 2, 2);
    panel->setSpacing(0);

    auto* tools = new QButtonGroup(window);
    const char* groups[] = {"DEPTH", "HEADER", "FOOTER", "EDGES"};
    const char* groupNames[] = {"Label70", "Label20", "Label30", "Label40"};
    const char* toolCaptions[] = {"Add", "Delete", "Top", "Bottom", "Top", "Bottom", "Left", "Right"};
    for (int g = 0; g < 4; ++g) {
        if (g > 0)
            panel->addWidget(separator(c.toolPanel, QStringLiteral("Line%1").arg(g)));
        auto* heading = new QLabel(QString::fromLatin1(groups[g]), c.toolPanel);
        heading->setObjectName(QString::fromLatin1(groupNames[g]));
        panel->addWidget(heading);
        if (g == 0)
            c.depthHeading = heading;
        for (int t = 2 * g; t < 2 * g + 2; ++t) {
            auto* option = new QRadioButton(QString::fromLatin1(toolCaptions[t]), c.toolPanel);
            option->setObjectName(QStringLiteral("Option2(%1)").arg(t));
            option->setEnabled(false);
            tools->addButton(option, t);
            panel->addWidget(option);
            c.calibrationTools[std::size_t(t)] = option;
        }
    }
    c.calibrationTools[0]->setChecked(true);

    panel->addWidget(separator(c.toolPanel, QStringLiteral("Line4")));
    auto* zoomHeading = new QLabel(QStringLiteral("ZOOM"), c.toolPanel);
    zoomHeading->setObjectName(QStringLiteral("Label50"));
    panel->addWidget(zoomHeading);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->setSpacing(2);
    const char* zoomCaptions[] = {"+", "-"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(zoomCaptions[i]), c.toolPanel);
        button->setObjectName(QStringLiteral("Command1(%1)").arg(i));
        button->setEnabled(false);
        button->setFixedSize(22, 20);
        zoomRow->addWidget(button);
        c.zoomButtons[std::size_t(i)] = button;
    }
    c.zoomCaption = new QLabel(QStringLiteral("1:1"), c.toolPanel);
    c.zoomCaption->setObjectName(QStringLiteral("Label60"));
    zoomRow->addWidget(c.zoomCaption);
    panel->addLayout(zoomRow);
    c.fitWidth = new QPushButton(QStringLiteral("Fit"), c.toolPanel);
    c.fitWidth->setObjectName(QStringLiteral("fitwidthbutton"));
    c.fitWidth->setToolTip(QStringLiteral("The picture's whole width in the view (W)"));
    c.fitWidth->setEnabled(false);
    c.fitWidth->setFixedSize(46, 20);
    panel->addWidget(c.fitWidth);

    panel->addStretch(1);
}

}  // namespace

WindowControls makeControls(QMainWindow* window, QWidget* centre)
{
    WindowControls c;
    makeTopBar(c, window, centre);
    makeBottomBar(c, centre);
    makeToolPanel(c, window, centre);
    return c;
}

void showWorkControls(const WindowActions& a, const WindowControls& c, WorkControls on, WorkControls changed)
{
    using C = WorkControl;
    const auto follow = [&](C control, auto&& set) {
        if (changed.test(std::size_t(control)))
            set(on.test(std::size_t(control)));
    };
    const auto enable = [](bool on, auto... things) { (things->setEnabled(on), ...); };
    const auto show = [](bool on, auto... things) { (things->setVisible(on), ...); };
    follow(C::SaveProject, [&](bool b) { enable(b, a.saveProject, a.saveProjectAs); });
    follow(C::ExportDips, [&](bool b) { enable(b, a.exportDips, a.exportCsv, a.exportLas, a.exportAll); });
    follow(C::ExportNearestInteger, [&](bool b) { enable(b, a.exportNearestInteger); });
    follow(C::EditDips, [&](bool b) { enable(b, a.areaErase, a.deleteDip, a.reviewLeastSure); });
    follow(C::WellDetails,
           [&](bool b) { enable(b, a.wellDetails, a.openNextLog, a.applyCalibration, a.fitWidth); });
    follow(C::FindTadpoles, [&](bool b) { enable(b, a.findTadpoles); });
    follow(C::FindCalibration, [&](bool b) { enable(b, a.findCalibration); });
    follow(C::ReviewKeys, [&](bool b) { enable(b, a.acceptFound, a.stepFound[0], a.stepFound[1]); });
    follow(C::Grid, [&](bool b) { enable(b, c.grid, a.grid); });
    follow(C::DepthTools, [&](bool b) { enable(b, c.calibrationTools[0], c.calibrationTools[1]); });
    follow(C::MarkTools, [&](bool b) {
        for (std::size_t t = 2; t < c.calibrationTools.size(); ++t)
            enable(b, c.calibrationTools[t]);
    });
    follow(C::ZoomButtons,
           [&](bool b) { enable(b, c.zoomButtons[0], c.zoomButtons[1], c.fitWidth, c.depthHeading); });
    follow(C::Grades, [&](bool b) {
        for (QRadioButton* grade : c.grades)
            enable(b, grade);
    });
    follow(C::Readout, [&](bool b) {
        for (std::size_t i = 0; i < c.readoutCaptions.size(); ++i)
            show(b, c.readoutCaptions[i], c.readoutValues[i]);
    });
    follow(C::ScaleCaption, [&](bool b) { show(b, c.scaleCaption); });
}
