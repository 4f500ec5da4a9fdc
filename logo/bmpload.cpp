#include "logo/bmpload.h"

#include "app/errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QVector>
#include <QtEndian>

#include <optional>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Tnvf)
};

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw AppError(Text::tr("无法读取位图文件 \"%1\"：%2").arg(path, why));
}

constexpr quint32 kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr int kFileHeader = 14;

// What the checks below need of a file's headers.
struct BmpHeader {
    quint32 offset = 0;   // where the pixel data begin
    quint32 infoSize = 0; // 12: OS/2; 40 and up: Windows
    qint64 width = 0;
    qint64 height = 0;    // negative: rows stored top row first
    int bitCount = 0;
    quint32 compression = 0;
    quint32 coloursUsed = 0;
};

std::optional<BmpHeader> readHeader(const QByteArray &head)
{
    if (head.size() < kFileHeader + 12)
        return std::nullopt;
    const auto *h = reinterpret_cast<const uchar *>(head.constData());
    BmpHeader b;
    b.offset = qFromLittleEndian<quint32>(h + 10);
    b.infoSize = qFromLittleEndian<quint32>(h + 14);
    if (b.infoSize == 12) {
        b.width = qFromLittleEndian<quint16>(h + 18);
        b.height = qFromLittleEndian<qint16>(h + 20);
        b.bitCount = qFromLittleEndian<quint16>(h + 24);
        return b;
    }
    if (b.infoSize < 40 || head.size() < kFileHeader + 40)
        return std::nullopt;
    b.width = qFromLittleEndian<qint32>(h + 18);
    b.height = qFromLittleEndian<qint32>(h + 22);
    b.bitCount = qFromLittleEndian<quint16>(h + 28);
    b.compression = qFromLittleEndian<quint32>(h + 30);
    b.coloursUsed = qFromLittleEndian<quint32>(h + 46);
    return b;
}

bool isRunLength(const BmpHeader &b)
{
    return b.infoSize >= 40 && ((b.compression == kRle8 && b.bitCount == 8) || (b.compression == kRle4 && b.bitCount == 4));
}

// The image reader fills pixels missing from a cut-off file with black
// rather than failing; an uncompressed picture must hold all its rows.
bool pixelDataComplete(const BmpHeader &b, qint64 fileSize)
{
    if (b.compression != 0 && b.compression != kBitFields && b.compression != kAlphaBitFields)
        return true; // other encodings: left to the reader
    const qint64 stride = ((b.width * b.bitCount + 31) / 32) * 4;
    return fileSize >= qint64(b.offset) + stride * qAbs(b.height);
}

// Run-length pictures are decoded here: the image reader leaves every pixel
// that the runs do not reach (skipped by a delta, an early end of line or
// of picture, or missing from a cut-off file) as whatever memory held.
// Pixels the runs skip are paper: white. A stream that ends before its
// end-of-picture code (with rows still to come) is a cut-off file.
QImage decodeRunLength(const QString &path, const BmpHeader &b, const QByteArray &file)
{
    const int width = static_cast<int>(b.width), height = static_cast<int>(qAbs(b.height));
    const bool rle4 = b.compression == kRle4;
    const int paletteAt = kFileHeader + static_cast<int>(b.infoSize);
    const quint32 maxColours = rle4 ? 16 : 256;
    const quint32 colours = b.coloursUsed == 0 || b.coloursUsed > maxColours ? maxColours : b.coloursUsed;
    QVector<QRgb> palette;
    for (quint32 i = 0; i < colours; ++i) {
        const qint64 at = paletteAt + 4 * qint64(i);
        if (at + 4 > qint64(b.offset) || at + 4 > file.size())
            break;
        const auto *p = reinterpret_cast<const uchar *>(file.constData() + at);
        palette.push_back(qRgb(p[2], p[1], p[0]));
    }

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        refuse(path, Text::tr("内存不足"));
    image.fill(Qt::white);
    const auto *data = reinterpret_cast<const uchar *>(file.constData());
    const qint64 end = file.size();
    qint64 at = b.offset;
    int x = 0, row = 0; // row 0 is the first row stored
    bool badIndex = false;
    auto put = [&](int index) {
        if (x < width && row < height) {
            if (index >= palette.size())
                badIndex = true;
            else
                image.setPixel(x, b.height < 0 ? row : height - 1 - row, palette[index]);
        }
        ++x;
    };
    auto pixelOf = [&](uchar byte, int k) { return rle4 ? ((k % 2 == 0) ? byte >> 4 : byte & 0x0F) : byte; };
    for (;;) {
        if (row >= height)
            break; // every row is there; what follows cannot show
        if (at + 2 > end)
            refuse(path, Text::tr("文件不完整"));
        const uchar count = data[at], code = data[at + 1];
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
            if (at + 2 > end)
                refuse(path, Text::tr("文件不完整"));
            x += data[at];
            row += data[at + 1];
            at += 2;
        } else { // a literal run, padded to whole 16-bit words
            const qint64 bytes = rle4 ? (code + 1) / 2 : code;
            if (at + bytes > end)
                refuse(path, Text::tr("文件不完整"));
            for (int k = 0; k < code; ++k)
                put(pixelOf(data[at + (rle4 ? k / 2 : k)], k));
            at += bytes + (bytes % 2);
        }
    }
    if (badIndex)
        refuse(path, Text::tr("像素的颜色不在调色板中"));
    return image;
}

