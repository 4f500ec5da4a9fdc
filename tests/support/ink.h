#pragma once
// Where a printed picture has ink: a dot is dark below half grey.
#include <QByteArray>
#include <QImage>
#include <QList>
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

// Each row that holds ink, top to bottom, one '1' (dark) or '0' a dot.
inline QList<QByteArray> inkedRows(const QImage &img)
{
    QList<QByteArray> rows;
    for (int y = 0; y < img.height(); ++y) {
        QByteArray row(img.width(), '0');
        for (int x = 0; x < img.width(); ++x)
            row[x] = dark(img, x, y) ? '1' : '0';
        if (row.contains('1'))
            rows << row;
    }
    return rows;
}
