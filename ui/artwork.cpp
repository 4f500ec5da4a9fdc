#include "ui/artwork.h"

#include <QPainter>
#include <QPolygon>

namespace {

// Block letters of a 5 x 7 grid, enough for "TAVO" and "POS".
void drawBlockText(QPainter &p, const char *text, int x, int y, int cell)
{
    static const struct {
        char c;
        const char *rows[7];
    } glyphs[] = {
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    };
    for (const char *t = text; *t; ++t, x += 6 * cell) {
        for (const auto &g : glyphs) {
            if (g.c != *t)
                continue;
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < 5; ++c)
                    if (g.rows[r][c] == '#')
                        p.fillRect(x + c * cell, y + r * cell, cell, cell, Qt::black);
        }
    }
}

} // namespace

QImage drawMainLogo()
{
    QImage img(413, 38, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A receipt with a torn edge, then the name in block letters and a rule.
    p.fillRect(4, 3, 26, 30, Qt::black);
    for (int x = 4; x < 30; x += 6)
        p.fillRect(x + 3, 30, 3, 3, Qt::white);
    for (int y = 8; y < 26; y += 5)
        p.fillRect(8, y, 18, 2, Qt::white);
    drawBlockText(p, "TAVO", 42, 5, 4);
    drawBlockText(p, "POS", 160, 12, 3);
    p.fillRect(220, 17, 186, 3, Qt::black);
    for (int x = 220; x < 406; x += 12)
        p.fillRect(x, 24, 6, 6, Qt::black);
    p.end();
    return img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

QImage drawSamplePicture()
{
    QImage img(167, 49, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(0, 0, 167, 3);
    p.drawRect(0, 46, 167, 3);
    drawBlockText(p, "TAVO", 6, 10, 4);
    p.drawPolygon(QPolygon({QPoint(126, 40), QPoint(146, 8), QPoint(162, 40)}));
    p.setBrush(Qt::white);
    p.drawRect(138, 28, 16, 12);
    p.end();
    return img;
}

QImage drawLedDecoration()
{
    QImage img(137, 49, QImage::Format_RGB32);
    img.fill(QColor(16, 16, 16));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Seven-segment style "8.8.8.8" in red.
    const QColor red(230, 30, 30);
    for (int d = 0; d < 4; ++d) {
        const int x = 10 + d * 31;
        p.fillRect(x + 3, 8, 14, 3, red);
        p.fillRect(x + 3, 23, 14, 3, red);
        p.fillRect(x + 3, 38, 14, 3, red);
        p.fillRect(x, 11, 3, 12, red);
        p.fillRect(x + 17, 11, 3, 12, red);
        p.fillRect(x, 26, 3, 12, red);
        p.fillRect(x + 17, 26, 3, 12, red);
        p.fillRect(x + 23, 38, 3, 3, red);
    }
    p.end();
    return img;
}
