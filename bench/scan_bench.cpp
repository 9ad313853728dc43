// Whole-well scans: a 2400 x 180000 pixel black-and-white log as a Group 4
// TIFF and a 3000 x 100000 pixel colour log as an LZW TIFF, a third of that
// as PNG and JPEG, opened in the window, and the log view redrawn anywhere
// in the first with 200 depth rows and 10000 dips. Each figure is printed
// beside its floor, measured in the same run: libtiff's, libpng's or
// libjpeg's own decode of the file, or a copy of the pixels the view shows. The peak memory of an open is measured in a fresh
// process of this program (run with --open-for-peak FILE).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <cstring>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "bench_app.h"
#include "calibrated_log.h"
#include "picture/log_picture.h"
#include "floors.h"
#include "drawing/qt_surface.h"
#include "drawing/log_drawing.h"
#include "tiff_writer.h"
#include "well_scans.h"
#include "ui/log_view.h"
#include "ui/main_window.h"
#include "ui/user_messages.h"

namespace {

constexpr int kColourWidth = 3000;
constexpr int kColourHeight = 100000;

const QString& colourScan()
{
    static const QString path =
        writtenScan("dipbench_well_colour.tif", kColourWidth, kColourHeight,
                    {TiffOptions::Samples::Rgb, COMPRESSION_LZW, 32, 0, false, {}}, 0x2040c0, 0xfff8f0);
    return path;
}

constexpr int kQtWidth = 3000;
constexpr int kQtHeight = 30000;

// The colour log of a third of a well, written by Qt in the given kind.
QString writtenByQt(const char* name, const char* kind, int quality)
{
    const QString path = benchFile(name);
    QImage image(kQtWidth, kQtHeight, QImage::Format_RGB32);
    for (int y = 0; y < kQtHeight; ++y)
        logRow(y, 0xff2040c0, 0xfffff8f0, kQtWidth, reinterpret_cast<std::uint32_t*>(image.scanLine(y)));
    if (!image.save(path, kind, quality))
        std::fprintf(stderr, "the scan %s could not be written\n", name);
    return path;
}

const QString& pngScan()
{
    static const QString path = writtenByQt("dipbench_well.png", "PNG", 50);
    return path;
}

const QString& jpegScan()
{
    static const QString path = writtenByQt("dipbench_well.jpg", "JPEG", 85);
    return path;
}

// A shown window whose log view is 1600 x 1000 pixels.
std::unique_ptr<DigitizeWindow> benchWindow(BenchMessages*& said)
{
    auto messages = std::make_unique<BenchMessages>();
    said = messages.get();
    auto window = std::make_unique<DigitizeWindow>(nullptr, std::move(messages));
    window->show();
    window->resize(window->size() + QSize(1600, 1000) - window->logView().contentsRect().size());
    return window;
}

// The peak resident memory of a fresh process of this program that opens
// the file in its window (and finds its tadpoles, for --find-for-peak), in
// bytes (its own high-water mark: the kernel's
// usage counters would carry this process's over).
double peakOf(benchmark::State& st, const QString& task, const QString& path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {task, path});
    child.waitForFinished(120000);
    const QByteArray said = child.readAllStandardOutput().trimmed();
    if (child.exitCode() != 0 || said.isEmpty())
        st.SkipWithError(("the measuring process failed: " + child.readAllStandardError()).constData());
    return said.toDouble() * 1024;
}

// "Open Picture" in the window, its first redraw included.
void openInWindow(benchmark::State& st, const QString& path)
{
    BenchMessages* said = nullptr;
    const auto window = benchWindow(said);
    for (auto _ : st) {
        if (!window->openPicture(path))
            st.SkipWithError(said->error.toStdString().c_str());
    }
}

void BM_openFaxWell(benchmark::State& st)
{
    const QString& path = faxScan();
    openInWindow(st, path);
    st.counters["floor_libtiff_ms"] = libtiffDecodeMs(path.toStdString());
    st.counters["bound_ratio"] = 3;
    st.counters["peak_MB"] = peakOf(st, QStringLiteral("--open-for-peak"), path) / (1 << 20);
    st.counters["bound_peak_MB"] = 700;
}
BENCHMARK(BM_openFaxWell)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_openColourWell(benchmark::State& st)
{
    const QString& path = colourScan();
    openInWindow(st, path);
    st.counters["floor_libtiff_ms"] = libtiffDecodeMs(path.toStdString());
    st.counters["peak_bytes_per_pixel"] = peakOf(st, QStringLiteral("--open-for-peak"), path) / (double(kColourWidth) * kColourHeight);
    st.counters["bound_bytes_per_pixel"] = 4.5;
}
BENCHMARK(BM_openColourWell)->Unit(benchmark::kMillisecond)->Iterations(1);

// A 3000 x 30000 colour log as PNG and as JPEG, decoded a band at a time
// straight into the kept picture. floor: libpng's or libjpeg's own decode of
// every row.
void BM_openPngWell(benchmark::State& st)
{
    const QString& path = pngScan();
    openInWindow(st, path);
    st.counters["floor_libpng_ms"] = libpngDecodeMs(path.toStdString());
    st.counters["peak_bytes_per_pixel"] = peakOf(st, QStringLiteral("--open-for-peak"), path) / (double(kQtWidth) * kQtHeight);
}
BENCHMARK(BM_openPngWell)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_openJpegWell(benchmark::State& st)
{
    const QString& path = jpegScan();
    openInWindow(st, path);
    st.counters["floor_libjpeg_ms"] = libjpegDecodeMs(path.toStdString());
    st.counters["peak_bytes_per_pixel"] = peakOf(st, QStringLiteral("--open-for-peak"), path) / (double(kQtWidth) * kQtHeight);
}
BENCHMARK(BM_openJpegWell)->Unit(benchmark::kMillisecond)->Iterations(2);

