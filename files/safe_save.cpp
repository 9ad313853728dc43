#include "files/safe_save.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

// What the system said of the last failed call, in words.
std::string systemReason(const char* otherwise)
{
    return errno != 0 ? std::error_code(errno, std::generic_category()).message() : otherwise;
}

}  // namespace

bool saveFileSafely(const std::string& path, const std::function<bool(std::ostream&)>& writer, std::string& error)
{
    const std::string temporary = path + ".saving";
    const auto fail = [&](const std::string& reason) {
        error = "Cannot save \"" + path + "\": " + reason + ". Any earlier file of that name is unchanged.";
        return false;
    };
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return fail("a file cannot be created in its folder (" + systemReason("unknown reason") + ")");
        errno = 0;
        const bool written = writer(out);
        out.close();
        if (!written || !out) {
            // A stream still good means the writer refused what it was given.
            const std::string reason = out ? std::string("the work holds what this file cannot carry")
                                           : systemReason("the data could not be written");
            std::remove(temporary.c_str());
            return fail(reason);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return fail(ec.message());
    }
    return true;
}
