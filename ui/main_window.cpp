#include "ui/main_window.h"

#include <cmath>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include "interaction/picture_mouse.h"
#include "ui/about_box.h"
#include "ui/bevel_bar.h"
#include "ui/common_dialog.h"
#include "ui/dip_statistics_window.h"
#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/program_settings.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "ui/tadpole_search_run.h"
#include "ui/user_messages.h"
#include "ui/work_recovery.h"

namespace {

double screenTwipsPerPixel(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

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

}  // namespace

DigitizeWindow::DigitizeWindow(std::unique_ptr<CommonDialog> dialog, std::unique_ptr<UserMessages> messages)
    : cmDialog1_(dialog ? std::move(dialog) : std::make_unique<CommonDialog>(this)),
      messages_(messages ? std::move(messages) : std::make_unique<UserMessages>(this))
{
    setObjectName(QStringLiteral("digitize"));
    setAcceptDrops(true);
    setWindowTitle(QStringLiteral("Vellwick Dipmeter Digitizer"));
    state_.TwipsPerPixelX = static_cast<float>(screenTwipsPerPixel(true));
    state_.TwipsPerPixelY = static_cast<float>(screenTwipsPerPixel(false));
    createHistory();
    createActions();
    createTadpoleActions();
    createMenus();
    createControls();
    createFoundPanel();
    Form_Load();
}

DigitizeWindow::~DigitizeWindow()
{
    // The history is destroyed with the children, after the window's own
    // members: what it reports then is for nobody.
    undoStack_->disconnect(this);
}

void DigitizeWindow::createActions()
{
    auto action = [this](const char* name, const QString& caption, bool enabled, const char* keys = nullptr) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setEnabled(enabled);
        if (keys)
            a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        return a;
    };
    mnuopen_ = action("mnuopen", QStringLiteral("Open Picture"), true, "Ctrl+O");
    mnuopenprj_ = action("mnuopenprj", QStringLiteral("Open Project"), true, "Ctrl+Shift+O");
    mnusave_ = action("mnusave", QStringLiteral("Save Project"), false, "Ctrl+S");
    mnusavedig_ = action("mnusavedig", QStringLiteral("Save Digitized Dips As"), false, "Ctrl+E");
    mnusavecal_ = action("mnusavecal", QStringLiteral("Save Project As"), false, "Ctrl+Shift+S");
    mnureslog_ = action("mnureslog", QStringLiteral("Save at Nearest Integer Depth"), false);
    mnucsv_ = action("mnucsv", QStringLiteral("Export Dips as CSV"), false);
    mnulas_ = action("mnulas", QStringLiteral("Export Dips as LAS"), false);
    // The other programs' tables come with the dip file.
    connect(mnusavedig_, &QAction::enabledChanged, mnucsv_, &QAction::setEnabled);
    connect(mnusavedig_, &QAction::enabledChanged, mnulas_, &QAction::setEnabled);
    mnuexit_ = action("mnuexit", QStringLiteral("Exit"), true, "Ctrl+Q");
    // "Save Project" is usable exactly when "Save Project As" is.
    connect(mnusavecal_, &QAction::enabledChanged, mnusave_, &QAction::setEnabled);
    mnuerase_ = action("mnuerase", QStringLiteral("Area Erase"), false);
    mnudeletedip_ = action("mnudeletedip", QStringLiteral("Delete Dip"), false, "Del");
    // Both arm a tool for dips, usable from the same moment.
    connect(mnuerase_, &QAction::enabledChanged, mnudeletedip_, &QAction::setEnabled);
    mnuundo_ = undoStack_->createUndoAction(this, QStringLiteral("Undo"));
    mnuundo_->setObjectName(QStringLiteral("mnuundo"));
    mnuundo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    mnuredo_ = undoStack_->createRedoAction(this, QStringLiteral("Redo"));
    mnuredo_->setObjectName(QStringLiteral("mnuredo"));
    mnuredo_->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    mnumagnifier_ = action("mnumagnifier", QStringLiteral("Magnifier"), true, "M");
    mnumagnifier_->setCheckable(true);
    mnugotodepth_ = action("mnugotodepth", QStringLiteral("Go to Depth"), true, "Ctrl+G");
    mnustatistics_ = action("mnustatistics", QStringLiteral("Dip Statistics"), true);
    escapeKey_ = action("escapeKey", QString(), true, "Esc");
    addAction(escapeKey_);
    mnugrid_ = action("mnugrid", QStringLiteral("Show Grid"), false);
    mnugrid_->setCheckable(true);
    const char* colourNames[] = {"mnucolA", "mnucolB", "mnucolC", "mnucolD"};
    for (int q = 0; q < 4; ++q) {
        const QString caption = QStringLiteral("\"%1\" Quality Color").arg(QChar('A' + q));
        mnucol_[std::size_t(q)] = action(colourNames[q], caption, true);
        connect(mnucol_[std::size_t(q)], &QAction::triggered, this, [this, q] { qualityColour_Click(q); });
    }
    mnuabout_ = action("mnuabout", QStringLiteral("About"), true);
    for (int i = 0; i < 2; ++i) {
        // Keys beside the zoom buttons, usable when they are.
        zoomKeys_[std::size_t(i)] = new QAction(this);
        zoomKeys_[std::size_t(i)]->setObjectName(i == 0 ? QStringLiteral("zoomInKey") : QStringLiteral("zoomOutKey"));
        addAction(zoomKeys_[std::size_t(i)]);
        connect(zoomKeys_[std::size_t(i)], &QAction::triggered, this, [this, i] {
            if (command1_[std::size_t(i)]->isEnabled())
                Command1_Click(i);
        });
    }
    zoomKeys_[0]->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus),
                                QKeySequence(Qt::Key_Equal)});
    zoomKeys_[1]->setShortcuts({QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)});

    connect(mnuerase_, &QAction::triggered, this, [this] { mouse_->mnuerase_Click(); });
    connect(mnudeletedip_, &QAction::triggered, this, [this] { mouse_->mnudeletedip_Click(); });
    connect(mnumagnifier_, &QAction::triggered, this, &DigitizeWindow::mnumagnifier_Click);
    connect(mnugotodepth_, &QAction::triggered, this, &DigitizeWindow::mnugotodepth_Click);
    connect(mnustatistics_, &QAction::triggered, this, &DigitizeWindow::mnustatistics_Click);
    connect(escapeKey_, &QAction::triggered, this, &DigitizeWindow::escapePressed);
    connect(mnuopen_, &QAction::triggered, this, &DigitizeWindow::mnuopen_Click);
    connect(mnuopenprj_, &QAction::triggered, this, &DigitizeWindow::mnuopenprj_Click);
    connect(mnusave_, &QAction::triggered, this, &DigitizeWindow::mnusave_Click);
    connect(mnusavecal_, &QAction::triggered, this, &DigitizeWindow::mnusavecal_Click);
    connect(mnusavedig_, &QAction::triggered, this, &DigitizeWindow::mnusavedig_Click);
    connect(mnureslog_, &QAction::triggered, this, &DigitizeWindow::mnureslog_Click);
    connect(mnucsv_, &QAction::triggered, this, &DigitizeWindow::mnucsv_Click);
    connect(mnulas_, &QAction::triggered, this, &DigitizeWindow::mnulas_Click);
    connect(mnuexit_, &QAction::triggered, this, &DigitizeWindow::mnuexit_Click);
    connect(mnuabout_, &QAction::triggered, this, &DigitizeWindow::mnuabout_Click);
}

void DigitizeWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("mnufile"));
    file->addActions({mnuopen_, mnuopenprj_});
    mnurecent_ = file->addMenu(QStringLiteral("Recent Projects"));
    mnurecent_->setObjectName(QStringLiteral("mnurecent"));
    // Read afresh each time the menu opens: another window or run may have
    // changed the list meanwhile.
    connect(file, &QMenu::aboutToShow, this, &DigitizeWindow::showRecentProjects);
    file->addActions({mnusavedig_, mnusave_, mnusavecal_, mnureslog_, mnucsv_, mnulas_});
    file->addSeparator()->setObjectName(QStringLiteral("sep1"));
    file->addAction(mnuexit_);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit"));
    edit->setObjectName(QStringLiteral("mnuedit"));
    edit->addActions({mnuundo_, mnuredo_});
    edit->addSeparator();
    edit->addActions({mnuerase_, mnudeletedip_});
    edit->addSeparator();
    edit->addActions({mnufindtadpoles_, mnusnap_});

    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    view->setObjectName(QStringLiteral("mnuview"));
    view->addAction(mnugrid_);
    mnucolMenu_ = view->addMenu(QStringLiteral("Colors"));
    mnucolMenu_->setObjectName(QStringLiteral("mnucol"));
    for (QAction* a : mnucol_)
        mnucolMenu_->addAction(a);
    view->addSeparator();
    view->addActions({mnumagnifier_, mnugotodepth_, mnustatistics_});

    menuBar()->addAction(mnuabout_);
}

