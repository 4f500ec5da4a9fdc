#pragma once
// Reading BMP files into pictures, with limits that keep a hostile or broken
// file from exhausting memory. Plain Qt Core: the command line reads the
// same files the same way as the logo window, without a display library.
#include "logo/picture.h"

#include <QString>

// Pictures beyond this many pixels are refused before they are decoded.
constexpr qint64 kMaxPicturePixels = 16 * 1024 * 1024;
constexpr int kMaxPictureSide = 32767;

// Reads a BMP file; raises AppError with a clear text when it is no
// readable BMP picture. Transparent pixels come back on white, as the
// window shows them and as paper prints them.
Picture loadBmp(const QString &path);
