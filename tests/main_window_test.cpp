#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QWheelEvent>

#include "ui/about_box.h"
#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/set_scale_form.h"
#include "window_fixture.h"

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QColor swatch(QLabel* label) { return label->palette().color(QPalette::Window); }

}  // namespace

TEST_F(WindowTest, StartsWithTheControlsAndMenusOfAFreshRun)
{
    EXPECT_EQ(window_->windowTitle(), "Vellwick Dipmeter Digitizer");
    QList<QMenu*> menus;
    for (QAction* a : window_->menuBar()->actions())
        if (a->menu())
            menus << a->menu();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(captions(menus[0]), QStringList({"Open Picture", "Open Project", "Save Digitized Dips As",
                                               "Save Project As", "Save at Nearest Integer Depth", "-", "Exit"}));
    EXPECT_EQ(captions(menus[1]), QStringList({"Area Erase"}));
    EXPECT_EQ(captions(menus[2]), QStringList({"Show Grid", "Colors"}));
    EXPECT_EQ(captions(child<QMenu>("mnucol")),
              QStringList({"\"A\" Quality Color", "\"B\" Quality Color", "\"C\" Quality Color", "\"D\" Quality Color"}));
    EXPECT_EQ(window_->menuBar()->actions().last()->text(), "About");

    for (const char* on : {"mnuopen", "mnuopenprj", "mnuexit", "mnucolA", "mnuabout"})
        EXPECT_TRUE(action(on)->isEnabled()) << on;
    for (const char* off : {"mnusavedig", "mnusavecal", "mnureslog", "mnuerase", "mnugrid"})
        EXPECT_FALSE(action(off)->isEnabled()) << off;
    EXPECT_FALSE(action("mnugrid")->isChecked());

    EXPECT_TRUE(child<QRadioButton>("OptDigCal(0)")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>("OptDigCal(1)")->isChecked());
    for (int t = 0; t < 8; ++t)
        EXPECT_FALSE(child<QRadioButton>(QStringLiteral("Option2(%1)").arg(t))->isEnabled());
    EXPECT_TRUE(child<QRadioButton>("Option2(0)")->isChecked());
    for (int q = 0; q < 4; ++q)
        EXPECT_FALSE(child<QRadioButton>(QStringLiteral("Option1(%1)").arg(q))->isEnabled());
    EXPECT_TRUE(child<QRadioButton>("Option1(0)")->isChecked());
    EXPECT_FALSE(child<QPushButton>("Command1(0)")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("Command1(1)")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("Check1")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("Check1")->isChecked());
    EXPECT_FALSE(child<QLabel>("Label11")->isVisible());
    EXPECT_EQ(child<QLabel>("Label11")->text(), "Standard Dip Scale");
    EXPECT_EQ(child<QLabel>("Label60")->text(), "1:1");
    EXPECT_TRUE(child<QLabel>("Label100")->isVisible());
    EXPECT_EQ(swatch(child<QLabel>("Label9(0)")), QColor(255, 0, 0));
    EXPECT_EQ(swatch(child<QLabel>("Label9(3)")), QColor(128, 0, 128));

    // The first layout: scroll ranges of a picture 1 by 1 pixel.
    EXPECT_TRUE(child<QScrollBar>("HScroll1")->isVisible());
    EXPECT_EQ(child<QScrollBar>("HScroll1")->maximum(), 25);
    EXPECT_EQ(child<QScrollBar>("VScroll1")->maximum(), 25);
    EXPECT_EQ(state().IMAGEWIDTH, 1);
    EXPECT_EQ(state().TwipsPerPixelX, 15);
    EXPECT_EQ(state().WorkMode, 1);
    EXPECT_FALSE(state().SkipNextPlot);  // the first dip plot drew nothing and cleared it
}

TEST_F(WindowTest, LayoutFollowsTheWindowSize)
{
    window_->resize(1000, 700);
    QTest::qWait(0);
    const QWidget* centre = window_->centralWidget();
    const QWidget* view = child<QWidget>("Picture1");
    const int W = centre->width(), H = centre->height();
    EXPECT_EQ(view->geometry(), QRect(10, 37, W - 110, H - 89));  // 150 and 405 + 150 twips in
    EXPECT_EQ(child<QWidget>("Picture5")->geometry(), QRect(W - 75, 27, 75, H - 54));
    EXPECT_EQ(child<QScrollBar>("VScroll1")->x(), W - 16 - 75);

    window_->resize(100, 50);  // below the minimum
    QTest::qWait(0);
    EXPECT_GE(window_->width(), 308);
    EXPECT_GE(window_->height(), 180);
    EXPECT_GE(view->width(), 1);
    EXPECT_GE(view->height(), 1);
}

