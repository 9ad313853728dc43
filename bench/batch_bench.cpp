// dipdigitizer-batch run as an archive runs it: the real program on a whole
// well, its wall time and its peak memory, beside the floors of the same run:
// the picture's decode alone and Find Tadpoles alone, in this process.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "bmp_encoder.h"
#include "calibrated_log.h"
#include "files/project_file.h"
#include "floors.h"
#include "session/tadpole_search.h"
#include "session/work_session.h"
#include "tadpole_log.h"
#include "well_scans.h"

namespace {

struct Child {
    double seconds = 0;
    double peakMB = 0;
    int exitCode = -1;
};

// The program run to its end with these arguments, as a scheduler starts it.
Child runBatch(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv{const_cast<char*>(BATCH_PROGRAM)};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(BATCH_PROGRAM, argv.data());
        _exit(127);
    }
    int status = 0;
    rusage use{};
    wait4(pid, &status, 0, &use);
    Child c;
    c.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    c.peakMB = double(use.ru_maxrss) / 1024;
    c.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return c;
}

std::string written(const char* name, const std::string& bytes)
{
    const std::string path = benchFile(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string calibrationOf(const char* name, int width, int height, const Work& work)
{
    std::ostringstream text;
    writeProject(text, ProjectFile{"calibrated.bmp", width, height, 1, work});
    return written(name, text.str());
}

const std::string& tadpoleLogPicture()
{
    static const std::string path = [] {
        const TadpoleLog log;
        RgbPicture picture(TadpoleLog::kWidth, TadpoleLog::kHeight, 0xffffff);
        for (std::size_t i = 0; i < log.grey.size(); ++i)
            picture.pixels[i] = 0x010101u * log.grey[i];
        return written("dipbench_batch_log.bmp", encodeBmp(picture, 8));
    }();
    return path;
}

const std::string& tadpoleLogCalibration()
{
    static const std::string path =
        calibrationOf("dipbench_batch_log.ddp", TadpoleLog::kWidth, TadpoleLog::kHeight,
                      twoRowCalibration(TadpoleLog::kTop, TadpoleLog::kBottom, 3000, TadpoleLog::kLeft,
                                        TadpoleLog::kRight));
    return path;
}

const std::string& faxWellCalibration()
{
    static const std::string path = calibrationOf("dipbench_batch_fax.ddp", kFaxWidth, kFaxHeight,
                                                  twoRowCalibration(100, kFaxHeight - 100, 2000, 304, 2100));
    return path;
}

// The floors: the picture decoded alone, then Find Tadpoles alone on it, in
// this process, each at its best of runs.
void floors(benchmark::State& st, const std::string& picture, const std::string& calibration)
{
    QString error;
    double decode = 1e9, find = 1e9;
    for (int i = 0; i < 2; ++i) {
        auto start = std::chrono::steady_clock::now();
        std::optional<LogPicture> read = WorkSession::readPicture(QString::fromStdString(picture), error);
        decode = std::min(decode, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        const auto opening = WorkSession::readProjectFile(QString::fromStdString(calibration), error);
        if (!read || !opening) {
            st.SkipWithError(error.toStdString().c_str());
            return;
        }
        WorkSession session;
        session.startWithPicture(QString::fromStdString(picture), std::move(*read));
        session.apply(SetDipScale{*opening->file.work.scale}, error);
        session.apply(AddDepthRows{opening->file.work.depthRows}, error);
        const auto search = session.tadpoleSearch(DetectionSettings{0, 0, 0});
        start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(search->runHere().tadpoles.size());
        find = std::min(find, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    st.counters["floor_decode_ms"] = decode;
    st.counters["floor_find_ms"] = find;
}

// One log through the program, written into a fresh folder each time.
void batchOfOne(benchmark::State& st, const std::string& picture, const std::string& calibration, double boundMs,
                double boundMB)
{
    const std::string out = benchFile("dipbench_batch_out").toStdString();
    double peak = 0;
    for (auto _ : st) {
        QDir(QString::fromStdString(out)).removeRecursively();
        const Child c = runBatch({"--quiet", "--calibration", calibration, "--out", out, picture});
        if (c.exitCode != 0)
            st.SkipWithError("dipdigitizer-batch failed");
        st.SetIterationTime(c.seconds);
        peak = std::max(peak, c.peakMB);
    }
    QDir(QString::fromStdString(out)).removeRecursively();
    st.counters["peak_MB"] = peak;
    st.counters["bound_ms"] = boundMs;
    st.counters["bound_MB"] = boundMB;
    floors(st, picture, calibration);
}

// The 2000 x 30000 log of 2000 tadpoles. bound: 2.5 s and 400 MB.
void BM_batchTadpoleLog(benchmark::State& st) { batchOfOne(st, tadpoleLogPicture(), tadpoleLogCalibration(), 2500, 400); }
BENCHMARK(BM_batchTadpoleLog)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The 2400 x 180000 fax scan of a whole well. bound: 12 s and 600 MB.
void BM_batchFaxWell(benchmark::State& st)
{
    batchOfOne(st, faxScan().toStdString(), faxWellCalibration(), 12000, 600);
}
BENCHMARK(BM_batchFaxWell)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

// An archive of such logs on this machine: two programs at once, one per
// core, each given two logs. logs_per_night: how many one night of 10 hours
// takes at that pace; floor_ms: one log alone, as above.
void BM_batchArchiveRate(benchmark::State& st)
{
    const std::string out = benchFile("dipbench_batch_archive").toStdString();
    std::vector<std::string> logs;
    for (const char* name : {"dipbench_archive_1.bmp", "dipbench_archive_2.bmp", "dipbench_archive_3.bmp",
                             "dipbench_archive_4.bmp"}) {
        const std::string path = benchFile(name).toStdString();
        QFile::remove(QString::fromStdString(path));
        QFile::copy(QString::fromStdString(tadpoleLogPicture()), QString::fromStdString(path));
        logs.push_back(path);
    }
    double seconds = 0;
    for (auto _ : st) {
        QDir(QString::fromStdString(out)).removeRecursively();
        const auto start = std::chrono::steady_clock::now();
        std::vector<pid_t> running;
        for (int half = 0; half < 2; ++half) {
            const pid_t pid = fork();
            if (pid == 0) {
                const Child c = runBatch({"--quiet", "--calibration", tadpoleLogCalibration(), "--out", out,
                                          logs[std::size_t(2 * half)], logs[std::size_t(2 * half + 1)]});
                _exit(c.exitCode);
            }
            running.push_back(pid);
        }
        for (pid_t pid : running) {
            int status = 0;
            waitpid(pid, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                st.SkipWithError("dipdigitizer-batch failed");
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        st.SetIterationTime(seconds);
    }
    QDir(QString::fromStdString(out)).removeRecursively();
    for (const std::string& path : logs)
        QFile::remove(QString::fromStdString(path));
    st.counters["logs_per_night"] = 4 / seconds * 10 * 3600;
    st.counters["floor_ms"] = runBatch({"--quiet", "--force", "--calibration", tadpoleLogCalibration(), "--out", out,
                                        tadpoleLogPicture()})
                                  .seconds
                              * 1000;
    QDir(QString::fromStdString(out)).removeRecursively();
}
BENCHMARK(BM_batchArchiveRate)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name : {"dipbench_batch_log.bmp", "dipbench_batch_log.ddp", "dipbench_batch_fax.ddp",
                             "dipbench_well_fax.tif"})
        QFile::remove(benchFile(name));
    return 0;
}
