#include "files/field_reader.h"

#include <iterator>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

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
