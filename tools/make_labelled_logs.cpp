// Draws labelled logs, whose calibration is printed on them, with the truth
// about every depth line, to measure the search for a calibration against.
// Each log's typeface, size, step, spacing, labelling, turn, stretch and
// scale come from the seed (see drawnStyle); the logs are spoiled in turn:
// clean (PNG), copied and speckled (JPEG), faded (colour JPEG) and faxed
// (1-bit TIFF).
//
// usage: make_labelled_logs FOLDER [--seed N] [--count K]
// For each log NAME: the picture, and NAME-lines.csv ("row,depth,labelled,
// slope,x0,x90": each printed line's row where it crosses the dip track's
// middle, its depth, 1 where the depth is printed beside it, the sheet's
// slope, and where the track's 0 and 90 degrees cross it) and
// NAME-scale.txt (linear, sine, std0 or std3).
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include <QGuiApplication>
#include <QImage>

#include "labelled_log_drawing.h"
#include "scan_spoiling.h"
#include "tiff_writer.h"

namespace {

enum class Spoil { None, Copied, Faded, Faxed };

const char* scaleName(DipScaleKind kind)
{
    switch (kind) {
    case DipScaleKind::Sine: return "sine";
    case DipScaleKind::Standard60: return "std0";
    case DipScaleKind::Standard50: return "std3";
    default: return "linear";
    }
}

bool writePicture(cv::Mat grey, Spoil spoil, std::mt19937& rng, const std::string& path)
{
    switch (spoil) {
    case Spoil::None:
        return QImage(grey.data, grey.cols, grey.rows, int(grey.step), QImage::Format_Grayscale8)
            .save(QString::fromStdString(path), "PNG");
    case Spoil::Copied:
        speckle(grey, drawnCopying(rng), rng);
        return QImage(grey.data, grey.cols, grey.rows, int(grey.step), QImage::Format_Grayscale8)
            .save(QString::fromStdString(path), "JPG", 60);
    case Spoil::Faded: {
        const cv::Mat colour = fade(grey, drawnFading(rng), rng);
        return QImage(colour.data, colour.cols, colour.rows, int(colour.step), QImage::Format_BGR888)
            .save(QString::fromStdString(path), "JPG", 70);
    }
    case Spoil::Faxed:
        return writeFaxTiff(path, grey.cols, grey.rows, 64, [&](int x, int y) { return grey.at<std::uint8_t>(y, x) < 128; });
    }
    return false;
}

bool writeTruth(const std::string& base, const LabelledLogStyle& style, const std::vector<PrintedLine>& lines)
{
    std::ofstream out(base + "-lines.csv");
    out << "row,depth,labelled,slope,x0,x90\n";
    char line[160];
    for (const PrintedLine& l : lines) {
        std::snprintf(line, sizeof line, "%.3f,%.10g,%d,%.6f,%.2f,%.2f\n", l.row, l.depth, l.labelled ? 1 : 0, l.slope,
                      l.minDipX, l.maxDipX);
        out << line;
    }
    std::ofstream scale(base + "-scale.txt");
    scale << scaleName(style.scale) << '\n';
    return bool(out) && bool(scale);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_labelled_logs FOLDER [--seed N] [--count K]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    unsigned seed = 1;
    int count = 8;
    for (int a = 2; a + 1 < argc; a += 2) {
        const std::string option = argv[a];
        if (option == "--seed")
            seed = unsigned(std::stoul(argv[a + 1]));
        else if (option == "--count")
            count = std::stoi(argv[a + 1]);
        else {
            std::fprintf(stderr, "make_labelled_logs: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    std::mt19937 rng(seed);
    const Spoil spoils[] = {Spoil::None, Spoil::Copied, Spoil::Faded, Spoil::Faxed};
    const char* extensions[] = {".png", ".jpg", ".jpg", ".tif"};
    const char* names[] = {"clean", "copied", "faded", "faxed"};
    for (int i = 0; i < count; ++i) {
        const LabelledLogStyle style = drawnStyle(rng);
        std::vector<PrintedLine> lines;
        const cv::Mat grey = drawLabelledLog(style, &lines);
        const std::string base = std::string(argv[1]) + "/" + names[i % 4] + "-" + std::to_string(seed) + "-" + std::to_string(i);
        std::mt19937 spoiling(style.seed);
        if (!writePicture(grey, spoils[i % 4], spoiling, base + extensions[i % 4]) || !writeTruth(base, style, lines)) {
            std::fprintf(stderr, "make_labelled_logs: cannot write %s\n", base.c_str());
            return 1;
        }
        std::printf("%s: %s %d px, weight %d, step %g every %.1f rows, labels every %d %s, turned %.2f deg, stretch %.1f %%, %s\n",
                    base.c_str(), style.family.c_str(), style.pixelSize, style.weight, style.step, style.spacing,
                    style.labelEvery, style.inGap ? "in gaps" : "above", style.skewDegrees, 100 * style.stretch,
                    scaleName(style.scale));
    }
    return 0;
}
