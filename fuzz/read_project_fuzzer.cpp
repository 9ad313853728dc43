// libFuzzer target: any bytes through the project reader, and what it accepts
// back through the writer and the reader again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "files/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string error;
    const auto project = readProject(in, error);
    if (!project) {
        if (error.empty())
            std::abort();
        return 0;
    }
    std::ostringstream out;
    if (writeProject(out, *project)) {
        std::istringstream again(out.str());
        if (!readProject(again, error))
            std::abort();
    }
    return 0;
}
