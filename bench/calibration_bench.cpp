// The search for a calibration on a printed 1200 x 8000 log, clean and
// copied with specks, as a batch runs it (scripts/bench.sh runs it on one
// core), beside its floors: every pixel read once, and one label read by
// Tesseract. Its bounds: 1.5 s clean, 2 s speckled.
#include <random>

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include "floors.h"
#include "labelled_log_drawing.h"
#include "ocr/number_reader.h"
#include "scan_spoiling.h"
#include "session/calibration_finder.h"

namespace {

const cv::Mat& printedLog(bool speckled)
{
    static const cv::Mat clean = [] {
        LabelledLogStyle style;
        style.labelEvery = 5;
        style.stretch = 0.01;
        style.skewDegrees = 0.4;
        style.tadpoles = 300;
        return drawLabelledLog(style);
    }();
    static const cv::Mat copied = [] {
        cv::Mat grey = clean.clone();
        std::mt19937 rng(7);
        speckle(grey, Copying{0.6, 0.04, 20, 80, 0.01, 15}, rng);
        return grey;
    }();
    return speckled ? copied : clean;
}

void BM_findCalibration(benchmark::State& st)
{
    const cv::Mat& grey = printedLog(st.range(0) != 0);
    const GreyRows rows{0, 0, grey.cols, grey.rows,
                        [&](int left, int top, int width, int height, std::uint8_t* out, std::ptrdiff_t stride) {
                            for (int y = 0; y < height; ++y)
                                std::copy_n(grey.ptr<std::uint8_t>(top + y) + left, width, out + y * stride);
                        }};
    FoundCalibration found;
    for (auto _ : st)
        found = findCalibration(rows);
    st.counters["rows"] = double(found.calibration.rows.size());
    st.counters["labels_read"] = found.labelsLooked;
    st.counters["labels_agreeing"] = found.labelsAgreeing;
    st.counters["floor_ms"] = bestMs(5, [&] {
        std::uint64_t sum = 0;
        for (int y = 0; y < grey.rows; ++y)
            for (int x = 0; x < grey.cols; ++x)
                sum += grey.at<std::uint8_t>(y, x);
        benchmark::DoNotOptimize(sum);
    });
    NumberReader reader;
    const cv::Mat label = grey(cv::Rect(240, 225, 60, 22)).clone();
    st.counters["one_label_ms"] = bestMs(5, [&] { benchmark::DoNotOptimize(reader.read(label)); });
    st.counters["bound_ms"] = st.range(0) ? 2000 : 1500;
}
BENCHMARK(BM_findCalibration)->ArgName("speckled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// The logs are printed with Qt's fonts, which need the application.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
