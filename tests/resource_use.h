#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

// The time some work takes and how far it raises the process's peak of
// resident memory, from the kernel's own count: the peak is set back to what
// the process holds now before the work starts.
struct ResourceUse {
    double seconds = 0;
    double megabytes = 0;
};

inline double peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6));
    return -1;
}

inline ResourceUse resourcesOf(const std::function<void()>& work)
{
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = peakKilobytes();
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {took.count(), (peakKilobytes() - before) / 1024};
}
