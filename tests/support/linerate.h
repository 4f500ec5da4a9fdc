#pragma once
#include <cstdint>

// The output rate `fd` is set to, in bits a second; 0 when it is no terminal.
std::uint32_t lineRate(int fd);
