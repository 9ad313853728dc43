#include "files/bitmap_header.h"

namespace {

std::int32_t littleEndian32(const unsigned char* p)
{
    const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
                            | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::optional<BitmapSize> readBitmapSize(std::istream& in)
{
    unsigned char header[26];
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (in.gcount() != static_cast<std::streamsize>(sizeof header))
        return std::nullopt;
    return BitmapSize{littleEndian32(header + 18), littleEndian32(header + 22)};
}
