#include <algorithm>
#include <cmath>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QDockWidget>
#include <QLabel>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "tadpole_sketch.h"
#include "ui/program_settings.h"
#include "ui/log_view.h"
#include "window_fixture.h"

namespace {

// The tadpoles of the test log, inside the track that calibrateTwoRowsAndDigitize
// calibrates: x 100 to 280 for dips 0 to 90, y 100 to 300 for depths 1000 to 1100.
const TadpoleSketch kPrinted[] = {
    {150.5, 140.5, 10, 45, 25, 2, true},
    {220.5, 180.5, 10, 200, 25, 2, false},
    {170.5, 230.5, 10, 300, 25, 2, true},
    {250.5, 270.5, 10, 120, 25, 2, true},  // printed pale: the least sure
};
constexpr std::size_t kPale = 3;

RgbPicture printedLog()
{
    RgbPicture picture(400, 600, 0xffffff);
    auto shade = [&](int x, int y, double share, bool ink) {
        if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
            return;
        const int grey = int(picture.at(x, y) & 0xff);
        const int now = int(std::lround(ink ? grey * (1 - share) : grey + (255 - grey) * share));
        picture.at(x, y) = 0x010101u * std::uint32_t(now);
    };
    for (std::size_t i = 0; i < std::size(kPrinted); ++i) {
        const double ink = i == kPale ? 0.6 : 1;
        sketchTadpole(kPrinted[i], [&](int x, int y, double s) { shade(x, y, s * ink, true); },
                      [&](int x, int y, double s) { shade(x, y, s, false); });
    }
    return picture;
}

double turn(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360 - d);
}

class FindTadpolesTest : public MouseWindowTest {
protected:
    void find()
    {
        ASSERT_TRUE(action("mnufindtadpoles")->isEnabled());
        key(Qt::Key_F, Qt::ControlModifier);
        ASSERT_SOON(action("mnufindtadpoles")->isEnabled());  // the search is over
    }
    QString counts() { return child<QLabel>("foundcount")->text(); }
    const std::vector<Proposal>& proposals() { return session().found().proposals(); }
};

