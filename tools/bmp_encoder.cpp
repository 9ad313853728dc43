#include "bmp_encoder.h"

#include <map>
#include <stdexcept>

namespace {

void put16(std::string& s, std::uint16_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>(v >> 8);
}

void put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xff);
}

}  // namespace

std::string encodeBmp(const RgbPicture& p, int bpp, bool topDown)
{
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        throw std::invalid_argument("unsupported bits per pixel");
    std::map<std::uint32_t, std::uint32_t> index;
    if (bpp <= 8) {
        for (std::uint32_t c : p.pixels)
            index.emplace(c, 0);
        if (index.size() > (1u << bpp))
            throw std::invalid_argument("too many colours for the palette");
        std::uint32_t n = 0;
        for (auto& [colour, i] : index)
            i = n++;
    }
    const std::uint32_t paletteSize = bpp <= 8 ? (1u << bpp) * 4 : 0;
    const std::uint32_t rowBytes = ((std::uint32_t(p.width) * std::uint32_t(bpp) + 31) / 32) * 4;
    const std::uint32_t imageBytes = rowBytes * std::uint32_t(p.height);
    const std::uint32_t offset = 14 + 40 + paletteSize;

    std::string s;
    s.reserve(offset + imageBytes);
    s += "BM";
    put32(s, offset + imageBytes);
    put32(s, 0);
    put32(s, offset);
    put32(s, 40);
    put32(s, std::uint32_t(p.width));
    put32(s, std::uint32_t(topDown ? -p.height : p.height));
    put16(s, 1);
    put16(s, std::uint16_t(bpp));
    put32(s, 0);  // BI_RGB
    put32(s, imageBytes);
    put32(s, 3780);  // 96 dpi
    put32(s, 3780);
    put32(s, bpp <= 8 ? (1u << bpp) : 0);
    put32(s, 0);
    if (bpp <= 8) {
        std::string palette(paletteSize, '\0');
        for (const auto& [colour, i] : index) {
            palette[i * 4 + 0] = static_cast<char>(colour & 0xff);
            palette[i * 4 + 1] = static_cast<char>((colour >> 8) & 0xff);
            palette[i * 4 + 2] = static_cast<char>((colour >> 16) & 0xff);
        }
        s += palette;
    }
    std::string row(rowBytes, '\0');
    for (int r = 0; r < p.height; ++r) {
        const int y = topDown ? r : p.height - 1 - r;
        std::fill(row.begin(), row.end(), '\0');
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t c = p.at(x, y);
            switch (bpp) {
            case 1: row[std::size_t(x / 8)] |= static_cast<char>(index[c] << (7 - x % 8)); break;
            case 4: row[std::size_t(x / 2)] |= static_cast<char>(index[c] << (x % 2 ? 0 : 4)); break;
            case 8: row[std::size_t(x)] = static_cast<char>(index[c]); break;
            default: {
                const std::size_t at = std::size_t(x) * std::size_t(bpp / 8);
                row[at] = static_cast<char>(c & 0xff);
                row[at + 1] = static_cast<char>((c >> 8) & 0xff);
                row[at + 2] = static_cast<char>((c >> 16) & 0xff);
                if (bpp == 32)
                    row[at + 3] = static_cast<char>(0xff);
            }
            }
        }
        s += row;
    }
    return s;
}
