#include "files/field_reader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

FieldReader::FieldReader(std::istream& in)
    : text_(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())
{
}

void FieldReader::consumeDelimiter()
{
    if (pos_ >= text_.size()) {
        afterComma_ = false;
        return;
    }
    const char c = text_[pos_];
    if (c == ',') {
        ++pos_;
        afterComma_ = true;
        return;
    }
    ++pos_;
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
    ++line_;
    afterComma_ = false;
}

std::optional<FieldReader::Field> FieldReader::next()
{
    for (;;) {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
        const bool atLineEnd = pos_ >= text_.size() || isLineEnd(text_[pos_]);
        if (atLineEnd && !afterComma_) {
            if (pos_ >= text_.size())
                return std::nullopt;
            consumeDelimiter();  // an empty line
            continue;
        }
        break;
    }

    Field field;
    field.line = line_;
    if (pos_ < text_.size() && text_[pos_] == '"') {
        const auto close = text_.find('"', pos_ + 1);
        if (close == std::string::npos) {
            error_ = "Line " + std::to_string(line_) + ": a quoted field has no closing quote.";
            return std::nullopt;
        }
        field.text = text_.substr(pos_ + 1, close - pos_ - 1);
        field.quoted = true;
        for (char c : field.text)
            if (c == '\n')
                ++line_;
        pos_ = close + 1;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_]))
            ++pos_;
    } else {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_]))
            ++pos_;
        std::size_t end = pos_;
        while (end > start && isBlank(text_[end - 1]))
            --end;
        field.text = text_.substr(start, end - start);
    }
    consumeDelimiter();
    return field;
}

bool parseDecimal(const std::string& text, double& value)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < n && isDigit(text[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;

    double magnitude = 0;
    const auto res = std::from_chars(text.data() + numberStart, text.data() + n, magnitude);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars reports both overflow and underflow this way; tell them
        // apart by the exponent's sign so that 1e-400 reads as 0.
        const auto e = text.find_first_of("eE");
        const bool negativeExponent = e != std::string::npos && e + 1 < n && text[e + 1] == '-';
        const auto firstNonZero = text.find_first_not_of("0", numberStart);
        const bool zeroWholePart = firstNonZero == std::string::npos || text[firstNonZero] == '.';
        const bool tiny = e != std::string::npos ? negativeExponent : zeroWholePart;
        magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (res.ec != std::errc() || res.ptr != text.data() + n) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}