TEST_F(FindTadpolesTest, FoundTadpolesAreReviewedAndAcceptedAsOneAction)
{
    // A grey scan, kept in 8-bit grey; the other tests' logs are in colour.
    calibrateTwoRowsAndDigitize(printedLog(), 8);
    ASSERT_EQ(window_->logView().surface().picture()->level(0).format(), QImage::Format_Grayscale8);
    const int actions = session().history().undoCount();
    find();
    ASSERT_EQ(proposals().size(), 4u);
    EXPECT_EQ(counts(), QStringLiteral("4 found: 3 filled, 1 hollow.\n4 kept, 0 dropped."));
    EXPECT_TRUE(child<QWidget>("foundtadpoles")->isVisible());
    // Under review the tadpoles are no part of the work.
    EXPECT_EQ(session().history().undoCount(), actions);
    EXPECT_EQ(dipCount(), 0);

    click(170, 230);  // the third: dropped, and kept again, and dropped
    click(171, 231);
    click(170, 229);
    EXPECT_EQ(counts(), QStringLiteral("4 found: 3 filled, 1 hollow.\n3 kept, 1 dropped."));
    // Only those surer than the least sure shown, then all again, each kept
    // or dropped as it was.
    const double least = std::min_element(proposals().begin(), proposals().end(), [](const auto& a, const auto& b) {
                             return a.confidence < b.confidence;
                         })->confidence;
    ASSERT_LT(least, 0.99);
    child<QSpinBox>("foundconfidence")->setValue(int(std::floor(100 * least)) + 1);
    EXPECT_EQ(counts(), QStringLiteral("3 found: 2 filled, 1 hollow.\n2 kept, 1 dropped."));
    child<QSpinBox>("foundconfidence")->setValue(50);
    EXPECT_EQ(counts(), QStringLiteral("4 found: 3 filled, 1 hollow.\n3 kept, 1 dropped."));
    // What the search learned of the scan, and the tadpole stepped to.
    const auto scan = QRegularExpression(QStringLiteral("^Dots about ([0-9.]+) px, estimated.\\nNoise: 0.0 % of the "
                                                        "paper in specks.$"))
                          .match(child<QLabel>("foundscan")->text());
    ASSERT_TRUE(scan.hasMatch()) << child<QLabel>("foundscan")->text().toStdString();
    EXPECT_NEAR(scan.captured(1).toDouble(), 10, 1);
    EXPECT_EQ(child<QLabel>("foundcurrent")->text(), QString());
    key(Qt::Key_N);
    EXPECT_EQ(session().found().current(), 0);
    const Proposal& first = proposals()[0];
    const auto current = QRegularExpression(QStringLiteral("^Depth ([0-9.]+), dip ([0-9.]+)°, azimuth ([0-9]+)°, "
                                                           "(filled|hollow), ([0-9]+) % sure.$"))
                             .match(child<QLabel>("foundcurrent")->text());
    ASSERT_TRUE(current.hasMatch()) << child<QLabel>("foundcurrent")->text().toStdString();
    EXPECT_NEAR(current.captured(1).toDouble(), 1000 + (kPrinted[kPale].y - 100) / 2, 0.2);
    EXPECT_NEAR(current.captured(2).toDouble(), (kPrinted[kPale].x - 100) / 2, 0.2);
    EXPECT_LT(turn(current.captured(3).toDouble(), kPrinted[kPale].azimuth), 2);
    EXPECT_EQ(current.captured(4), QStringLiteral("filled"));
    EXPECT_EQ(current.captured(5).toInt(), int(std::floor(100 * first.confidence)));

    key(Qt::Key_Return);
    ASSERT_EQ(dipCount(), 3);
    EXPECT_TRUE(proposals().empty());
    EXPECT_EQ(counts(), QStringLiteral("No tadpoles to review."));
    EXPECT_EQ(session().undoName(), QStringLiteral("Add Found Tadpoles"));
    const Calibration& calibration = session().calibration();
    for (const Dip& d : work().dips) {
        const TadpoleSketch* printed = nullptr;
        for (const TadpoleSketch& t : kPrinted)
            if (std::abs(d.x - t.x) < 0.5 && std::abs(d.y - t.y) < 0.5)
                printed = &t;
        ASSERT_NE(printed, nullptr) << "a dip at " << d.x << ", " << d.y;
        EXPECT_NE(printed, &kPrinted[2]);
        EXPECT_NEAR(*calibration.depthAt(d.y), 1000 + (printed->y - 100) / 2, 0.3);
        EXPECT_NEAR(*calibration.dipAt(d.x, d.y), (printed->x - 100) / 2, 0.3);
        EXPECT_LT(turn(d.azimuth, printed->azimuth), 2);
        EXPECT_EQ(d.grade, printed->filled ? "A" : "C");
    }

    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dipCount(), 0);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(dipCount(), 3);
}

TEST_F(FindTadpolesTest, FindingAgainNeverDoublesADip)
{
    calibrateTwoRowsAndDigitize(printedLog());
    tadpole(150, 140, 170, 120);  // the first placed by hand
    find();
    EXPECT_EQ(proposals().size(), 3u);
    key(Qt::Key_Return);
    EXPECT_EQ(dipCount(), 4);
    find();
    EXPECT_TRUE(proposals().empty());
    EXPECT_EQ(counts(), QStringLiteral("No tadpoles to review."));
    EXPECT_EQ(dipCount(), 4);
}

TEST_F(FindTadpolesTest, CancelKeepsNothing)
{
    calibrateTwoRowsAndDigitize(printedLog());
    const int actions = session().history().undoCount();
    window_->setProgressDelay(0);
    action("mnufindtadpoles")->trigger();
    QProgressDialog* progress = nullptr;
    ASSERT_SOON((progress = window_->findChild<QProgressDialog*>(QStringLiteral("findprogress")))
                && progress->isVisible());
    click(300, 200);  // the work is out of reach meanwhile
    EXPECT_EQ(dipCount(), 0);
    EXPECT_FALSE(window_->tools().digitize().awaitingTail());
    QPushButton* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_SOON(action("mnufindtadpoles")->isEnabled());
    EXPECT_TRUE(proposals().empty());
    EXPECT_EQ(session().history().undoCount(), actions);
    EXPECT_EQ(dipCount(), 0);
}

