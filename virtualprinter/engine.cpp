#include "virtualprinter/engine.h"

#include "logo/blackmark.h"
#include "settings/configcommands.h"

#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QJsonArray>
#include <QPainter>
#include <QStringDecoder>

#include <algorithm>

namespace vp {

using escpos::Op;

const std::vector<MemoryKey> &memoryKeys()
{
    static const std::vector<MemoryKey> keys = {
        {Stored::SerialSpeed, "serialSpeed", "serial speed"},
        {Stored::HParameter, "hParameter", "set H parameter"},
        {Stored::DefaultCodePage, "defaultCodePage", "default code page"},
        {Stored::PaperWidth, "paperWidth", "paper width"},
        {Stored::Density, "density", "print density"},
        {Stored::AutoLineFeed, "autoLineFeed", "automatic line feed"},
        {Stored::Buzzer, "buzzer", "buzzer"},
        {Stored::Reprint, "reprint", "reprint after paper-out"},
        {Stored::Emulation, "emulation", "emulation mode"},
        {Stored::SmallFont, "smallFont", "small font"},
    };
    return keys;
}

const MemoryKey &memoryKey(Stored stored)
{
    for (const MemoryKey &k : memoryKeys())
        if (k.stored == stored)
            return k;
    return memoryKeys().front();
}

const MemoryKey *memoryKeyOf(const escpos::Command &c)
{
    switch (c.op) {
    case Op::SerialSpeed: return &memoryKey(Stored::SerialSpeed);
    case Op::SetHParameter: return &memoryKey(Stored::HParameter);
    case Op::DefaultCodePage: return &memoryKey(Stored::DefaultCodePage);
    case Op::Setting: break;
    default: return nullptr;
    }
    switch (c.setting) {
    case Setting::PaperWidth: return &memoryKey(Stored::PaperWidth);
    case Setting::Density: return &memoryKey(Stored::Density);
    case Setting::AutoLineFeed: return &memoryKey(Stored::AutoLineFeed);
    case Setting::Buzzer: return &memoryKey(Stored::Buzzer);
    case Setting::Reprint: return &memoryKey(Stored::Reprint);
    case Setting::Emulation: return &memoryKey(Stored::Emulation);
    case Setting::SmallFont: return &memoryKey(Stored::SmallFont);
    }
    return nullptr;
}

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

} // namespace

const std::vector<Model> &models()
{
    static const std::vector<Model> all = {
        {"tavo80", "Tavo 80 (80 mm thermal)", 576, false},
        {"tavo58", "Tavo 58 (58 mm thermal)", 384, false},
        {"tavo76", "Tavo 76 (76 mm dot matrix)", 400, false},
        {"k3", "Tavo-K3 (58 mm, customer display)", 384, true},
    };
    return all;
}

const Model *modelById(const std::string &id)
{
    for (const Model &m : models())
        if (id == m.id)
            return &m;
    return nullptr;
}

Status statusByName(const std::string &name, bool *ok)
{
    if (ok)
        *ok = true;
    if (name == "online")
        return Status::Online;
    if (name == "offline")
        return Status::Offline;
    if (name == "paper-end")
        return Status::PaperEnd;
    if (name == "silent")
        return Status::Silent;
    if (ok)
        *ok = false;
    return Status::Online;
}

