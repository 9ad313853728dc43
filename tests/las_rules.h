#pragma once

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The rules of Log ASCII Standard 2.0 that a reader relies on, written down
// as checks: every broken rule is one line of the result, none for a good
// file. Sections come as ~V, ~W, ~C, then ~P and ~O if any, ~A last; the
// header lines are "MNEM.UNIT DATA : DESCRIPTION" with no colon in the data;
// the well section holds every required mnemonic; the first curve is the
// index; each data row has one number per curve; the index is never the
// NULL value and ascends from STRT to STOP.
inline std::vector<std::string> lasRuleBreaches(const std::string& text)
{
    std::vector<std::string> breaches;
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            breaches.push_back("the last line has no line end");
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    const std::string order = "VWCPOA";
    std::string seen;
    std::map<char, std::map<std::string, std::string>> values;  // section, mnemonic, data
    std::vector<std::string> curves;
    std::vector<std::vector<double>> rows;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '~') {
            const char section = line.size() > 1 ? line[1] : '?';
            const std::size_t place = order.find(section);
            if (place == std::string::npos || (!seen.empty() && place <= order.find(seen.back())))
                breaches.push_back("section ~" + std::string(1, section) + " out of order");
            seen += section;
            continue;
        }
        if (seen.empty()) {
            breaches.push_back("text before ~V: " + line);
            continue;
        }
        const char section = seen.back();
        if (section == 'O')
            continue;
        if (section == 'A') {
            std::istringstream fields(line);
            std::vector<double> row;
            std::string field;
            while (fields >> field) {
                char* end = nullptr;
                row.push_back(std::strtod(field.c_str(), &end));
                if (*end != '\0')
                    breaches.push_back("not a number in the data: " + field);
            }
            rows.push_back(row);
            continue;
        }
        const std::size_t dot = line.find('.');
        const std::size_t colon = line.find(':', dot == std::string::npos ? 0 : dot);
        if (dot == std::string::npos || colon == std::string::npos || line.find(':', colon + 1) != std::string::npos) {
            breaches.push_back("not MNEM.UNIT DATA : DESCRIPTION: " + line);
            continue;
        }
        std::string mnemonic = line.substr(0, dot);
        mnemonic.erase(0, mnemonic.find_first_not_of(' '));
        const std::size_t space = line.find(' ', dot);
        std::string data = space < colon ? line.substr(space, colon - space) : std::string();
        data.erase(0, data.find_first_not_of(' '));
        data.erase(data.find_last_not_of(' ') + 1);
        values[section][mnemonic] = data;
        if (section == 'C')
            curves.push_back(mnemonic);
    }
    if (seen.size() < 4 || seen.substr(0, 3) != "VWC" || seen.back() != 'A')
        breaches.push_back("sections " + seen + ", not ~V ~W ~C ... ~A");
    if (values['V']["VERS"] != "2.0" || (values['V']["WRAP"] != "NO" && values['V']["WRAP"] != "YES"))
        breaches.push_back("VERS or WRAP missing");
    auto& well = values['W'];
    for (const char* required : {"STRT", "STOP", "STEP", "NULL", "COMP", "WELL", "FLD", "LOC", "SRVC", "DATE"})
        if (!well.count(required))
            breaches.push_back(std::string("~W lacks ") + required);
    if (!well.count("PROV") && !(well.count("CNTY") && well.count("STAT") && well.count("CTRY")))
        breaches.push_back("~W lacks PROV or CNTY, STAT and CTRY");
    if (!well.count("UWI") && !well.count("API"))
        breaches.push_back("~W lacks UWI or API");
    if (curves.empty() || (curves[0] != "DEPT" && curves[0] != "DEPTH" && curves[0] != "TIME" && curves[0] != "INDEX"))
        breaches.push_back("the first curve is not the index");
    const double null = std::atof(well["NULL"].c_str());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != curves.size())
            breaches.push_back("row " + std::to_string(r + 1) + " has " + std::to_string(rows[r].size()) + " values");
        else if (rows[r][0] == null)
            breaches.push_back("row " + std::to_string(r + 1) + " has a NULL index");
        else if (r > 0 && !rows[r - 1].empty() && rows[r][0] < rows[r - 1][0])
            breaches.push_back("the index descends at row " + std::to_string(r + 1));
    }
    if (!rows.empty() && !rows.front().empty()
        && (std::atof(well["STRT"].c_str()) != rows.front()[0] || std::atof(well["STOP"].c_str()) != rows.back()[0]))
        breaches.push_back("STRT and STOP are not the first and last index");
    return breaches;
}
