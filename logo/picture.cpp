#include "logo/picture.h"

#include <algorithm>

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

// The dots of a rectangle of the picture, one byte a dot, row by row. Reading
// the picture once in memory order keeps the column walk below cheap.
std::vector<std::uint8_t> dotsOf(const Picture &pic, int x0, int cols, int y0, int rows, std::int32_t threshold)
{
    std::vector<std::uint8_t> dots(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        std::uint8_t *out = dots.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(cols);
        const int y = y0 + r;
        if (y < 0 || y >= pic.height) {
            std::fill(out, out + cols, isDot(kWhite, threshold) ? 1 : 0);
            continue;
        }
        const std::int32_t *row = pic.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pic.width);
        for (int c = 0; c < cols; ++c) {
            const int x = x0 + c;
            const std::int32_t colour = (x >= 0 && x < pic.width) ? row[x] : kWhite;
            out[c] = isDot(colour, threshold) ? 1 : 0;
        }
    }
    return dots;
}

} // namespace

ByteString packColumns(const Picture &pic, int firstCol, int colCount, int firstRow, int rowCount, int offset,
                       std::int32_t threshold)
{
    ByteString out;
    if (colCount <= 0 || rowCount <= 0)
        return out;
    const auto dots = dotsOf(pic, firstCol + offset, colCount, firstRow, rowCount, threshold);
    out.reserve(static_cast<std::size_t>(colCount) * static_cast<std::size_t>(rowCount) / 8);
    const std::size_t stride = static_cast<std::size_t>(colCount);
    if (rowCount % 8 == 0) {
        // Every byte lies within one column: eight rows at a time.
        for (int c = 0; c < colCount; ++c) {
            const std::uint8_t *p = dots.data() + c;
            for (int r = 0; r < rowCount; r += 8, p += 8 * stride) {
                unsigned b = (p[0] << 7) | (p[stride] << 6) | (p[2 * stride] << 5) | (p[3 * stride] << 4) |
                             (p[4 * stride] << 3) | (p[5 * stride] << 2) | (p[6 * stride] << 1) | p[7 * stride];
                out.push_back(static_cast<char>(b));
            }
        }
        return out;
    }
    unsigned acc = 0;
    int bits = 0;
    for (int c = 0; c < colCount; ++c)
        for (int r = 0; r < rowCount; ++r) {
            acc = (acc << 1) | dots[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)];
            if (++bits == 8) {
                out.push_back(static_cast<char>(acc));
                acc = 0;
                bits = 0;
            }
        }
    return out;
}

ByteString packRows(const Picture &pic, int rows, int bytesW, std::int32_t threshold)
{
    ByteString out;
    if (rows <= 0 || bytesW <= 0)
        return out;
    const int cols = 8 * bytesW;
    out.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(bytesW));
    char *dst = &out[0];
    for (int r = 0; r < rows; ++r) {
        const bool inside = r < pic.height;
        const std::int32_t *row =
            inside ? pic.pixels.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(pic.width) : nullptr;
        for (int c = 0; c < cols; c += 8) {
            unsigned b = 0;
            for (int k = 0; k < 8; ++k) {
                const int x = c + k;
                const std::int32_t colour = (inside && x < pic.width) ? row[x] : kWhite;
                b = (b << 1) | (isDot(colour, threshold) ? 1u : 0u);
            }
            *dst++ = static_cast<char>(b);
        }
    }
    return out;
}
