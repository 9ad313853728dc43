#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWheelEvent>

#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/set_scale_form.h"
#include "window_fixture.h"

TEST_F(WindowTest, StartsWithTheControlsAndMenusOfAFreshRun)
{
    EXPECT_EQ(window_->windowTitle(), "Vellwick Dipmeter Digitizer");
    EXPECT_EQ(captions(child<QMenu>("mnufile")),
              QStringList({"Open Picture", "Open Project", "Open Next Log", "Recent Projects", "Save Digitized Dips As", "Save Project", "Save Project As",
                           "Save at Nearest Integer Depth", "Export Dips as CSV", "Export Dips as LAS", "Export All", "Well Details...", "-", "Exit"}));
    EXPECT_EQ(captions(child<QMenu>("mnucol")).front(), "\"A\" Quality Color");
    for (const char* on : {"mnuopen", "mnuopenprj", "mnuexit", "mnucolD", "mnuabout"})
        EXPECT_TRUE(action(on)->isEnabled()) << on;
    for (const char* off :
         {"mnuopennext", "mnusavedig", "mnusave", "mnusavecal", "mnureslog", "mnucsv", "mnulas", "mnuwelldetails", "mnuerase",
          "mnudeletedip", "mnureviewleastsure", "mnugrid", "mnufindcalibration"})
        EXPECT_FALSE(action(off)->isEnabled()) << off;
    EXPECT_TRUE(child<QRadioButton>("OptDigCal(1)")->isChecked());
    for (const char* off : {"Option2(0)", "Option2(7)", "Option1(0)", "Command1(0)", "Check1"})
        EXPECT_FALSE(child<QWidget>(off)->isEnabled()) << off;
    EXPECT_FALSE(child<QLabel>("Label11")->isVisible());
}

TEST_F(WindowTest, LayoutFollowsTheWindowSizeAndKeepsItsMinimum)
{
    window_->resize(1000, 700);
    const QWidget* centre = window_->centralWidget();
    const int W = centre->width(), H = centre->height();
    const QRect log = child<QWidget>("Picture1")->geometry();
    const QRect panel = child<QWidget>("Picture5")->geometry();
    const QRect across = child<QScrollBar>("HScroll1")->geometry(), down = child<QScrollBar>("VScroll1")->geometry();
    EXPECT_EQ(panel, QRect(W - 75, 27, 75, H - 54));  // between the bars, at the right
    EXPECT_EQ(log.topLeft(), QPoint(10, 37));
    EXPECT_EQ(down.x(), log.right() + 1 + 9);  // the scroll bars a gap beside the log
    EXPECT_EQ(down.right() + 1, panel.x());
    EXPECT_EQ(across.y(), log.bottom() + 1 + 9);
    EXPECT_EQ(across.bottom() + 1, H - 27);
    EXPECT_EQ(across.right() + 1, down.x());
    EXPECT_EQ(child<QWidget>("Picture4")->geometry(), QRect(down.x(), across.y(), 17, 17));
    window_->resize(100, 50);
    EXPECT_GE(window_->width(), 308);
    EXPECT_GE(child<QWidget>("Picture1")->height(), 1);
}

TEST_F(WindowTest, OpeningAPictureRefusesBadFilesThenEnablesTheTools)
{
    dialog_->files.push_back(QString());
    action("mnuopen")->trigger();
    const QString shortFile = folder_.filePath("short.bmp");
    std::ofstream(shortFile.toStdString()) << "BM short";
    openThroughMenu(shortFile);
    const QString garbage = folder_.filePath("garbage.bmp");
    std::ofstream(garbage.toStdString()) << "BM" << std::string(200, 'x');
    openThroughMenu(garbage);
    openThroughMenu(folder_.filePath("missing.bmp"));
    ASSERT_EQ(messages_->errors.size(), 3);
    EXPECT_TRUE(messages_->errors[0].contains(shortFile + "\" is truncated"));
    EXPECT_TRUE(messages_->errors[1].contains(garbage + "\" is damaged: its header is 2021161080 bytes long"));
    EXPECT_TRUE(messages_->errors[2].contains("cannot be opened"));
    EXPECT_TRUE(action("mnuopen")->isEnabled());
    EXPECT_FALSE(session().hasPicture());

    openThroughMenu(writeBitmap("well7.bmp", RgbPicture(2000, 3, 0xffffff), 24));
    EXPECT_EQ(dialog_->lastRequest.filter,
              "Windows Bitmap (*.bmp);;All log pictures (*.bmp *.tif *.tiff *.png *.jpg *.jpeg);;TIFF (*.tif *.tiff);;"
              "PNG (*.png);;JPEG (*.jpg *.jpeg)");
    // Titled by its command, every kind of log picture shown at first.
    EXPECT_EQ(dialog_->lastRequest.title, "Open Picture");
    EXPECT_EQ(dialog_->lastRequest.selectedFilter, "All log pictures (*.bmp *.tif *.tiff *.png *.jpg *.jpeg)");
    EXPECT_EQ(session().workName(), "well7.bmp");
    EXPECT_TRUE(action("mnuopenprj")->isEnabled());
    EXPECT_TRUE(child<QRadioButton>("Option2(2)")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("Command1(0)")->isEnabled());
    EXPECT_TRUE(window_->scaleForm().isVisible());
    EXPECT_FALSE(window_->scaleForm().isModal());
    // The bar stops where the picture's right end reaches the view's edge.
    const double reach = child<QScrollBar>("HScroll1")->maximum() / 15.0 + window_->logView().shownWidth();
    EXPECT_GE(reach, 2000);
    EXPECT_LT(reach, 2002);
}