const char *statusName(Status s)
{
    switch (s) {
    case Status::Online: return "online";
    case Status::Offline: return "offline";
    case Status::PaperEnd: return "paper-end";
    case Status::Silent: break;
    }
    return "silent";
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

Engine::Engine(const Model &model) : m_model(model) { resetModes(); }

QJsonObject Engine::memory() const
{
    QJsonObject settings;
    for (const auto &s : m_settings)
        settings[QLatin1String(memoryKey(s.first).name)] = s.second;
    QJsonArray nv;
    for (const auto &image : m_nv) {
        QJsonObject o;
        o[QStringLiteral("number")] = image.first;
        o[QStringLiteral("x")] = image.second.x;
        o[QStringLiteral("y")] = image.second.y;
        o[QStringLiteral("data")] = QString::fromLatin1(
            QByteArray(image.second.data.data(), static_cast<qsizetype>(image.second.data.size())).toBase64());
        nv.append(o);
    }
    QJsonObject out;
    out[QStringLiteral("model")] = QString::fromLatin1(m_model.id);
    out[QStringLiteral("settings")] = settings;
    out[QStringLiteral("nv")] = nv;
    return out;
}

void Engine::restore(const QJsonObject &memory)
{
    m_settings.clear();
    const QJsonObject settings = memory.value(QStringLiteral("settings")).toObject();
    // A memory saved before the keys had their own names uses the
    // decoder's English words; it is read once and saved under the new names.
    for (const MemoryKey &key : memoryKeys()) {
        for (const char *name : {key.name, key.oldName}) {
            const QJsonValue v = settings.value(QLatin1String(name));
            if (v.isDouble()) {
                m_settings[key.stored] = v.toInt();
                break;
            }
        }
    }
    m_nv.clear();
    for (const QJsonValue &v : memory.value(QStringLiteral("nv")).toArray()) {
        const QJsonObject o = v.toObject();
        BitImage image;
        image.x = o.value(QStringLiteral("x")).toInt();
        image.y = o.value(QStringLiteral("y")).toInt();
        const QByteArray data = QByteArray::fromBase64(o.value(QStringLiteral("data")).toString().toLatin1());
        image.data.assign(data.constData(), static_cast<std::size_t>(data.size()));
        if (image.x > 0 && image.y > 0 && image.x <= 1023 && image.y <= 288 &&
            image.data.size() == 8u * static_cast<std::size_t>(image.x) * static_cast<std::size_t>(image.y))
            m_nv[o.value(QStringLiteral("number")).toInt()] = image;
    }
    resetModes();
}

int Engine::setting(Stored which, int fallback) const
{
    const auto it = m_settings.find(which);
    return it == m_settings.end() ? fallback : it->second;
}

int Engine::serialBits() const
{
    // The K3's display runs at 2400 bit/s out of the box, the others at 9600.
    const int bits = serialSpeedBits(setting(Stored::SerialSpeed, m_model.display ? 6 : 1));
    return bits ? bits : 9600;
}

bool Engine::starMode() const
{
    const OneValueSetting &s = oneValueSetting(Setting::Emulation);
    return setting(Stored::Emulation, s.values[0]) == s.values[1];
}

int Engine::paperDots() const
{
    const OneValueSetting &s = oneValueSetting(Setting::PaperWidth);
    const int v = setting(Stored::PaperWidth, -1);
    if (v == s.values[0])
        return std::min(m_model.paperDots, 384); // 58 mm
    if (v == s.values[1])
        return std::max(m_model.paperDots, 512); // 76 mm
    return m_model.paperDots;
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

void Engine::resetModes()
{
    m_mode = 0;
    m_sizeX = m_sizeY = 1;
    m_justify = 0;
    m_lineSpacing = 30;
    m_chinese = true;
}

ByteString Engine::feed(const ByteString &bytes)
{
    m_pending += bytes;
    const auto commands = escpos::decode(m_pending, escpos::Options{m_chinese});
    ByteString answer;
    std::size_t used = 0;
    for (const escpos::Command &c : commands) {
        // A command cut short may still be arriving.
        if (c.kind == escpos::Kind::Truncated && c.offset + c.length == m_pending.size())
            break;
        const bool wasChinese = m_chinese;
        used = c.offset + c.length;
        if (c.op == Op::RealTimeStatusRequest || c.op == Op::StatusRequest) {
            const bool dle = c.name == "DLE EOT";
            switch (m_status) {
            case Status::Online: answer.push_back(dle ? '\x12' : '\x00'); break;
            case Status::Offline: answer.push_back(dle ? '\x1A' : '\x00'); break;
            case Status::PaperEnd: answer.push_back(dle ? '\x1A' : '\x0C'); break;
            case Status::Silent: break;
            }
        }
        m_log << QStringLiteral("%1  %2").arg(QString::fromStdString(c.name), -10).arg(c.meaning);
        execute(m_pending, c);
        // Chinese mode changes how the bytes after it read.
        if (m_chinese != wasChinese) {
            m_pending.erase(0, used);
            return answer + feed(ByteString());
        }
    }
    m_pending.erase(0, used);
    return answer;
}

void Engine::endJob()
{
    if (!m_pending.empty())
        m_log << Text::tr("作业结束时命令不完整，已丢弃 %1 字节").arg(m_pending.size());
    m_pending.clear();
}

void Engine::execute(const ByteString &bytes, const escpos::Command &c)
{
    const Op op = c.op;
    auto param = [&](std::size_t i, long fallback = 0) { return i < c.params.size() ? c.params[i] : fallback; };
    if (c.kind == escpos::Kind::Unknown || c.kind == escpos::Kind::Truncated) {
        ++m_counts.unknown;
        m_log << Text::tr("打印机不认识，已跳过：%1").arg(QString::fromStdString(escpos::hexOf(bytes, c.offset, c.length, 16)));
        return;
    }
    if (c.kind == escpos::Kind::Text) {
        // From the bytes: code-page bytes are characters of code page 437 here.
        const ByteString raw = bytes.substr(c.offset, c.length);
        if (m_chinese) {
            text(c.text);
            return;
        }
        QString shown;
        for (char ch : raw) {
            const unsigned b = static_cast<unsigned char>(ch);
            shown += b < 0x80 ? QString(QLatin1Char(static_cast<char>(b))) : codePageChar(b);
        }
        text(shown);
        return;
    }
    if (op == Op::LineFeed) {
        for (long i = 0; i < param(0, 1); ++i)
            flushLine(true);
    } else if (op == Op::CarriageReturn || op == Op::Nothing || op == Op::Prefix || op == Op::UnidirectionalPrinting ||
               op == Op::PrintColour || op == Op::StatusRequest || op == Op::RealTimeStatusRequest) {
    } else if (op == Op::Initialise) {
        flushLine(false);
        resetModes();
        m_display = Display();
    } else if (op == Op::LineSpacing) {
        m_lineSpacing = static_cast<int>(param(0));
    } else if (op == Op::PrintAndFeed) {
        flushLine(false);
        feedDots(static_cast<int>(param(0)) * m_lineSpacing);
    } else if (op == Op::PrintMode) {
        m_mode = static_cast<int>(param(0));
        m_sizeX = m_sizeY = 1;
    } else if (op == Op::Font) {
        const long n = param(0);
        m_mode = (n == 1 || n == '1') ? (m_mode | 0x01) : (m_mode & ~0x01);
    } else if (op == Op::Emphasis) {
        m_mode = (param(0) & 1) ? (m_mode | 0x08) : (m_mode & ~0x08);
    } else if (op == Op::Underline) {
        const long n = param(0);
        m_mode = (n == 0 || n == '0') ? (m_mode & ~0x80) : (m_mode | 0x80);
    } else if (op == Op::CharacterSize) {
        m_sizeX = static_cast<int>(((param(0) >> 4) & 7) + 1);
        m_sizeY = static_cast<int>((param(0) & 7) + 1);
    } else if (op == Op::CodePage) {
        if (param(0) != 0)
            m_log << Text::tr("代码页 %1：按代码页 437 画").arg(param(0));
    } else if (op == Op::Justification) {
        const long n = param(0);
        m_justify = static_cast<int>(n >= '0' ? n - '0' : n);
    } else if (op == Op::CashDrawerPulse) {
        ++m_counts.drawerPulses;
        m_log << Text::tr("钱箱脉冲");
    } else if (op == Op::PartialCut || op == Op::FullCut) {
        cut();
    } else if (op == Op::PartialCutAfterFeed || op == Op::FullCutAfterFeed) {
        flushLine(false);
        feedDots(static_cast<int>(param(1)));
        cut();
    } else if (op == Op::DefineNvBitImage) {
        // The dialect must match the emulation the printer is set to.
        if ((c.name == "ESC FS q") != starMode()) {
            ++m_counts.unknown;
            m_log << Text::tr("仿真模式不接受这种写法，已跳过：%1").arg(QString::fromStdString(c.name));
            return;
        }
        std::size_t at = c.offset + (c.name == "ESC FS q" ? 4 : 3);
        m_nv.clear();
        for (long i = 0; i < param(0); ++i) {
            BitImage image;
            image.x = static_cast<int>(param(1 + 3 * i));
            image.y = static_cast<int>(param(2 + 3 * i));
            const auto n = static_cast<std::size_t>(param(3 + 3 * i));
            image.data = bytes.substr(at + 4, n);
            at += 4 + n;
            m_counts.nvBytesWritten += n;
            m_nv[static_cast<int>(i + 1)] = image;
        }
        ++m_counts.nvWrites;
    } else if (op == Op::PrintNvBitImage) {
        if ((c.name == "ESC FS p") != starMode()) {
            ++m_counts.unknown;
            m_log << Text::tr("仿真模式不接受这种写法，已跳过：%1").arg(QString::fromStdString(c.name));
            return;
        }
        const auto it = m_nv.find(static_cast<int>(param(0)));
        if (it == m_nv.end()) {
            m_log << Text::tr("没有 NV 位图 %1").arg(param(0));
            return;
        }
        const long m = param(1) >= '0' ? param(1) - '0' : param(1);
        flushLine(false);
        place(it->second.toImage((m & 1) ? 2 : 1, (m & 2) ? 2 : 1));
    } else if (op == Op::DefineDownloadedBitImage) {
        m_downloaded.x = static_cast<int>(param(0));
        m_downloaded.y = static_cast<int>(param(1));
        m_downloaded.data = bytes.substr(c.offset + 4, static_cast<std::size_t>(param(2)));
    } else if (op == Op::PrintDownloadedBitImage) {
        if (m_downloaded.empty()) {
            m_log << Text::tr("没有下载位图");
            return;
        }
        const long m = param(0) >= '0' ? param(0) - '0' : param(0);
        flushLine(false);
        place(m_downloaded.toImage((m & 1) ? 2 : 1, (m & 2) ? 2 : 1));
    } else if (op == Op::RasterBitImage) {
        const int widthBytes = static_cast<int>(param(1)), height = static_cast<int>(param(2));
        const long m = param(0) >= '0' ? param(0) - '0' : param(0);
        const int sx = (m & 1) ? 2 : 1, sy = (m & 2) ? 2 : 1;
        QImage raster(std::max(8 * widthBytes * sx, 1), std::max(height * sy, 1), QImage::Format_RGB32);
        raster.fill(Qt::white);
        const std::size_t data = c.offset + 8;
        for (int r = 0; r < height; ++r)
            for (int b = 0; b < widthBytes; ++b) {
                const unsigned v = byteAt(bytes, data + static_cast<std::size_t>(r) * widthBytes + b);
                for (int bit = 0; bit < 8; ++bit)
                    if (v & (0x80u >> bit))
                        for (int dy = 0; dy < sy; ++dy)
                            for (int dx = 0; dx < sx; ++dx)
                                raster.setPixel((8 * b + bit) * sx + dx, r * sy + dy, qRgb(0, 0, 0));
            }
        flushLine(false);
        place(raster);
    } else if (op == Op::ChineseModeOn) {
        m_chinese = true;
    } else if (op == Op::ChineseModeOff) {
        m_chinese = false;
    } else if (op == Op::BlackMarkOffset) {
        const int units = static_cast<int>(param(1) == 1 ? -param(2) : param(2));
        (param(0) == 1 ? m_markOffsetStart : m_markOffsetCut) = units;
    } else if (op == Op::FeedToPrintStart) {
        flushLine(false);
        const int next = (m_y / kMarkPitch + 1) * kMarkPitch + m_markOffsetStart;
        feedDots(std::max(next - m_y, 0));
    } else if (op == Op::CustomerDisplayIndicator) {
        const long n = param(0) >= '0' ? param(0) - '0' : param(0);
        m_display.priceLamp = n == 1;
        m_display.totalLamp = n == 2;
    } else if (op == Op::CustomerDisplayText) {
        m_display.text = c.text;
    } else if (op == Op::FormFeed) {
        m_display.text.clear();
    } else if (op == Op::Cancel) {
        m_display.text.clear();
    } else if (op == Op::PrintHParameter || op == Op::SetHParameter || op == Op::DefaultCodePage ||
               op == Op::SerialSpeed || op == Op::Setting) {
        configure(c);
    } else {
        m_log << Text::tr("已收到，没有可画的：%1").arg(QString::fromStdString(c.name));
    }
}

void Engine::configure(const escpos::Command &c)
{
    if (c.op == Op::PrintHParameter) {
        text(Text::tr("H=%1").arg(setting(Stored::HParameter, 0)));
        flushLine(true);
        return;
    }
    const MemoryKey *key = memoryKeyOf(c);
    if (!key || c.params.empty())
        return;
    m_settings[key->stored] = static_cast<int>(c.params[0]);
    m_log << Text::tr("设置已保存：%1 = %2").arg(QLatin1String(key->name)).arg(c.params[0]);
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

QStringList Engine::takeLog()
{
    QStringList out;
    out.swap(m_log);
    return out;
}

} // namespace vp
