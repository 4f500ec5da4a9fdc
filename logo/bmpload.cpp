#include "logo/bmpload.h"

#include "core/errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <vector>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Tnvf)
};

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw AppError(Text::tr("无法读取位图文件 \"%1\"：%2").arg(path, why));
}

constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr int kFileHeader = 14;
constexpr int kMasksAt = kFileHeader + 40; // after a 40-byte header, or inside a longer one

struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
};

// What decoding needs of a file's headers.
struct BmpHeader {
    quint32 offset = 0;   // where the pixel data begin
    quint32 infoSize = 0; // 12: OS/2; 40 and up: Windows
    qint64 width = 0;
    qint64 height = 0;    // negative: rows stored top row first
    int bitCount = 0;
    quint32 compression = kRgb;
    quint32 coloursUsed = 0;
    int rows() const { return static_cast<int>(height < 0 ? -height : height); }
    // Stored row `row` (0: the first in the file) as a picture row.
    int pictureRow(int row) const { return height < 0 ? row : rows() - 1 - row; }
};

class Bytes {
public:
    explicit Bytes(const QByteArray &file) : m_file(file) {}
    qint64 size() const { return m_file.size(); }
    bool has(qint64 at, qint64 n) const { return at >= 0 && n >= 0 && at + n <= size(); }
    uchar u8(qint64 at) const { return static_cast<uchar>(m_file[static_cast<int>(at)]); }
    quint16 u16(qint64 at) const { return qFromLittleEndian<quint16>(ptr(at)); }
    quint32 u32(qint64 at) const { return qFromLittleEndian<quint32>(ptr(at)); }
    qint32 s32(qint64 at) const { return qFromLittleEndian<qint32>(ptr(at)); }
    qint16 s16(qint64 at) const { return qFromLittleEndian<qint16>(ptr(at)); }

private:
    const uchar *ptr(qint64 at) const { return reinterpret_cast<const uchar *>(m_file.constData() + at); }
    const QByteArray &m_file;
};

BmpHeader readHeader(const QString &path, const Bytes &f)
{
    if (!f.has(0, kFileHeader + 4) || f.u8(0) != 'B' || f.u8(1) != 'M')
        refuse(path, Text::tr("不是有效的 BMP 图像"));
    BmpHeader b;
    b.offset = f.u32(10);
    b.infoSize = f.u32(14);
    if (b.infoSize == 12) {
        if (!f.has(kFileHeader, 12))
            refuse(path, Text::tr("文件不完整"));
        b.width = f.u16(18);
        b.height = f.s16(20);
        b.bitCount = f.u16(24);
        return b;
    }
    if (b.infoSize < 40)
        refuse(path, Text::tr("不是有效的 BMP 图像"));
    if (!f.has(kFileHeader, 40))
        refuse(path, Text::tr("文件不完整"));
    b.width = f.s32(18);
    b.height = f.s32(22);
    b.bitCount = f.u16(28);
    b.compression = f.u32(30);
    b.coloursUsed = f.u32(46);
    return b;
}

bool knownEncoding(const BmpHeader &b)
{
    switch (b.compression) {
    case kRgb: return b.bitCount == 1 || b.bitCount == 4 || b.bitCount == 8 || b.bitCount == 16 || b.bitCount == 24 ||
                      b.bitCount == 32;
    case kRle8: return b.bitCount == 8 && b.infoSize >= 40;
    case kRle4: return b.bitCount == 4 && b.infoSize >= 40;
    case kBitFields:
    case kAlphaBitFields: return (b.bitCount == 16 || b.bitCount == 32) && b.infoSize >= 40;
    default: break;
    }
    return false;
}

std::vector<Rgba> readPalette(const BmpHeader &b, const Bytes &f)
{
    std::vector<Rgba> palette;
    if (b.bitCount > 8)
        return palette;
    const quint32 maxColours = 1u << b.bitCount;
    const quint32 colours = b.coloursUsed == 0 || b.coloursUsed > maxColours ? maxColours : b.coloursUsed;
    const int entry = b.infoSize == 12 ? 3 : 4;
    const qint64 at0 = kFileHeader + qint64(b.infoSize);
    for (quint32 i = 0; i < colours; ++i) {
        const qint64 at = at0 + entry * qint64(i);
        if (at + entry > qint64(b.offset) || !f.has(at, entry))
            break;
        palette.push_back({f.u8(at + 2), f.u8(at + 1), f.u8(at), 255});
    }
    return palette;
}

