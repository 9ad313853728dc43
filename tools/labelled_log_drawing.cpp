#include "labelled_log_drawing.h"

#include <cmath>
#include <numbers>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "model/number_format.h"

namespace {

// The columns, as shares of the width: the depth column's borders, and the
// dip track's 0 and 90 degrees.
constexpr double kDepthLeft = 0.017, kDepthRight = 0.25, kTrackLeft = 0.275, kTrackRight = 0.883;

struct Geometry {
    double depthLeft, depthRight, trackLeft, trackRight;
    double trackX(const DipScale& scale, double dip) const
    {
        return trackLeft + (trackRight - trackLeft) * dipFraction(scale, dip);
    }
};

QFont labelFont(const LabelledLogStyle& s)
{
    QFont font(QString::fromStdString(s.family));
    font.setPixelSize(s.pixelSize);
    font.setWeight(QFont::Weight(s.weight));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The rows of the lines before the sheet is turned: the spacing drifting
// slowly along the log, as stretched paper does.
std::vector<double> lineRows(const LabelledLogStyle& s, std::mt19937& rng)
{
    std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
    const double a = phase(rng), b = phase(rng);
    std::vector<double> rows;
    double row = s.firstRow;
    for (int i = 0; row < s.height - 80; ++i) {
        rows.push_back(row);
        row += s.spacing * (1 + s.stretch * (0.7 * std::sin(i / 23.0 + a) + 0.3 * std::sin(i / 7.0 + b)));
    }
    return rows;
}

void drawTadpoles(QPainter& p, const LabelledLogStyle& s, const Geometry& g, const std::vector<double>& rows,
                  std::mt19937& rng)
{
    if (rows.size() < 2)
        return;
    std::uniform_real_distribution<double> unit(0, 1);
    const double top = rows.front(), bottom = rows.back();
    for (int i = 0; i < s.tadpoles; ++i) {
        const double y = top + (bottom - top) * (i + 0.2 + 0.6 * unit(rng)) / s.tadpoles;
        const double x = g.trackLeft + 12 + (g.trackRight - g.trackLeft - 24) * unit(rng);
        const double azimuth = 2 * std::numbers::pi * unit(rng), tail = 25;
        const bool filled = unit(rng) < 0.7;
        p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x, y), QPointF(x + tail * std::sin(azimuth), y - tail * std::cos(azimuth)));
        p.setBrush(filled ? QBrush(Qt::black) : QBrush(Qt::white));
        p.drawEllipse(QPointF(x, y), 4, 4);
    }
    p.setBrush(Qt::NoBrush);
}

}  // namespace

