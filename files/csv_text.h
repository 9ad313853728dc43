#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

// CSV as RFC 4180 has it, as spreadsheets write it: fields separated by
// commas, records by line ends (CR LF, LF or CR); a field in double quotes
// may hold commas, line ends and double quotes, each doubled; spaces belong
// to the field. A UTF-8 byte-order mark at the start is no part of the
// text, and empty lines hold no record.
struct CsvRecord {
    int line = 0;  // of the file, from 1, where the record starts
    std::vector<std::string> fields;
};

// Nothing, with the line and what is wrong there, for text that is not
// such CSV: a quoted field without its closing quote, or text after one.
std::optional<std::vector<CsvRecord>> readCsv(std::istream& in, std::string& error);
