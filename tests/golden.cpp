#include "golden.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

std::string golden(const std::string& name)
{
    std::ifstream in(std::string(GOLDEN_DIR) + "/" + name, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing golden file " + name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