TEST_F(WindowTest, AboutBoxShowsNameAndVersion)
{
    QString title, name, version;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        title = about->windowTitle();
        name = about->findChild<QLabel*>("Label2")->text();
        version = about->findChild<QLabel*>("Lbl_Version")->text();
        QTest::mouseClick(about->findChild<QPushButton*>("Cmd_OK"), Qt::LeftButton);
    });
    action("mnuabout")->trigger();
    EXPECT_EQ(title, "About Vellwick Digitizer");
    EXPECT_EQ(name, "Dipmeter Digitizer");
    EXPECT_EQ(version, "Version 2.1");
}

TEST_F(WindowTest, ClosingAsksOnlyWhenProjectInformationChanged)
{
    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    state().ProjectChanged = true;
    messages_->answer = QMessageBox::Cancel;
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(ended.count(), 0);
    ASSERT_EQ(messages_->questions.size(), 1);
    EXPECT_EQ(messages_->questionTitles[0], "Warning");
    EXPECT_EQ(messages_->questions[0], "Project information has changed.\nSave changes?");

    action("mnuexit")->trigger();  // the same prompt from the menu
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(messages_->questions.size(), 2);

    messages_->answer = QMessageBox::Yes;  // saving arrives later: ends as No does
    action("mnuexit")->trigger();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(messages_->questions.size(), 3);
}

TEST_F(WindowTest, ClosingWithoutChangesOrAnsweringNoEndsAtOnce)
{
    QSignalSpy ended(window_.get(), &DigitizeWindow::programEnded);
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(messages_->questions.isEmpty());
    EXPECT_EQ(ended.count(), 1);

    SetUp();  // a second window, answering No
    QSignalSpy secondEnded(window_.get(), &DigitizeWindow::programEnded);
    state().ProjectChanged = true;
    messages_->answer = QMessageBox::No;
    window_->close();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(secondEnded.count(), 1);
}

TEST_F(WindowTest, OpeningAPictureEnablesTheToolsAndAsksForTheScale)
{
    RgbPicture p(2000, 3, 0xffffff);
    const QString path = writeBitmap("well7.bmp", p, 24);
    openThroughMenu(path);
    EXPECT_EQ(dialog_->lastRequest.filter, "Windows Bitmap (*.bmp)");
    EXPECT_EQ(dialog_->lastRequest.initialName, "");
    EXPECT_EQ(dialog_->FileName, path);
    EXPECT_EQ(state().FILE, "well7.bmp");
    EXPECT_EQ(state().IMAGEWIDTH, 2000);
    EXPECT_EQ(state().IMAGEHEIGHT, 3);
    EXPECT_FALSE(action("mnuopen")->isEnabled());
    EXPECT_FALSE(action("mnuopenprj")->isEnabled());
    for (int t = 2; t < 8; ++t)
        EXPECT_TRUE(child<QRadioButton>(QStringLiteral("Option2(%1)").arg(t))->isEnabled());
    EXPECT_FALSE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("Command1(0)")->isEnabled());
    EXPECT_FALSE(child<QLabel>("Label100")->isVisible());
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_FALSE(window_->scaleForm().isModal());
    EXPECT_EQ(child<QScrollBar>("HScroll1")->maximum(), 28500);
    EXPECT_EQ(state().HScrollUnit, 1);
}

TEST_F(WindowTest, CancellingOrABadFileChangesNothing)
{
    dialog_->files.push_back(QString());
    action("mnuopen")->trigger();
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    EXPECT_TRUE(messages_->errors.isEmpty());

    const QString shortFile = folder_.filePath("short.bmp");
    std::ofstream(shortFile.toStdString()) << "BM short";
    openThroughMenu(shortFile);
    ASSERT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(messages_->errors[0].contains(shortFile)) << messages_->errors[0].toStdString();

    const QString garbage = folder_.filePath("garbage.bmp");
    std::ofstream(garbage.toStdString()) << "BM" << std::string(200, 'x');
    openThroughMenu(garbage);
    ASSERT_EQ(messages_->errors.size(), 2);
    EXPECT_TRUE(messages_->errors[1].contains("garbage.bmp"));

    openThroughMenu(folder_.filePath("missing.bmp"));
    EXPECT_EQ(messages_->errors.size(), 3);

    EXPECT_TRUE(action("mnuopen")->isEnabled());
    EXPECT_TRUE(action("mnuopenprj")->isEnabled());
    EXPECT_EQ(state().FILE, "");
    EXPECT_EQ(state().IMAGEWIDTH, 1);
    EXPECT_FALSE(window_->scaleForm().isVisible());
}

