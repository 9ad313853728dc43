// The tadpole search on a whole well: 2000 tadpoles over 2000 x 30000
// pixels, clean and speckled, and the search round a single press that snap
// makes.
#include <benchmark/benchmark.h>


#include "detection/tadpole_detector.h"
#include "floors.h"
#include "scan_spoiling.h"
#include "tadpole_log.h"

namespace {

const TadpoleLog& wellLog()
{
    static const TadpoleLog log;
    return log;
}

// The same well copied from a copy: blurred, 9 % of its pixels specks, grainy.
const TadpoleLog& speckledLog()
{
    static const TadpoleLog log = [] {
        TadpoleLog spoiled;
        cv::Mat page(TadpoleLog::kHeight, TadpoleLog::kWidth, CV_8U, spoiled.grey.data());
        std::mt19937 rng(11);
        speckle(page, Copying{}, rng);
        return spoiled;
    }();
    return log;
}

GreyPicture picture(const TadpoleLog& log)
{
    return {log.grey.data(), TadpoleLog::kWidth, TadpoleLog::kHeight, TadpoleLog::kWidth, 0, 0};
}

// The whole track searched. floor_ms: every pixel of the picture read once.
void findInWell(benchmark::State& st, const TadpoleLog& log, double boundMs)
{
    const std::vector<TrackStretch> track{{TadpoleLog::kTop, TadpoleLog::kBottom, TadpoleLog::kLeft,
                                           TadpoleLog::kRight, TadpoleLog::kLeft, TadpoleLog::kRight}};
    std::size_t found = 0;
    for (auto _ : st)
        found = findTadpoles(picture(log), track, DetectionSettings{}).tadpoles.size();
    st.counters["found"] = double(found);
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::uint64_t sum = 0;
        for (std::uint8_t g : log.grey)
            sum += g;
        benchmark::DoNotOptimize(sum);
    });
    st.counters["bound_ms"] = boundMs;
}

void BM_findTadpoles(benchmark::State& st) { findInWell(st, wellLog(), 2000); }
BENCHMARK(BM_findTadpoles)->Unit(benchmark::kMillisecond)->Iterations(5);

// The speckled well also has its noise measured and cleared first.
void BM_findTadpolesSpeckled(benchmark::State& st) { findInWell(st, speckledLog(), 3000); }
BENCHMARK(BM_findTadpolesSpeckled)->Unit(benchmark::kMillisecond)->Iterations(3);

// The tadpole within 10 pixels of a press, as snap looks for it.
// floor_us: the grey pixels within 64 of the press read once. bound_us: what
// a snap press may take in all.
void BM_tadpoleNear(benchmark::State& st)
{
    const TadpoleLog& log = wellLog();
    const std::vector<TrackStretch> track{{TadpoleLog::kTop, TadpoleLog::kBottom, TadpoleLog::kLeft,
                                           TadpoleLog::kRight, TadpoleLog::kLeft, TadpoleLog::kRight}};
    const auto all = findTadpoles(picture(log), track, DetectionSettings{}).tadpoles;
    std::size_t i = 0, hits = 0, presses = 0;
    for (auto _ : st) {
        const FoundTadpole& t = all[i++ % all.size()];
        hits += tadpoleNear(picture(log), t.x + 6, t.y + 4, 10, DetectionSettings{}) ? 1 : 0;
        ++presses;
    }
    st.counters["hit_share"] = double(hits) / double(presses);
    const FoundTadpole& middle = all[all.size() / 2];
    st.counters["floor_us"] = 1000 * bestMs(20, [&] {
        std::uint64_t sum = 0;
        for (int y = int(middle.y) - 64; y <= int(middle.y) + 64; ++y)
            for (int x = int(middle.x) - 64; x <= int(middle.x) + 64; ++x)
                sum += log.grey[std::size_t(y) * TadpoleLog::kWidth + std::size_t(x)];
        benchmark::DoNotOptimize(sum);
    });
    st.counters["bound_us"] = 5000;
}
BENCHMARK(BM_tadpoleNear)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
