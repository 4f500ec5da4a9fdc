// The paper and the display: characters in their cells, lines laid out and
// justified, images placed, receipts fed, torn and cut, and the customer
// display drawn.
#include "virtualprinter/engine.h"

#include "virtualprinter/paper.h"

#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QPainter>

#include <algorithm>

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
    QImage cell(w, h, QImage::Format_RGB32);
    cell.fill(Qt::white);
    QPainter p(&cell);
    p.setFont(cellFont(chinese, fontB, bold));
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, ch);
    p.end();
    cache.insert(key, cell);
    return cell;
}

// Code-page bytes: the printers' default code page is 437.
} // namespace

QString codePageChar(unsigned b)
{
    static const char16_t upper[128] = {
        0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
        0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 0x20A7, 0x192,
        0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0x2310, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
        0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
        0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
        0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
        0x3B1, 0xDF, 0x393, 0x3C0, 0x3A3, 0x3C3, 0xB5, 0x3C4, 0x3A6, 0x398, 0x3A9, 0x3B4, 0x221E, 0x3C6, 0x3B5, 0x2229,
        0x2261, 0xB1, 0x2265, 0x2264, 0x2320, 0x2321, 0xF7, 0x2248, 0xB0, 0x2219, 0xB7, 0x221A, 0x207F, 0xB2, 0x25A0, 0xA0};
    return QString(QChar(upper[b - 0x80]));
}

QImage BitImage::toImage(int scaleX, int scaleY) const
{
    QImage out(std::max(8 * x * scaleX, 1), std::max(8 * y * scaleY, 1), QImage::Format_RGB32);
    out.fill(Qt::white);
    if (empty())
        return out;
    const int column = y; // bytes a column
    for (int c = 0; c < 8 * x; ++c)
        for (int r = 0; r < 8 * y; ++r) {
            const std::size_t at = static_cast<std::size_t>(c) * static_cast<std::size_t>(column) + static_cast<std::size_t>(r / 8);
            if (at >= data.size() || !(byteAt(data, at) & (0x80 >> (r % 8))))
                continue;
            for (int dy = 0; dy < scaleY; ++dy)
                for (int dx = 0; dx < scaleX; ++dx)
                    out.setPixel(c * scaleX + dx, r * scaleY + dy, qRgb(0, 0, 0));
        }
    return out;
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

QRgb Engine::ink() const
{
    // Density: Light, Normal, Dark.
    const OneValueSetting &s = oneValueSetting(Setting::Density);
    const int v = setting(Stored::Density, s.values[1]);
    if (v == s.values[0])
        return qRgb(128, 128, 128);
    if (v == s.values[2])
        return qRgb(0, 0, 0);
    return qRgb(48, 48, 48);
}

void Engine::text(const QString &s)
{
    const bool fontB = (m_mode & 0x01) ||
                       setting(Stored::SmallFont, -1) == oneValueSetting(Setting::SmallFont).values[0];
    const int sx = std::max((m_mode & 0x20) ? 2 : 1, m_sizeX), sy = std::max((m_mode & 0x10) ? 2 : 1, m_sizeY);
    for (int i = 0; i < s.size(); ++i) {
        Glyph g;
        QString ch = s.mid(i, 1);
        if (s[i].isHighSurrogate() && i + 1 < s.size())
            ch = s.mid(i++, 2);
        const bool chinese = ch.size() == 1 && ch[0].unicode() >= 0x2E80;
        g.underline = (m_mode & 0x80) != 0;
        g.image = glyphCell(ch, chinese, fontB && !chinese, (m_mode & 0x08) != 0);
        g.width = g.image.width() * sx;
        g.height = g.image.height() * sy;
        if (m_lineWidth + g.width > paperDots())
            flushLine(false); // the line is full: the printer goes on in the next
        m_lineWidth += g.width;
        m_line.push_back(std::move(g));
    }
}

void Engine::flushLine(bool feedEmptyLine)
{
    if (m_line.empty()) {
        if (feedEmptyLine)
            feedDots(m_lineSpacing);
        return;
    }
    int height = 0;
    for (const Glyph &g : m_line)
        height = std::max(height, g.height);
    const int paper = paperDots();
    const int x0 = m_justify == 1 ? (paper - m_lineWidth) / 2 : m_justify == 2 ? paper - m_lineWidth : 0;
    ensureHeight(m_y + std::max(height, m_lineSpacing));
    QPainter p(&m_paper);
    int x = std::max(x0, 0);
    const QRgb dot = ink();
    for (const Glyph &g : m_line) {
        const QImage scaled = g.image.scaled(g.width, g.height);
        for (int yy = 0; yy < scaled.height(); ++yy)
            for (int xx = 0; xx < scaled.width(); ++xx)
                if (qGray(scaled.pixel(xx, yy)) < 128 && x + xx < m_paper.width() &&
                    m_y + height - g.height + yy < m_paper.height())
                    m_paper.setPixel(x + xx, m_y + height - g.height + yy, dot);
        if (g.underline)
            p.fillRect(QRect(x, m_y + height - 1, g.width, 1), QColor(dot));
        x += g.width;
    }
    p.end();
    m_y += std::max(height, m_lineSpacing);
    m_line.clear();
    m_lineWidth = 0;
    tearOffIfTooLong();
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
    ensureHeight(m_y + dots);
    m_y += dots;
    tearOffIfTooLong();
}

void Engine::ensureHeight(int bottom)
{
    bottom = std::min(bottom, kMaxPaperDots);
    const int width = paperDots();
    if (!m_paper.isNull() && m_paper.height() >= bottom && m_paper.width() == width)
        return;
    QImage grown(width, std::max(bottom + 256, m_paper.isNull() ? 512 : m_paper.height() * 2), QImage::Format_RGB32);
    grown.fill(Qt::white);
    if (!m_paper.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, m_paper);
    }
    // Black marks along the left edge of the roll, as marked paper has.
    QPainter p(&grown);
    for (int y = 0; y < grown.height(); y += kMarkPitch)
        p.fillRect(QRect(0, y, 6, 24), QColor(220, 220, 220));
    m_paper = grown;
}

void Engine::place(const QImage &image)
{
    const int paper = paperDots();
    const int w = std::min(image.width(), paper);
    const int x = m_justify == 1 ? (paper - w) / 2 : m_justify == 2 ? paper - w : 0;
    ensureHeight(m_y + image.height());
    const QRgb dot = ink();
    for (int yy = 0; yy < image.height() && m_y + yy < m_paper.height(); ++yy)
        for (int xx = 0; xx < w; ++xx)
            if (qGray(image.pixel(xx, yy)) < 128)
                m_paper.setPixel(x + xx, m_y + yy, dot);
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
