#include <QMenu>
#include <QScrollBar>
#include "ui/enter_dip_scales.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
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
};

}  // namespace

TEST_F(HistoryTest, EveryActionGoesBackAndComesAgainExactly)
{
    openThroughMenu(writeBitmap("log.bmp", RgbPicture(400, 600, 0xffffff), 24));
    clickIndicator(window_->scaleForm().option(1));  // a choice in the dialog, not yet an action
    std::vector<Work> kept{work()};
    QStringList names;
    const auto step = [&](const QString& name, const std::function<void()>& act) {
        act();
        kept.push_back(work());
        names << name;
        EXPECT_EQ(undoCaption(), "Undo " + name);
    };
    step("Define Dip Scale", [&] { QTest::mouseClick(window_->scaleForm().okButton(), Qt::LeftButton); });
    step("Add Depth Row", [&] { addRow(100, "1000"); });
    step("Add Depth Row", [&] { addRow(300, "1100"); });
    step("Add Depth Row", [&] { addRow(400, "1150"); });
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
    ASSERT_EQ(session().history().undoCount(), std::size_t(names.size()));

    for (int i = int(names.size()); i > 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(work() == kept[std::size_t(i - 1)]) << "undo of " << names[i - 1].toStdString();
        EXPECT_TRUE(shownAsRedrawn()) << "undo of " << names[i - 1].toStdString();
        EXPECT_EQ(unsaved(), i > 1);  // back to the picture as opened: nothing to save
    }
    EXPECT_FALSE(work().scale.has_value());
    EXPECT_FALSE(child<QLabel>("Label11")->isVisible());
    for (int i = 1; i <= int(names.size()); ++i) {
        key(i % 2 ? Qt::Key_Y : Qt::Key_Z, i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(work() == kept[std::size_t(i)]) << "redo of " << names[i - 1].toStdString();
        EXPECT_TRUE(shownAsRedrawn()) << "redo of " << names[i - 1].toStdString();
    }
}

TEST_F(HistoryTest, UndoInsideADepthRowAndOfADipAwaitingItsTailStepsBack)
{
    openAndDefineLinearScale();
    addRow(100, "1000");
    addRow(300, "1100");
    EnterDipScales& prompt = window_->dipScalePrompt();
    click(200, 200);
    enterDepth("1050");
    click(100, 200);
    ASSERT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    key(Qt::Key_Z, Qt::ControlModifier);  // a step of the row, not an action
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 0");
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(rowCount(), 2);
    key(Qt::Key_Z, Qt::ControlModifier);  // the line being entered is withdrawn
    EXPECT_EQ(rowCount(), 2);
    EXPECT_FALSE(window_->tools().calibration().enteringRow());
    EXPECT_FALSE(prompt.isVisible());
    EXPECT_TRUE(shownAsRedrawn());
    EXPECT_EQ(undoCaption(), "Undo Add Depth Row");
    key(Qt::Key_Z, Qt::ControlModifier);  // now the whole second row
    EXPECT_EQ(rowCount(), 1);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rowCount(), 2);
    addRow(200, "1050");
    EXPECT_EQ(rowCount(), 3);

    digitizeMode();
    const std::size_t actions = session().history().undoCount();
    click(190, 150);
    ASSERT_TRUE(window_->tools().digitize().awaitingTail());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dipCount(), 0);
    EXPECT_FALSE(window_->tools().digitize().awaitingTail());
    EXPECT_EQ(rowCount(), 3);  // only the dip's first press was taken back
    EXPECT_TRUE(shownAsRedrawn());  // no guide circle left
    click(190, 150);
    EXPECT_EQ(shown().pixel(210, 150), qRgb(255, 0, 0));  // its guide circle
    move(190, 100);
    click(190, 150);
    EXPECT_EQ(session().history().undoCount(), actions + 1);  // both presses, one action
    EXPECT_EQ(work().dips[0].azimuth, 0);

    click(150, 250);
    key(Qt::Key_Escape);  // removes the dip awaiting its tail
    EXPECT_EQ(dipCount(), 1);
    EXPECT_FALSE(window_->tools().digitize().awaitingTail());
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
    // A full dip table but for the dips still to come, in no depth order.
    AddDips many;
    for (int i = 1; i <= kMaxDips - 251; ++i)
        many.dips.push_back(Dip{100, double(100 + (i * 37) % 400), 0, "A"});
    QString error;
    ASSERT_TRUE(session().apply(many, error));
    for (int i = 0; i < 250; ++i)
        ASSERT_TRUE(session().apply(AddDips{{Dip{133.3, 101.0 + i, 45, "B"}}}, error));
    EXPECT_EQ(session().history().undoCount(), WorkHistory::kLimit);
    const std::size_t bytes = session().history().bytesHeld();
    EXPECT_LT(bytes, std::size_t(100) << 20) << bytes;

    const Work beforeLastDip = work();
    tadpole(190, 200, 190, 150);
    dialog_->files.push_back(folder_.filePath("sorted.ddp"));
    action("mnusavecal")->trigger();  // the file is sorted; the work is not changed by it
    EXPECT_FALSE(unsaved());
    EXPECT_EQ(undoCaption(), "Undo Add Dip");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(work() == beforeLastDip);
}

