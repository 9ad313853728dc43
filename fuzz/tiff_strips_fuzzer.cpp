// libFuzzer target: any bytes read as a TIFF's strips or tiles, band by
// band, each band no further than the row it is told to stop at.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "files/tiff_strips.h"

namespace {

const std::string& scratchFile()
{
    static const std::string path =
        (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) + "/tiff_strips_fuzzer_"
        + std::to_string(getpid());
    return path;
}

constexpr std::size_t kMostBytes = std::size_t(64) << 20;  // of the rows read, so that a run ends soon

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    std::string error;
    const auto tiff = TiffStrips::open(scratchFile(), error);
    if (!tiff)
        return 0;
    const TiffLayout& layout = tiff->layout();
    const std::size_t stride = tiff->rowBytes();
    if (layout.width <= 0 || layout.height <= 0 || layout.bandRows <= 0 || stride == 0
        || stride * std::size_t(layout.height) > kMostBytes)
        return 0;
    // Two halves, as the program reads them, each stopped at its end: a row
    // of the other half must never be written.
    const int split = (layout.height / 2 + layout.bandRows - 1) / layout.bandRows * layout.bandRows;
    std::vector<std::uint8_t> rows(stride * std::size_t(layout.height), 0xa5);
    for (const auto& [top, bottom] : {std::pair{0, std::min(split, layout.height)}, std::pair{split, layout.height}}) {
        const auto reader = top == 0 ? nullptr : TiffStrips::open(scratchFile(), error);
        TiffStrips& strips = top == 0 ? *tiff : *reader;
        if (top != 0 && !reader)
            std::abort();
        std::vector<std::uint8_t> before(rows.begin() + std::ptrdiff_t(std::size_t(bottom) * stride), rows.end());
        for (int y = top; y < bottom;) {
            const int read =
                strips.readBand(y, bottom, rows.data() + std::size_t(y) * stride, std::ptrdiff_t(stride), error);
            if (read <= 0)
                break;
            if (read > bottom - y)
                std::abort();
            y += read;
        }
        if (!std::equal(before.begin(), before.end(), rows.begin() + std::ptrdiff_t(std::size_t(bottom) * stride)))
            std::abort();
    }
    return 0;
}
