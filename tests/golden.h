#pragma once

#include <string>

// The bytes of a hand-written expected file in tests/golden.
std::string golden(const std::string& name);
