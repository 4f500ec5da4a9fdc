#include "logo/picture.h"

#include <algorithm>
#include <cstring>

Picture::Picture(int w, int h, std::int32_t fill)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(std::max(h, 0)), fill)
{
}

Geometry geometryOf(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    Geometry g;
    g.bytesW = (width + 7) / 8;
    g.padW = 8 * g.bytesW - width;
    g.bytesH = (height + 7) / 8;
    g.padH = 8 * g.bytesH - height;
    g.xL = g.bytesW % 256;
    g.xH = g.bytesW / 256;
    g.yL = g.bytesH % 256;
    g.yH = g.bytesH / 256;
    g.nvSize = 8 * g.bytesW * g.bytesH;
    return g;
}

namespace {

// The dots of a rectangle of the picture, one byte a dot, row by row: the
// general case, for runs of bits that do not line up with bytes.
std::vector<std::uint8_t> dotsOf(const Picture &pic, int x0, int cols, int y0, int rows, std::int32_t threshold)
{
    std::vector<std::uint8_t> dots(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        std::uint8_t *out = dots.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(cols);
        for (int c = 0; c < cols; ++c)
            out[c] = isDot(pic.at(x0 + c, y0 + r), threshold) ? 1 : 0;
    }
    return dots;
}

// Eight dots of one row into a byte, the leftmost in bit 7.
inline std::uint8_t packEight(const std::int32_t *p, std::int32_t t)
{
    return static_cast<std::uint8_t>((p[0] < t) << 7 | (p[1] < t) << 6 | (p[2] < t) << 5 | (p[3] < t) << 4 |
                                     (p[4] < t) << 3 | (p[5] < t) << 2 | (p[6] < t) << 1 | (p[7] < t));
}

// Row-major dot bytes of `rows` rows from y0 and 8 x bytesW columns from x0.
// Reading each row once, in memory order, is what makes both packings fast.
void packRowBits(const Picture &pic, int x0, int y0, int rows, int bytesW, std::int32_t t, std::uint8_t *out)
{
    const std::uint8_t padding = isDot(kWhite, t) ? 0xFF : 0x00;
    for (int r = 0; r < rows; ++r, out += bytesW) {
        const int y = y0 + r;
        if (y < 0 || y >= pic.height) {
            std::memset(out, padding, static_cast<std::size_t>(bytesW));
            continue;
        }
        const std::int32_t *row = pic.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pic.width);
        for (int j = 0; j < bytesW; ++j) {
            const int x = x0 + 8 * j;
            if (x >= 0 && x + 8 <= pic.width) {
                out[j] = packEight(row + x, t);
                continue;
            }
            unsigned b = 0;
            for (int k = 0; k < 8; ++k) {
                const int xk = x + k;
                const std::int32_t colour = (xk >= 0 && xk < pic.width) ? row[xk] : kWhite;
                b = (b << 1) | (colour < t ? 1u : 0u);
            }
            out[j] = static_cast<std::uint8_t>(b);
        }
    }
}

// Transposes an 8 x 8 block of bits held row by row, the first row in the
// top byte and the first column in each byte's bit 7.
inline std::uint64_t transpose8x8(std::uint64_t x)
{
    std::uint64_t t;
    t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCULL;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ULL;
    x = x ^ t ^ (t << 28);
    return x;
}

} // namespace

ByteString packColumns(const Picture &pic, int firstCol, int colCount, int firstRow, int rowCount, int offset,
                       std::int32_t threshold)
{
    ByteString out;
    if (colCount <= 0 || rowCount <= 0)
        return out;
    if (rowCount % 8 == 0 && colCount % 8 == 0) {
        // Whole bytes both ways: pack rows, then turn each 8 x 8 block.
        const int bytesW = colCount / 8, bytesH = rowCount / 8;
        std::vector<std::uint8_t> rowBits(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(bytesW));
        packRowBits(pic, firstCol + offset, firstRow, rowCount, bytesW, threshold, rowBits.data());
        out.resize(static_cast<std::size_t>(colCount) * static_cast<std::size_t>(bytesH));
        auto *dst = reinterpret_cast<std::uint8_t *>(&out[0]);
        const std::size_t stride = static_cast<std::size_t>(bytesW);
        for (int i = 0; i < bytesH; ++i) {
            const std::uint8_t *block = rowBits.data() + static_cast<std::size_t>(8 * i) * stride;
            for (int j = 0; j < bytesW; ++j) {
                std::uint64_t x = 0;
                for (int k = 0; k < 8; ++k)
                    x = (x << 8) | block[static_cast<std::size_t>(k) * stride + static_cast<std::size_t>(j)];
                x = transpose8x8(x);
                std::uint8_t *col = dst + static_cast<std::size_t>(8 * j) * static_cast<std::size_t>(bytesH) + i;
                for (int m = 0; m < 8; ++m)
                    col[static_cast<std::size_t>(m) * static_cast<std::size_t>(bytesH)] =
                        static_cast<std::uint8_t>(x >> (56 - 8 * m));
            }
        }
        return out;
    }
    const auto dots = dotsOf(pic, firstCol + offset, colCount, firstRow, rowCount, threshold);
    const std::size_t stride = static_cast<std::size_t>(colCount);
    DotPacker packer(out);
    for (int c = 0; c < colCount; ++c)
        for (int r = 0; r < rowCount; ++r)
            packer.push(dots[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)] != 0);
    return out;
}

ByteString packRows(const Picture &pic, int rows, int bytesW, std::int32_t threshold)
{
    ByteString out;
    if (rows <= 0 || bytesW <= 0)
        return out;
    out.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(bytesW));
    packRowBits(pic, 0, 0, rows, bytesW, threshold, reinterpret_cast<std::uint8_t *>(&out[0]));
    return out;
}
