// Each figure is printed beside its floor, the least the same work could
// take, measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "files/dip_export.h"
#include "files/dips_by_depth.h"
#include "files/project_file.h"
#include "files/safe_save.h"
#include "calibrated_log.h"
#include "floors.h"
#include "model/calibration.h"
#include "model/dip_statistics.h"

namespace {

// 200 depth lines down a 30000-pixel log, the given scale, and dips spread
// over the whole calibrated depth range.
ProjectFile calibratedLog(DipScaleKind kind, int dips)
{
    ProjectFile p;
    p.picture = "well7.bmp";
    p.width = 2000;
    p.height = 30000;
    Work& w = p.work;
    w.scale = DipScale{kind, 0, std::int16_t(kind == DipScaleKind::Sine ? 80 : 90), {}};
    if (kind == DipScaleKind::Custom)
        for (int k = 0; k <= 9; ++k)
            w.scale->customSteps.push_back((1000 + 1000.0 * k - 8.0 * k * k) / 15);
    for (int i = 1; i <= kBenchRows; ++i)
        w.depthRows.push_back({1000.0 + 10 * i, (2000.0 * i + 0.5) / 15, (1000.0 + i) / 15, (10000.0 - i) / 15});
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> y(2000 / 15.0, 2000.0 * kBenchRows / 15);
    std::uniform_real_distribution<double> x(1000 / 15.0, 9800 / 15.0);
    std::uniform_real_distribution<double> az(0, 360);
    for (int i = 1; i <= dips; ++i) {
        const double dy = y(rng), dx = x(rng);
        w.dips.push_back(Dip{dx, dy, az(rng), std::string(1, static_cast<char>('A' + i % 4))});
    }
    return p;
}

// floor_ns: the row below a position found among the 200 by bisection, and
// a straight line between it and the row above.
double rowLookupNs(const Work& w)
{
    std::vector<double> rows;
    for (const DepthRow& r : w.depthRows)
        rows.push_back(r.y);
    return 1000 * bestMs(5, [&] {
        double y = 140;
        for (int i = 0; i < 1000; ++i) {
            const auto below = std::upper_bound(rows.begin() + 1, rows.end() - 1, y);
            const double t = (y - below[-1]) / (below[0] - below[-1]);
            benchmark::DoNotOptimize(1000 + 10 * t);
            y = y > 26533 ? y - 26533 : y + 133.29;
        }
    });
}

void BM_dipAt(benchmark::State& st)
{
    const ProjectFile p = calibratedLog(DipScaleKind(st.range(0)), 0);
    const Calibration calibration(p.work);
    double y = 140, x = 73;
    for (auto _ : st) {
        benchmark::DoNotOptimize(calibration.dipAt(x, y));
        y += 133.29;
        if (y > 26666)
            y -= 26533;
        x += 48.7;
        if (x > 653)
            x -= 580;
    }
    st.counters["floor_ns"] = rowLookupNs(p.work);
}
BENCHMARK(BM_dipAt)->DenseRange(0, 4)->ArgName("scale");

void BM_depthAt(benchmark::State& st)
{
    const ProjectFile p = calibratedLog(DipScaleKind(st.range(0)), 0);
    const Calibration calibration(p.work);
    double y = 140;
    for (auto _ : st) {
        benchmark::DoNotOptimize(calibration.depthAt(y));
        y += 133.29;
        if (y > 26666)
            y -= 26533;
    }
    st.counters["floor_ns"] = rowLookupNs(p.work);
}
BENCHMARK(BM_depthAt)->DenseRange(0, 4)->ArgName("scale");

void BM_writeProject(benchmark::State& st)
{
    const ProjectFile s = calibratedLog(DipScaleKind::Linear, kBenchDips);
    for (auto _ : st) {
        std::ostringstream out;
        writeProject(out, s);
        benchmark::DoNotOptimize(out.tellp());
    }
    // floor_ms: the text written copied once.
    std::ostringstream out;
    writeProject(out, s);
    const std::string text = out.str();
    st.counters["floor_ms"] = copyMs(text.data(), text.size());
}
BENCHMARK(BM_writeProject)->Unit(benchmark::kMillisecond);

void BM_readProject(benchmark::State& st)
{
    const ProjectFile s = calibratedLog(DipScaleKind::Custom, kBenchDips);
    std::ostringstream out;
    writeProject(out, s);
    const std::string text = out.str();
    for (auto _ : st) {
        std::istringstream in(text);
        std::string error;
        if (!readProject(in, error))
            st.SkipWithError(error.c_str());
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * text.size()));
    // floor_ms: every number of the text parsed, nothing kept.
    st.counters["floor_ms"] = bestMs(5, [&] {
        double sum = 0;
        for (const char* at = text.data(); at < text.data() + text.size();) {
            double value = 0;
            const auto [next, error] = std::from_chars(at, text.data() + text.size(), value);
            sum += error == std::errc() ? value : 0;
            at = error == std::errc() ? next : at + 1;
        }
        benchmark::DoNotOptimize(sum);
    });
}
BENCHMARK(BM_readProject)->Unit(benchmark::kMillisecond);