void DigitizeWindow::createControls()
{
    centre_ = new QWidget(this);
    setCentralWidget(centre_);
    centre_->installEventFilter(this);

    picture1_ = new LogView(state_.TwipsPerPixelX, state_.TwipsPerPixelY, centre_);
    picture1_->setObjectName(QStringLiteral("Picture1"));
    mouse_ = std::make_unique<PictureMouse>(state_, picture1_->surface(), static_cast<InteractionHost&>(*this));
    connectLogView();

    hScroll1_ = new QScrollBar(Qt::Horizontal, centre_);
    hScroll1_->setObjectName(QStringLiteral("HScroll1"));
    vScroll1_ = new QScrollBar(Qt::Vertical, centre_);
    vScroll1_->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* bar : {hScroll1_, vScroll1_}) {
        // Changes arrive when the thumb is released, not while it is dragged.
        bar->setTracking(false);
        bar->setVisible(false);
        connect(bar, &QScrollBar::valueChanged, this, &DigitizeWindow::ScrollBars_Change);
    }
    picture4_ = new QWidget(centre_);
    picture4_->setObjectName(QStringLiteral("Picture4"));
    picture4_->setVisible(false);

    createBars();
    createToolPanel();

    setscaleform_ = new SetScaleForm(this);
    setscaleform_->setObjectName(QStringLiteral("setscaleform"));
    connect(setscaleform_, &SetScaleForm::okClicked, this, &DigitizeWindow::setscaleform_Command1_Click);
    setdepthform_ = new SetDepthForm(this);
    setdepthform_->setObjectName(QStringLiteral("setdepthform"));
    connect(setdepthform_, &SetDepthForm::okClicked, this, &DigitizeWindow::setdepthform_Command1_Click);
    connect(setdepthform_, &QDialog::rejected, this, [this] { mouse_->setdepthform_Closed(); });
    enterDipScl_ = new EnterDipScales(this);
    enterDipScl_->setObjectName(QStringLiteral("EnterDipScl"));
    magnifier_ = new Magnifier(this);
    statistics_ = new DipStatisticsWindow(state_, this);
    connect(statistics_, &DipStatisticsWindow::saveImageRequested, this, &DigitizeWindow::saveStatisticsImage);
}

void DigitizeWindow::createBars()
{
    picture3_ = new BevelBar(centre_);
    picture3_->setObjectName(QStringLiteral("Picture3"));
    auto* top = new QHBoxLayout(picture3_);
    top->setContentsMargins(8, 2, 8, 2);
    auto* modes = new QButtonGroup(this);
    const char* modeCaptions[] = {"Digitize Dips", "Calibrate Log"};
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(modeCaptions[i]), picture3_);
        option->setObjectName(QStringLiteral("OptDigCal(%1)").arg(i));
        modes->addButton(option, i);
        top->addWidget(option);
        optDigCal_[std::size_t(i)] = option;
        connect(option, &QRadioButton::clicked, this, [this, i] { OptDigCal_Click(i); });
    }
    optDigCal_[1]->setChecked(true);
    top->addSpacing(16);
    check1_ = new QCheckBox(QStringLiteral("Show Grid"), picture3_);
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setEnabled(false);
    connect(check1_, &QCheckBox::clicked, this, &DigitizeWindow::mnugrid_Click);
    top->addWidget(check1_);
    top->addSpacing(16);
    createQualityButtons(top);
    top->addStretch(1);

    picture2_ = new BevelBar(centre_);
    picture2_->setObjectName(QStringLiteral("Picture2"));
    auto* bottom = new QHBoxLayout(picture2_);
    bottom->setContentsMargins(8, 2, 8, 2);
    // Caption and value labels of the readout, in the order shown.
    const int order[] = {5, 3, 4, 2, 1, 6, 7, 8};
    for (int n : order) {
        auto* label = new QLabel(picture2_);
        label->setObjectName(QStringLiteral("Label%1").arg(n));
        label->setVisible(false);
        readout_[std::size_t(n - 1)] = label;
        bottom->addWidget(label);
        if (n == 3 || n == 2 || n == 6) {
            label->setMinimumWidth(60);
            bottom->addSpacing(12);
        }
    }
    readout_[0]->setText(QStringLiteral("Azimuth:"));
    readout_[3]->setText(QStringLiteral("Dip:"));
    readout_[4]->setText(QStringLiteral("Depth:"));
    readout_[6]->setText(QStringLiteral("Quality:"));
    bottom->addStretch(1);
    label11_ = new QLabel(QStringLiteral("Standard Dip Scale"), picture2_);
    label11_->setObjectName(QStringLiteral("Label11"));
    bottom->addWidget(label11_);
}