TEST_F(FindTadpolesTest, SnapTakesThePrintedTadpoleInOnePress)
{
    calibrateTwoRowsAndDigitize(printedLog());
    ASSERT_FALSE(action("mnusnap")->isChecked());
    click(155, 137);  // snap off: the press is the centre, the tail comes next
    EXPECT_TRUE(window_->tools().digitize().awaitingTail());
    EXPECT_EQ(window_->tools().digitize().dipAwaitingTail()->first, 155);
    key(Qt::Key_Escape);

    key(Qt::Key_S);
    ASSERT_TRUE(action("mnusnap")->isChecked());
    const int actions = session().history().undoCount();
    click(158, 146);  // 7 pixels from the dot's edge
    EXPECT_FALSE(window_->tools().digitize().awaitingTail());
    ASSERT_EQ(dipCount(), 1);
    EXPECT_NEAR(work().dips[0].x, 150.5, 0.3);
    EXPECT_NEAR(work().dips[0].y, 140.5, 0.3);
    EXPECT_LT(turn(work().dips[0].azimuth, 45), 2);
    EXPECT_EQ(session().history().undoCount(), actions + 1);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dipCount(), 0);

    click(120, 200);  // far from any tadpole: as without snap
    EXPECT_TRUE(window_->tools().digitize().awaitingTail());
    EXPECT_EQ(window_->tools().digitize().dipAwaitingTail()->first, 120);
}

TEST_F(FindTadpolesTest, SnapAndTheSearchSettingsOutliveTheRun)
{
    key(Qt::Key_S);
    child<QComboBox>("hollowgrade")->setCurrentText(QStringLiteral("D"));
    clickIndicator(child<QCheckBox>("founddiameterauto"));
    child<QDoubleSpinBox>("founddiametermax")->setValue(12);
    SetUp();  // the next run
    EXPECT_TRUE(action("mnusnap")->isChecked());
    EXPECT_EQ(child<QComboBox>("hollowgrade")->currentText(), QStringLiteral("D"));
    EXPECT_FALSE(child<QCheckBox>("founddiameterauto")->isChecked());
    EXPECT_EQ(child<QDoubleSpinBox>("founddiametermax")->value(), 12);
}

// The panel, the stored settings and dipdigitizer-batch take one dot range;
// one stored beyond it, by hand or by another version, is not half kept.
TEST_F(FindTadpolesTest, AStoredDotRangeBeyondTheSearchsLimitsFallsBackToTheEstimate)
{
    EXPECT_EQ(child<QDoubleSpinBox>("founddiametermin")->minimum(), kLeastDotDiameter);
    EXPECT_EQ(child<QDoubleSpinBox>("founddiametermax")->maximum(), kMostDotDiameter);
    settings::setTadpoleSearch(SearchSettings{10, 80, 0.7, "B", "Z"});
    EXPECT_EQ(settings::tadpoleSearch(), (SearchSettings{0, 0, 0.7, "B", "C"}));
    SetUp();
    EXPECT_TRUE(child<QCheckBox>("founddiameterauto")->isChecked());
    EXPECT_EQ(child<QSpinBox>("foundconfidence")->value(), 70);
}

}  // namespace

// The panel of found tadpoles tells of the log in hand: another log opened
// closes it, and a new start does not bring it back empty.
TEST_F(FindTadpolesTest, TheFoundPanelTellsOfTheLogInHandOnly)
{
    calibrateTwoRowsAndDigitize(printedLog());
    find();
    ASSERT_TRUE(child<QWidget>("foundtadpoles")->isVisible());
    window_->close();  // the state kept with the panel open; the work not saved (No)
    SetUp();
    EXPECT_FALSE(child<QWidget>("foundtadpoles")->isVisible());

    calibrateTwoRowsAndDigitize(printedLog());
    find();
    ASSERT_TRUE(child<QWidget>("foundtadpoles")->isVisible());
    key(Qt::Key_Escape);  // the review given up
    openThroughMenu(writeBitmap(QStringLiteral("next.bmp"), RgbPicture(100, 100, 0xffffff), 24));
    ASSERT_EQ(pictureName(), QStringLiteral("next.bmp"));
    EXPECT_FALSE(child<QWidget>("foundtadpoles")->isVisible());
}

