// Redraw, picture-opening, project-opening and mouse times of a long log: a 2000 x 30000
// pixel 24-bit picture, 200 depth rows, 10000 dips and the grid on, seen
// through a 1600 x 1000 pixel log view.
#include <benchmark/benchmark.h>

#include <sys/mman.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QCheckBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "bench_app.h"
#include "bmp_encoder.h"
#include "calibrated_log.h"
#include "detection/tadpole_detector.h"
#include "tadpole_log.h"
#include "tiff_writer.h"
#include "picture/log_picture.h"
#include "floors.h"
#include "drawing/log_drawing.h"
#include "drawing/qt_surface.h"
#include "files/project_file.h"
#include "files/safe_save.h"
#include "interaction/log_tools.h"
#include "ui/log_view.h"
#include "ui/magnifier.h"
#include "ui/main_window.h"
#include "session/dip_table_model.h"
#include "session/work_recovery.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 30000;
// Mid-log, where the views are placed.
constexpr double kViewTop = 7466;
const GradeColours kColours{Rgb{255, 0, 0}, Rgb{0, 255, 0}, Rgb{0, 0, 255}, Rgb{128, 0, 128}};

RgbPicture logPicture()
{
    RgbPicture p(kWidth, kHeight, 0xffffff);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (y % 50 == 0 || x % 100 == 0 || (x * 13 + y * 7) % 997 == 0)
                p.at(x, y) = 0x101010u * std::uint32_t((x + y) % 12);
    return p;
}

QImage toImage(const RgbPicture& p)
{
    QImage img(p.width, p.height, QImage::Format_RGB32);
    for (int y = 0; y < p.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < p.width; ++x)
            row[x] = 0xff000000u | p.at(x, y);
    }
    return img;
}

Work calibratedLog(int dips = kBenchDips) { return fullyCalibratedLog(150, 200, 1800, dips); }

struct Scene {
    LogPicture picture;
    QtSurface surface;
    Work work = calibratedLog();
    Viewport view{0, kViewTop, 1};