TEST_F(HistoryTest, DeleteDipTakesTheNearestWithinEightPixelsOnce)
{
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    tadpole(150, 250, 150, 220);
    tadpole(160, 255, 160, 290);
    const Dip second = work().dips[1], third = work().dips[2];
    key(Qt::Key_Delete);
    click(199, 200);  // 9 pixels from the nearest: nothing goes, and the tool is spent
    EXPECT_EQ(dipCount(), 3);
    EXPECT_FALSE(window_->tools().digitize().awaitingTail());
    key(Qt::Key_Delete);
    click(196, 205);  // 7.8 pixels away
    ASSERT_EQ(dipCount(), 2);
    EXPECT_EQ(work().dips[0], second);
    EXPECT_EQ(work().dips[1], third);
    EXPECT_EQ(undoCaption(), "Undo Delete Dip");
    key(Qt::Key_Delete);
    key(Qt::Key_Escape);
    click(160, 255);  // disarmed: a press places a dip again
    EXPECT_EQ(dipCount(), 2);
    EXPECT_TRUE(window_->tools().digitize().awaitingTail());
}

TEST_F(HistoryTest, GoToDepthPutsTheDepthInTheMiddleOfTheView)
{
    openThroughMenu(writeBitmap("long.bmp", RgbPicture(200, 20000, 0xffffff), 8));
    QString error;
    ASSERT_TRUE(session().apply(AddDepthRows{{DepthRow{1000, 100, 7, 133}, DepthRow{2000, 19000, 7, 133}}}, error));
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Minus);
    ASSERT_EQ(child<QLabel>("Label60")->text(), "1:8");
    const LogView& shownView = window_->logView();
    const double middle = shownView.contentsRect().height() / 2.0;
    messages_->texts = {"1500"};
    key(Qt::Key_G, Qt::ControlModifier);
    const double row = *session().calibration().rowOf(1500);
    // Within a scroll step of the middle.
    EXPECT_NEAR(shownView.viewport().toViewY(row), middle, 15.0 / 8 * 8);
    const int scrolled = child<QScrollBar>("VScroll1")->value();
    messages_->texts = {"2500"};
    action("mnugotodepth")->trigger();
    EXPECT_EQ(child<QScrollBar>("VScroll1")->value(), scrolled);
    EXPECT_EQ(messages_->errors, QStringList("Go to Depth: The depth 2500 lies outside the calibrated depths 1000–2000."));
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
    for (int i = 0; i < 9; ++i)
        click(100 + 20 * i, 30);
    EXPECT_TRUE(prompt.isVisible());
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 90");
    EXPECT_FALSE(work().scale.has_value());  // not yet an action
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(prompt.prompt(), "Please left click on Dip = 80");
    click(260, 30);
    click(300, 30);
    EXPECT_FALSE(prompt.isVisible());
    ASSERT_TRUE(work().scale.has_value());
    EXPECT_EQ(undoCaption(), "Undo Define Dip Scale");
    EXPECT_EQ(work().scale->customSteps[8], 260);
    EXPECT_EQ(work().scale->customSteps[9], 300);
    key(Qt::Key_Z, Qt::ControlModifier);  // the whole scale at once
    EXPECT_FALSE(work().scale.has_value());
}

TEST_F(HistoryTest, AnActionThatChangesNothingLeavesNoFigureBehind)
{
    calibrateTwoRowsAndDigitize();
    tadpole(190, 200, 250, 200);
    action("mnuerase")->trigger();  // a band without dips
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, at(10, 240));
    move(10, 280, Qt::LeftButton);
    QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, at(10, 280));
    EXPECT_EQ(dipCount(), 1);
    EXPECT_EQ(undoCaption(), "Undo Add Dip");
    EXPECT_TRUE(shownAsRedrawn());  // the band's outline is gone
}
