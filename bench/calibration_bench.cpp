// The search for a calibration on a drawn 1200 x 8000 log, on one thread
// as a batch runs it, beside its floors: every pixel read once, and one
// label read by Tesseract.
#include <benchmark/benchmark.h>

#include "floors.h"
#include "labelled_log.h"
#include "ocr/number_reader.h"
#include "session/calibration_finder.h"

namespace {

const cv::Mat& log1200x8000()
{
    static const cv::Mat grey = labelledLogGrey(8000, Labels{}, 1200);
    return grey;
}

void BM_findCalibration(benchmark::State& st)
{
    const cv::Mat& grey = log1200x8000();
    const GreyRows rows{0, 0, grey.cols, grey.rows,
                        [&](int left, int top, int width, int height, std::uint8_t* out, std::ptrdiff_t stride) {
                            for (int y = 0; y < height; ++y)
                                std::copy_n(grey.ptr<std::uint8_t>(top + y) + left, width, out + y * stride);
                        }};
    std::size_t calibrated = 0;
    for (auto _ : st)
        calibrated = findCalibration(rows).calibration.rows.size();
    st.counters["rows"] = double(calibrated);
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::uint64_t sum = 0;
        for (int y = 0; y < grey.rows; ++y)
            for (int x = 0; x < grey.cols; ++x)
                sum += grey.at<std::uint8_t>(y, x);
        benchmark::DoNotOptimize(sum);
    });
    NumberReader reader;
    const cv::Mat label = grey(cv::Rect(8, 180, 64, 22)).clone();
    st.counters["one_label_ms"] = bestMs(5, [&] { benchmark::DoNotOptimize(reader.read(label)); });
    st.counters["bound_ms"] = 1500;
}
BENCHMARK(BM_findCalibration)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
