#include "files/well_table.h"

#include <algorithm>

#include "files/csv_text.h"

namespace {

struct Column {
    const char* name;
    std::string WellDetails::*member;  // none: the picture
};

const Column kColumns[] = {
    {"picture", nullptr},
    {"well", &WellDetails::name},
    {"company", &WellDetails::company},
    {"field", &WellDetails::field},
    {"location", &WellDetails::location},
    {"province", &WellDetails::province},
    {"service_company", &WellDetails::serviceCompany},
    {"uwi", &WellDetails::uwi},
    {"depth_unit", &WellDetails::depthUnit},
};

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

}  // namespace

std::optional<WellTable> readWellTable(std::istream& in, std::string& error)
{
    const auto lines = readCsv(in, error);
    if (!lines)
        return std::nullopt;
    if (lines->empty()) {
        error = "line 1: the columns' names are missing.";
        return std::nullopt;
    }
    std::vector<const Column*> columns;
    for (const std::string& name : lines->front().fields) {
        const auto known = std::find_if(std::begin(kColumns), std::end(kColumns),
                                        [&](const Column& c) { return lower(name) == c.name; });
        if (known == std::end(kColumns)) {
            error = "line 1: unknown column \"" + name +
                    "\"; the columns are picture, well, company, field, location, province, service_company, uwi "
                    "and depth_unit.";
            return std::nullopt;
        }
        if (std::find(columns.begin(), columns.end(), known) != columns.end()) {
            error = "line 1: the column \"" + name + "\" is named twice.";
            return std::nullopt;
        }
        columns.push_back(known);
    }
    if (std::none_of(columns.begin(), columns.end(), [](const Column* c) { return c->member == nullptr; })) {
        error = "line 1: there is no column \"picture\".";
        return std::nullopt;
    }

    WellTable table;
    for (std::size_t l = 1; l < lines->size(); ++l) {
        const CsvRecord& line = (*lines)[l];
        const std::string where = "line " + std::to_string(line.line) + ": ";
        if (line.fields.size() > columns.size()) {
            error = where + "more cells than columns.";
            return std::nullopt;
        }
        std::string picture;
        WellRow row;
        row.line = line.line;
        for (std::size_t c = 0; c < line.fields.size(); ++c) {
            const std::string& cell = line.fields[c];
            if (!columns[c]->member) {
                picture = cell;
            } else if (!cell.empty()) {
                row.details.*columns[c]->member = cell;
                row.given.push_back(columns[c]->member);
            }
        }
        std::string& unit = row.details.depthUnit;
        if (!unit.empty()) {
            if (lower(unit) != "m" && lower(unit) != "ft") {
                error = where + "depth_unit takes m or ft, not \"" + unit + "\".";
                return std::nullopt;
            }
            unit = lower(unit) == "m" ? "M" : "FT";
        }
        if (picture.empty()) {
            error = where + "no picture is named.";
            return std::nullopt;
        }
        if (!wellDetailsWritable(row.details)) {
            error = where + "a well detail cannot hold a double quote or a line break.";
            return std::nullopt;
        }
        if (!table.emplace(picture, std::move(row)).second) {
            error = where + "\"" + picture + "\" is named a second time.";
            return std::nullopt;
        }
    }
    return table;
}
