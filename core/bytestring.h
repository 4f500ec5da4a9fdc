#pragma once
// The one byte-string type of the program: every printer command is a
// ByteString. It always carries its length; 0x00 is an ordinary byte, so a
// command is never handed around as zero-terminated text.
#include <cstdint>
#include <initializer_list>
#include <string>

using ByteString = std::string;

inline ByteString bytes(std::initializer_list<unsigned> values)
{
    ByteString out;
    out.reserve(values.size());
    for (unsigned v : values)
        out.push_back(static_cast<char>(static_cast<std::uint8_t>(v)));
    return out;
}

inline void appendByte(ByteString &out, int value)
{
    out.push_back(static_cast<char>(static_cast<std::uint8_t>(value & 0xFF)));
}

// Low and high byte of a printer count (nL nH, xL xH, yL yH). Division
// truncates toward zero like the printer documentation's "n mod 256" and
// "n div 256"; only the low eight bits of each part go on the wire.
struct LowHigh {
    int low;
    int high;
};

inline LowHigh splitLowHigh(int n) { return {n % 256, n / 256}; }

inline void appendLowHigh(ByteString &out, int n)
{
    LowHigh lh = splitLowHigh(n);
    appendByte(out, lh.low);
    appendByte(out, lh.high);
}

inline std::uint8_t byteAt(const ByteString &s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }
