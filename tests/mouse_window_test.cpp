#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/set_depth_form.h"
#include "ui/set_scale_form.h"
#include "window_fixture.h"

TEST_F(MouseWindowTest, CalibrateThenDigitizeWithPressesMovesAndTheKeyboard)
{
    openAndDefineLinearScale();
    SetDepthForm& form = window_->depthForm();
    EnterDipScales& prompt = window_->dipScalePrompt();
    click(200, 100);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowModality(), Qt::WindowModal);  // shown, not run: the window waits for no answer
    EXPECT_EQ(form.objectName(), "setdepthform");
    EXPECT_EQ(form.windowTitle(), "Enter Depth");
    EXPECT_EQ(form.depthBox()->text(), " ");
    EXPECT_EQ(form.focusWidget(), form.depthBox());
    EXPECT_FALSE(window_->centralWidget()->isEnabled());
    EXPECT_FALSE(prompt.isVisible());

    enterDepth("1000");
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(window_->centralWidget()->isEnabled());
    ASSERT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.findChild<QLabel*>("Label2")->text(), "Please left click on Dip = 0");
    const int lineRow = view()->mapToGlobal(at(0, 100)).y();
    EXPECT_FALSE(lineRow >= prompt.frameGeometry().top() && lineRow <= prompt.frameGeometry().bottom())
        << "the prompt covers the line to click on";
    click(100, 100);
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    click(280, 100);
    EXPECT_FALSE(prompt.isVisible());

    addRow(300, "1100");
    EXPECT_TRUE(action("mnusavecal")->isEnabled());
    click(200, 420);
    EXPECT_EQ(form.depthBox()->text(), "1160");  // the line through 1000 and 1100, read at the new line
    EXPECT_EQ(form.focusWidget(), form.okButton());
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_EQ(state().depths[3].DEPTH, 1160);
    click(100, 420);
    click(280, 420);

    clickIndicator(child<QRadioButton>("OptDigCal(0)"));
    move(190, 200);
    EXPECT_EQ(label("Label3"), "1050.0");
    EXPECT_EQ(label("Label2"), "45.0");
    EXPECT_TRUE(child<QLabel>("Label5")->isVisible());
    click(190, 200);
    QTest::mouseDClick(view(), Qt::LeftButton, Qt::NoModifier, at(190, 200));  // its second press is no press
    EXPECT_EQ(state().NumPoints, 1);
    EXPECT_TRUE(state().interaction.AwaitingAzimuth);
    move(250, 200);
    EXPECT_EQ(label("Label6"), "90.0");
    clickIndicator(child<QRadioButton>("Option1(1)"));
    click(190, 200);
    EXPECT_FALSE(state().interaction.AwaitingAzimuth);
    EXPECT_EQ(state().dips[1].Azimuth, 90);
    EXPECT_EQ(state().dips[1].Quality, "B");
    EXPECT_EQ(window_->logView().surface().image().pixel(205, 200), qRgb(0, 255, 0));
}

TEST_F(MouseWindowTest, EnterDepthEscapedAndDefineDipScaleClosedLoseNothing)
{
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    window_->scaleForm().close();
    EXPECT_FALSE(window_->scaleForm().isVisible());
    click(50, 50);  // no way to calibrate without a dip scale: the dialog comes back
    EXPECT_TRUE(window_->scaleForm().isVisible());
    clickIndicator(window_->scaleForm().option(1));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);

    click(200, 100);
    QTest::keyClick(&window_->depthForm(), Qt::Key_Escape);
    EXPECT_FALSE(window_->depthForm().isVisible());
    EXPECT_EQ(state().NUMDEP, 0);
    EXPECT_TRUE(window_->centralWidget()->isEnabled());
    EXPECT_TRUE(window_->menuBar()->isEnabled());
    click(200, 120);
    EXPECT_EQ(state().NUMDEP, 1);
    EXPECT_TRUE(window_->depthForm().isVisible());
}

TEST_F(MouseWindowTest, AreaEraseIsADragWithTheLeftButton)
{
    openAndDefineLinearScale();
    addRow(100, "1000");
    addRow(300, "1100");
    clickIndicator(child<QRadioButton>("OptDigCal(0)"));
    for (int y : {150, 200, 250}) {
        click(190, y);
        click(190, y);
    }
    action("mnuerase")->trigger();
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, at(10, 260));
    move(10, 220, Qt::LeftButton);
    EXPECT_EQ(window_->logView().surface().image().pixel(30, 220), qRgb(255, 0, 255));
    move(10, 190, Qt::LeftButton);
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, at(10, 190));
    ASSERT_EQ(state().NumPoints, 1);
    EXPECT_EQ(state().dips[1].YPIX, 150 * state().TwipsPerPixelY);
    EXPECT_FALSE(state().interaction.EraseArmed);
}