void DigitizeWindow::createQualityButtons(QHBoxLayout* row)
{
    auto* caption = new QLabel(QStringLiteral("Quality:"), picture3_);
    caption->setObjectName(QStringLiteral("Label10"));
    row->addWidget(caption);
    auto* qualities = new QButtonGroup(this);
    for (int q = 0; q < 4; ++q) {
        auto* swatch = new QLabel(picture3_);
        swatch->setObjectName(QStringLiteral("Label9(%1)").arg(q));
        swatch->setFixedSize(10, 14);
        swatch->setAutoFillBackground(true);
        label9_[std::size_t(q)] = swatch;
        auto* option = new QRadioButton(QString(QChar('A' + q)), picture3_);
        option->setObjectName(QStringLiteral("Option1(%1)").arg(q));
        option->setEnabled(false);
        qualities->addButton(option, q);
        option1_[std::size_t(q)] = option;
        connect(option, &QRadioButton::clicked, this, [this] {
            std::array<bool, 4> selected{};
            for (std::size_t i = 0; i < selected.size(); ++i)
                selected[i] = option1_[i]->isChecked();
            mouse_->Option1_Click(selected);
        });
        row->addSpacing(4);
        row->addWidget(swatch);
        row->addWidget(option);
    }
    option1_[0]->setChecked(true);
}

void DigitizeWindow::createToolPanel()
{
    picture5_ = new QWidget(centre_);
    picture5_->setObjectName(QStringLiteral("Picture5"));
    picture5_->setFont(panelFont(font()));
    auto* panel = new QVBoxLayout(picture5_);
    panel->setContentsMargins(4, 2, 2, 2);
    panel->setSpacing(0);

    auto* tools = new QButtonGroup(this);
    const char* groups[] = {"DEPTH", "HEADER", "FOOTER", "EDGES"};
    const char* groupNames[] = {"Label70", "Label20", "Label30", "Label40"};
    const char* toolCaptions[] = {"Add", "Delete", "Top", "Bottom", "Top", "Bottom", "Left", "Right"};
    for (int g = 0; g < 4; ++g) {
        if (g > 0)
            panel->addWidget(separator(picture5_, QStringLiteral("Line%1").arg(g)));
        auto* heading = new QLabel(QString::fromLatin1(groups[g]), picture5_);
        heading->setObjectName(QString::fromLatin1(groupNames[g]));
        panel->addWidget(heading);
        if (g == 0)
            label70_ = heading;
        for (int t = 2 * g; t < 2 * g + 2; ++t) {
            auto* option = new QRadioButton(QString::fromLatin1(toolCaptions[t]), picture5_);
            option->setObjectName(QStringLiteral("Option2(%1)").arg(t));
            option->setEnabled(false);
            tools->addButton(option, t);
            panel->addWidget(option);
            option2_[std::size_t(t)] = option;
            connect(option, &QRadioButton::clicked, this, [this, t] { mouse_->Option2_Click(t); });
        }
    }
    option2_[0]->setChecked(true);

    panel->addWidget(separator(picture5_, QStringLiteral("Line4")));
    auto* zoomCaption = new QLabel(QStringLiteral("ZOOM"), picture5_);
    zoomCaption->setObjectName(QStringLiteral("Label50"));
    panel->addWidget(zoomCaption);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->setSpacing(2);
    const char* zoomCaptions[] = {"+", "-"};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(zoomCaptions[i]), picture5_);
        button->setObjectName(QStringLiteral("Command1(%1)").arg(i));
        button->setEnabled(false);
        button->setFixedSize(22, 20);
        zoomRow->addWidget(button);
        command1_[std::size_t(i)] = button;
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    label60_ = new QLabel(QStringLiteral("1:1"), picture5_);
    label60_->setObjectName(QStringLiteral("Label60"));
    zoomRow->addWidget(label60_);
    panel->addLayout(zoomRow);

    label100_ = new QLabel(QStringLiteral("Y-PIXEL"), picture5_);
    label100_->setObjectName(QStringLiteral("Label100"));
    panel->addWidget(label100_);
    label90_ = new QLabel(picture5_);
    label90_->setObjectName(QStringLiteral("Label90"));
    panel->addWidget(label90_);
    panel->addStretch(1);
}