// Under the found tadpoles' panel, the dip table takes the height the panel
// does not need.
TEST_F(FindTadpolesTest, TheDipTableTakesTheRoomThePanelAboveItDoesNotNeed)
{
    window_->resize(1200, 900);
    calibrateTwoRowsAndDigitize(printedLog());
    find();
    auto* panel = child<QDockWidget>("foundtadpoles");
    ASSERT_TRUE(panel->isVisible());
    action("mnudiptable")->trigger();
    auto* table = child<QDockWidget>("diptable");
    ASSERT_TRUE(table->isVisible());
    ASSERT_SOON(panel->height() <= panel->sizeHint().height() + 2);
    EXPECT_GT(table->height(), panel->height());
}

namespace {

class ReviewLeastSureTest : public FindTadpolesTest {
protected:
    QString current() { return child<QLabel>("leastsurecurrent")->text(); }
    QString left() { return child<QLabel>("leastsurecount")->text(); }
    void press(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
};

}  // namespace

// The dips a reviewer looks at are those under 90 % sure, as the batch's
// report counts them: a log found clean has none; a project whose found dips
// are less sure offers them, the least sure first.
TEST_F(ReviewLeastSureTest, FoundDipsKeepTheirConfidenceAndThoseUnder90AreReviewedLeastSureFirst)
{
    calibrateTwoRowsAndDigitize(printedLog());
    key(Qt::Key_R, Qt::ControlModifier);  // nothing to review yet, and said so
    EXPECT_EQ(left(), QStringLiteral("No found dip under 90 % sure is left to review."));
    find();
    key(Qt::Key_Return);
    ASSERT_EQ(dipCount(), 4);
    EXPECT_EQ(child<QLabel>("foundcurrent")->text(), QStringLiteral("4 dips added."));
    std::optional<int> pale;
    std::size_t unsure = 0;
    for (const Dip& d : work().dips) {
        if (std::hypot(d.x - kPrinted[kPale].x, d.y - kPrinted[kPale].y) < 1)
            pale = d.confidence;
        unsure += *d.confidence < 90 ? 1 : 0;
    }
    ASSERT_TRUE(pale);
    for (const Dip& d : work().dips)
        EXPECT_LE(*pale, *d.confidence);
    EXPECT_EQ(leastSureDips(work()).size(), unsure);

    // The same log with its found dips less sure, rows in depth order.
    dialog_->files.push_back(folder_.filePath("found.ddp"));
    key(Qt::Key_S, Qt::ControlModifier);
    QFile project(folder_.filePath("found.ddp"));
    ASSERT_TRUE(project.open(QIODevice::ReadOnly));
    QByteArray text = project.readAll();
    project.close();
    const qsizetype confidences = text.indexOf("CONFIDENCE,4\r\n");
    ASSERT_GT(confidences, 0);
    text = text.left(confidences) + "CONFIDENCE,4\r\n95\r\n75\r\n60\r\n40\r\n";
    ASSERT_TRUE(project.open(QIODevice::WriteOnly | QIODevice::Truncate));
    project.write(text);
    project.close();
    ASSERT_TRUE(window_->openProject(folder_.filePath("found.ddp")));
    ASSERT_EQ(leastSureDips(work()).size(), 3u);

    ASSERT_TRUE(action("mnureviewleastsure")->isEnabled());
    key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(child<QWidget>("diptable")->isVisible());  // the dip table, filtered and sorted for the review
    const QAbstractItemModel* rows = child<QTableView>("diptableview")->model();
    ASSERT_EQ(rows->rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(rows->index(r, 4).data().toString(), QStringList({"40", "60", "75"})[r]);
    EXPECT_EQ(left(), QStringLiteral("3 found dips under 90 % sure not yet reviewed, the least sure first."));
    const auto described = QRegularExpression(QStringLiteral("^Depth ([0-9.]+), dip ([0-9.]+)°, azimuth [0-9.]+°, "
                                                             "grade A, ([0-9]+) % sure.$"))
                               .match(current());
    ASSERT_TRUE(described.hasMatch()) << current().toStdString();
    EXPECT_NEAR(described.captured(1).toDouble(), 1000 + (kPrinted[kPale].y - 100) / 2, 0.2);
    EXPECT_EQ(described.captured(3).toInt(), 40);

    // Kept: as sure as can be, one undo step, and the next least sure framed.
    const int actions = session().history().undoCount();
    press("keepdip");
    EXPECT_EQ(session().history().undoCount(), actions + 1);
    EXPECT_EQ(session().undoName(), QStringLiteral("Keep Dip"));
    EXPECT_EQ(leastSureDips(work()).size(), 2u);
    EXPECT_EQ(left(), QStringLiteral("2 found dips under 90 % sure not yet reviewed, the least sure first."));
    EXPECT_TRUE(current().endsWith(QStringLiteral(", 60 % sure."))) << current().toStdString();
    int kept = 0;
    for (const Dip& d : work().dips)
        kept += d.confidence == 100 ? 1 : 0;
    EXPECT_EQ(kept, 1);

    // Deleted: gone, one undo step; then undone.
    press("nextdip");
    press("removedip");
    EXPECT_EQ(dipCount(), 3);
    EXPECT_EQ(session().undoName(), QStringLiteral("Delete Dip"));
    EXPECT_EQ(left(), QStringLiteral("1 found dip under 90 % sure not yet reviewed, the least sure first."));
    backToTheWindow();
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dipCount(), 4);
    EXPECT_EQ(left(), QStringLiteral("3 found dips under 90 % sure not yet reviewed, the least sure first."));

    // The confidences are saved with the project, and read back.
    dialog_->files.push_back(folder_.filePath("kept.ddp"));
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    const Work saved = work();
    ASSERT_TRUE(window_->openProject(folder_.filePath("kept.ddp")));
    EXPECT_EQ(leastSureDips(work()).size(), leastSureDips(saved).size());
    key(Qt::Key_R, Qt::ControlModifier);  // the reopened work's own least sure dips
    EXPECT_EQ(left(), QStringLiteral("3 found dips under 90 % sure not yet reviewed, the least sure first."));
}

// A picture and the project made on it are one log, which the project opens.
TEST_F(ReviewLeastSureTest, OpenNextLogTakesTheNextLogOfTheFolderByNameAndAPicturesProjectForIt)
{
    openAndDefineLinearScale(QStringLiteral("b.bmp"));
    addRow(100, "1000");
    addRow(300, "1100");
    digitizeMode();
    dialog_->files.push_back(folder_.filePath("b.ddp"));
    key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QFileInfo::exists(folder_.filePath("b.ddp")));
    writeBitmap(QStringLiteral("c.bmp"), RgbPicture(100, 100, 0xffffff), 24);
    openThroughMenu(writeBitmap(QStringLiteral("a.bmp"), RgbPicture(100, 100, 0xffffff), 24));
    action("mnuopennext")->trigger();
    EXPECT_EQ(pictureName(), QStringLiteral("b.bmp"));
    EXPECT_EQ(QFileInfo(session().projectPath()).fileName(), QStringLiteral("b.ddp"));
    action("mnuopennext")->trigger();
    EXPECT_EQ(pictureName(), QStringLiteral("c.bmp"));
    EXPECT_EQ(session().projectPath(), QString());
    action("mnuopennext")->trigger();
    EXPECT_EQ(pictureName(), QStringLiteral("c.bmp"));
    ASSERT_FALSE(messages_->errors.isEmpty());
    EXPECT_EQ(messages_->errors.last(),
              QStringLiteral("Open Next Log: No picture or project follows \"c.bmp\" in its folder."));
}
