#pragma once
// A picture as the printer conversions see it, and the pixel-to-dot rule
// and the two ways of packing dots into bytes. No widgets, no I/O.
#include "core/bytestring.h"

#include <cstdint>
#include <vector>

// Colours are 24-bit values 0x00BBGGRR (red in the low byte).
constexpr std::int32_t kWhite = 0x00FFFFFF;
constexpr std::int32_t kDefaultThreshold = 0x800000;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::int32_t> pixels; // row by row, top row first

    Picture() = default;
    Picture(int w, int h, std::int32_t fill = kWhite);

    // Positions outside the picture (the padding) read as white.
    std::int32_t at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return kWhite;
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    void set(int x, int y, std::int32_t colour)
    {
        pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = colour;
    }
};

// A dot is printed where the colour, read as a signed number, is below the threshold.
inline bool isDot(std::int32_t colour, std::int32_t threshold) { return colour < threshold; }

// Collects dots into bytes, the first dot of every eight in bit 7; fewer
// than eight dots left at the end are dropped.
class DotPacker {
public:
    explicit DotPacker(ByteString &out) : m_out(out) {}
    void push(bool dot)
    {
        m_acc = (m_acc << 1) | (dot ? 1u : 0u);
        if (++m_bits == 8) {
            m_out.push_back(static_cast<char>(m_acc));
            m_acc = 0;
            m_bits = 0;
        }
    }

private:
    ByteString &m_out;
    unsigned m_acc = 0;
    int m_bits = 0;
};

struct Geometry {
    int bytesW = 0, padW = 0, bytesH = 0, padH = 0;
    int xL = 0, xH = 0, yL = 0, yH = 0;
    int nvSize = 0;
};

// Geometry of a W x H dot area; negative sizes count as 0.
Geometry geometryOf(int width, int height);

// NV logo data at this size is refused by the printer's memory.
constexpr int kNvSizeLimit = 50000;

// Column-major packing: columns left to right, each top to bottom, one bit a
// dot, the first dot of every 8 in bit 7. The bit run continues across
// columns; fewer than 8 bits left at the end are dropped. Column c samples
// picture column c + offset.
ByteString packColumns(const Picture &pic, int firstCol, int colCount, int firstRow, int rowCount, int offset,
                       std::int32_t threshold);

// Row-major packing of rows 0 .. rows-1, 8 x bytesW columns a row.
ByteString packRows(const Picture &pic, int rows, int bytesW, std::int32_t threshold);
