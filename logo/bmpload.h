#pragma once
// Reading BMP files into pictures, with limits that keep a hostile or broken
// file from exhausting memory.
#include "logo/picture.h"

#include <QImage>
#include <QString>

// Pictures beyond this many pixels are refused before they are decoded.
constexpr qint64 kMaxPicturePixels = 16 * 1024 * 1024;
constexpr int kMaxPictureSide = 32767;

// Reads a BMP file; raises AppError with a clear text when it is no
// readable BMP picture. Transparent pixels come back on white, as the
// window shows them and as paper prints them.
QImage loadBmpImage(const QString &path);
// Transparent and half-transparent pixels laid on white; a picture without
// alpha comes back unchanged.
QImage onWhite(const QImage &image);
// The picture's colours as 0x00BBGGRR, one value a pixel.
Picture pictureFromImage(const QImage &image);
