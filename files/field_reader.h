#pragma once

#include <istream>
#include <optional>
#include <string>

// Splits the text of a project file into fields: a comma or a line end (CR,
// LF or CR LF) ends a field, empty lines are skipped, blanks in front of a
// field and behind an unquoted one are dropped, and a field that starts with a
// double quote runs to the next double quote (what follows it up to the next
// comma or line end is dropped).
class FieldReader {
public:
    struct Field {
        std::string text;
        bool quoted = false;
        int line = 0;  // line of the file on which the field starts, from 1
    };

    explicit FieldReader(std::istream& in);

    // The next field, or nothing at the end of the text. Sets error() and
    // returns nothing for a quoted field without its closing quote.
    std::optional<Field> next();

    const std::string& error() const { return error_; }
    int line() const { return line_; }

private:
    void consumeDelimiter();

    std::string text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool afterComma_ = false;
    std::string error_;
};