void DigitizeWindow::Form_Load()
{
    state_.ProjectChanged = false;
    state_.SkipNextPlot = true;
    // Window: top 1000, left 0, 12000 by 6000 twips, the layout keeps it at
    // least 308 by 180 pixels.
    setMinimumSize(308, 180);
    move(0, toPixelsY(1000));
    resize(toPixelsX(12000), toPixelsY(6000));

    // The window takes the place and the colours it was left with.
    if (const QByteArray geometry = settings::windowGeometry(); !geometry.isEmpty()) {
        restoreGeometry(geometry);
        restoreState(settings::windowState());
    }
    const auto colours = settings::gradeColours();
    setQualitySwatch(0, state_.QualityColorA = colours[0]);
    setQualitySwatch(1, state_.QualityColorB = colours[1]);
    setQualitySwatch(2, state_.QualityColorC = colours[2]);
    setQualitySwatch(3, state_.QualityColorD = colours[3]);
    label11_->setVisible(false);
    label11_->setText(QStringLiteral("Standard Dip Scale"));
    state_.interaction.PendingCentreX = state_.interaction.PendingCentreY = -1;
    state_.interaction.LastMarkX = state_.interaction.LastMarkY = -1;
    picture1_->surface().setDrawWidth(2);
    state_.NumPoints = 0;
    state_.DipScaleDefined = false;
    state_.AwaitDepthLine = state_.AwaitMinDipClick = state_.AwaitMaxDipClick = state_.AwaitCustomClick = false;
    check1_->setChecked(false);
    state_.ZoomFactor = 1;
    state_.WorkMode = 1;
    state_.CalTool = 0;
    state_.NUMDEP = 0;
    state_.HeaderTop = state_.HeaderBottom = state_.FooterTop = state_.FooterBottom = 0;
    state_.LeftEdge = state_.RightEdge = 0;
}

void DigitizeWindow::setQualitySwatch(int quality, Rgb colour)
{
    QLabel* swatch = label9_[std::size_t(quality)];
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor(colour.r, colour.g, colour.b));
    swatch->setPalette(palette);
}

int DigitizeWindow::toPixelsX(double twips) const { return int(std::lround(twips / state_.TwipsPerPixelX)); }

int DigitizeWindow::toPixelsY(double twips) const { return int(std::lround(twips / state_.TwipsPerPixelY)); }

bool DigitizeWindow::Form_Unload()
{
    if (!settleUnsavedWork(QStringLiteral("The program stays open with the work.")))
        return false;
    recovery_->endCleanly();
    return true;
}

void DigitizeWindow::endProgram()
{
    closing_ = true;
    settings::setWindowPlace(saveGeometry(), saveState());
    setscaleform_->hide();
    setdepthform_->hide();
    enterDipScl_->hide();
    magnifier_->hide();
    statistics_->hide();
    close();
    emit programEnded();
}

void DigitizeWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (leftWorkOffered_)
        return;
    leftWorkOffered_ = true;
    // Asked once the window is on the screen, from the event loop.
    QTimer::singleShot(0, this, &DigitizeWindow::offerLeftWork);
}

void DigitizeWindow::closeEvent(QCloseEvent* event)
{
    if (search_ || reading_) {
        event->ignore();  // the task's own Cancel comes first
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    if (Form_Unload()) {
        event->accept();
        endProgram();
    } else {
        event->ignore();
    }
}

void DigitizeWindow::mnuexit_Click()
{
    if (Form_Unload())
        endProgram();
}

void DigitizeWindow::mnuabout_Click()
{
    AboutBox about(this);
    about.exec();
}