// One channel of a bit-field pixel, scaled to 0..255; a channel without a
// mask reads as `absent`.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 top = 0;
    explicit Channel(quint32 m = 0) : mask(m)
    {
        if (!mask)
            return;
        while (((mask >> shift) & 1u) == 0)
            ++shift;
        top = mask >> shift;
    }
    int of(quint32 v, int absent) const
    {
        if (!mask)
            return absent;
        return static_cast<int>((quint64((v & mask) >> shift) * 255 + top / 2) / top);
    }
};

struct Masks {
    Channel r, g, b, a;
    bool alpha() const { return a.mask != 0; }
};

Masks masksOf(const BmpHeader &b, const Bytes &f)
{
    if (b.compression == kRgb) {
        if (b.bitCount == 16)
            return {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel()};
        return {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF), Channel()};
    }
    if (!f.has(kMasksAt, 12) || (b.infoSize == 40 && b.offset < quint32(kMasksAt + 12)))
        return {Channel(), Channel(), Channel(), Channel()};
    Masks m{Channel(f.u32(kMasksAt)), Channel(f.u32(kMasksAt + 4)), Channel(f.u32(kMasksAt + 8)), Channel()};
    // The alpha mask follows the colour masks: inside the longer headers, or
    // as a fourth mask after the 40-byte one, where it counts only when it
    // overlaps no colour.
    const bool alphaStored = b.infoSize >= 56 || b.compression == kAlphaBitFields ||
                             (b.infoSize == 40 && b.offset >= quint32(kMasksAt + 16));
    if (alphaStored && f.has(kMasksAt + 12, 4)) {
        const quint32 alpha = f.u32(kMasksAt + 12);
        if ((alpha & (m.r.mask | m.g.mask | m.b.mask)) == 0)
            m.a = Channel(alpha);
    }
    return m;
}

// Pixels as read, before they are laid on white.
struct Pixels {
    int width = 0, height = 0;
    std::vector<Rgba> rgba; // row by row, top row first
    bool alpha = false;
    Rgba &at(int x, int y) { return rgba[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x]; }
};

Pixels blank(const QString &path, const BmpHeader &b)
{
    Pixels p;
    p.width = static_cast<int>(b.width);
    p.height = b.rows();
    try {
        p.rgba.assign(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height), Rgba{255, 255, 255, 255});
    } catch (const std::bad_alloc &) {
        refuse(path, Text::tr("内存不足"));
    }
    return p;
}

// Uncompressed rows, padded to whole 32-bit words. A file cut off before
// its last row is refused rather than filled with made-up pixels.
Pixels decodeRows(const QString &path, const BmpHeader &b, const Bytes &f)
{
    const qint64 stride = ((b.width * b.bitCount + 31) / 32) * 4;
    if (!f.has(b.offset, stride * b.rows()))
        refuse(path, Text::tr("文件不完整"));
    const std::vector<Rgba> palette = readPalette(b, f);
    const Masks masks = masksOf(b, f);
    Pixels p = blank(path, b);
    p.alpha = b.bitCount >= 16 && masks.alpha();
    for (int row = 0; row < p.height; ++row) {
        const qint64 line = b.offset + stride * row;
        const int y = b.pictureRow(row);
        for (int x = 0; x < p.width; ++x) {
            Rgba &out = p.at(x, y);
            if (b.bitCount <= 8) {
                const qint64 bit = qint64(x) * b.bitCount;
                const unsigned index = (f.u8(line + bit / 8) >> (8 - b.bitCount - bit % 8)) & ((1u << b.bitCount) - 1);
                if (index >= palette.size())
                    refuse(path, Text::tr("像素的颜色不在调色板中"));
                out = palette[index];
            } else if (b.bitCount == 24) {
                const qint64 at = line + 3 * qint64(x);
                out = {f.u8(at + 2), f.u8(at + 1), f.u8(at), 255};
            } else {
                const quint32 v = b.bitCount == 16 ? f.u16(line + 2 * qint64(x)) : f.u32(line + 4 * qint64(x));
                out = {masks.r.of(v, 0), masks.g.of(v, 0), masks.b.of(v, 0), masks.a.of(v, 255)};
            }
        }
    }
    return p;
}

