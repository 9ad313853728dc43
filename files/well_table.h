#pragma once

#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/work.h"

// Each log's own well, for an archive of logs of many wells: a CSV file
// (as files/csv_text reads it, a spreadsheet's) whose first line names its
// columns, "picture" and any of "well", "company", "field", "location",
// "province", "service_company", "uwi" and "depth_unit" (m or ft), in any
// order, then a row per picture. An empty cell leaves that detail unset.
struct WellRow {
    WellDetails details;
    std::vector<std::string WellDetails::*> given;  // the details whose cells hold something
    int line = 0;
};
using WellTable = std::map<std::string, WellRow>;  // by the picture's file name

// Nothing, with the line and what is wrong there, for a file that is not
// such a table (an unknown column or one named twice, a picture named
// twice, a unit other than m or ft, a cell no file can carry).
std::optional<WellTable> readWellTable(std::istream& in, std::string& error);