    Scene()
    {
        picture.setImage(toImage(logPicture()));
        surface.setPicture(&picture);
        surface.resize({1600, 1000});
    }
    // The log view drawn as the window draws it, the grid on.
    void draw()
    {
        drawOverlay(work, view, kWidth, surface);
        drawDips(work, view, kColours, kColours[0], surface, true);
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

// floor_ms: the view's pixels copied once.
void redraw(benchmark::State& st, double zoom)
{
    Scene& s = scene();
    s.view.zoom = zoom;
    for (auto _ : st) {
        s.draw();
        benchmark::DoNotOptimize(s.surface.image().constBits());
    }
    const QImage& view = s.surface.image();
    st.counters["floor_ms"] = copyMs(view.constBits(), std::size_t(view.sizeInBytes()));
    s.view.zoom = 1;
}

void BM_redraw_1to1(benchmark::State& st) { redraw(st, 1); }
BENCHMARK(BM_redraw_1to1)->Unit(benchmark::kMillisecond);

void BM_redraw_1to8(benchmark::State& st) { redraw(st, 0.125); }
BENCHMARK(BM_redraw_1to8)->Unit(benchmark::kMillisecond);

// The 24-bit bitmap of the long log mapped and its rows expanded to the
// 24-bit form the picture is kept in, into new memory (as every open needs),
// nothing more.
double bitmapExpandMs(const QString& path)
{
    const std::size_t rowBytes = std::size_t(kWidth) * 3;
    return bestMs(3, [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const uchar* pixels = file.map(0, file.size()) + 54;
        const std::size_t bytes = rowBytes * kHeight;
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        madvise(memory, bytes, MADV_HUGEPAGE);
        auto* expanded = static_cast<unsigned char*>(memory);
        for (int y = 0; y < kHeight; ++y) {
            const uchar* from = pixels + std::size_t(kHeight - 1 - y) * rowBytes;
            unsigned char* to = expanded + std::size_t(y) * rowBytes;
            for (std::size_t x = 0; x < rowBytes; x += 3) {
                to[x] = from[x + 2];
                to[x + 1] = from[x + 1];
                to[x + 2] = from[x];
            }
        }
        benchmark::DoNotOptimize(expanded);
        munmap(memory, bytes);
    });
}

// The 2000 x 30000 24-bit bitmap opened, reduced copies included. floor_ms:
// its rows read and expanded.
void BM_openPicture(benchmark::State& st)
{
    const QString path = QDir::temp().filePath("dipbench_log.bmp");
    {
        const std::string bytes = encodeBmp(logPicture(), 24);
        std::ofstream out(path.toStdString(), std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    const double floor = bitmapExpandMs(path);
    for (auto _ : st) {
        LogPicture picture;
        QString error;
        if (!picture.load(path, error))
            st.SkipWithError(error.toStdString().c_str());
    }
    st.counters["floor_ms"] = floor;
    st.counters["bound_ratio"] = 2;
    QFile::remove(path);
}
BENCHMARK(BM_openPicture)->Unit(benchmark::kMillisecond)->Iterations(5);

// The window's side of the tools without its widgets: the readout texts
// converted as the window converts them, redraws as the window does.
class BenchHost : public ToolHost {
public:
    explicit BenchHost(Scene& scene) : scene_(scene), calibration_(scene.work) {}
    LogTools* tools = nullptr;

    const Work& work() const override { return scene_.work; }
    const Calibration& calibration() const override { return calibration_; }
    int pictureWidth() const override { return kWidth; }
    int pictureHeight() const override { return kHeight; }
    const Viewport& viewport() const override { return scene_.view; }
    DrawingSurface& surface() override { return scene_.surface; }
    bool apply(const WorkEdit& edit) override
    {
        Work changed = scene_.work;
        applyEdit(changed, edit);
        setWork(std::move(changed));
        redraw();
        return true;
    }
    void setWork(Work work)
    {
        scene_.work = std::move(work);
        calibration_ = Calibration(scene_.work);
    }
    void redraw() override
    {
        scene_.draw();
        tools->drawFigures();
    }
    void showMessage(const std::string&, const std::string&) override {}
    bool confirm(const std::string&, const std::string&) override { return true; }
    void showPrompt(const std::string& text, std::optional<double>) override { prompt_ = QString::fromStdString(text); }
    void hidePrompt() override {}
    void askDepth(double, std::optional<double>) override {}
    void showDefineDipScale() override {}
    void setWindowEnabled(bool) override {}
    void showReadout(const Readout& r) override
    {
        readout_ = {QString::fromStdString(r.depth), QString::fromStdString(r.dip), QString::fromStdString(r.azimuth),
                    QString::fromStdString(r.grade)};
    }
    std::optional<Rgb> gradeColour(const std::string& grade) const override
    {
        const int i = gradeIndex(grade);
        return i < 0 ? std::nullopt : std::optional<Rgb>(kColours[std::size_t(i)]);
    }

private:
    Scene& scene_;
    Calibration calibration_;
    QString prompt_;
    std::array<QString, 4> readout_;
};

struct MouseScene {
    Scene& scene = ::scene();
    Work saved = scene.work;
    FoundReview review;
    BenchHost host{scene};
    LogTools tools{host, review, [] {}};

    explicit MouseScene(Work work)
    {
        host.setWork(std::move(work));
        host.tools = &tools;
        host.redraw();
    }
    ~MouseScene() { scene.work = saved; }

    // What the log view does after each event: the surface's painting ends
    // and the changed pixels are taken for the repaint.
    void shown()
    {
        benchmark::DoNotOptimize(scene.surface.image().constBits());
        benchmark::DoNotOptimize(scene.surface.takeChangedArea());
    }
};

// floor_us: the readout's depth and dip of a point worked out, as every
// move needs them.
double readoutUs(const Calibration& c)
{
    // A thousand points in milliseconds: one in microseconds.
    return bestMs(5, [&] {
        for (int i = 0; i < 1000; ++i) {
            const double y = 15000 + i;
            benchmark::DoNotOptimize(c.dipAt(300 + i, y));
            benchmark::DoNotOptimize(c.depthAt(y));
        }
    });
}

// A cursor circling a dip awaiting its tail in the middle of the view: the
// readout and the rubber tail.
void BM_digitizeMove(benchmark::State& st)
{
    MouseScene m(calibratedLog(kBenchDips - 1));
    m.tools.setMode(WorkMode::Digitize);
    m.tools.digitize().setGrade("B");
    m.tools.press(kLeftButton, 800, kViewTop + 500);
    if (!m.tools.digitize().awaitingTail())
        st.SkipWithError("no dip awaits its tail");
    int i = 0;
    for (auto _ : st) {
        const double a = ++i * 0.05;
        m.tools.move(0, 800 + 100 * std::cos(a), kViewTop + 500 + 100 * std::sin(a));
        m.shown();
    }
    st.counters["floor_us"] = readoutUs(m.host.calibration());
}
BENCHMARK(BM_digitizeMove)->Unit(benchmark::kMicrosecond);

// The cursor going down the view while a depth line is awaited: the marker
// across the whole view.
void BM_calibrateMove(benchmark::State& st)
{
    MouseScene m(calibratedLog());
    int i = 0;
    for (auto _ : st) {
        m.tools.move(0, 700, kViewTop + (++i % 1000));
        m.shown();
    }
    st.counters["floor_us"] = readoutUs(m.host.calibration());
}
BENCHMARK(BM_calibrateMove)->Unit(benchmark::kMicrosecond);

// The maximum's press of the 200th depth row: the row put in its place and
// everything redrawn. floor_ms: the view's pixels copied once.
void BM_completeDepthRow(benchmark::State& st)
{
    Work rows = calibratedLog();
    const DepthRow middle = rows.depthRows[99];
    rows.depthRows.erase(rows.depthRows.begin() + 99);
    MouseScene m(rows);
    const Work entering = m.scene.work;
    for (auto _ : st) {
        st.PauseTiming();
        m.host.setWork(entering);
        m.tools.press(kLeftButton, 700, middle.y);
        m.tools.calibration().depthEntered(std::to_string(middle.depth));
        m.tools.press(kLeftButton, middle.minDipX, middle.y);
        st.ResumeTiming();
        m.tools.press(kLeftButton, middle.maxDipX, middle.y);
        m.shown();
    }
    if (m.scene.work.depthRows.size() != std::size_t(kBenchRows))
        st.SkipWithError("the row was not completed");
    const QImage& view = m.scene.surface.image();
    st.counters["floor_ms"] = copyMs(view.constBits(), std::size_t(view.sizeInBytes()));
}
BENCHMARK(BM_completeDepthRow)->Unit(benchmark::kMillisecond);

// A scan of a long log as a 1-bit TIFF, fax-compressed in strips of 64
// rows: 3000 x 60000 pixels, decoded, kept at one bit and reduced.
// floor_ms: libtiff's decode of its strips.
void BM_openFaxTiff(benchmark::State& st)
{
    const QString path = QDir::temp().filePath("dipbench_scan.tif");
    if (!writeFaxTiff(path.toStdString(), 3000, 60000, 64,
                      [](int x, int y) { return y % 40 < 2 || x % 300 < 2 || (x * 7 + y * 3) % 1013 < 4; }))
        st.SkipWithError("the TIFF could not be written");
    for (auto _ : st) {
        LogPicture picture;
        QString error;
        if (!picture.load(path, error))
            st.SkipWithError(error.toStdString().c_str());
    }
    st.counters["floor_ms"] = libtiffDecodeMs(path.toStdString());
    QFile::remove(path);
}
BENCHMARK(BM_openFaxTiff)->Unit(benchmark::kMillisecond)->Iterations(3);

// One mouse event of the given type delivered by Qt to a shown widget that
// does nothing with it, in milliseconds.
double deliveryMs(QEvent::Type type)
{
    QWidget idle;
    idle.resize(100, 100);
    idle.show();
    const QPoint at(50, 50);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    return bestMs(5, [&] {
               for (int i = 0; i < 1000; ++i) {
                   QMouseEvent event(type, at, idle.mapToGlobal(at), button, button, Qt::NoModifier);
                   QApplication::sendEvent(&idle, &event);
               }
           })
           / 1000;
}

// "Open Project" in a fresh window: the file read, the picture decoded with
// its reduced copies, the window laid out and drawn. floor_ms: the
// picture's rows read and expanded.
void BM_openProjectWindow(benchmark::State& st)
{
    QDir folder(QDir::temp().filePath("dipbench_project"));
    folder.mkpath(QStringLiteral("."));
    {
        const std::string bytes = encodeBmp(logPicture(), 24);
        std::ofstream out(folder.filePath("well7.bmp").toStdString(), std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    const ProjectFile project{"well7.bmp", kWidth, kHeight, 1, scene().work};
    const QString path = folder.filePath("well7.ddp");
    std::string error;
    saveFileSafely(path.toStdString(), [&](std::ostream& out) { return writeProject(out, project); }, error);
    for (auto _ : st) {
        st.PauseTiming();
        auto messages = std::make_unique<BenchMessages>();
        BenchMessages* said = messages.get();
        auto window = std::make_unique<DigitizeWindow>(nullptr, std::move(messages));
        window->show();
        st.ResumeTiming();
        if (!window->openProject(path))
            st.SkipWithError(said->error.toStdString().c_str());
        st.PauseTiming();
        window.reset();
        st.ResumeTiming();
    }
    st.counters["floor_ms"] = bitmapExpandMs(folder.filePath("well7.bmp"));
    folder.removeRecursively();
}
BENCHMARK(BM_openProjectWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

// A window with the picture opened through a bitmap file of the given
// depth, its log view 1600 x 1000 pixels.
std::unique_ptr<DigitizeWindow> windowOn(benchmark::State& st, const RgbPicture& picture, int bitsPerPixel)
{
    const QString path = QDir::temp().filePath("dipbench_window.bmp");
    {
        const std::string bytes = encodeBmp(picture, bitsPerPixel);
        std::ofstream out(path.toStdString(), std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    auto messages = std::make_unique<BenchMessages>();
    BenchMessages* said = messages.get();
    auto window = std::make_unique<DigitizeWindow>(nullptr, std::move(messages));
    window->show();
    if (!window->openPicture(path))
        st.SkipWithError(said->error.toStdString().c_str());
    QFile::remove(path);
    window->resize(window->size() + QSize(1600, 1000) - window->logView().contentsRect().size());
    return window;
}

// A window on the long log with a 1600 x 1000 pixel log view, mid-log at the
// zoom 1:denominator, the grid on, its dip table filled to 9800.
std::unique_ptr<DigitizeWindow> longLogWindow(benchmark::State& st, int denominator)
{
    auto window = windowOn(st, logPicture(), 24);
    const Work& work = scene().work;
    QString error;
    AddDips dips;
    for (std::size_t i = 0; i < std::size_t(kBenchDips - 200); ++i)
        dips.dips.push_back(work.dips[i]);
    WorkSession& session = window->session();
    if (!session.apply(SetDipScale{*work.scale}, error) || !session.apply(AddDepthRows{work.depthRows}, error)
        || !session.apply(dips, error))
        st.SkipWithError(error.toStdString().c_str());
    window->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    for (int zoom = denominator; zoom > 1; zoom /= 2)
        QTest::keyClick(window.get(), Qt::Key_Minus);
    QScrollBar* down = window->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    down->setValue(down->maximum() / 4);
    window->redraw();
    return window;
}

// Undo, then redo, of one action on the long log in a window whose log view
// is 1600 x 1000 pixels: each puts the work back and redraws it all. The
// argument is the zoom ratio's denominator (1 for 1:1, 8 for 1:8). The
// counter tells the memory of a history of 200 actions. floor_ms: the
// view's pixels copied twice, once for each redraw.
void BM_undoThenRedo(benchmark::State& st)
{
    const auto owned = longLogWindow(st, int(st.range(0)));
    DigitizeWindow& window = *owned;
    WorkSession& session = window.session();
    // 200 dips placed into a table of 9800: the history at its bound.
    QString error;
    for (int i = 0; i < 200; ++i)
        session.apply(AddDips{{Dip{1000, 20000.0 + 10 * i, 30, "C"}}}, error);
    for (auto _ : st) {
        session.undo();
        session.redo();
    }
    st.counters["history_bytes"] = double(session.history().bytesHeld());
    const QImage& view = window.logView().surface().image();
    st.counters["floor_ms"] = 2 * copyMs(view.constBits(), std::size_t(view.sizeInBytes()));
    st.counters["bound_ms"] = 25;
}
BENCHMARK(BM_undoThenRedo)->Unit(benchmark::kMillisecond)->Arg(1)->Arg(8);

// A move over the log view in digitize mode, through Qt's events, painted,
// while a dip awaits its tail and the work is unsaved: every 500th move
// follows a change, so recovery files of 200 rows and 9800 dips are being
// written beside the moves. floor_us: a move that Qt delivers to a widget
// doing nothing with it.
void BM_windowDigitizeMove(benchmark::State& st)
{
    const auto owned = longLogWindow(st, 1);
    DigitizeWindow& window = *owned;
    QSignalSpy written(&window.recovery(), &WorkRecovery::written);
    QRadioButton* digitize = window.findChild<QRadioButton*>(QStringLiteral("OptDigCal(0)"));
    digitize->click();
    QWidget& view = window.logView();
    const QPoint centre = view.contentsRect().topLeft() + QPoint(800, 500);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, centre);
    if (!window.tools().digitize().awaitingTail())
        st.SkipWithError("no dip awaits its tail");
    int i = 0;
    QString error;
    for (auto _ : st) {
        if (++i % 500 == 0) {
            st.PauseTiming();
            window.session().apply(SetMark{Mark::FooterBottom, double(i)}, error);
            st.ResumeTiming();
        }
        const double a = i * 0.05;
        const QPoint at = centre + QPoint(int(100 * std::cos(a)), int(100 * std::sin(a)));
        QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        QCoreApplication::processEvents();
    }
    window.recovery().waitForWrite();
    st.counters["recovery_writes"] = double(written.count());
    st.counters["floor_us"] = deliveryMs(QEvent::MouseMove) * 1000;
    st.counters["bound_us"] = 200;
}
BENCHMARK(BM_windowDigitizeMove)->Unit(benchmark::kMicrosecond)->MinTime(3);

// The recovery file of the long log, 200 depth rows and 10000 dips, as the
// window writes it: the work copied on the window's thread, then sorted,
// formatted, written to a temporary file and renamed on a worker thread.
// ui_thread_us: the window's share. floor_ms: the same bytes written and
// renamed, already formatted.
void BM_writeRecovery(benchmark::State& st)
{
    const ProjectFile work{QDir::temp().filePath("well7.bmp").toStdString(), kWidth, kHeight, 1, scene().work};
    WorkRecovery recovery([&work] { return RecoveryContent{QStringLiteral("well7.ddp"), work}; });
    double uiThread = 0;
    for (auto _ : st) {
        const auto start = std::chrono::steady_clock::now();
        recovery.writeNow();
        uiThread += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        recovery.waitForWrite();
    }
    const std::string path = QFile::encodeName(recovery.currentFile()).toStdString();
    if (path.empty())
        st.SkipWithError("no recovery file was written");
    std::ostringstream text;
    writeProject(text, work);
    const std::string bytes = text.str();
    const auto start = std::chrono::steady_clock::now();
    constexpr int kWrites = 20;
    for (int i = 0; i < kWrites; ++i) {
        std::string error;
        const auto write = [&bytes](std::ostream& out) {
            return bool(out.write(bytes.data(), std::streamsize(bytes.size())));
        };
        saveFileSafely(path + ".floor", write, error);
    }
    std::remove((path + ".floor").c_str());
    const std::chrono::duration<double, std::milli> writing = std::chrono::steady_clock::now() - start;
    st.counters["floor_ms"] = writing.count() / kWrites;
    st.counters["ui_thread_us"] = uiThread / double(st.iterations());
    st.counters["bound_ms"] = 20;
    recovery.endCleanly();
}
BENCHMARK(BM_writeRecovery)->Unit(benchmark::kMillisecond);

// One move of the magnifier over a 1600 x 1000 view, painted. floor_us: its
// pixels copied once.
void BM_magnifierFollow(benchmark::State& st)
{
    Scene& s = scene();
    s.draw();
    const QImage& view = s.surface.image();
    Magnifier loupe;
    int i = 0;
    for (auto _ : st) {
        ++i;
        const QPoint pixel(200 + i % 1000, 300 + i % 500);
        loupe.follow(view, pixel, pixel);
        loupe.repaint();
    }
    const std::size_t shown = std::size_t(loupe.width()) * std::size_t(loupe.height()) * 4;
    st.counters["floor_us"] = copyMs(view.constBits(), shown) * 1000;
}
BENCHMARK(BM_magnifierFollow)->Unit(benchmark::kMicrosecond);

const TadpoleLog& tadpoleLog()
{
    static const TadpoleLog log;
    return log;
}

// A window on the whole-well tadpole log, calibrated from its first to its
// last row over the track, at 1:1.
std::unique_ptr<DigitizeWindow> tadpoleLogWindow(benchmark::State& st)
{
    const TadpoleLog& log = tadpoleLog();
    RgbPicture picture(TadpoleLog::kWidth, TadpoleLog::kHeight, 0xffffff);
    for (std::size_t i = 0; i < log.grey.size(); ++i)
        picture.pixels[i] = 0x010101u * log.grey[i];
    auto window = windowOn(st, picture, 8);
    const Work w =
        twoRowCalibration(TadpoleLog::kTop, TadpoleLog::kBottom, 3000, TadpoleLog::kLeft, TadpoleLog::kRight);
    QString error;
    if (!window->session().apply(SetDipScale{*w.scale}, error)
        || !window->session().apply(AddDepthRows{w.depthRows}, error))
        st.SkipWithError(error.toStdString().c_str());
    window->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    return window;
}

// "Find Tadpoles" on the whole well in the window: the track turned grey
// band by band, the search and the proposals, until the review is shown.
// floor_ms: the track of the picture as kept read once.
void BM_windowFindTadpoles(benchmark::State& st)
{
    const auto owned = tadpoleLogWindow(st);
    DigitizeWindow& window = *owned;
    QAction* find = window.findChild<QAction*>(QStringLiteral("mnufindtadpoles"));
    if (!find->isEnabled())
        st.SkipWithError("Find Tadpoles is not usable on the calibrated log");
    for (auto _ : st) {
        find->trigger();
        while (!find->isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const QImage& picture = window.logView().surface().picture()->level(0);
    double floor = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t sum = 0;
        const int bytes = std::max(1, picture.depth() / 8);
        for (int y = int(TadpoleLog::kTop); y < int(TadpoleLog::kBottom); ++y) {
            const uchar* row = picture.constScanLine(y);
            for (int x = int(TadpoleLog::kLeft) * bytes; x < int(TadpoleLog::kRight) * bytes; ++x)
                sum += row[x];
        }
        benchmark::DoNotOptimize(sum);
        floor = std::min(floor, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    st.counters["found"] = double(window.session().found().proposals().size());
    st.counters["floor_ms"] = floor;
    st.counters["bound_ms"] = 2000;
}
BENCHMARK(BM_windowFindTadpoles)->Unit(benchmark::kMillisecond)->Iterations(3);

// A press with "Snap to Tadpoles" on, through Qt's events, near a printed
// tadpole: the dot's centre and tail taken, the dip added as one action.
// floor_ms: a press and its release that Qt delivers to a widget doing
// nothing with them. bound_ms: what a snap press may take.
void BM_windowSnapPress(benchmark::State& st)
{
    const auto owned = tadpoleLogWindow(st);
    DigitizeWindow& window = *owned;
    window.findChild<QRadioButton*>(QStringLiteral("OptDigCal(0)"))->click();
    window.findChild<QAction*>(QStringLiteral("mnusnap"))->setChecked(true);
    QWidget* view = &window.logView();
    const TrackStretch track{TadpoleLog::kTop, TadpoleLog::kBottom, TadpoleLog::kLeft,
                             TadpoleLog::kRight, TadpoleLog::kLeft, TadpoleLog::kRight};
    const TadpoleLog& log = tadpoleLog();
    const auto printed = findTadpoles({log.grey.data(), TadpoleLog::kWidth, TadpoleLog::kHeight, TadpoleLog::kWidth, 0, 0},
                                      {track}, DetectionSettings{})
                             .tadpoles;
    // The tadpoles in the first screenful.
    std::vector<QPoint> presses;
    for (const FoundTadpole& t : printed)
        if (t.y < 900 && t.x < 1500)
            presses.emplace_back(int(t.x) + 5, int(t.y) + 3);
    std::size_t i = 0;
    int snapped = 0;
    for (auto _ : st) {
        const QPoint at = view->contentsRect().topLeft() + presses[i++ % presses.size()];
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
        st.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (window.tools().digitize().awaitingTail()) {
            window.tools().digitize().stepBack();
        } else {
            ++snapped;
            window.session().undo();
        }
    }
    st.counters["snapped_share"] = double(snapped) / double(st.iterations());
    st.counters["floor_ms"] = deliveryMs(QEvent::MouseButtonPress) + deliveryMs(QEvent::MouseButtonRelease);
    st.counters["bound_ms"] = 5;
}
BENCHMARK(BM_windowSnapPress)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(200);

// The dip table of a log of 30,000 dips: the table made and sorted by
// depth, as View → Dip Table shows it first. floor_ms: the dips' depths
// read and sorted alone.
constexpr int kTableDips = 30000;

WorkSession& tableSession()
{
    static WorkSession session;
    if (session.work().dips.empty()) {
        const Work log = fullyCalibratedLog(150, 200, 1800, kTableDips);
        QString error;
        session.apply(calibrationOf(log), error);
        std::vector<Dip> dips;
        for (std::size_t i = 0; i < log.dips.size(); ++i)
            dips.push_back(log.dips[i]);
        session.apply(AddDips{dips}, error);
    }
    return session;
}

void BM_dipTableFillAndSort(benchmark::State& st)
{
    WorkSession& session = tableSession();
    for (auto _ : st) {
        DipTableModel model(session);
        DipTableSorting sorted(model);
        sorted.sort(DipTableModel::Depth);
        benchmark::DoNotOptimize(sorted.index(kTableDips - 1, 0));
    }
    const Calibration& c = session.calibration();
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::vector<double> depths;
        for (std::size_t i = 0; i < session.work().dips.size(); ++i)
            depths.push_back(c.depthAt(session.work().dips[i].y).value_or(0));
        std::sort(depths.begin(), depths.end());
        benchmark::DoNotOptimize(depths.data());
    });
    st.counters["dips"] = double(session.work().dips.size());
    st.counters["bound_ms"] = 100;
}
BENCHMARK(BM_dipTableFillAndSort)->Unit(benchmark::kMillisecond)->Iterations(5);

// One dip placed, then undone, with the sorted table of 30,000 dips
// following each: the time of one change. floor_ms: the same change
// without a table.
void BM_dipTableFollowsOneDip(benchmark::State& st)
{
    WorkSession& session = tableSession();
    const auto placeAndUndo = [&session] {
        QString error;
        session.apply(AddDips{{Dip{1000, 20000, 30, "C"}}}, error);
        session.undo();
    };
    const double floor = bestMs(20, placeAndUndo) / 2;
    DipTableModel model(session);
    DipTableSorting sorted(model);
    sorted.sort(DipTableModel::Depth);
    for (auto _ : st) {
        const auto start = std::chrono::steady_clock::now();
        placeAndUndo();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        st.SetIterationTime(took.count() / 2);  // a change's time
    }
    st.counters["rows"] = double(sorted.rowCount());
    st.counters["floor_ms"] = floor;
    st.counters["bound_ms"] = 5;
}
BENCHMARK(BM_dipTableFollowsOneDip)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv)
{
    BenchApplication app(argc, argv);
    return app.run(argc, argv);
}