TEST_F(WindowTest, ZoomButtonsStepThroughTheRatios)
{
    openThroughMenu(writeBitmap("z.bmp", RgbPicture(40, 40, 0x808080), 8));
    auto* plus = child<QPushButton>("Command1(0)");
    auto* minus = child<QPushButton>("Command1(1)");
    auto* label = child<QLabel>("Label60");
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(plus, Qt::LeftButton);
        seen << label->text();
    }
    EXPECT_EQ(seen, QStringList({"2:1", "4:1", "8:1", "8:1", "8:1"}));
    EXPECT_EQ(state().ZoomFactor, 8);
    seen.clear();
    for (int i = 0; i < 7; ++i) {
        QTest::mouseClick(minus, Qt::LeftButton);
        seen << label->text();
    }
    EXPECT_EQ(seen, QStringList({"4:1", "2:1", "1:1", "1:2", "1:4", "1:8", "1:8"}));
    EXPECT_EQ(state().ZoomFactor, 0.125);
}

TEST_F(WindowTest, WheelScrollsTheLogThroughTheScrollBars)
{
    openThroughMenu(writeBitmap("tall.bmp", RgbPicture(20, 4000, 0xffffff), 8));
    auto* v = child<QScrollBar>("VScroll1");
    auto* h = child<QScrollBar>("HScroll1");
    QWidget* view = child<QWidget>("Picture1");
    const QPointF at(20, 20);
    QWheelEvent down(at, view->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &down);
    EXPECT_EQ(v->value(), v->singleStep());
    EXPECT_EQ(state().VScrollValue, v->singleStep());
    QWheelEvent right(at, view->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &right);
    EXPECT_EQ(h->value(), std::min(h->maximum(), h->singleStep()));
    EXPECT_EQ(state().HScrollValue, h->value());
}

TEST_F(WindowTest, DefineDipScaleSetsLimitsCaptionAndSequence)
{
    openThroughMenu(writeBitmap("s.bmp", RgbPicture(30, 30, 0xffffff), 24));
    SetScaleForm& form = window_->scaleForm();
    clickIndicator(form.option(2));
    EXPECT_EQ(form.limitBox(1)->text(), "80");
    EXPECT_EQ(state().DipScaleMode, 2);
    form.limitBox(0)->setText("7");
    clickIndicator(form.option(1));
    EXPECT_EQ(form.limitBox(1)->text(), "90");
    EXPECT_EQ(form.limitBox(0)->text(), "7");

    form.limitBox(0)->setText("abc");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(messages_->errors.size(), 1);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(state().DipScaleDefined);
    form.limitBox(0)->setText("95");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(messages_->errors.size(), 2);  // min above max

    form.limitBox(0)->setText(" 10.5 ");
    form.limitBox(1)->setText("50");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(state().DipScaleDefined);
    EXPECT_EQ(state().MINDIP, 10);  // halves to even
    EXPECT_EQ(state().MAXDIP, 50);
    EXPECT_TRUE(state().AwaitDepthLine);
    EXPECT_FALSE(state().AwaitCustomClick);
    EXPECT_TRUE(child<QLabel>("Label11")->isVisible());
    EXPECT_EQ(child<QLabel>("Label11")->text(), "Linear Dip Scale");
    EXPECT_TRUE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>("Option2(1)")->isEnabled());
}