// Run-length pictures. Pixels that the runs do not reach (skipped by a
// delta, an early end of line or of picture) are paper: white. A stream
// that ends before its end-of-picture code, with rows still to come, is a
// cut-off file.
Pixels decodeRunLength(const QString &path, const BmpHeader &b, const Bytes &f)
{
    const bool rle4 = b.compression == kRle4;
    const std::vector<Rgba> palette = readPalette(b, f);
    Pixels p = blank(path, b);
    qint64 at = b.offset;
    int x = 0, row = 0; // row 0 is the first row stored
    bool badIndex = false;
    auto put = [&](unsigned index) {
        if (x < p.width && row < p.height) {
            if (index >= palette.size())
                badIndex = true;
            else
                p.at(x, b.pictureRow(row)) = palette[index];
        }
        ++x;
    };
    auto pixelOf = [&](uchar byte, int k) -> unsigned { return rle4 ? ((k % 2 == 0) ? byte >> 4 : byte & 0x0F) : byte; };
    for (;;) {
        if (row >= p.height)
            break; // every row is there; what follows cannot show
        if (!f.has(at, 2))
            refuse(path, Text::tr("文件不完整"));
        const uchar count = f.u8(at), code = f.u8(at + 1);
        at += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(pixelOf(code, k));
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            ++row;
        } else if (code == 1) { // end of picture
            break;
        } else if (code == 2) { // delta
            if (!f.has(at, 2))
                refuse(path, Text::tr("文件不完整"));
            x += f.u8(at);
            row += f.u8(at + 1);
            at += 2;
        } else { // a literal run, padded to whole 16-bit words
            const qint64 bytes = rle4 ? (code + 1) / 2 : code;
            if (!f.has(at, bytes))
                refuse(path, Text::tr("文件不完整"));
            for (int k = 0; k < code; ++k)
                put(pixelOf(f.u8(at + (rle4 ? k / 2 : k)), k));
            at += bytes + (bytes % 2);
        }
    }
    if (badIndex)
        refuse(path, Text::tr("像素的颜色不在调色板中"));
    return p;
}

// Transparent and half-transparent pixels laid on white. A picture whose
// every pixel is fully transparent was written by a program that left the
// alpha byte empty: its colours are meant as they are.
Picture onWhite(const Pixels &p)
{
    const bool useAlpha =
        p.alpha && std::any_of(p.rgba.begin(), p.rgba.end(), [](const Rgba &c) { return c.a != 0; });
    Picture pic(p.width, p.height);
    for (std::size_t i = 0; i < p.rgba.size(); ++i) {
        const Rgba &c = p.rgba[i];
        const int a = useAlpha ? c.a : 255;
        auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
        pic.pixels[i] = static_cast<std::int32_t>((mix(c.b) << 16) | (mix(c.g) << 8) | mix(c.r));
    }
    return pic;
}

} // namespace

Picture loadBmp(const QString &path)
{
    if (!QFileInfo::exists(path))
        refuse(path, Text::tr("文件不存在"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, Text::tr("文件无法读取"));
    const QByteArray head = file.peek(kFileHeader + 40);
    const BmpHeader b = readHeader(path, Bytes(head));
    if (b.width <= 0 || b.height == 0)
        refuse(path, Text::tr("图像大小无效"));
    if (b.width > kMaxPictureSide || b.rows() > kMaxPictureSide || b.width * b.rows() > kMaxPicturePixels)
        throw AppError(Text::tr("无法读取位图文件 \"%1\"：图像太大（%2 × %3 像素）").arg(path).arg(b.width).arg(b.rows()));
    if (!knownEncoding(b))
        refuse(path, Text::tr("图像数据无效"));
    // Nothing a picture of this size can need lies further in: a huge file
    // is not read whole.
    const qint64 needed = qint64(b.offset) + 4 * (b.width + 4) * qint64(b.rows()) + 16;
    const QByteArray data = file.read(std::min(file.size(), needed));
    if (file.error() != QFileDevice::NoError)
        refuse(path, Text::tr("文件无法读取"));
    const Bytes f(data);
    const bool runLength = b.compression == kRle8 || b.compression == kRle4;
    return onWhite(runLength ? decodeRunLength(path, b, f) : decodeRows(path, b, f));
}
