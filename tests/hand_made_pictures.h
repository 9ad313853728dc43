#pragma once

// Picture files built byte by byte, as damaged files may be: PNG chunks with
// their checksums, and little-endian TIFFs of any directory.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <QByteArray>

inline QByteArray bigEndian(std::uint32_t v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char(v >> (8 * i));
    return out;
}

inline QByteArray littleEndian(std::uint32_t v, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char(v >> (8 * i));
    return out;
}

inline std::uint32_t crc32(const QByteArray& bytes)
{
    std::uint32_t c = 0xffffffffu;
    for (const char b : bytes) {
        c ^= std::uint8_t(b);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

inline QByteArray pngChunk(const char* type, const QByteArray& data)
{
    const QByteArray typed = QByteArray(type) + data;
    return bigEndian(std::uint32_t(data.size()), 4) + typed + bigEndian(crc32(typed), 4);
}

// A PNG whose header says width x height at the depth and colour type given,
// with the chunks before the pixels and the pixels' deflated data.
inline QByteArray pngFile(std::uint32_t width, std::uint32_t height, int depth, int colourType,
                          const QByteArray& chunksBefore, const QByteArray& deflated)
{
    const QByteArray header = bigEndian(width, 4) + bigEndian(height, 4) + char(depth) + char(colourType)
                              + QByteArray(3, '\0');
    return QByteArray("\x89PNG\r\n\x1a\n") + pngChunk("IHDR", header) + chunksBefore + pngChunk("IDAT", deflated)
           + pngChunk("IEND", QByteArray());
}

// Rows deflated as a PNG holds them (zlib's stream, without Qt's length).
inline QByteArray deflated(const QByteArray& rows) { return qCompress(rows).mid(4); }

struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;  // 3 SHORT, 4 LONG
    std::vector<std::uint32_t> values;
};

// A little-endian TIFF: the pieces (strips, or tiles when tiled) laid out
// after the header, their offsets and (unless uncounted) byte counts added
// to the entries.
inline QByteArray tiffFile(std::vector<TiffEntry> entries, const std::vector<QByteArray>& pieces, bool tiled = false,
                           bool uncounted = false)
{
    QByteArray file = QByteArray("II") + littleEndian(42, 2);
    std::uint32_t at = 8;
    TiffEntry offsets{std::uint16_t(tiled ? 324 : 273), 4, {}}, counts{std::uint16_t(tiled ? 325 : 279), 4, {}};
    QByteArray data;
    for (const QByteArray& piece : pieces) {
        offsets.values.push_back(at + std::uint32_t(data.size()));
        counts.values.push_back(std::uint32_t(piece.size()));
        data += piece;
    }
    entries.push_back(offsets);
    if (!uncounted)
        entries.push_back(counts);
    std::sort(entries.begin(), entries.end(), [](const TiffEntry& a, const TiffEntry& b) { return a.tag < b.tag; });
    const std::uint32_t directory = at + std::uint32_t(data.size());
    file += littleEndian(directory, 4) + data;
    std::uint32_t extra = directory + 2 + 12 * std::uint32_t(entries.size()) + 4;
    QByteArray table = littleEndian(std::uint32_t(entries.size()), 2), values;
    for (const TiffEntry& e : entries) {
        const int width = e.type == 3 ? 2 : 4;
        QByteArray packed;
        for (const std::uint32_t v : e.values)
            packed += littleEndian(v, width);
        table += littleEndian(e.tag, 2) + littleEndian(e.type, 2) + littleEndian(std::uint32_t(e.values.size()), 4);
        if (packed.size() <= 4) {
            table += packed + QByteArray(4 - packed.size(), '\0');
        } else {
            table += littleEndian(extra + std::uint32_t(values.size()), 4);
            values += packed;
        }
    }
    return file + table + littleEndian(0, 4) + values;
}