// The fax scan at path open in a window, calibrated by two depth rows at its top and
// bottom across the dip track.
std::unique_ptr<DigitizeWindow> calibratedFaxWell(BenchMessages*& said, const QString& path)
{
    auto window = benchWindow(said);
    if (!window->openPicture(path))
        return window;
    const Work w = twoRowCalibration(100, kFaxHeight - 100, 2000, 304, 2100);
    QString error;
    if (!window->session().apply(SetDipScale{*w.scale}, error)
        || !window->session().apply(AddDepthRows{w.depthRows}, error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    return window;
}

// Runs Find Tadpoles to its end; false when it cannot be run.
bool findTadpolesIn(DigitizeWindow& window)
{
    QAction* find = window.findChild<QAction*>(QStringLiteral("mnufindtadpoles"));
    if (!find->isEnabled())
        return false;
    find->trigger();
    while (!find->isEnabled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return true;
}

// Find Tadpoles over the whole 2400 x 180000 fax scan: its track turned grey
// band by band, searched on both cores, the proposals shown. floor_ms: the
// whole scan turned grey once. peak_MB: the whole program's, opening and
// finding in a fresh process.
void BM_findInFaxWell(benchmark::State& st)
{
    BenchMessages* said = nullptr;
    const auto window = calibratedFaxWell(said, faxScan());
    for (auto _ : st) {
        if (!findTadpolesIn(*window))
            st.SkipWithError("Find Tadpoles is not usable on the calibrated scan");
    }
    st.counters["found"] = double(window->session().found().proposals().size());
    const LogPicture& picture = *window->logView().surface().picture();
    std::vector<std::uint8_t> band(std::size_t(picture.width()) * 1024);
    st.counters["floor_ms"] = bestMs(2, [&] {
        for (int top = 0; top < picture.height(); top += 1024)
            picture.toGrey(QRect(0, top, picture.width(), 1024), band.data(), picture.width());
        benchmark::DoNotOptimize(band.data());
    });
    st.counters["peak_MB"] = peakOf(st, QStringLiteral("--find-for-peak"), faxScan()) / (1 << 20);
}
BENCHMARK(BM_findInFaxWell)->Unit(benchmark::kMillisecond)->Iterations(2);

// 200 depth rows and 10000 dips spread over the whole fax scan.
Work calibratedWell()
{
    const double spacing = double(kFaxHeight) / (kBenchRows + 1);
    return fullyCalibratedLog(spacing, 304, 2100);
}

struct WellScene {
    LogPicture picture;
    QtSurface surface;
    Work work = calibratedWell();

    WellScene()
    {
        QString error;
        if (!picture.load(faxScan(), error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
        surface.setPicture(&picture);
        surface.resize({1600, 1000});
    }
};

// Redraws at ten places down the well, one after the other, the grid on.
// floor_ms: the view's pixels copied once.
void redrawWell(benchmark::State& st, double zoom)
{
    static WellScene s;
    const GradeColours colours{Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{128, 0, 128}};
    const double steps = kFaxHeight / 10.0;
    int place = 0;
    for (auto _ : st) {
        const Viewport view{0, steps * (place++ % 10) + steps / 2, zoom};
        drawOverlay(s.work, view, kFaxWidth, s.surface);
        drawDips(s.work, view, colours, colours[0], s.surface, true);
        benchmark::DoNotOptimize(s.surface.image().constBits());
    }
    const QImage& view = s.surface.image();
    const double floor = copyMs(view.constBits(), std::size_t(view.sizeInBytes()));
    st.counters["floor_ms"] = floor;
    st.counters["bound_ms"] = zoom == 1 ? 3 : 6;
}

void BM_redrawWell_1to1(benchmark::State& st) { redrawWell(st, 1); }
BENCHMARK(BM_redrawWell_1to1)->Unit(benchmark::kMillisecond);

void BM_redrawWell_1to8(benchmark::State& st) { redrawWell(st, 0.125); }
BENCHMARK(BM_redrawWell_1to8)->Unit(benchmark::kMillisecond);

// The measuring child: the file opened in a window (and its tadpoles found),
// then its peak memory.
int peakOfTask(const QString& task, const QString& path)
{
    BenchMessages* said = nullptr;
    const bool find = task == QStringLiteral("--find-for-peak");
    const auto window = find ? calibratedFaxWell(said, path) : benchWindow(said);
    if ((find && !findTadpolesIn(*window)) || (!find && !window->openPicture(path))) {
        std::fprintf(stderr, "%s\n", qPrintable(said->error));
        return 1;
    }
    QCoreApplication::processEvents();
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            std::printf("%ld\n", std::stol(line.substr(6)));  // kB
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    if (argc == 3 && (std::strcmp(argv[1], "--open-for-peak") == 0 || std::strcmp(argv[1], "--find-for-peak") == 0))
        return peakOfTask(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const int done = app.run(argc, argv);
    QFile::remove(benchFile("dipbench_well_fax.tif"));
    QFile::remove(benchFile("dipbench_well_colour.tif"));
    QFile::remove(benchFile("dipbench_well.png"));
    QFile::remove(benchFile("dipbench_well.jpg"));
    return done;
}