TEST_F(WindowTest, CustomScaleAsksForTheTenDegreeClicks)
{
    openThroughMenu(writeBitmap("c.bmp", RgbPicture(30, 30, 0xffffff), 24));
    SetScaleForm& form = window_->scaleForm();
    clickIndicator(form.option(4));
    form.limitBox(1)->setText("120");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(messages_->errors.size(), 1);  // more than 10 steps
    form.limitBox(1)->setText("95");           // 9.5 steps give 10
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(state().NCUST, 10);
    EXPECT_EQ(state().CustomClicks, 0);
    EXPECT_TRUE(state().AwaitCustomClick);
    EXPECT_FALSE(state().AwaitDepthLine);
    EXPECT_TRUE(window_->dipScalePrompt().isVisible());
    EXPECT_EQ(window_->dipScalePrompt().prompt(), "Please left click on Dip = 0");
    EXPECT_EQ(child<QLabel>("Label11")->text(), "Custom Dip Scale");
}

TEST_F(WindowTest, ModeSwitchNeedsTwoDepthRowsForTheDipTools)
{
    openThroughMenu(writeBitmap("m.bmp", RgbPicture(30, 30, 0xffffff), 24));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    auto* digitize = child<QRadioButton>("OptDigCal(0)");
    auto* calibrate = child<QRadioButton>("OptDigCal(1)");
    state().NUMDEP = 1;
    clickIndicator(digitize);
    EXPECT_EQ(state().WorkMode, 0);
    EXPECT_FALSE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>("Option1(0)")->isEnabled());
    EXPECT_FALSE(action("mnusavedig")->isEnabled());
    EXPECT_EQ(state().CurrentQuality, "");

    clickIndicator(calibrate);
    EXPECT_TRUE(child<QRadioButton>("Option2(1)")->isEnabled());
    state().NUMDEP = 2;
    clickIndicator(digitize);
    for (int q = 0; q < 4; ++q)
        EXPECT_TRUE(child<QRadioButton>(QStringLiteral("Option1(%1)").arg(q))->isEnabled());
    for (const char* on : {"mnureslog", "mnusavedig", "mnuerase"})
        EXPECT_TRUE(action(on)->isEnabled()) << on;
    EXPECT_TRUE(child<QLabel>("Label1")->isVisible());
    EXPECT_EQ(state().CurrentQuality, "A");
    clickIndicator(calibrate);
    EXPECT_FALSE(child<QRadioButton>("Option1(0)")->isEnabled());
    EXPECT_FALSE(child<QLabel>("Label1")->isVisible());
    EXPECT_TRUE(action("mnusavedig")->isEnabled());  // once enabled they stay
}

TEST_F(WindowTest, ShowGridMirrorsTheCheckBoxAndRedraws)
{
    openThroughMenu(writeBitmap("g.bmp", RgbPicture(200, 200, 0xffffff), 24));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    auto* check = child<QCheckBox>("Check1");
    EXPECT_FALSE(check->isEnabled());
    ProjectState& st = state();
    st.DipScaleMode = 1;
    st.NUMDEP = 2;
    st.depths[1] = {1000, 300, 300, 3000};
    st.depths[2] = {1010, 2700, 300, 3000};
    window_->redraw();
    EXPECT_TRUE(check->isEnabled());

    clickIndicator(check);
    EXPECT_TRUE(action("mnugrid")->isChecked());
    EXPECT_TRUE(st.GridReady);
    const QImage shown = window_->logView().surface().image();
    EXPECT_EQ(shown.pixel(120, 100), qRgb(255, 0, 255));  // the 50-degree line
    clickIndicator(check);
    EXPECT_FALSE(action("mnugrid")->isChecked());
    EXPECT_NE(window_->logView().surface().image().pixel(120, 100), qRgb(255, 0, 255));
}

TEST_F(WindowTest, QualityColourIsChosenInTheCommonDialog)
{
    dialog_->colour = QColor(1, 2, 3);
    action("mnucolB")->trigger();
    EXPECT_EQ(dialog_->Flags, CommonDialog::kInitialColour);
    EXPECT_EQ(dialog_->lastInitialColour, QColor(0, 255, 0));
    EXPECT_EQ(state().QualityColorB, (Rgb{1, 2, 3}));
    EXPECT_EQ(swatch(child<QLabel>("Label9(1)")), QColor(1, 2, 3));
    EXPECT_EQ(state().QualityColorA, (Rgb{255, 0, 0}));

    dialog_->colour.reset();  // cancel
    action("mnucolA")->trigger();
    EXPECT_EQ(state().QualityColorA, (Rgb{255, 0, 0}));
    EXPECT_EQ(swatch(child<QLabel>("Label9(0)")), QColor(255, 0, 0));
}
