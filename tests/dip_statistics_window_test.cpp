#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>

#include "drawing/dip_diagrams.h"
#include "ui/dip_statistics_window.h"
#include "window_fixture.h"

namespace {

const std::array<Rgb, 4> kColours{Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{128, 0, 128}};

}  // namespace

TEST(DipDiagrams, PolesAndSectorsLieWhereTheyShould)
{
    DipStatistics s;
    s.counted = 2;
    s.sectors[9] = 4;  // azimuths 90 to 100: the full radius
    s.sectors[27] = 1;  // 270 to 280: half of it
    s.poles = {poleOf(30, 45, 1), poleOf(90, 0, 2)};
    QImage picture(800, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter p(&picture);
        paintDipDiagrams(p, picture.rect(), s, kColours);
    }
    const DiagramPlaces at = diagramPlaces(picture.rect());
    const double R = at.radius;
    auto pixel = [&](QPointF centre, double x, double y) {
        return QColor(picture.pixel((centre + QPointF(x, y)).toPoint()));
    };
    const QColor wedge(70, 110, 170);
    EXPECT_EQ(pixel(at.roseCentre, 0.9 * R, 0.08 * R), wedge);   // east, just south of it: inside 90-100
    EXPECT_EQ(pixel(at.roseCentre, 0.9 * R, -0.08 * R), Qt::white);  // just north of east: no sector
    EXPECT_EQ(pixel(at.roseCentre, -0.4 * R, -0.04 * R), wedge);  // 270-280 reaches sqrt(1/4) of the radius
    EXPECT_EQ(pixel(at.roseCentre, -0.6 * R, -0.04 * R), Qt::white);
    // Dip 30 towards 45: pole 60 down towards 225, at sqrt(2) sin 15 degrees from the centre.
    EXPECT_EQ(pixel(at.netCentre, -0.258819 * R, 0.258819 * R), QColor(0, 255, 0));
    // A vertical bed striking east-west, dipping north: its pole due south on the rim.
    EXPECT_EQ(pixel(at.netCentre, 0, R - 2), QColor(0, 0, 255));
}

TEST_F(MouseWindowTest, TheStatisticsFollowTheWorkAndItsFilters)
{
    calibrateTwoRowsAndDigitize();
    const char* grades[] = {"Option1(0)", "Option1(1)", "Option1(2)"};
    for (int i = 0; i < 3; ++i) {
        clickIndicator(child<QRadioButton>(grades[i]));
        click(190, 150 + 50 * i);
        move(250, 150 + 50 * i);
        click(190, 150 + 50 * i);
    }
    action("mnustatistics")->trigger();
    DipStatisticsWindow& stats = window_->statisticsWindow();
    ASSERT_TRUE(stats.isVisible());
    EXPECT_EQ(stats.statistics().counted, 3);
    EXPECT_TRUE(stats.summary().startsWith("Dips: 3\nMean dip 45.0\u00b0, azimuth 90.0\u00b0")) << stats.summary().toStdString();

    clickIndicator(stats.findChild<QCheckBox*>("statGradeB"));
    EXPECT_EQ(stats.statistics().counted, 2);
    stats.findChild<QLineEdit*>("statFrom")->setText("1040");
    EXPECT_EQ(stats.statistics().counted, 1);  // the C dip at 1050
    stats.findChild<QLineEdit*>("statTo")->setText("deep");
    EXPECT_TRUE(stats.summary().contains("not a number"));

    // Below the depth rows, as an older file may hold it: left out, counted apart.
    QString error;
    ASSERT_TRUE(session().apply(AddDips{{Dip{190, 450, 90, "A"}}}, error));
    EXPECT_EQ(stats.statistics().leftOut, 1);

    for (const char* name : {"dips.png", "dips.svg"}) {
        dialog_->files.push_back(folder_.filePath(name));
        QTest::mouseClick(stats.findChild<QPushButton*>("statSave"), Qt::LeftButton);
    }
    const QImage png(folder_.filePath("dips.png"));
    EXPECT_EQ(png.size(), QSize(960, 560));
    // Below the diagrams, a legend: each grade's colour in its swatch.
    const QColor swatches[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), QColor(128, 0, 128)};
    for (int g = 0; g < 4; ++g)
        EXPECT_EQ(png.pixelColor(28 + 90 * g, 532), swatches[g]) << g;
    QFile svg(folder_.filePath("dips.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    EXPECT_TRUE(drawing.contains("<svg"));
    // The count, the mean pole and the depths, and the grades named.
    EXPECT_TRUE(drawing.contains("1 dips;  mean dip")) << drawing.right(3000).toStdString();
    EXPECT_TRUE(drawing.contains("(the mean pole)"));
    EXPECT_TRUE(drawing.contains("depths 1075.0–1075.0"));
    EXPECT_TRUE(drawing.contains("Grade D"));
}