TEST_F(WindowTest, ZoomButtonsAndTheWheelMoveTheView)
{
    openThroughMenu(writeBitmap("tall.bmp", RgbPicture(20, 4000, 0xffffff), 8));
    auto* label = child<QLabel>("Label60");
    QStringList seen;
    for (int i = 0; i < 12; ++i) {
        QTest::mouseClick(child<QPushButton>(i < 5 ? "Command1(0)" : "Command1(1)"), Qt::LeftButton);
        seen << label->text();
    }
    EXPECT_EQ(seen, QStringList({"2:1", "4:1", "8:1", "8:1", "8:1", "4:1", "2:1", "1:1", "1:2", "1:4", "1:8", "1:8"}));
    // Back to 1:1, where the log is taller than the view.
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(child<QPushButton>("Command1(0)"), Qt::LeftButton);
    ASSERT_EQ(label->text(), "1:1");

    // Zooms keep the view's middle: from the top, a notch of the wheel is
    // a small step.
    auto* v = child<QScrollBar>("VScroll1");
    QTest::keyClick(v, Qt::Key_Home);
    ASSERT_EQ(v->value(), 0);
    QWidget* view = child<QWidget>("Picture1");
    QWheelEvent down(QPointF(20, 20), view->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &down);
    EXPECT_EQ(v->value(), v->singleStep());
    EXPECT_GT(window_->logView().viewport().top, 0);
}

TEST_F(WindowTest, DefineDipScaleChecksTheLimitsThenArmsTheClicks)
{
    openThroughMenu(writeBitmap("s.bmp", RgbPicture(30, 30, 0xffffff), 24));
    SetScaleForm& form = window_->scaleForm();
    clickIndicator(form.option(2));
    EXPECT_EQ(form.limitBox(1)->text(), "80");
    form.limitBox(0)->setText("7");
    clickIndicator(form.option(4));
    EXPECT_EQ(form.limitBox(1)->text(), "90");
    EXPECT_EQ(form.limitBox(0)->text(), "7");
    form.limitBox(1)->setText("120");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(messages_->errors.size(), 1);  // a custom scale of more than 10 steps
    EXPECT_FALSE(work().scale);  // the dialog's choice is taken with OK alone

    form.limitBox(1)->setText("95");
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(window_->tools().calibration().enteringCustomScale());  // its ten positions to come
    EXPECT_EQ(child<QLabel>("Label11")->text(), "Custom Dip Scale");
    EXPECT_TRUE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_TRUE(window_->dipScalePrompt().isVisible());
    EXPECT_EQ(window_->dipScalePrompt().prompt(), "Please left click on Dip = 7");
}

TEST_F(WindowTest, ModeSwitchNeedsTwoDepthRowsForTheDipTools)
{
    openThroughMenu(writeBitmap("m.bmp", RgbPicture(30, 30, 0xffffff), 24));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    auto* digitize = child<QRadioButton>("OptDigCal(0)");
    auto* calibrate = child<QRadioButton>("OptDigCal(1)");
    QString error;
    ASSERT_TRUE(session().apply(AddDepthRows{{{1000, 5, 2, 20}}}, error));
    clickIndicator(digitize);  // one row: only the depth tools go
    EXPECT_FALSE(child<QRadioButton>("Option2(0)")->isEnabled());
    EXPECT_FALSE(child<QRadioButton>("Option1(0)")->isEnabled());
    clickIndicator(calibrate);
    ASSERT_TRUE(session().apply(AddDepthRows{{{1010, 25, 2, 20}}}, error));
    clickIndicator(digitize);
    EXPECT_TRUE(child<QRadioButton>("Option1(3)")->isEnabled());
    for (const char* on : {"mnureslog", "mnusavedig", "mnuerase"})
        EXPECT_TRUE(action(on)->isEnabled()) << on;
    EXPECT_TRUE(child<QLabel>("Label1")->isVisible());
    action("mnuerase")->trigger();
    clickIndicator(calibrate);  // a press now is a calibration click alone
    EXPECT_FALSE(window_->tools().erase().armed());
    action("mnudeletedip")->trigger();
    clickIndicator(digitize);
    EXPECT_FALSE(window_->tools().deleteDip().armed());
    clickIndicator(calibrate);
    EXPECT_FALSE(child<QLabel>("Label1")->isVisible());
    EXPECT_TRUE(action("mnusavedig")->isEnabled());  // once enabled they stay
}

TEST_F(WindowTest, ShowGridIsAViewSettingThatItsMenuItemFollows)
{
    openThroughMenu(writeBitmap("g.bmp", RgbPicture(200, 200, 0xffffff), 24));
    clickIndicator(window_->scaleForm().option(1));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    auto* check = child<QCheckBox>("Check1");
    QString error;
    ASSERT_TRUE(session().apply(AddDepthRows{{{1000, 20, 20, 200}, {1010, 180, 20, 200}}}, error));
    EXPECT_TRUE(check->isEnabled());
    EXPECT_TRUE(action("mnugrid")->isEnabled());  // the menu item with the box
    auto gridShown = [&] { return window_->logView().surface().image().pixel(120, 100) == qRgb(255, 0, 255); };
    const QString undo = action("mnuundo")->text();
    clickIndicator(check);
    EXPECT_TRUE(action("mnugrid")->isChecked());
    EXPECT_TRUE(gridShown());  // the 50-degree line
    action("mnugrid")->trigger();
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(gridShown());
    EXPECT_EQ(action("mnuundo")->text(), undo);  // no action, and the work stays saved or not as it was
}
