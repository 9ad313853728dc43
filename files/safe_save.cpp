#include "files/safe_save.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

bool saveFileSafely(const std::string& path, const std::function<bool(std::ostream&)>& writer, std::string& error)
{
    const std::string temporary = path + ".saving";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "Cannot create \"" + temporary + "\".";
            return false;
        }
        if (!writer(out)) {
            out.close();
            std::remove(temporary.c_str());
            error = "Writing \"" + path + "\" failed; the previous file is unchanged.";
            return false;
        }
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            error = "Writing \"" + path + "\" failed; the previous file is unchanged.";
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        error = "Cannot replace \"" + path + "\": " + ec.message() + ".";
        return false;
    }
    return true;
}
