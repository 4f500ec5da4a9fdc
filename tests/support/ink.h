#pragma once
// Where a printed picture has ink: a dot is dark below half grey.
#include <QImage>
#include <QRect>

inline bool dark(const QImage &img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// The smallest rectangle holding every dark pixel.
inline QRect inked(const QImage &img)
{
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (dark(img, x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}
