// The paper and the display: characters in their cells, lines laid out and
// justified, images placed, receipts fed, torn and cut, and the customer
// display drawn.
#include "virtualprinter/engine.h"


#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vp {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(virtualprinter)
};

constexpr int kFontAWidth = 12, kFontAHeight = 24, kFontBWidth = 9, kFontBHeight = 17, kChineseCell = 24;
constexpr int kMaxPaperDots = 60000;

QFont cellFont(bool chinese, bool fontB, bool bold)
{
    QFont f(chinese ? QStringLiteral("WenQuanYi Zen Hei") : QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(chinese ? 22 : (fontB ? 14 : 20));
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// A character drawn in its cell, black on white, once.
QImage glyphCell(const QString &ch, bool chinese, bool fontB, bool bold)
{
    static QHash<QString, QImage> cache;
    const QString key = ch + QLatin1Char(chinese ? 'c' : 'a') + QLatin1Char(fontB ? 'b' : 'a') + QLatin1Char(bold ? '!' : '.');
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const int w = chinese ? kChineseCell : (fontB ? kFontBWidth : kFontAWidth);
    const int h = chinese ? kChineseCell : (fontB ? kFontBHeight : kFontAHeight);
    QImage cell(w, h, QImage::Format_Grayscale8);
    cell.fill(255);
    QPainter p(&cell);
    p.setFont(cellFont(chinese, fontB, bold));
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, ch);
    p.end();
    // Dots are on or off: a head has no grey.
    for (int y = 0; y < h; ++y) {
        uchar *line = cell.scanLine(y);
        for (int x = 0; x < w; ++x)
            line[x] = line[x] < 128 ? 0 : 255;
    }
    cache.insert(key, cell);
    return cell;
}

} // namespace

QImage dotImage(int cols, int rows, int sx, int sy, int mx, int my, const std::function<bool(int col, int row)> &on)
{
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    QImage out(std::max(cols * sx + 2 * mx, 1), std::max(rows * sy + 2 * my, 1), QImage::Format_Grayscale8);
    out.fill(255);
    // Row by row: each dot row is drawn once, then copied down its height.
    for (int r = 0; r < rows; ++r) {
        uchar *line = out.scanLine(my + r * sy);
        for (int c = 0; c < cols; ++c)
            if (on(c, r))
                std::fill(line + mx + c * sx, line + mx + (c + 1) * sx, uchar(0));
        for (int dy = 1; dy < sy; ++dy)
            std::copy(line, line + out.width(), out.scanLine(my + r * sy + dy));
    }
    return out;
}

QImage BitImage::toImage(int scaleX, int scaleY) const
{
    // Column-major: each column y bytes, its top dot in bit 7.
    const auto column = static_cast<std::size_t>(std::max(y, 0));
    return dotImage(8 * x, 8 * y, scaleX, scaleY, 0, 0, [&](int c, int r) {
        const std::size_t at = static_cast<std::size_t>(c) * column + static_cast<std::size_t>(r / 8);
        return at < data.size() && (byteAt(data, at) & (0x80 >> (r % 8)));
    });
}

