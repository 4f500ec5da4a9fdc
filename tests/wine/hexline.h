#pragma once
// Bytes on the harness's control line: two upper-case hex digits a byte,
// "-" for none, so that a line never holds a control character.
#include <string>

inline std::string hexOf(const std::string &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

inline std::string bytesOf(const std::string &hex)
{
    std::string out;
    if (hex == "-")
        return out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}
