#pragma once
// Bytes as "1B 40 ..." for readable test failures.
#include <cstdio>
#include <string>

inline std::string hex(const std::string &s)
{
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}