QImage Display::render() const
{
    // Eight seven-segment digits, green on black, with the two lamps below.
    constexpr int digitW = 28, digitH = 48, gap = 8;
    QImage out(8 * (digitW + gap) + gap, digitH + 48, QImage::Format_RGB32);
    out.fill(QColor(16, 16, 16));
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Segments a..g of each digit.
    static const QHash<QChar, QString> segments = {
        {'0', "abcdef"}, {'1', "bc"},  {'2', "abdeg"}, {'3', "abcdg"},   {'4', "bcfg"}, {'5', "acdfg"},
        {'6', "acdefg"}, {'7', "abc"}, {'8', "abcdefg"}, {'9', "abcdfg"}, {'-', "g"},   {' ', ""}};
    // Points belong to the digit before them.
    QString digits;
    QList<bool> points;
    for (QChar ch : text) {
        if (ch == QLatin1Char('.') && !points.isEmpty()) {
            points.last() = true;
            continue;
        }
        digits += ch;
        points << false;
    }
    digits = digits.right(8).rightJustified(8, QLatin1Char(' '));
    while (points.size() < 8)
        points.prepend(false);
    points = points.mid(points.size() - 8);
    const QColor on(64, 255, 96), off(40, 48, 40);
    for (int i = 0; i < 8; ++i) {
        const int x = gap + i * (digitW + gap), y = 8;
        const QString lit = segments.value(digits[i], QString());
        auto seg = [&](QChar s, QRect r) { p.fillRect(r, lit.contains(s) ? on : off); };
        seg('a', QRect(x + 3, y, digitW - 6, 4));
        seg('b', QRect(x + digitW - 4, y + 3, 4, digitH / 2 - 4));
        seg('c', QRect(x + digitW - 4, y + digitH / 2 + 1, 4, digitH / 2 - 4));
        seg('d', QRect(x + 3, y + digitH - 4, digitW - 6, 4));
        seg('e', QRect(x, y + digitH / 2 + 1, 4, digitH / 2 - 4));
        seg('f', QRect(x, y + 3, 4, digitH / 2 - 4));
        seg('g', QRect(x + 3, y + digitH / 2 - 2, digitW - 6, 4));
        p.fillRect(QRect(x + digitW + 1, y + digitH - 4, 4, 4), points[i] ? on : off);
    }
    const int lampY = digitH + 24;
    p.setBrush(priceLamp ? QColor(255, 64, 64) : QColor(64, 24, 24));
    p.drawEllipse(QRect(gap, lampY, 14, 14));
    p.setBrush(totalLamp ? QColor(255, 64, 64) : QColor(64, 24, 24));
    p.drawEllipse(QRect(out.width() / 2, lampY, 14, 14));
    p.setPen(QColor(200, 200, 200));
    p.drawText(QPoint(gap + 20, lampY + 12), Text::tr("单价"));
    p.drawText(QPoint(out.width() / 2 + 20, lampY + 12), Text::tr("总计"));
    return out;
}

uchar Engine::ink() const
{
    // Density: Light, Normal, Dark.
    const OneValueSetting &s = oneValueSetting(Setting::Density);
    const int v = setting(Stored::Density, s.values[1]);
    if (v == s.values[0])
        return 128;
    if (v == s.values[2])
        return 0;
    return 48;
}

void Engine::startLine()
{
    if (!m_line.empty())
        return;
    // Justification, margins and the upside-down mode count where a line
    // begins, as printers apply them.
    const int head = paperDots();
    m_lineLeft = std::clamp(m_leftMargin, 0, head - 1);
    m_lineArea = m_areaWidth > 0 ? std::min(m_areaWidth, head - m_lineLeft) : head - m_lineLeft;
    m_lineArea = std::max(m_lineArea, 1);
    m_lineJustify = m_justify;
    m_lineUpsideDown = m_upsideDown;
    m_lineWidth = 0;
}

void Engine::push(QImage image, bool underline)
{
    startLine();
    Glyph g;
    g.width = image.width();
    g.height = image.height();
    g.underline = underline ? std::max(m_underline, (m_mode & 0x80) ? 1 : 0) : 0;
    g.image = std::move(image);
    if (m_lineWidth + g.width > m_lineArea && m_lineWidth > 0) {
        flushLine(false); // the line is full: the printer goes on in the next
        startLine();
    }
    m_lineWidth += g.width;
    m_line.push_back(std::move(g));
}

