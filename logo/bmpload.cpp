#include "logo/bmpload.h"

#include "app/errors.h"

#include <QCoreApplication>
#include <QImageReader>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("Tnvf", text); }

} // namespace

QImage loadBmpImage(const QString &path)
{
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    if (!reader.canRead())
        throw AppError(tr("无法读取位图文件 \"%1\"：不是有效的 BMP 图像").arg(path));
    const QSize size = reader.size();
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0)
        throw AppError(tr("无法读取位图文件 \"%1\"：图像大小无效").arg(path));
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64(size.width()) * size.height() > kMaxPicturePixels)
        throw AppError(tr("无法读取位图文件 \"%1\"：图像太大（%2 × %3 像素）")
                           .arg(path)
                           .arg(size.width())
                           .arg(size.height()));
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