// A 32-bit picture with the 40-byte header keeps its alpha mask after the
// three colour masks; the image reader ignores it and shows transparent
// pixels as whatever colour they store (often black).
quint32 trailingAlphaMask(const BmpHeader &b, const QByteArray &file)
{
    if (b.infoSize != 40 || b.bitCount != 32 || (b.compression != kBitFields && b.compression != kAlphaBitFields))
        return 0;
    const int masksAt = kFileHeader + 40;
    if (b.offset < quint32(masksAt + 16) || file.size() < masksAt + 16)
        return 0;
    const auto *m = reinterpret_cast<const uchar *>(file.constData() + masksAt);
    const quint32 colour = qFromLittleEndian<quint32>(m) | qFromLittleEndian<quint32>(m + 4) |
                           qFromLittleEndian<quint32>(m + 8);
    const quint32 alpha = qFromLittleEndian<quint32>(m + 12);
    return (alpha & colour) == 0 ? alpha : 0;
}

QImage withAlphaFrom(const QImage &rgb, const BmpHeader &b, const QByteArray &file, quint32 mask)
{
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const quint32 top = mask >> shift;
    QImage out = rgb.convertToFormat(QImage::Format_ARGB32);
    const int width = out.width(), height = out.height();
    const qint64 stride = 4 * qint64(width);
    for (int r = 0; r < height; ++r) {
        const qint64 at = b.offset + stride * r;
        if (at + stride > file.size())
            break;
        const auto *src = reinterpret_cast<const uchar *>(file.constData() + at);
        auto *dst = reinterpret_cast<QRgb *>(out.scanLine(b.height < 0 ? r : height - 1 - r));
        for (int x = 0; x < width; ++x) {
            const quint32 v = qFromLittleEndian<quint32>(src + 4 * x);
            const int a = static_cast<int>((((v & mask) >> shift) * 255 + top / 2) / top);
            dst[x] = qRgba(qRed(dst[x]), qGreen(dst[x]), qBlue(dst[x]), a);
        }
    }
    return out;
}

QString readerProblem(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::FileNotFoundError: return Text::tr("文件不存在");
    case QImageReader::DeviceError: return Text::tr("文件无法读取");
    case QImageReader::UnsupportedFormatError: return Text::tr("不是有效的 BMP 图像");
    case QImageReader::InvalidDataError: return Text::tr("图像数据无效");
    case QImageReader::UnknownError: break;
    }
    return Text::tr("图像数据无法读取");
}

} // namespace

QImage onWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    // A picture whose every pixel is fully transparent was written by a
    // program that left the alpha byte empty: its colours are meant as they are.
    bool anyVisible = false;
    for (int y = 0; y < argb.height() && !anyVisible; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 0) {
                anyVisible = true;
                break;
            }
    }
    QImage out(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        auto *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = in[x];
            const int a = anyVisible ? qAlpha(c) : 255;
            auto mix = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
            o[x] = qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
        }
    }
    return out;
}

QImage loadBmpImage(const QString &path)
{
    if (!QFileInfo::exists(path))
        refuse(path, Text::tr("文件不存在"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, Text::tr("文件无法读取"));
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        refuse(path, Text::tr("不是有效的 BMP 图像"));
    // Top-down pictures report a negative height.
    QSize size = reader.size();
    size.setHeight(qAbs(size.height()));
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0)
        refuse(path, Text::tr("图像大小无效"));
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64(size.width()) * size.height() > kMaxPicturePixels)
        throw AppError(Text::tr("无法读取位图文件 \"%1\"：图像太大（%2 × %3 像素）")
                           .arg(path)
                           .arg(size.width())
                           .arg(size.height()));
    const auto header = readHeader(file.peek(kFileHeader + 40));
    if (!header)
        refuse(path, Text::tr("文件不完整"));
    if (isRunLength(*header))
        return decodeRunLength(path, *header, file.readAll());
    if (!pixelDataComplete(*header, file.size()))
        refuse(path, Text::tr("文件不完整"));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        refuse(path, readerProblem(reader.error()));
    if (header->bitCount == 32 && header->infoSize == 40) {
        const QByteArray bytes = file.readAll();
        if (const quint32 mask = trailingAlphaMask(*header, bytes))
            image = withAlphaFrom(image, *header, bytes, mask);
    }
    return onWhite(image);
}

Picture pictureFromImage(const QImage &image)
{
    const QImage rgb = onWhite(image).convertToFormat(QImage::Format_RGB32);
    Picture pic(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        std::int32_t *out = pic.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(pic.width);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x];
            out[x] = static_cast<std::int32_t>((qBlue(c) << 16) | (qGreen(c) << 8) | qRed(c));
        }
    }
    return pic;
}
