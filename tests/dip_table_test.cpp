// The dip table beside the log, through real events: it lists and follows
// the dips, brings the one chosen into sight, and deletes and copies rows.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDockWidget>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>

#include "session/dip_table_model.h"
#include "ui/dip_statistics_window.h"
#include "ui/log_view.h"
#include "window_fixture.h"

namespace {

// A log 3000 rows tall, calibrated from 1000 at row 100 to 2400 at row
// 2900 on a linear scale from x 100 to 280, with four dips out of depth order.
class DipTableTest : public MouseWindowTest {
protected:
    void SetUp() override
    {
        MouseWindowTest::SetUp();
        openThroughMenu(writeBitmap(QStringLiteral("tall.bmp"), RgbPicture(400, 3000, 0xffffff), 24));
        window_->scaleForm().hide();
        QString error;
        ASSERT_TRUE(session().apply(SetCalibration{DipScale{DipScaleKind::Linear, 0, 90, {}},
                                                   {{1000, 100, 100, 280}, {2400, 2900, 100, 280}}, {}, {}},
                                    error))
            << error.toStdString();
        ASSERT_TRUE(session().apply(AddDips{{{190, 2500, 45, "A", 80}, {145, 300, 90, "B", std::nullopt},
                                             {235, 1500, 180, "C", 100}, {190, 700, 270, "A", 95}}},
                                    error))
            << error.toStdString();
        digitizeMode();
        key(Qt::Key_T, Qt::ControlModifier);
        table_ = child<QTableView>("diptableview");
    }
    QString cell(int row, int column) { return table_->model()->index(row, column).data().toString(); }
    QStringList column(int c)
    {
        QStringList cells;
        for (int r = 0; r < table_->model()->rowCount(); ++r)
            cells << cell(r, c);
        return cells;
    }
    void pressRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        table_->scrollTo(table_->model()->index(row, 0));
        QTest::mouseClick(table_->viewport(), Qt::LeftButton, modifiers,
                          table_->visualRect(table_->model()->index(row, 0)).center());
    }
    Viewport viewport() { return window_->logView().viewport(); }
    // A value typed over a cell's, as a user types it: the cell pressed, F2,
    // the text and Enter.
    void type(int row, int column, const QString& text)
    {
        const QModelIndex cell = table_->model()->index(row, column);
        table_->scrollTo(cell);
        QTest::mouseClick(table_->viewport(), Qt::LeftButton, Qt::NoModifier, table_->visualRect(cell).center());
        QTest::keyClick(table_, Qt::Key_F2);
        QLineEdit* editor = openEditor();
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor hands its text over once back in the event loop
    }
    // The cell's editor that is open, not one closed and not yet gone.
    QLineEdit* openEditor()
    {
        for (QLineEdit* editor : table_->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }
    void closeEditor()
    {
        if (QLineEdit* editor = openEditor())
            QTest::keyClick(editor, Qt::Key_Escape);
    }
    QByteArray saved()
    {
        const QString path = folder_.filePath("saved.ddp");
        QString error;
        EXPECT_TRUE(session().saveProject(path, 1, error)) << error.toStdString();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    QTableView* table_ = nullptr;
};

}  // namespace

TEST_F(DipTableTest, ListsTheDipsInDepthOrderAndFollowsEveryChange)
{
    ASSERT_TRUE(child<QDockWidget>("diptable")->isVisible());
    EXPECT_EQ(child<QDockWidget>("diptable")->windowTitle(), QStringLiteral("Dip Table"));
    const QStringList headers{"Depth", "Dip", "Azimuth", "Grade", "Confidence", "Source"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(table_->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_EQ(column(0), QStringList({"1100.0", "1300.0", "1700.0", "2200.0"}));
    EXPECT_EQ(column(1), QStringList({"22.5", "45.0", "67.5", "45.0"}));
    EXPECT_EQ(column(4), QStringList({"", "95", "100", "80"}));
    EXPECT_EQ(column(5), QStringList({"by hand", "found", "kept", "found"}));

    // A dip placed by hand takes its place; undone, it goes.
    tadpole(150, 150, 170, 150);
    ASSERT_EQ(dipCount(), 5);
    EXPECT_EQ(column(0), QStringList({"1025.0", "1100.0", "1300.0", "1700.0", "2200.0"}));
    EXPECT_EQ(cell(0, 2), QStringLiteral("90.0"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(column(0), QStringList({"1100.0", "1300.0", "1700.0", "2200.0"}));

    // Any column sorts.
    table_->horizontalHeader()->setSortIndicator(4, Qt::DescendingOrder);
    EXPECT_EQ(column(4), QStringList({"100", "95", "80", ""}));

    // Another log opened: its dips, none here.
    openThroughMenu(writeBitmap(QStringLiteral("other.bmp"), RgbPicture(400, 600, 0xffffff), 24));
    ASSERT_EQ(pictureName(), QStringLiteral("other.bmp"));
    EXPECT_EQ(table_->model()->rowCount(), 0);
}

TEST_F(DipTableTest, ARowChosenFarDownIsBroughtIntoSightRingedAndPickedBackWithCtrl)
{
    ASSERT_LT(viewport().top + window_->logView().shownHeight(), 2400);  // the deepest dip out of sight
    pressRow(3);
    const Viewport v = viewport();
    EXPECT_LE(v.top, 2500 - 30);
    EXPECT_GE(v.top + window_->logView().shownHeight(), 2500 + 30);
    // Ringed in the selection's own colour.
    const QImage shown = window_->logView().surface().image();
    int ringed = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ringed += shown.pixel(x, y) == qRgb(200, 0, 200) ? 1 : 0;
    EXPECT_GT(ringed, 20);

    // Back up the log only as far as the next one chosen needs.
    pressRow(1);
    EXPECT_NEAR(viewport().top, 700 - 40, 2);

    // Its row picked by a Ctrl+press on the dip, which places nothing.
    table_->clearSelection();
    const Viewport now = viewport();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ControlModifier,
                      at(int(std::lround(now.toViewX(190))), int(std::lround(now.toViewY(700)))));
    EXPECT_EQ(dipCount(), 4);
    const QModelIndexList selected = table_->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 1);
}

TEST_F(DipTableTest, DeletingSelectedRowsIsOneUndoStepAndCopyGivesTabSeparatedRows)
{
    pressRow(0);
    pressRow(1, Qt::ShiftModifier);
    table_->setFocus();
    QTest::keyClick(table_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Depth\tDip\tAzimuth\tGrade\tConfidence\tSource\n"
                                                                "1100.0\t22.5\t90.0\tB\t\tby hand\n"
                                                                "1300.0\t45.0\t270.0\tA\t95\tfound\n"));

    pressRow(2, Qt::ShiftModifier);
    const int actions = session().history().undoCount();
    QTest::keyClick(table_, Qt::Key_Delete);
    EXPECT_EQ(dipCount(), 1);
    EXPECT_EQ(session().history().undoCount(), actions + 1);
    EXPECT_EQ(session().undoName(), QStringLiteral("Delete Dips"));
    EXPECT_EQ(column(0), QStringList({"2200.0"}));
    backToTheWindow();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dipCount(), 4);
    EXPECT_EQ(column(0), QStringList({"1100.0", "1300.0", "1700.0", "2200.0"}));
}

// Depth, Dip, Azimuth and Grade typed: each the same whole edit of the work,
// one undo step that gives the work back byte for byte; a value out of range
// refused with the reason.
TEST_F(DipTableTest, TypedValuesEditTheDipInOneStepAndOutOfRangeAreRefused)
{
    backToTheWindow();
    const QByteArray before = saved();
    const Calibration& c = session().calibration();
    const auto dipOfRow = [&](int row) -> const Dip& {
        const double depth = cell(row, 0).toDouble();
        for (const Dip& d : work().dips)
            if (std::abs(*c.depthAt(d.y) - depth) < 0.05)
                return d;
        return work().dips[0];
    };

    type(1, 1, QStringLiteral("60"));  // the dip at 1300, 45 degrees
    EXPECT_EQ(cell(1, 1), QStringLiteral("60.0"));
    EXPECT_NEAR(dipOfRow(1).x, 100 + 60 * 2, 1e-9);
    EXPECT_NEAR(dipOfRow(1).y, 700, 1e-9);
    EXPECT_EQ(session().undoName(), QStringLiteral("Edit Dip"));
    const int steps = session().history().undoCount();

    type(1, 2, QStringLiteral("123.5"));
    EXPECT_EQ(cell(1, 2), QStringLiteral("123.5"));
    type(1, 3, QStringLiteral("d"));
    EXPECT_EQ(cell(1, 3), QStringLiteral("D"));
    type(1, 0, QStringLiteral("2000"));  // to 2000's row, still 60 degrees
    EXPECT_EQ(column(0), QStringList({"1100.0", "1700.0", "2000.0", "2200.0"}));
    EXPECT_EQ(cell(2, 1), QStringLiteral("60.0"));
    EXPECT_EQ(session().history().undoCount(), steps + 3);

    // Refused in the cell, with the reason; the work as it was.
    const Work was = work();
    type(2, 2, QStringLiteral("400"));
    EXPECT_EQ(child<QLabel>("diptablerefusal")->text(), QStringLiteral("An azimuth lies from 0 to 360, not 400."));
    EXPECT_TRUE(child<QLabel>("diptablerefusal")->isVisible());
    closeEditor();
    type(2, 1, QStringLiteral("95"));
    EXPECT_EQ(child<QLabel>("diptablerefusal")->text(), QStringLiteral("The dip 95 lies outside the scale's limits, 0 to 90."));
    closeEditor();
    type(2, 0, QStringLiteral("900"));
    EXPECT_EQ(child<QLabel>("diptablerefusal")->text(),
              QStringLiteral("The depth 900 lies outside the calibrated depths 1000–2400."));
    closeEditor();
    type(2, 3, QStringLiteral("E"));
    EXPECT_EQ(child<QLabel>("diptablerefusal")->text(), QStringLiteral("A grade is A, B, C or D, not \"E\"."));
    closeEditor();
    EXPECT_EQ(work(), was);

    // Each edit one step back; the work as it was, byte for byte.
    backToTheWindow();
    for (int i = 0; i < 4; ++i)
        key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(saved(), before);
}

// A zone's statistics: more than one row selected, Dip Statistics counts
// those dips only and its title says which.
TEST_F(DipTableTest, TheStatisticsOfASelectionCountOnlyItsDips)
{
    action("mnustatistics")->trigger();
    DipStatisticsWindow& statistics = window_->statisticsWindow();
    ASSERT_TRUE(statistics.isVisible());
    EXPECT_EQ(statistics.statistics().counted, 4);
    EXPECT_EQ(statistics.windowTitle(), QStringLiteral("Dip Statistics"));
    pressRow(1);
    pressRow(2, Qt::ShiftModifier);
    EXPECT_EQ(statistics.statistics().counted, 2);
    EXPECT_EQ(statistics.windowTitle(),
              QStringLiteral("Dip Statistics: the 2 dips selected in the dip table, depths 1300.0\u20131700.0"));
    // The saved image says the zone.
    ASSERT_TRUE(statistics.saveImage(folder_.filePath("zone.svg")));
    QFile image(folder_.filePath("zone.svg"));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    EXPECT_TRUE(image.readAll().contains("the 2 dips selected in the dip table, depths 1300.0"));
    // A change of the work keeps the zone to the rows still selected.
    tadpole(150, 150, 170, 150);
    EXPECT_EQ(statistics.statistics().counted, 2);
    pressRow(0);  // one row is no zone
    EXPECT_EQ(statistics.statistics().counted, 5);
    EXPECT_EQ(statistics.windowTitle(), QStringLiteral("Dip Statistics"));
}

// Rows kept by depth, grade, confidence and review, each through its box.
TEST_F(DipTableTest, FiltersKeepTheRowsOfADepthRangeGradesConfidenceOrReview)
{
    QTest::keyClicks(child<QLineEdit>("diptablefrom"), "1200");
    EXPECT_EQ(column(0), QStringList({"1300.0", "1700.0", "2200.0"}));
    QTest::keyClicks(child<QLineEdit>("diptableto"), "2000");
    EXPECT_EQ(column(0), QStringList({"1300.0", "1700.0"}));
    child<QLineEdit>("diptablefrom")->clear();
    child<QLineEdit>("diptableto")->clear();
    EXPECT_EQ(column(0).size(), 4);

    clickIndicator(child<QCheckBox>("diptablegradeA"));
    EXPECT_EQ(column(3), QStringList({"B", "C"}));
    clickIndicator(child<QCheckBox>("diptablegradeA"));

    QSpinBox* under = child<QSpinBox>("diptableunder");
    EXPECT_EQ(under->text(), QStringLiteral("any"));
    under->setFocus();
    QTest::keyClick(under, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(under, "90");
    EXPECT_EQ(column(4), QStringList({"80"}));
    QTest::keyClick(under, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(under, Qt::Key_Delete);
    QTest::keyClicks(under, "0");

    clickIndicator(child<QCheckBox>("diptableunreviewed"));
    EXPECT_EQ(column(5), QStringList({"found", "found"}));
}