// The dips by depth, as every file writes them.
void BM_dipsByDepth(benchmark::State& st)
{
    const ProjectFile s = calibratedLog(DipScaleKind::Linear, kBenchDips);
    for (auto _ : st)
        benchmark::DoNotOptimize(dipsByDepth(s.work).data());
    // floor_ms: the dips' depths alone sorted.
    const Calibration calibration(s.work);
    std::vector<double> depths;
    for (const Dip& d : s.work.dips)
        depths.push_back(calibration.depthAt(d.y).value_or(0));
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::vector<double> sorted = depths;
        std::sort(sorted.begin(), sorted.end());
        benchmark::DoNotOptimize(sorted.data());
    });
}
BENCHMARK(BM_dipsByDepth)->Unit(benchmark::kMillisecond);

// The statistics worked out afresh, as the window does after every action.
void BM_dipStatistics(benchmark::State& st)
{
    const ProjectFile s = calibratedLog(DipScaleKind::Linear, kBenchDips);
    for (auto _ : st)
        benchmark::DoNotOptimize(dipStatistics(s.work, DipSelection()).counted);
    // floor_ms: one pass over the dips, their positions summed.
    st.counters["floor_ms"] = bestMs(5, [&] {
        double sum = 0;
        for (const Dip& d : s.work.dips)
            sum += d.x + d.azimuth;
        benchmark::DoNotOptimize(sum);
    });
}
BENCHMARK(BM_dipStatistics)->Unit(benchmark::kMillisecond);

// The commands as the window runs them, through the file system: a save and
// an export through a temporary file and its rename, an open from the file.
std::string benchFile(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// Writing the file named through its temporary file, as the window saves.
// floor_ms: the same bytes, already formatted, written and renamed so.
template <typename Writer>
void saveThroughTemporary(benchmark::State& st, const char* name, Writer write)
{
    const ProjectFile s = calibratedLog(DipScaleKind::Linear, kBenchDips);
    const std::string path = benchFile(name);
    for (auto _ : st) {
        std::string error;
        if (!saveFileSafely(path, [&](std::ostream& out) { return write(out, s); }, error))
            st.SkipWithError(error.c_str());
    }
    std::ostringstream text;
    write(text, s);
    const std::string bytes = text.str();
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::string error;
        saveFileSafely(
            path, [&](std::ostream& out) { return bool(out.write(bytes.data(), std::streamsize(bytes.size()))); },
            error);
    });
    std::filesystem::remove(path);
}

void BM_saveProjectFile(benchmark::State& st)
{
    saveThroughTemporary(st, "dipbench_save.ddp", [](std::ostream& out, const ProjectFile& s) { return writeProject(out, s); });
}
BENCHMARK(BM_saveProjectFile)->Unit(benchmark::kMillisecond);

void BM_exportDipsFile(benchmark::State& st)
{
    saveThroughTemporary(st, "dipbench_export.dip", [](std::ostream& out, const ProjectFile& s) { return writeDips(out, s.work); });
}
BENCHMARK(BM_exportDipsFile)->Unit(benchmark::kMillisecond);

void BM_openProjectFile(benchmark::State& st)
{
    const ProjectFile s = calibratedLog(DipScaleKind::Linear, kBenchDips);
    const std::string path = benchFile("dipbench_open.ddp");
    std::string error;
    saveFileSafely(path, [&](std::ostream& out) { return writeProject(out, s); }, error);
    for (auto _ : st) {
        std::ifstream in(path, std::ios::binary);
        const std::optional<ProjectFile> opened = readProject(in, error);
        if (!opened)
            st.SkipWithError(error.c_str());
    }
    // floor_ms: the file's bytes read.
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes.data());
    });
    std::filesystem::remove(path);
}
BENCHMARK(BM_openProjectFile)->Unit(benchmark::kMillisecond);

}  // namespace