cv::Mat drawLabelledLog(const LabelledLogStyle& s, std::vector<PrintedLine>* lines)
{
    std::mt19937 rng(s.seed);
    // A turned sheet stays on the glass: its columns are drawn narrower by
    // as much as the turn moves them at its ends.
    const double margin = std::abs(std::tan(s.skewDegrees * std::numbers::pi / 180)) * s.height / 2;
    const double inner = s.width - 2 * margin;
    const Geometry g{margin + kDepthLeft * inner, margin + kDepthRight * inner, margin + kTrackLeft * inner,
                     margin + kTrackRight * inner};
    const DipScale scale{s.scale, 0, 90, {}};
    const std::vector<double> rows = lineRows(s, rng);
    const double top = rows.empty() ? s.firstRow : rows.front(), bottom = rows.empty() ? s.height : rows.back();

    QImage page(s.width, s.height, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double cx = s.width / 2.0, cy = s.height / 2.0;
    p.translate(cx, cy);
    p.rotate(s.skewDegrees);
    p.translate(-cx, -cy);

    // The header: the columns' titles and the scale's numbers.
    const QFont font = labelFont(s);
    QFont small = font;
    small.setPixelSize(std::max(9, s.pixelSize - 3));
    p.setFont(small);
    p.setPen(Qt::black);
    const double header = std::max(40.0, top - 0.75 * s.firstRow);
    p.drawText(QPointF(g.depthLeft + 20, header + 12), QStringLiteral("DEPTH"));
    p.drawText(QPointF((g.trackLeft + g.trackRight) / 2 - 50, header + 12), QStringLiteral("DIP (DEGREES)"));
    for (int d = 0; d <= 90; d += 10) {
        const QString number = QString::number(d);
        const double x = g.trackX(scale, d) - QFontMetricsF(small).horizontalAdvance(number) / 2;
        p.drawText(QPointF(x, header + 52), number);
    }
    // The columns and the grid.
    const double from = header + 60, to = std::min<double>(s.height - 20, bottom + 30);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int d = 10; d < 90; d += 10)
        p.drawLine(QPointF(g.trackX(scale, d), from), QPointF(g.trackX(scale, d), to));
    p.setPen(QPen(Qt::black, 2));
    for (const double x : {g.depthLeft, g.depthRight, g.trackLeft, g.trackRight})
        p.drawLine(QPointF(x, from), QPointF(x, to));
    drawTadpoles(p, s, g, rows, rng);

    // The depth lines with their labels, right against the column's border.
    const QFontMetricsF metrics(font);
    p.setFont(font);
    const double theta = s.skewDegrees * std::numbers::pi / 180;
    const auto turned = [&](double x, double y) {
        return QPointF(cx + (x - cx) * std::cos(theta) - (y - cy) * std::sin(theta),
                       cy + (x - cx) * std::sin(theta) + (y - cy) * std::cos(theta));
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double row = rows[i], depth = s.firstDepth + s.step * double(i);
        const bool labelled = int(i) % s.labelEvery == 0;
        if (lines) {
            const QPointF middle = turned((g.trackLeft + g.trackRight) / 2, row);
            lines->push_back({middle.y(), depth, labelled, std::tan(theta), turned(g.trackLeft, row).x(),
                              turned(g.trackRight, row).x()});
        }
        if (s.undrawnLines.count(int(i)))
            continue;
        p.setPen(QPen(Qt::black, i % 5 == 0 ? 2 : 1));
        p.drawLine(QPointF(margin, row), QPointF(s.width - margin, row));
        if (!labelled)
            continue;
        const auto misprint = s.misprints.find(int(i));
        const QString text = QString::fromStdString(misprint != s.misprints.end() ? misprint->second : formatPlain(depth));
        const QRectF ink = metrics.tightBoundingRect(text);
        const double right = g.depthRight - 5, left = right - metrics.horizontalAdvance(text);
        if (s.inGap) {
            p.fillRect(QRectF(left - 4, row - 3, right - left + 8, 6), Qt::white);
            p.drawText(QPointF(left, row - ink.center().y()), text);
        } else {
            p.drawText(QPointF(left, row - 4 - ink.bottom()), text);
        }
    }
    p.end();
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(grey.height(), grey.width(), CV_8U, const_cast<uchar*>(grey.constBits()),
                   std::size_t(grey.bytesPerLine()))
        .clone();
}

const std::vector<Typeface>& labelTypefaces()
{
    static const std::vector<Typeface> faces{
        {"DejaVu Sans Mono", 700},  {"Liberation Mono", 400},   {"FreeMono", 400},
        {"Liberation Sans Narrow", 700}, {"DejaVu Sans Condensed", 700}, {"DejaVu Sans Light", 200},
        {"Open Sans Light", 300},   {"Liberation Serif", 400},  {"Linux Libertine O", 400},
        {"FreeSerif", 700},         {"DejaVu Serif Condensed", 400}, {"Roboto Condensed Light", 300},
    };
    return faces;
}

LabelledLogStyle drawnStyle(std::mt19937& rng)
{
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const auto between = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    LabelledLogStyle s;
    const Typeface& face = labelTypefaces()[std::size_t(pick(int(labelTypefaces().size())))];
    s.family = face.family;
    s.weight = face.weight;
    s.pixelSize = 11 + pick(8);
    static const double steps[] = {1, 2, 2.5, 5, 10, 20, 25, 50, 100};
    s.step = steps[pick(9)];
    s.firstDepth = s.step * std::round(between(100, 5000) / s.step);
    s.spacing = between(std::max(35.0, 2.4 * s.pixelSize), 80);
    static const int every[] = {1, 2, 5};
    s.labelEvery = every[pick(3)];
    s.inGap = pick(2) == 1;
    s.skewDegrees = between(-2, 2);
    s.stretch = between(0, 0.012);
    static const DipScaleKind kinds[] = {DipScaleKind::Linear, DipScaleKind::Sine, DipScaleKind::Standard60,
                                         DipScaleKind::Standard50};
    s.scale = kinds[pick(4)];
    s.tadpoles = 300;
    s.seed = unsigned(rng());
    return s;
}
