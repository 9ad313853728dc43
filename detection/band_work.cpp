#include "detection/band_work.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace band_work {

AreaPixels wholePicture(const GreyPicture& picture)
{
    return [&picture](const Area&, std::vector<std::uint8_t>&) { return picture; };
}

AreaPixels filledPicture(const GreyRows& picture)
{
    return [&picture](const Area& area, std::vector<std::uint8_t>& buffer) {
        const int width = area.right - area.left, height = area.bottom - area.top;
        buffer.resize(std::size_t(width) * std::size_t(height));
        picture.fill(area.left, area.top, width, height, buffer.data(), width);
        return GreyPicture{buffer.data(), width, height, width, area.left, area.top};
    };
}

bool forEachBand(const Area& region, int bandRows, const std::function<void(int worker, const Area& band)>& work,
                 const DetectionProgress& progress)
{
    const int bands = (region.bottom - region.top + bandRows - 1) / bandRows;
    std::atomic<int> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::mutex lock;
    auto run = [&](int worker) {
        for (int b; !stop && (b = next++) < bands;) {
            const int top = region.top + b * bandRows;
            work(worker, {region.left, top, region.right, std::min(region.bottom, top + bandRows)});
            const std::lock_guard<std::mutex> guard(lock);
            if (progress && !stop && !progress(double(++done) / bands))
                stop = true;
        }
    };
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, std::clamp(bands, 1, kMostWorkers));
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(run, i);
    run(0);
    for (std::thread& t : helpers)
        t.join();
    return !stop;
}

}  // namespace band_work