void Engine::text(const QString &s)
{
    const bool fontB = (m_mode & 0x01) ||
                       setting(Stored::SmallFont, -1) == oneValueSetting(Setting::SmallFont).values[0];
    const int sx = std::max((m_mode & 0x20) ? 2 : 1, m_sizeX), sy = std::max((m_mode & 0x10) ? 2 : 1, m_sizeY);
    for (int i = 0; i < s.size(); ++i) {
        QString ch = s.mid(i, 1);
        if (s[i].isHighSurrogate() && i + 1 < s.size())
            ch = s.mid(i++, 2);
        const bool chinese = ch.size() == 1 && ch[0].unicode() >= 0x2E80;
        QImage cell = glyphCell(ch, chinese, fontB && !chinese, (m_mode & 0x08) != 0);
        if (m_rotate)
            cell = cell.transformed(QTransform().rotate(90));
        cell = cell.scaled(cell.width() * sx, cell.height() * sy);
        if (m_charSpacing > 0) {
            QImage spaced(cell.width() + m_charSpacing * sx, cell.height(), QImage::Format_Grayscale8);
            spaced.fill(255);
            for (int y = 0; y < cell.height(); ++y)
                std::copy(cell.constScanLine(y), cell.constScanLine(y) + cell.width(), spaced.scanLine(y));
            cell = spaced;
        }
        if (m_reverse)
            cell.invertPixels();
        push(std::move(cell), true);
    }
}

void Engine::flushLine(bool feedEmptyLine, int advance)
{
    if (m_line.empty()) {
        if (advance >= 0)
            feedDots(advance);
        else if (feedEmptyLine)
            feedDots(m_lineSpacing);
        return;
    }
    int height = 0;
    for (const Glyph &g : m_line)
        height = std::max(height, g.height);
    height = std::max(height, 1);
    // The line as the head prints it, then laid on the paper.
    QImage line(std::max(m_lineWidth, 1), height, QImage::Format_Grayscale8);
    line.fill(255);
    int x = 0;
    for (const Glyph &g : m_line) {
        if (!g.image.isNull()) {
            const int top = height - g.height;
            for (int y = 0; y < g.height; ++y) {
                const uchar *from = g.image.constScanLine(y);
                uchar *to = line.scanLine(top + y) + x;
                for (int xx = 0; xx < g.width; ++xx)
                    to[xx] = std::min(to[xx], from[xx]);
            }
        }
        for (int u = 0; u < g.underline; ++u)
            std::fill(line.scanLine(height - 1 - u) + x, line.scanLine(height - 1 - u) + x + g.width, uchar(0));
        x += g.width;
    }
    if (m_lineUpsideDown)
        line = line.transformed(QTransform().rotate(180));
    const int free = m_lineArea - m_lineWidth;
    const int x0 = m_lineLeft + (m_lineJustify == 1 || m_lineJustify == '1' ? free / 2
                                 : m_lineJustify == 2 || m_lineJustify == '2' ? free
                                                                               : 0);
    lay(line, std::max(x0, 0));
    m_y += advance >= 0 ? advance : std::max(height, m_lineSpacing);
    m_line.clear();
    m_lineWidth = 0;
    tearOffIfTooLong();
}

void Engine::lay(const QImage &image, int x)
{
    // Printed dots only: the paper, its marks included, shows where none is.
    ensureHeight(m_y + image.height());
    const uchar dot = ink();
    const int w = std::min(image.width(), m_paper.width() - x);
    for (int y = 0; y < image.height() && m_y + y < m_paper.height(); ++y) {
        const uchar *from = image.constScanLine(y);
        uchar *to = m_paper.scanLine(m_y + y) + x;
        for (int xx = 0; xx < w; ++xx)
            if (from[xx] < 128)
                to[xx] = dot;
    }
}

void Engine::tearOffIfTooLong()
{
    // No roll is endless: past this length the receipt is torn off as it is.
    if (m_y < kMaxPaperDots || m_paper.isNull())
        return;
    m_done.push_back(m_paper.copy(0, 0, m_paper.width(), std::min(m_y, m_paper.height())));
    ++m_counts.receipts;
    m_log << Text::tr("小票超过 %1 点长，已撕下").arg(kMaxPaperDots);
    m_paper = QImage();
    m_y = 0;
}

void Engine::feedDots(int dots)
{
    // Blank paper is drawn up to 30 cm a feed: metres of it (ESC d 255 at
    // the widest spacing) would only cost memory, and say nothing more.
    constexpr int kBlankShown = 2400;
    if (dots > kBlankShown) {
        m_log << Text::tr("走纸 %1 点，图中只画 %2 点").arg(dots).arg(kBlankShown);
        dots = kBlankShown;
    }
    ensureHeight(m_y + dots);
    m_y += dots;
    tearOffIfTooLong();
}

