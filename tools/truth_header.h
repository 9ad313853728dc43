#pragma once

#include <algorithm>
#include <istream>
#include <sstream>
#include <string>

// The first line of a truth file that make_truth_logs writes:
// "# picture,track left,track right,top,bottom". The picture is named
// relative to the truth file's folder; picture is given as a path.
struct TruthHeader {
    std::string picture;
    double left = 0, right = 0, top = 0, bottom = 0;
};

inline bool readTruthHeader(std::istream& in, const std::string& path, TruthHeader& h)
{
    std::string line;
    if (!std::getline(in, line) || line.rfind("# ", 0) != 0)
        return false;
    std::replace(line.begin(), line.end(), ',', ' ');
    std::istringstream fields(line.substr(2));
    if (!(fields >> h.picture >> h.left >> h.right >> h.top >> h.bottom))
        return false;
    const auto slash = path.find_last_of('/');
    h.picture = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + h.picture;
    return true;
}
