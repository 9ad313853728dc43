// Draws synthetic dipmeter logs together with the truth about their
// tadpoles, to measure the tadpole search against. For each variant it
// writes the picture and VARIANT.csv: a line "# picture,track left,track
// right,top,bottom" and then one line per tadpole with its centre (picture
// units), filled (1) or hollow (0), azimuth and dip in degrees, and whether
// its dot sits on a line of the track (1: a 10-degree line, a minor depth
// line or the track's edge).
//
// Without --seed every log is drawn as it always was, from seed 2026, with
// one setting per kind of spoiling. With --seed N each log is drawn anew:
// every spoiling setting, the JPEG quality and the share of hollow dots come
// from their ranges, a fifth of the dots sit on a 10-degree line or on the
// track's edge, and on spoiled logs the tails within 25 degrees of the rows
// are drawn 1 to 1.4 pixels wide.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <opencv2/imgproc.hpp>

#include "bmp_encoder.h"
#include "scan_spoiling.h"
#include "tiff_writer.h"

namespace {

struct Tadpole {
    double x = 0, y = 0;
    bool filled = true;
    double azimuth = 0, dip = 0;
    bool onLine = false;
};

// How a log is drawn: as it always was, or anew from a seed.
struct Drawing {
    bool seeded = false;
    unsigned seed = 2026;
    double filledShare = 0.7;
    int quality = 0;  // of a JPEG; 0: the variant's own
    // Tails within 25 degrees of the rows drawn this wide, as some printers
    // lay them, where they fade first; 0: as wide as the others.
    double rowTailWidth = 0;
};

enum class Output { GreyBmp, FaxTiff, Jpeg, ColourBmp, ColourJpeg };

// What the archive did to the sheet before it was scanned.
enum class Spoil { None, Speckle, Faded, Microfilm, Stained };

struct Variant {
    const char* name;
    int width, height;
    int tadpoles;
    double diameter;    // of the dot, outline included
    double tailLength;  // from the centre, in dot diameters
    double tailWidth;
    Output output;
    bool blackGrid = false;    // dark 10-degree and minor depth lines, dots put on them
    bool closePairs = false;   // every tadpole with a neighbour 15 pixels away
    bool speckle = false;
    bool notes = false;        // words written in the track
    double skew = 0;           // degrees the sheet is turned on the scanner, clockwise
    Spoil spoil = Spoil::None;
    bool curve = false;        // a log curve wandering through the track, with its scale
    int quality = 70;          // of a JPEG
};

const Variant kVariants[] = {
    {"clean", 1200, 8000, 300, 10, 2, 2, Output::GreyBmp},
    {"fax", 1200, 8000, 300, 8, 1.5, 1, Output::FaxTiff},
    {"jpeg", 1200, 8000, 300, 12, 3, 2, Output::Jpeg, false, false, true, true},
    {"grid", 1200, 8000, 300, 9, 2.5, 1.5, Output::GreyBmp, true},
    {"pairs", 1200, 8000, 300, 9, 2, 1.5, Output::GreyBmp, false, true},
    {"small", 1200, 6000, 250, 6, 4, 1, Output::GreyBmp, true},
    {"large", 1200, 8000, 200, 16, 5, 3, Output::Jpeg, false, false, true},
    {"well", 2000, 30000, 2000, 10, 2.5, 2, Output::GreyBmp},
    {"colour", 1200, 8000, 300, 10, 2.5, 2, Output::ColourBmp},
    {"skewed", 1200, 3000, 120, 10, 2.5, 2, Output::GreyBmp, false, false, false, false, 1},
    {.name = "speckle", .width = 1200, .height = 8000, .tadpoles = 300, .diameter = 10, .tailLength = 2.5,
     .tailWidth = 2, .output = Output::Jpeg, .spoil = Spoil::Speckle, .quality = 50},
    {.name = "faded", .width = 1200, .height = 8000, .tadpoles = 300, .diameter = 10, .tailLength = 2.5,
     .tailWidth = 2, .output = Output::ColourJpeg, .spoil = Spoil::Faded},
    {.name = "microfilm", .width = 1200, .height = 6000, .tadpoles = 250, .diameter = 6, .tailLength = 4,
     .tailWidth = 1, .output = Output::GreyBmp, .spoil = Spoil::Microfilm},
    {.name = "stained", .width = 1200, .height = 8000, .tadpoles = 300, .diameter = 9, .tailLength = 2.5,
     .tailWidth = 1.5, .output = Output::FaxTiff, .spoil = Spoil::Stained},
    {.name = "curve", .width = 1200, .height = 8000, .tadpoles = 300, .diameter = 10, .tailLength = 2.5,
     .tailWidth = 2, .output = Output::GreyBmp, .curve = true},
    {.name = "empty", .width = 1200, .height = 20000, .tadpoles = 0, .diameter = 10, .tailLength = 2.5,
     .tailWidth = 2, .output = Output::Jpeg, .blackGrid = true, .notes = true, .spoil = Spoil::Speckle,
     .curve = true, .quality = 50},
};

// On a colour log the tadpoles are printed in colours of their own, over a
// pale blue grid.
const QColor kInks[] = {QColor(0, 150, 0), QColor(200, 0, 0), QColor(0, 0, 190), Qt::black};

constexpr int kTop = 300;  // first depth line; the header lies above
constexpr int kDepthStep = 100;

struct Layout {
    int width, height, trackLeft, trackRight, top, bottom;
    double trackX(double dip) const { return trackLeft + (trackRight - trackLeft) * dip / 90; }
    double dipAt(double x) const { return (x - trackLeft) * 90 / (trackRight - trackLeft); }
};

void drawPage(QPainter& p, const Layout& l, const Variant& v)
{
    p.setFont(QFont("DejaVu Sans", 22, QFont::Bold));
    p.setPen(QPen(Qt::black, 2));
    p.drawText(QRect(0, 60, l.width, 60), Qt::AlignHCenter, "DIPMETER LOG");
    p.setFont(QFont("DejaVu Sans", 11, QFont::Bold));
    const QColor grid = v.blackGrid                       ? QColor(Qt::black)
                        : v.output == Output::ColourBmp ? QColor(160, 190, 230)
                                                        : QColor(170, 170, 170);
    p.setPen(QPen(grid, 1));
    for (int d = 10; d < 90; d += 10)
        p.drawLine(QPointF(l.trackX(d), l.top), QPointF(l.trackX(d), l.bottom));
    if (v.blackGrid)
        for (int y = l.top; y < l.bottom; y += 20)
            p.drawLine(QPointF(l.trackLeft, y + 0.5), QPointF(l.trackRight, y + 0.5));
    for (int y = l.top, n = 0; y <= l.bottom; y += kDepthStep, ++n) {
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(0, y, l.width, y);
        p.drawText(QRect(20, y - 22, 120, 20), Qt::AlignLeft, QString::number(2000 + 10 * n));
    }
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(l.trackLeft, l.top, l.trackLeft, l.bottom);
    p.drawLine(l.trackRight, l.top, l.trackRight, l.bottom);
    if (v.curve) {
        // A gamma ray curve plotted across the dip track, with its scale.
        p.drawText(QRect(l.trackLeft, l.top - 44, l.trackRight - l.trackLeft, 20), Qt::AlignLeft, "0");
        p.drawText(QRect(l.trackLeft, l.top - 44, l.trackRight - l.trackLeft, 20), Qt::AlignHCenter, "GAMMA RAY (API)");
        p.drawText(QRect(l.trackLeft, l.top - 44, l.trackRight - l.trackLeft, 20), Qt::AlignRight, "150");
        QPolygonF curve;
        for (int y = l.top; y <= l.bottom; y += 2)
            curve << QPointF(l.trackX(45 + 38 * std::sin(y / 170.0) * std::cos(y / 530.0) + 6 * std::sin(y / 23.0)), y);
        p.setPen(QPen(Qt::black, 1.5));
        p.drawPolyline(curve);
    }
}

// Room for a new tadpole: no dot near another, and no tail over a dot.
bool clear(const Tadpole& t, const std::vector<Tadpole>& placed, const Variant& v, double closest)
{
    const double tail = v.tailLength * v.diameter;
    auto nearSegment = [&](const Tadpole& a, double px, double py) {
        const double r = a.azimuth * std::numbers::pi / 180;
        const double ux = std::sin(r), uy = -std::cos(r);
        const double s = std::clamp((px - a.x) * ux + (py - a.y) * uy, 0.0, tail);
        return std::hypot(a.x + s * ux - px, a.y + s * uy - py);
    };
    for (auto it = placed.rbegin(); it != placed.rend() && it->y > t.y - tail - v.diameter * 2; ++it) {
        if (std::hypot(it->x - t.x, it->y - t.y) < closest)
            return false;
        if (nearSegment(*it, t.x, t.y) < v.diameter / 2 + 3 || nearSegment(t, it->x, it->y) < v.diameter / 2 + 3)
            return false;
    }
    return true;
}

std::vector<Tadpole> placeTadpoles(const Layout& l, const Variant& v, const Drawing& d, std::mt19937& rng)
{
    std::normal_distribution<double> dip(30, 18);
    std::uniform_real_distribution<double> turn(0, 360), unit(0, 1);
    std::vector<Tadpole> placed;
    const double pitch = double(l.bottom - l.top - 40) / v.tadpoles;
    auto make = [&](double x, double y) {
        Tadpole t{x, y, unit(rng) < d.filledShare, std::floor(turn(rng) * 10) / 10, 0};
        t.dip = l.dipAt(t.x);
        return t;
    };
    for (int i = 0; placed.size() < std::size_t(v.tadpoles) && i < 50 * v.tadpoles; ++i) {
        const double y = l.top + 20 + pitch * double(placed.size()) + unit(rng) * pitch * 0.5;
        double x = l.trackX(std::clamp(dip(rng), 2.0, 86.0));
        double cy = y;
        bool onLine = false, onEdge = false;
        if (v.blackGrid && unit(rng) < 0.5) {
            // Right on a line: a 10-degree line or a minor depth line.
            onLine = true;
            if (unit(rng) < 0.5)
                x = l.trackX(10 * std::round(l.dipAt(x) / 10)) + 0.5;
            else
                cy = l.top + 20 * std::round((y - l.top) / 20) + 1;
        } else if (d.seeded) {
            // A fifth on a line of the track: its middle on a 10-degree line,
            // or on the track's edge.
            const double where = unit(rng);
            onLine = where < 0.2;
            onEdge = where < 0.05;
            if (onEdge)
                x = where < 0.025 ? l.trackLeft : l.trackRight;
            else if (onLine)
                x = l.trackX(std::clamp(10 * std::round(l.dipAt(x) / 10), 10.0, 80.0));
        }
        Tadpole t = make(std::floor(x * 4) / 4, std::floor(cy * 4) / 4);
        t.onLine = onLine;
        if ((!onEdge && (t.dip < 1 || t.dip > 89)) || !clear(t, placed, v, 2.4 * v.diameter))
            continue;
        if (v.closePairs) {
            const double a = (unit(rng) - 0.5) * std::numbers::pi / 1.5;
            const Tadpole u = make(t.x + 15 * std::cos(a), t.y + 15 * std::sin(a));
            if (u.dip < 1 || u.dip > 89 || !clear(u, placed, v, 2.4 * v.diameter))
                continue;
            std::vector<Tadpole> withT = placed;
            withT.push_back(t);
            if (!clear(u, withT, v, 14.9))
                continue;
            placed.push_back(t);
            placed.push_back(u);
            continue;
        }
        placed.push_back(t);
    }
    return placed;
}

void drawTadpole(QPainter& p, const Tadpole& t, const Variant& v, double rowTailWidth, int index)
{
    const QColor ink = v.output == Output::ColourBmp ? kInks[index % 4] : QColor(Qt::black);
    const double r = t.azimuth * std::numbers::pi / 180, tail = v.tailLength * v.diameter;
    const QPointF centre(t.x, t.y);
    const bool alongRows = std::abs(std::remainder(t.azimuth - 90, 180)) <= 25;
    p.setPen(QPen(ink, alongRows && rowTailWidth > 0 ? rowTailWidth : v.tailWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(centre, centre + QPointF(tail * std::sin(r), -tail * std::cos(r)));
    const double ring = v.diameter >= 9 ? 2 : 1.5;
    p.setPen(QPen(ink, ring));
    p.setBrush(t.filled ? QBrush(ink) : QBrush(Qt::white));
    const double radius = (v.diameter - ring) / 2;
    p.drawEllipse(centre, radius, radius);
}

// The truth of a turned sheet: centres and tails turned with it, the dip as
// the straight track reads the turned centre, and only the tadpoles that
// stay inside the track.
void turnTruth(std::vector<Tadpole>& tadpoles, const Layout& l, const Variant& v)
{
    const double a = v.skew * std::numbers::pi / 180, cx = v.width / 2.0, cy = v.height / 2.0;
    std::vector<Tadpole> turned;
    for (Tadpole t : tadpoles) {
        const double dx = t.x - cx, dy = t.y - cy;
        t.x = cx + dx * std::cos(a) - dy * std::sin(a);
        t.y = cy + dx * std::sin(a) + dy * std::cos(a);
        t.azimuth = std::fmod(t.azimuth + v.skew + 360, 360);
        t.dip = l.dipAt(t.x);
        if (t.x >= l.trackLeft && t.x <= l.trackRight && t.y >= l.top && t.y <= l.bottom)
            turned.push_back(t);
    }
    tadpoles = std::move(turned);
}

void addSpeckle(QImage& page, std::mt19937& rng)
{
    std::uniform_int_distribution<int> x(0, page.width() - 2), y(0, page.height() - 2);
    const long count = long(page.width()) * page.height() / 1500;
    for (long i = 0; i < count; ++i) {
        const int px = x(rng), py = y(rng);
        const QRgb colour = i % 3 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        const int size = i % 5 == 0 ? 2 : 1;
        for (int dy = 0; dy < size; ++dy)
            for (int dx = 0; dx < size; ++dx)
                page.setPixel(px + dx, py + dy, colour);
    }
}

// The page as the scanner saw it: grey, or in colour where the sheet or its
// ink had colour.
struct Scan {
    cv::Mat grey;    // 8-bit, or empty
    cv::Mat colour;  // BGR, or empty
};

cv::Mat greyOf(const QImage& page)
{
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(grey.height(), grey.width(), CV_8U, const_cast<uchar*>(grey.constBits()),
                   std::size_t(grey.bytesPerLine()))
        .clone();
}

bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

bool writePicture(const Scan& scan, const Variant& v, const Drawing& d, const std::string& path)
{
    const int quality = d.quality > 0 ? d.quality : v.quality;
    if (!scan.colour.empty()) {
        const cv::Mat& c = scan.colour;
        if (v.output == Output::ColourJpeg) {
            const QImage image(c.data, c.cols, c.rows, int(c.step), QImage::Format_BGR888);
            return image.save(QString::fromStdString(path), "JPG", quality);
        }
        RgbPicture picture(c.cols, c.rows, 0xffffff);
        for (int y = 0; y < c.rows; ++y)
            for (int x = 0; x < c.cols; ++x) {
                const cv::Vec3b p = c.at<cv::Vec3b>(y, x);
                picture.at(x, y) = std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
            }
        return writeBytes(path, encodeBmp(picture, 24));
    }
    const cv::Mat& g = scan.grey;
    if (v.output == Output::Jpeg) {
        const QImage image(g.data, g.cols, g.rows, int(g.step), QImage::Format_Grayscale8);
        return image.save(QString::fromStdString(path), "JPG", quality);
    }
    if (v.output == Output::FaxTiff)
        return writeFaxTiff(path, g.cols, g.rows, 64, [&](int x, int y) { return g.at<std::uint8_t>(y, x) < 128; });
    RgbPicture picture(g.cols, g.rows, 0xffffff);
    for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.cols; ++x)
            picture.at(x, y) = 0x010101u * g.at<std::uint8_t>(y, x);
    return writeBytes(path, encodeBmp(picture, 8));
}

// The page drawn with its tadpoles, as the sheet was printed.
QImage drawnPage(const Layout& l, const Variant& v, const std::vector<Tadpole>& tadpoles, double rowTailWidth = 0)
{
    QImage page(v.width, v.height, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(v.width / 2.0, v.height / 2.0);
    p.rotate(v.skew);
    p.translate(-v.width / 2.0, -v.height / 2.0);
    drawPage(p, l, v);
    for (std::size_t i = 0; i < tadpoles.size(); ++i)
        drawTadpole(p, tadpoles[i], v, rowTailWidth, int(i));
    if (v.notes) {
        p.setPen(Qt::black);
        p.setFont(QFont("DejaVu Sans", 10));
        for (int y = l.top + 370; y < l.bottom; y += 900)
            p.drawText(QPointF(l.trackX(60), y), "FAULT ZONE 3");
    }
    return page;
}

// What the archive did to the printed page.
Scan spoiled(QImage page, const Layout& l, const Variant& v, const Drawing& d, std::mt19937& rng)
{
    if (v.speckle)
        addSpeckle(page, rng);
    if (v.output == Output::ColourBmp) {
        cv::Mat bgr;
        cv::cvtColor(cv::Mat(page.height(), page.width(), CV_8UC4, page.bits(), std::size_t(page.bytesPerLine())), bgr,
                     cv::COLOR_BGRA2BGR);
        return {{}, bgr};
    }
    cv::Mat grey = greyOf(page);
    switch (v.spoil) {
    case Spoil::Speckle:
        speckle(grey, d.seeded ? drawnCopying(rng) : Copying{}, rng);
        break;
    case Spoil::Faded:
        return {{}, fade(grey, d.seeded ? drawnFading(rng) : Fading{}, rng)};
    case Spoil::Microfilm:
        microfilm(grey, rng);
        break;
    case Spoil::Stained: {
        // The back of the sheet: another log, printed on its other side.
        std::mt19937 backRng(rng());
        stain(grey, greyOf(drawnPage(l, v, placeTadpoles(l, v, d, backRng))), rng);
        break;
    }
    case Spoil::None:
        break;
    }
    return {grey, {}};
}

const char* extensionOf(Output output)
{
    switch (output) {
    case Output::Jpeg:
    case Output::ColourJpeg:
        return ".jpg";
    case Output::FaxTiff:
        return ".tif";
    case Output::GreyBmp:
    case Output::ColourBmp:
        break;
    }
    return ".bmp";
}

bool writeTruth(const std::string& path, const std::string& picture, const Layout& l,
                const std::vector<Tadpole>& tadpoles)
{
    std::ofstream truth(path);
    truth << "# " << picture << ',' << l.trackLeft << ',' << l.trackRight << ',' << l.top << ',' << l.bottom << '\n';
    char line[128];
    for (const Tadpole& t : tadpoles) {
        std::snprintf(line, sizeof line, "%.2f,%.2f,%d,%.1f,%.3f,%d\n", t.x, t.y, t.filled ? 1 : 0, t.azimuth, t.dip,
                      t.onLine ? 1 : 0);
        truth << line;
    }
    return bool(truth);
}

bool makeVariant(const Variant& v, std::size_t index, const Drawing& given, const std::string& folder)
{
    Drawing d = given;
    std::seed_seq seeds{d.seed, unsigned(index)};
    std::mt19937 rng(2026);
    if (d.seeded) {
        rng.seed(seeds);
        std::uniform_real_distribution<double> unit(0, 1);
        d.filledShare = 0.5 + 0.3 * unit(rng);  // hollow dots 20-50 %
        d.quality = 40 + int(40 * unit(rng));
        // Drawn apart, so that the logs of a seed stay as they were otherwise.
        std::mt19937 widths(d.seed * 7919u + unsigned(index));
        if (v.spoil != Spoil::None && v.tailWidth > 1.4)
            d.rowTailWidth = 1 + 0.4 * std::uniform_real_distribution<double>(0, 1)(widths);
    }
    const Layout l{v.width, v.height, 220, v.width - 80, kTop, kTop + (v.height - kTop - 200) / kDepthStep * kDepthStep};
    std::vector<Tadpole> tadpoles = placeTadpoles(l, v, d, rng);
    const Scan scan = spoiled(drawnPage(l, v, tadpoles, d.rowTailWidth), l, v, d, rng);
    if (v.skew != 0)
        turnTruth(tadpoles, l, v);
    const std::string picture = std::string(v.name) + extensionOf(v.output);
    return writePicture(scan, v, d, folder + "/" + picture)
           && writeTruth(folder + "/" + v.name + ".csv", picture, l, tadpoles);
}

// The shipped sample log, copied and copied again: its truth unchanged.
bool makeSpeckledSample(const std::string& sample, const std::string& folder)
{
    const QString path = QString::fromStdString(sample);
    QImage page(path);
    std::ifstream truth(sample.substr(0, sample.find_last_of('.')) + ".csv");
    if (page.isNull() || !truth)
        return false;
    std::string head, rest, line;
    std::getline(truth, head);
    while (std::getline(truth, line))
        rest += line + '\n';
    std::mt19937 rng(2026);
    cv::Mat grey = greyOf(page);
    speckle(grey, Copying{}, rng);
    const QImage copied(grey.data, grey.cols, grey.rows, int(grey.step), QImage::Format_Grayscale8);
    std::ofstream out(folder + "/sample-speckled.csv");
    out << "# sample-speckled.jpg" << head.substr(head.find(',')) << '\n' << rest;
    return copied.save(QString::fromStdString(folder + "/sample-speckled.jpg"), "JPG", 50) && bool(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_truth_logs FOLDER [--seed N] [--sample SAMPLE.bmp] [VARIANT...]\nvariants:");
        for (const Variant& v : kVariants)
            std::fprintf(stderr, " %s", v.name);
        std::fprintf(stderr, "\n--sample also writes sample-speckled.jpg: the sample log copied and copied again\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<std::string> wanted(argv + 2, argv + argc);
    const auto sample = std::find(wanted.begin(), wanted.end(), "--sample");
    if (sample != wanted.end()) {
        if (sample + 1 == wanted.end() || !makeSpeckledSample(*(sample + 1), argv[1])) {
            std::fprintf(stderr, "make_truth_logs: cannot spoil the sample log\n");
            return 1;
        }
        wanted.erase(sample, sample + 2);
    }
    Drawing drawing;
    if (const auto seed = std::find(wanted.begin(), wanted.end(), "--seed"); seed != wanted.end()) {
        if (seed + 1 == wanted.end()) {
            std::fprintf(stderr, "make_truth_logs: --seed takes a number\n");
            return 2;
        }
        drawing.seeded = true;
        drawing.seed = unsigned(std::stoul(*(seed + 1)));
        wanted.erase(seed, seed + 2);
    }
    for (std::size_t i = 0; i < std::size(kVariants); ++i) {
        const Variant& v = kVariants[i];
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), v.name) == wanted.end())
            continue;
        if (!makeVariant(v, i, drawing, argv[1])) {
            std::fprintf(stderr, "make_truth_logs: cannot write the %s log in %s\n", v.name, argv[1]);
            return 1;
        }
    }
    return 0;
}
