#pragma once

#include <cstdint>

// The memory a picture and its reduced copies may take: the computer's
// memory, or less where the process's control group sets less (a container
// or a cluster's job), or less again where the program was told so.
std::uint64_t pictureMemoryLimit();

// The program's own limit; 0, the start value, sets none.
void setPictureMemoryLimit(std::uint64_t bytes);