void Engine::ensureHeight(int bottom)
{
    bottom = std::min(bottom, kMaxPaperDots);
    // Never narrower than what is printed: a width changed in the middle of
    // a receipt keeps the lines before it whole.
    const int width = std::max(paperDots(), m_paper.isNull() ? 0 : m_paper.width());
    if (!m_paper.isNull() && m_paper.height() >= bottom && m_paper.width() == width)
        return;
    const int oldHeight = m_paper.isNull() ? 0 : m_paper.height();
    QImage grown(width, std::max(bottom + 256, std::min(oldHeight * 2, kMaxPaperDots + 256)), QImage::Format_Grayscale8);
    grown.fill(255);
    for (int y = 0; y < oldHeight; ++y)
        std::copy(m_paper.constScanLine(y), m_paper.constScanLine(y) + m_paper.width(), grown.scanLine(y));
    // Black marks along the left edge of the roll, where the job uses
    // marked paper, on the new paper only: what is printed stays over them.
    const int firstMark = m_markedPaper ? (oldHeight + kMarkPitch - 1) / kMarkPitch * kMarkPitch : grown.height();
    for (int y = firstMark; y < grown.height(); y += kMarkPitch)
        for (int r = y; r < std::min(y + 24, grown.height()); ++r)
            std::fill(grown.scanLine(r), grown.scanLine(r) + 6, uchar(220));
    m_paper = std::move(grown);
}

void Engine::place(const QImage &image)
{
    startLine();
    const int w = std::min(image.width(), m_lineArea);
    const int free = m_lineArea - w;
    const int x = m_lineLeft + (m_justify == 1 || m_justify == '1' ? free / 2 : m_justify == 2 || m_justify == '2' ? free : 0);
    QImage grey = image.format() == QImage::Format_Grayscale8 ? image : image.convertToFormat(QImage::Format_Grayscale8);
    lay(grey.width() > w ? grey.copy(0, 0, w, grey.height()) : grey, x);
    m_y += image.height();
    tearOffIfTooLong();
}

void Engine::cut()
{
    flushLine(false);
    ++m_counts.cuts;
    if (m_y > 0 && !m_paper.isNull()) {
        m_done.push_back(m_paper.copy(0, 0, m_paper.width(), std::min(m_y, m_paper.height())));
        ++m_counts.receipts;
    }
    m_paper = QImage();
    m_y = 0;
}

QImage compactReceipt(const QImage &receipt)
{
    if (receipt.format() != QImage::Format_Grayscale8 || receipt.isNull())
        return receipt;
    const int w = receipt.width();
    QImage mono(receipt.size(), QImage::Format_Mono);
    const std::vector<uchar> white(static_cast<std::size_t>(w), 255);
    int ink = -1;
    for (int y = 0; y < receipt.height(); ++y) {
        const uchar *from = receipt.constScanLine(y);
        uchar *to = mono.scanLine(y);
        if (std::memcmp(from, white.data(), white.size()) == 0) {
            std::memset(to, 0, static_cast<std::size_t>(mono.bytesPerLine()));
            continue;
        }
        for (int bx = 0; bx * 8 < w; ++bx) {
            uchar bits = 0;
            for (int bit = 0, x = bx * 8; bit < 8 && x < w; ++bit, ++x) {
                const uchar p = from[x];
                if (p == 255)
                    continue;
                if (p != ink) {
                    if (ink >= 0)
                        return receipt; // more than one grey: kept as it is
                    ink = p;
                }
                bits |= uchar(0x80 >> bit);
            }
            to[bx] = bits;
        }
    }
    const int grey = std::max(ink, 0);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(grey, grey, grey)});
    return mono;
}

std::vector<QImage> Engine::takeReceipts()
{
    std::vector<QImage> out;
    out.swap(m_done);
    return out;
}

QImage Engine::currentReceipt() const
{
    if (m_paper.isNull() || m_y == 0)
        return QImage();
    return m_paper.copy(0, 0, m_paper.width(), std::min(m_y, m_paper.height()));
}

} // namespace vp
