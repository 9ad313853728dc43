#pragma once

#include <functional>
#include <ostream>
#include <string>

// Writes a file through a temporary file in the same folder and renames it
// over the target only when the writer succeeded, so that a failed save never
// destroys the previous file. Returns false on failure, with an error that
// names the file and says why.
bool saveFileSafely(const std::string& path, const std::function<bool(std::ostream&)>& writer, std::string& error);
