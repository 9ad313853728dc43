#pragma once

// The floors the benchmarks print beside their figures: the least the same
// work could take on this machine, measured in the same run, so that a
// reader sees the ratio whatever the machine's mood.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <tiffio.h>

// The best of some runs of work, in milliseconds.
template <typename Work>
double bestMs(int runs, Work work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// These bytes copied once.
inline double copyMs(const void* from, std::size_t bytes)
{
    std::vector<unsigned char> to(bytes);
    return bestMs(20, [&] {
        std::memcpy(to.data(), from, bytes);
        benchmark::DoNotOptimize(to.data());
    });
}

// libtiff alone: every strip of the file decoded into one buffer.
inline double libtiffDecodeMs(const std::string& path)
{
    return bestMs(3, [&] {
        TIFF* t = TIFFOpen(path.c_str(), "rm");
        if (!t)
            return;
        std::vector<unsigned char> strip(std::size_t(TIFFStripSize(t)));
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(t); ++s)
            TIFFReadEncodedStrip(t, s, strip.data(), tmsize_t(strip.size()));
        TIFFClose(t);
    });
}
