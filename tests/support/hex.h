#pragma once
// Bytes as "1B 40 ..." for readable test failures.
#include <cstdio>
#include <sstream>
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

// And back: "1B 40" as bytes.
inline std::string fromHex(const char *text)
{
    std::string out;
    for (std::istringstream in(text); in >> std::ws && !in.eof();) {
        unsigned b = 0;
        in >> std::hex >> b;
        out.push_back(static_cast<char>(b));
    }
    return out;
}
