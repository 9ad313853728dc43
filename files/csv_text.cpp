#include "files/csv_text.h"

#include <iterator>

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::optional<std::vector<CsvRecord>> readCsv(std::istream& in, std::string& error)
{
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t pos = text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    int line = 1;
    std::vector<CsvRecord> records;
    // A line end, counted; CR LF is one.
    const auto endLine = [&] {
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
            ++pos;
        ++pos;
        ++line;
    };
    while (pos < text.size()) {
        if (isLineEnd(text[pos])) {
            endLine();  // an empty line
            continue;
        }
        CsvRecord record{line, {}};
        for (;;) {
            std::string field;
            if (pos < text.size() && text[pos] == '"') {
                const int opened = line;
                for (++pos;; ++pos) {
                    if (pos >= text.size()) {
                        error = "line " + std::to_string(opened) + ": a quoted field has no closing quote.";
                        return std::nullopt;
                    }
                    if (text[pos] == '"') {
                        if (pos + 1 < text.size() && text[pos + 1] == '"') {
                            field += '"';
                            ++pos;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    if (text[pos] == '\n' || (text[pos] == '\r' && (pos + 1 >= text.size() || text[pos + 1] != '\n')))
                        ++line;
                    field += text[pos];
                }
                if (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos])) {
                    error = "line " + std::to_string(line) + ": text after a quoted field's closing quote.";
                    return std::nullopt;
                }
            } else {
                while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos]))
                    field += text[pos++];
            }
            record.fields.push_back(std::move(field));
            if (pos < text.size() && text[pos] == ',') {
                ++pos;
                continue;
            }
            break;
        }
        records.push_back(std::move(record));
        if (pos < text.size())
            endLine();
    }
    return records;
}
