#pragma once
// Writes real BMP files from test pictures: 1, 4, 8, 24 or 32 bits a pixel,
// bottom-up or top-down, so that loading goes through the image reader as a
// user's file would.
#include "logo/picture.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bmp {

inline void put16(std::string &s, unsigned v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void put32(std::string &s, std::uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

inline std::string encode(const Picture &pic, int bpp, bool topDown)
{
    std::vector<std::int32_t> palette;
    if (bpp <= 8) {
        for (std::int32_t c : pic.pixels)
            if (std::find(palette.begin(), palette.end(), c) == palette.end())
                palette.push_back(c);
        if (palette.size() > (1u << bpp))
            throw std::runtime_error("too many colours for the depth");
        palette.resize(1u << bpp, 0);
    }
    const std::size_t rowBytes = ((static_cast<std::size_t>(pic.width) * bpp + 31) / 32) * 4;
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size() * 4);
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(pic.height));
    std::string s = "BM";
    put32(s, offset + imageSize);
    put32(s, 0);
    put32(s, offset);
    put32(s, 40);
    put32(s, static_cast<std::uint32_t>(pic.width));
    put32(s, static_cast<std::uint32_t>(topDown ? -pic.height : pic.height));
    put16(s, 1);
    put16(s, static_cast<unsigned>(bpp));
    put32(s, 0); // BI_RGB
    put32(s, imageSize);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, static_cast<std::uint32_t>(palette.size()));
    put32(s, 0);
    for (std::int32_t c : palette) { // B G R 0
        s.push_back(static_cast<char>((c >> 16) & 0xFF));
        s.push_back(static_cast<char>((c >> 8) & 0xFF));
        s.push_back(static_cast<char>(c & 0xFF));
        s.push_back(0);
    }
    for (int i = 0; i < pic.height; ++i) {
        const int y = topDown ? i : pic.height - 1 - i;
        std::string row(rowBytes, '\0');
        for (int x = 0; x < pic.width; ++x) {
            const std::int32_t c = pic.at(x, y);
            if (bpp == 24 || bpp == 32) {
                const std::size_t at = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp / 8);
                row[at] = static_cast<char>((c >> 16) & 0xFF);
                row[at + 1] = static_cast<char>((c >> 8) & 0xFF);
                row[at + 2] = static_cast<char>(c & 0xFF);
                if (bpp == 32)
                    row[at + 3] = static_cast<char>(0xFF);
                continue;
            }
            const auto index = static_cast<unsigned>(std::find(palette.begin(), palette.end(), c) - palette.begin());
            const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bpp);
            const int shift = 8 - bpp - static_cast<int>(bit % 8);
            row[bit / 8] = static_cast<char>(static_cast<unsigned char>(row[bit / 8]) | (index << shift));
        }
        s += row;
    }
    return s;
}

// A run-length picture (bpp 8: RLE8, bpp 4: RLE4) with the given palette
// and run stream, exactly as given: cut-off streams are the point.
inline std::string runLength(int bpp, int width, int height, const std::vector<std::int32_t> &palette,
                             const std::string &stream)
{
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size() * 4);
    std::string s = "BM";
    put32(s, offset + static_cast<std::uint32_t>(stream.size()));
    put32(s, 0);
    put32(s, offset);
    put32(s, 40);
    put32(s, static_cast<std::uint32_t>(width));
    put32(s, static_cast<std::uint32_t>(height));
    put16(s, 1);
    put16(s, static_cast<unsigned>(bpp));
    put32(s, bpp == 8 ? 1 : 2);
    put32(s, static_cast<std::uint32_t>(stream.size()));
    put32(s, 2835);
    put32(s, 2835);
    put32(s, static_cast<std::uint32_t>(palette.size()));
    put32(s, 0);
    for (std::int32_t c : palette) {
        s.push_back(static_cast<char>((c >> 16) & 0xFF));
        s.push_back(static_cast<char>((c >> 8) & 0xFF));
        s.push_back(static_cast<char>(c & 0xFF));
        s.push_back(0);
    }
    return s + stream;
}

// A 24-bit picture with the 12-byte OS/2 header.
inline std::string os2(const Picture &pic)
{
    const std::size_t rowBytes = ((static_cast<std::size_t>(pic.width) * 24 + 31) / 32) * 4;
    const std::uint32_t offset = 14 + 12;
    std::string s = "BM";
    put32(s, offset + static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(pic.height)));
    put32(s, 0);
    put32(s, offset);
    put32(s, 12);
    put16(s, static_cast<unsigned>(pic.width));
    put16(s, static_cast<unsigned>(pic.height));
    put16(s, 1);
    put16(s, 24);
    for (int y = pic.height - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < pic.width; ++x) {
            const std::int32_t c = pic.at(x, y);
            row[3 * static_cast<std::size_t>(x)] = static_cast<char>((c >> 16) & 0xFF);
            row[3 * static_cast<std::size_t>(x) + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[3 * static_cast<std::size_t>(x) + 2] = static_cast<char>(c & 0xFF);
        }
        s += row;
    }
    return s;
}

// A 32-bit picture with alpha, pixels 0xAARRGGBB, top row first: with the
// 124-byte BITMAPV5 header, or with the 40-byte header and four bit masks.
inline std::string withAlpha(int width, int height, const std::vector<std::uint32_t> &argb, bool v5)
{
    const std::uint32_t info = v5 ? 124 : 40;
    const std::uint32_t offset = 14 + info + (v5 ? 0 : 16);
    const std::uint32_t imageSize = 4 * static_cast<std::uint32_t>(width * height);
    std::string s = "BM";
    put32(s, offset + imageSize);
    put32(s, 0);
    put32(s, offset);
    put32(s, info);
    put32(s, static_cast<std::uint32_t>(width));
    put32(s, static_cast<std::uint32_t>(height));
    put16(s, 1);
    put16(s, 32);
    put32(s, 3); // BI_BITFIELDS
    put32(s, imageSize);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (std::uint32_t m : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        put32(s, m);
    if (v5) {
        put32(s, 0x73524742); // 'sRGB'
        s.append(36 + 12, '\0'); // end points, gamma
        put32(s, 4);              // intent
        s.append(12, '\0');      // profile data, size, reserved
    }
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x)
            put32(s, argb[static_cast<std::size_t>(y * width + x)]);
    return s;
}

inline void write(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace bmp
