#include <QMenu>
#include <QUndoStack>

#include "core/dipdigitize.h"
#include "drawing/redraw.h"
#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/work_command.h"
#include "window_fixture.h"

namespace {

class HistoryTest : public MouseWindowTest {
protected:
    // What the view shows equals a redraw of the same work from scratch:
    // no rubber figure was left behind.
    bool shownAsRedrawn()
    {
        const QImage before = shown();
        window_->redraw();
        return before == shown();
    }
    void useTool(int index) { option("Option2", index); }
    QString undoCaption() { return action("mnuundo")->text(); }
    QUndoStack& undoStack() { return window_->undoStack(); }
};

}  // namespace

TEST_F(HistoryTest, EveryActionGoesBackAndComesAgainExactly)
{
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    clickIndicator(window_->scaleForm().option(1));  // a choice in the dialog, not yet an action
    std::vector<WorkSnapshot> work{takeSnapshot(state())};
    QStringList names;
    const auto step = [&](const QString& name, const std::function<void()>& act) {
        act();
        work.push_back(takeSnapshot(state()));
        names << name;
        EXPECT_EQ(undoCaption(), "Undo " + name);
    };
    step("Define Dip Scale", [&] { QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton); });
    for (int y : {100, 300}) {
        step("Add Depth Line", [&] {
            click(200, y);
            enterDepth(y == 100 ? "1000" : "1100");
        });
        step("Minimum Dip Position", [&] { click(100, y); });
        step("Complete Depth Row", [&] { click(280, y); });
    }
    step("Add Depth Line", [&] {
        click(200, 400);
        enterDepth("1150");
    });
    step("Delete Depth Lines", [&] {
        useTool(1);
        click(10, 400);
    });
    step("Set Header Top", [&] {
        useTool(2);
        click(10, 20);
    });
    step("Set Left Edge", [&] {
        useTool(6);
        click(90, 20);
    });
    digitizeMode();
    step("Add Dip", [&] { tadpole(190, 200, 250, 200); });
    step("Add Dip", [&] { tadpole(150, 250, 150, 220); });
    step("Area Erase", [&] {
        action("mnuerase")->trigger();
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, at(10, 240));
        move(10, 260, Qt::LeftButton);
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, at(10, 260));
    });
    step("Delete Dip", [&] {
        key(Qt::Key_Delete);
        click(192, 201);
    });
    ASSERT_EQ(undoStack().count(), names.size());

    for (int i = int(names.size()); i > 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(takeSnapshot(state()) == work[std::size_t(i - 1)]) << "undo of " << names[i - 1].toStdString();
        EXPECT_TRUE(shownAsRedrawn()) << "undo of " << names[i - 1].toStdString();
        EXPECT_EQ(state().ProjectChanged, i > 1);  // back to the picture as opened: nothing to save
    }
    EXPECT_FALSE(state().DipScaleDefined);
    EXPECT_FALSE(child<QLabel>("Label11")->isVisible());
    for (int i = 1; i <= int(names.size()); ++i) {
        key(i % 2 ? Qt::Key_Y : Qt::Key_Z, i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(takeSnapshot(state()) == work[std::size_t(i)]) << "redo of " << names[i - 1].toStdString();
        EXPECT_TRUE(shownAsRedrawn()) << "redo of " << names[i - 1].toStdString();
    }
}

TEST_F(HistoryTest, UndoInsideADepthRowAndOfADipAwaitingItsTail)
{
    openAndDefineLinearScale();
    addRow(100, "1000");
    addRow(300, "1100");
    EnterDipScales& prompt = window_->dipScalePrompt();
    click(200, 200);
    enterDepth("1050");
    click(100, 200);
    ASSERT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state().AwaitMinDipClick);
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 0");
    EXPECT_TRUE(prompt.isVisible());
    key(Qt::Key_Z, Qt::ControlModifier);  // the line being entered is withdrawn
    EXPECT_EQ(state().NUMDEP, 2);
    EXPECT_TRUE(state().AwaitDepthLine);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_TRUE(shownAsRedrawn());
    key(Qt::Key_Y, Qt::ControlModifier);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(state().AwaitMaxDipClick);
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    click(280, 200);

    digitizeMode();
    const int actions = undoStack().count();
    click(190, 150);
    ASSERT_TRUE(state().interaction.AwaitingAzimuth);
    EXPECT_EQ(undoCaption(), "Undo Add Dip");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state().NumPoints, 0);
    EXPECT_FALSE(state().interaction.AwaitingAzimuth);
    EXPECT_TRUE(shownAsRedrawn());  // no guide circle left
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(state().interaction.AwaitingAzimuth);
    EXPECT_EQ(shown().pixel(210, 150), qRgb(255, 0, 0));  // its guide circle again
    move(190, 100);
    click(190, 150);
    EXPECT_EQ(undoStack().count(), actions + 1);  // both presses, one action
    EXPECT_EQ(state().dips[1].Azimuth, 0);

    click(150, 250);
    key(Qt::Key_Escape);  // removes the dip awaiting its tail, as its undo would
    EXPECT_EQ(state().NumPoints, 1);
    EXPECT_TRUE(undoStack().canRedo());
}

TEST_F(HistoryTest, EveryFinishedDipShowsItsTailAfterUndoAndRedo)
{
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 190, 150);  // the table's first dip, its tail straight up
    tadpole(150, 250, 150, 220);
    const QRgb red = qRgb(255, 0, 0);
    key(Qt::Key_Z, Qt::ControlModifier);  // back to one finished dip
    EXPECT_EQ(shown().pixel(190, 185), red);
    EXPECT_TRUE(shownAsRedrawn());
    key(Qt::Key_Z, Qt::ControlModifier);  // an empty table
    EXPECT_NE(shown().pixel(190, 185), red);
    EXPECT_TRUE(shownAsRedrawn());
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(shown().pixel(190, 185), red);
    EXPECT_TRUE(shownAsRedrawn());
}

TEST_F(HistoryTest, SavesAreNoActionsAndTheHistoryStaysSmall)
{
    openAndDefineLinearScale();
    addRow(100, "1000");
    addRow(500, "1400");
    digitizeMode();
    ProjectState& st = state();
    // A full dip table but for the dips still to come, in no depth order.
    for (int i = 1; i <= kMaxDips - 251; ++i)
        st.dips[i] = DipPoint{0.0, 15.0 * (100 + (i * 37) % 400), 0.0, 2000, 0, "A"};
    st.NumPoints = std::int16_t(kMaxDips - 251);
    for (int i = 0; i < 250; ++i) {
        window_->apply(StartDip{2000, 15.0 * (101 + i), 1.0, 2.0});
        window_->apply(FinishDip{st.NumPoints, 45, "B"});
    }
    EXPECT_EQ(undoStack().count(), 200);
    const std::size_t bytes = historyBytes(undoStack(), st);
    EXPECT_LT(bytes, std::size_t(100) << 20) << bytes;

    const WorkSnapshot beforeLastDip = takeSnapshot(st);
    tadpole(190, 200, 190, 150);
    dialog_->files.push_back(folder_.filePath("sorted.ddp"));
    action("mnusavecal")->trigger();  // sorts the dips in memory
    ASSERT_FALSE(takeSnapshot(st).dips == beforeLastDip.dips);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(takeSnapshot(st) == beforeLastDip);
}

TEST_F(HistoryTest, DeleteDipTakesTheNearestWithinEightPixelsOnce)
{
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    tadpole(150, 250, 150, 220);
    tadpole(160, 255, 160, 290);
    const DipPoint second = state().dips[2], third = state().dips[3];
    key(Qt::Key_Delete);
    click(199, 200);  // 9 pixels from the nearest: nothing goes, and the tool is spent
    EXPECT_EQ(state().NumPoints, 3);
    EXPECT_FALSE(state().interaction.AwaitingAzimuth);
    key(Qt::Key_Delete);
    click(196, 205);  // 7.8 pixels away
    ASSERT_EQ(state().NumPoints, 2);
    EXPECT_EQ(state().dips[1], second);
    EXPECT_EQ(state().dips[2], third);
    EXPECT_EQ(undoCaption(), "Undo Delete Dip");
    key(Qt::Key_Delete);
    key(Qt::Key_Escape);
    EXPECT_FALSE(state().interaction.DeleteArmed);
}

TEST_F(HistoryTest, GoToDepthPutsTheDepthInTheMiddleOfTheView)
{
    openThroughMenu(writeBitmap("long.bmp", RgbPicture(200, 20000, 0xffffff), 8));
    ProjectState& st = state();
    st.NUMDEP = 2;
    st.depths[1] = {1000, 1500, 100, 2000};
    st.depths[2] = {2000, 285000, 100, 2000};
    const double middle = view()->contentsRect().height() * st.TwipsPerPixelY / 2;
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Minus);
    ASSERT_EQ(child<QLabel>("Label60")->text(), "1:8");
    messages_->texts = {"1500"};
    key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_NEAR(viewY(st, *depthToImageY(st, 1500)), middle, st.VScrollUnit * st.ZoomFactor);
    const int scrolled = st.VScrollValue;
    messages_->texts = {"2500"};
    action("mnugotodepth")->trigger();
    EXPECT_EQ(st.VScrollValue, scrolled);
    EXPECT_EQ(messages_->errors, QStringList("Go to Depth: The depth 2500 lies outside the calibrated part of the log."));
}

TEST_F(HistoryTest, TheMagnifierShowsTheViewFourTimesBesideTheCursor)
{
    openAndDefineLinearScale();
    addRow(100, "1000");
    EXPECT_EQ(view()->cursor().shape(), Qt::CrossCursor);
    key(Qt::Key_M);
    ASSERT_TRUE(action("mnumagnifier")->isChecked());
    move(150, 102);
    Magnifier& loupe = window_->magnifier();
    ASSERT_TRUE(loupe.isVisible());
    const QImage view = shown();
    const int centre = Magnifier::kReach * Magnifier::kZoom;
    for (const QPoint d : {QPoint(0, 0), QPoint(3, -1), QPoint(-20, 20)})  // the depth line lies at dy -1 and -2
        for (int k : {0, Magnifier::kZoom - 1})
            ASSERT_EQ(loupe.lens().pixel(centre + d.x() * Magnifier::kZoom + k, centre + d.y() * Magnifier::kZoom + k),
                      view.pixel(150 + d.x(), 102 + d.y()))
                << d.x() << "," << d.y();
    const QPoint cursor = this->view()->mapToGlobal(at(150, 102));
    EXPECT_FALSE(loupe.geometry().contains(cursor));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(this->view(), &leave);
    EXPECT_FALSE(loupe.isVisible());
}

TEST_F(HistoryTest, UndoOfACustomScalePositionStepsThePromptBack)
{
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    clickIndicator(window_->scaleForm().option(4));
    QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton);
    EnterDipScales& prompt = window_->dipScalePrompt();
    for (int i = 0; i < 10; ++i)
        click(100 + 20 * i, 30);
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_TRUE(state().AwaitDepthLine);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state().AwaitCustomClick);
    EXPECT_EQ(state().CustomClicks, 9);
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 80");
    click(300, 30);
    EXPECT_EQ(state().CustomDipTwip[8], 4500);
}
