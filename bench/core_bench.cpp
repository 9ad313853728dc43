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

#include "core/dip_statistics.h"
#include "core/dipdigitize.h"
#include "files/dip_export.h"
#include "files/project_file.h"
#include "files/safe_save.h"
#include "floors.h"

namespace {

// 200 depth lines down a 30000-pixel log, the given scale, and dips spread
// over the whole calibrated depth range.
ProjectState calibratedLog(int mode, int dips)
{
    ProjectState s;
    s.FILE = "well7.bmp";
    s.IMAGEWIDTH = 2000;
    s.IMAGEHEIGHT = 30000;
    s.DipScaleMode = static_cast<std::int16_t>(mode);
    s.MAXDIP = static_cast<std::int16_t>(mode == 2 ? 80 : 90);
    s.NCUST = 9;
    for (int k = 0; k <= 9; ++k)
        s.CustomDipTwip[k] = 1000 + 1000.0 * k - 8.0 * k * k;
    s.NUMDEP = kMaxDepthRows;
    for (int i = 1; i <= kMaxDepthRows; ++i)
        s.depths[i] = {1000.0 + 10 * i, 2000.0 * i + 0.5, 1000.0 + i, 10000.0 - i};
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> y(2000, 2000.0 * kMaxDepthRows);
    std::uniform_real_distribution<double> x(1000, 9800);
    std::uniform_real_distribution<double> az(0, 360);
    s.NumPoints = static_cast<std::int16_t>(dips);
    for (int i = 1; i <= dips; ++i) {
        s.dips[i].YPIX = y(rng);
        s.dips[i].DIPPIX = x(rng);
        s.dips[i].Azimuth = az(rng);
        s.dips[i].Quality = std::string(1, static_cast<char>('A' + i % 4));
    }
    return s;
}

// floor_ns: the row below a position found among the 200 by bisection, and
// a straight line between it and the row above.
double rowLookupNs(const ProjectState& s)
{
    std::vector<double> rows;
    for (int i = 1; i <= kMaxDepthRows; ++i)
        rows.push_back(s.depths[i].DEPTHTWIP);
    return 1000 * bestMs(5, [&] {
        double y = 2100;
        for (int i = 0; i < 1000; ++i) {
            const auto below = std::upper_bound(rows.begin() + 1, rows.end() - 1, y);
            const double t = (y - below[-1]) / (below[0] - below[-1]);
            benchmark::DoNotOptimize(1000 + 10 * t);
            y = y > 398000 ? y - 398000 : y + 1999.37;
        }
    });
}

void BM_getdip(benchmark::State& st)
{
    const ProjectState s = calibratedLog(static_cast<int>(st.range(0)), 0);
    double y = 2100, x = 1100;
    for (auto _ : st) {
        benchmark::DoNotOptimize(getdip(s, x, y));
        y += 1999.37;
        if (y > 400000)
            y -= 398000;
        x += 731;
        if (x > 9800)
            x -= 8700;
    }
    st.counters["floor_ns"] = rowLookupNs(s);
}
BENCHMARK(BM_getdip)->DenseRange(0, 4)->ArgName("mode");

void BM_getdepth(benchmark::State& st)
{
    const ProjectState s = calibratedLog(static_cast<int>(st.range(0)), 0);
    double y = 2100;
    for (auto _ : st) {
        benchmark::DoNotOptimize(getdepth(s, y));
        y += 1999.37;
        if (y > 400000)
            y -= 398000;
    }
    st.counters["floor_ns"] = rowLookupNs(s);
}
BENCHMARK(BM_getdepth)->DenseRange(0, 4)->ArgName("mode");

void BM_writeProject(benchmark::State& st)
{
    const ProjectState start = calibratedLog(1, kMaxDips);
    ProjectState s = start;
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
    ProjectState s = calibratedLog(4, kMaxDips);
    s.DipScaleMode = 4;
    std::ostringstream out;
    writeProject(out, s);
    const std::string text = out.str();
    ProjectState target;
    for (auto _ : st) {
        std::istringstream in(text);
        std::string error;
        if (!readProject(in, target, error))
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

void BM_sortdips(benchmark::State& st)
{
    const ProjectState start = calibratedLog(1, kMaxDips);
    ProjectState s = start;
    for (int i = 1; i <= kMaxDips; ++i)
        s.dips[i].Depth = getdepth(s, s.dips[i].YPIX);
    const ProjectState unsorted = s;
    for (auto _ : st) {
        st.PauseTiming();
        s = unsorted;
        st.ResumeTiming();
        sortdips(s);
    }
    // floor_ms: the dips' depths alone sorted.
    std::vector<double> depths;
    for (int i = 1; i <= kMaxDips; ++i)
        depths.push_back(*unsorted.dips[i].Depth);
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::vector<double> sorted = depths;
        std::sort(sorted.begin(), sorted.end());
        benchmark::DoNotOptimize(sorted.data());
    });
}
BENCHMARK(BM_sortdips)->Unit(benchmark::kMillisecond);

// The statistics worked out afresh, as the window does after every action.
void BM_dipStatistics(benchmark::State& st)
{
    const ProjectState s = calibratedLog(1, kMaxDips);
    for (auto _ : st)
        benchmark::DoNotOptimize(dipStatistics(s, DipSelection()).counted);
    // floor_ms: one pass over the dips, their positions summed.
    st.counters["floor_ms"] = bestMs(5, [&] {
        double sum = 0;
        for (int i = 1; i <= kMaxDips; ++i)
            sum += s.dips[i].DIPPIX + s.dips[i].Azimuth;
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
    ProjectState s = calibratedLog(1, kMaxDips);
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
    saveThroughTemporary(st, "dipbench_save.ddp", [](std::ostream& out, ProjectState& s) { return writeProject(out, s); });
}
BENCHMARK(BM_saveProjectFile)->Unit(benchmark::kMillisecond);

void BM_exportDipsFile(benchmark::State& st)
{
    saveThroughTemporary(st, "dipbench_export.dip", [](std::ostream& out, ProjectState& s) { return writeDips(out, s); });
}
BENCHMARK(BM_exportDipsFile)->Unit(benchmark::kMillisecond);

void BM_openProjectFile(benchmark::State& st)
{
    ProjectState s = calibratedLog(1, kMaxDips);
    const std::string path = benchFile("dipbench_open.ddp");
    std::string error;
    saveFileSafely(path, [&](std::ostream& out) { return writeProject(out, s); }, error);
    for (auto _ : st) {
        // As the window opens a project: into a copy of the work in hand.
        ProjectState opened = s;
        std::ifstream in(path, std::ios::binary);
        if (!readProject(in, opened, error))
            st.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(opened.NumPoints);
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
