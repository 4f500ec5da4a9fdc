#include "logo/bmpload.h"

#include "app/errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("Tnvf", text); }

// The image reader fills pixels missing from a cut-off file with black
// rather than failing; an uncompressed picture must hold all its rows.
bool pixelDataComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the reader reports what is wrong with it
    const QByteArray head = file.read(54);
    if (head.size() < 54)
        return false;
    const auto *h = reinterpret_cast<const uchar *>(head.constData());
    const quint32 offset = qFromLittleEndian<quint32>(h + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(h + 14);
    if (infoSize < 40)
        return true; // old OS/2 headers: left to the reader
    const qint64 width = qFromLittleEndian<qint32>(h + 18);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(h + 22)));
    const quint16 bitCount = qFromLittleEndian<quint16>(h + 28);
    const quint32 compression = qFromLittleEndian<quint32>(h + 30);
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size
    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    return file.size() >= qint64(offset) + stride * height;
}

} // namespace

QImage loadBmpImage(const QString &path)
{
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        throw AppError(tr("无法读取位图文件 \"%1\"：不是有效的 BMP 图像").arg(path));
    // Top-down pictures report a negative height.
    QSize size = reader.size();
    size.setHeight(qAbs(size.height()));
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0)
        throw AppError(tr("无法读取位图文件 \"%1\"：图像大小无效").arg(path));
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64(size.width()) * size.height() > kMaxPicturePixels)
        throw AppError(tr("无法读取位图文件 \"%1\"：图像太大（%2 × %3 像素）")
                           .arg(path)
                           .arg(size.width())
                           .arg(size.height()));
    if (!pixelDataComplete(path))
        throw AppError(tr("无法读取位图文件 \"%1\"：文件不完整").arg(path));
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw AppError(tr("无法读取位图文件 \"%1\"：%2").arg(path, reader.errorString()));
    return image;
}

Picture pictureFromImage(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
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
