#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Fields of picture headers read straight from the file's bytes; the caller
// has made sure they lie inside the file.
namespace picture_bytes {

using Bytes = const unsigned char*;

inline std::uint16_t le16(Bytes p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t le32(Bytes p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
inline std::uint16_t be16(Bytes p) { return std::uint16_t(p[0] << 8 | p[1]); }
inline std::uint32_t be32(Bytes p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

inline constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// The first directory of a classic TIFF, in either byte order.
struct TiffReader {
    Bytes data;
    std::size_t size;
    bool little;
    std::uint16_t u16(std::size_t at) const { return little ? le16(data + at) : be16(data + at); }
    std::uint32_t u32(std::size_t at) const { return little ? le32(data + at) : be32(data + at); }

    // The directory's offset and its number of entries; nothing for a
    // BigTIFF or a directory beyond the end of the file.
    std::optional<std::size_t> directory() const
    {
        if (size < 8 || u16(2) != 42)
            return std::nullopt;
        const std::uint64_t at = u32(4);
        if (at + 2 > size || at + 2 + std::uint64_t(u16(std::size_t(at))) * 12 > size)
            return std::nullopt;
        return std::size_t(at);
    }

    // The values of one directory entry of type SHORT or LONG; nothing when
    // they lie beyond the end of the file.
    std::optional<std::vector<std::uint64_t>> values(std::size_t entry) const
    {
        const std::uint16_t type = u16(entry + 2);
        const std::uint64_t count = u32(entry + 4);
        const std::uint64_t width = type == 3 ? 2 : 4;
        std::uint64_t at = entry + 8;
        if (count * width > 4)
            at = u32(entry + 8);
        if (at + count * width > size)
            return std::nullopt;
        std::vector<std::uint64_t> out(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = width == 2 ? u16(std::size_t(at + i * 2)) : u32(std::size_t(at + i * 4));
        return out;
    }

    // The values of the first directory's entry with this tag.
    std::optional<std::vector<std::uint64_t>> tag(std::uint16_t wanted) const
    {
        const auto at = directory();
        if (!at)
            return std::nullopt;
        for (std::uint16_t e = 0; e < u16(*at); ++e) {
            const std::size_t entry = *at + 2 + e * 12u;
            if (u16(entry) == wanted)
                return values(entry);
        }
        return std::nullopt;
    }
};

}  // namespace picture_bytes
