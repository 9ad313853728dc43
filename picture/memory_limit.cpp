#include "picture/memory_limit.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <limits>
#include <string>

#ifdef __linux__
#include <unistd.h>
#endif

namespace {

std::atomic<std::uint64_t> ownLimit{0};

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();

// The number in a control group's limit file; none for "max" or no file.
std::uint64_t limitIn(const std::string& path)
{
    std::ifstream file(path);
    std::string text;
    if (!(file >> text) || text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return kNone;
    try {
        return std::stoull(text);
    } catch (const std::out_of_range&) {
        return kNone;
    }
}

// The memory limit of the process's control group, version 2 or 1.
std::uint64_t controlGroupLimit()
{
    std::uint64_t least = std::min(limitIn("/sys/fs/cgroup/memory.max"),
                                   limitIn("/sys/fs/cgroup/memory/memory.limit_in_bytes"));
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        const auto first = line.find(':'), second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string controllers = line.substr(first + 1, second - first - 1), group = line.substr(second + 1);
        if (controllers.empty())
            least = std::min(least, limitIn("/sys/fs/cgroup" + group + "/memory.max"));
        else if (controllers == "memory")
            least = std::min(least, limitIn("/sys/fs/cgroup/memory" + group + "/memory.limit_in_bytes"));
    }
    return least;
}

std::uint64_t physicalMemory()
{
#ifdef __linux__
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        return std::uint64_t(pages) * std::uint64_t(pageSize);
#endif
    return kNone;
}

}  // namespace

std::uint64_t pictureMemoryLimit()
{
    static const std::uint64_t machine = std::min(physicalMemory(), controlGroupLimit());
    const std::uint64_t own = ownLimit;
    return own == 0 ? machine : std::min(own, machine);
}

void setPictureMemoryLimit(std::uint64_t bytes) { ownLimit = bytes; }
