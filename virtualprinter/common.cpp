// The common vocabulary of receipt printers as the engine prints it: column
// images, feeds and positions, tabs, character tables, beeps, and barcodes
// and two-dimensional symbols drawn by zint at one pixel a dot.
#include "virtualprinter/engine.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <zint.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace vp {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(virtualprinter)
};

using escpos::Op;

long param(const escpos::Command &c, std::size_t i, long fallback = 0)
{
    return i < c.params.size() ? c.params[i] : fallback;
}

// ESC R n: the twelve characters each set puts at # $ @ [ \ ] ^ ` { | } ~.
const char16_t *internationalSet(int n)
{
    static const char16_t sets[][13] = {
        u"#$@[\\]^`{|}~", // 0 USA
        u"#$à°ç§^`éùè¨", // 1 France
        u"#$§ÄÖÜ^`äöüß", // 2 Germany
        u"£$@[\\]^`{|}~", // 3 United Kingdom
        u"#$@ÆØÅ^`æøå~", // 4 Denmark I
        u"#¤ÉÄÖÅÜéäöåü", // 5 Sweden
        u"#$@°\\é^ùàòèì", // 6 Italy
        u"₧$@¡Ñ¿^`¨ñ}~", // 7 Spain I
        u"#$@[¥]^`{|}~", // 8 Japan
        u"#¤ÉÆØÅÜéæøåü", // 9 Norway
        u"#$ÉÆØÅÜéæøåü", // 10 Denmark II
        u"#$á¡Ñ¿é`íñóú", // 11 Spain II
        u"#$á¡Ñ¿éüíñóú", // 12 Latin America
        u"#$@[₩]^`{|}~", // 13 Korea
        u"#$ŽŠĐĆČžšđćč", // 14 Slovenia / Croatia
        u"¥$@[\\]^`{|}~", // 15 China
    };
    return n >= 0 && n < 16 ? sets[n] : sets[0];
}

constexpr char kReplaced[] = "#$@[\\]^`{|}~";

// A zint symbol, freed on every way out.
struct Symbol {
    zint_symbol *s = ZBarcode_Create();
    ~Symbol() { ZBarcode_Delete(s); }
    bool module(int row, int column) const
    {
        return (s->encoded_data[row][column >> 3] >> (column & 7)) & 1;
    }
};

// GS k's data as zint takes it, by the second form's number.
int zintType(long m)
{
    switch (m) {
    case 65: return BARCODE_UPCA;
    case 66: return BARCODE_UPCE;
    case 67:
    case 68: return BARCODE_EANX;
    case 69: return BARCODE_CODE39;
    case 70: return BARCODE_C25INTER;
    case 71: return BARCODE_CODABAR;
    case 72: return BARCODE_CODE93;
    case 73: return BARCODE_CODE128;
    default: break;
    }
    return 0;
}

// CODE128's data carries its code sets: "{A", "{B", "{C" choose one, "{S"
// shifts one character, "{1" to "{4" are the function characters, "{{" is a
// brace. In code set C each byte is a pair of digits. What the symbol says
// is the characters; zint picks the code sets that say it shortest.
QByteArray code128Text(const QByteArray &data)
{
    QByteArray out;
    char set = 'B';
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char ch = data[i];
        if (ch == '{' && i + 1 < data.size()) {
            const char next = data[++i];
            if (next == 'A' || next == 'B' || next == 'C')
                set = next;
            else if (next == '{')
                out += '{';
            // "{S" and the function characters add no character of their own.
            continue;
        }
        if (set == 'C') {
            const int v = static_cast<unsigned char>(ch);
            out += QByteArray::number(v).rightJustified(2, '0');
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace

const char *codePageName(int n)
{
    switch (n) {
    case 0: return "IBM437";
    case 1: return "Shift_JIS"; // Katakana: its half-width kana are the table's
    case 2: return "IBM850";
    case 3: return "IBM860";
    case 4: return "IBM863";
    case 5: return "IBM865";
    case 11: return "ibm-851";
    case 13: return "IBM857";
    case 14: return "ibm-737";
    case 15: return "ISO-8859-7";
    case 16: return "windows-1252";
    case 17: return "IBM866";
    case 18: return "IBM852";
    case 19: return "IBM858";
    case 32: return "ibm-720";
    case 33: return "ibm-775";
    case 34: return "IBM855";
    case 35: return "IBM861";
    case 36: return "IBM862";
    case 37: return "IBM864";
    case 38: return "IBM869";
    case 39: return "ISO-8859-2";
    case 40: return "ISO-8859-15";
    case 44: return "ibm-1125";
    case 45: return "windows-1250";
    case 46: return "windows-1251";
    case 47: return "windows-1253";
    case 48: return "windows-1254";
    case 49: return "windows-1255";
    case 50: return "windows-1256";
    case 51: return "windows-1257";
    case 52: return "windows-1258";
    default: break;
    }
    return nullptr;
}

QString Engine::decodeSingleByte(const ByteString &raw) const
{
    QString shown;
    const char16_t *intl = internationalSet(m_international);
    const char *name = codePageName(m_codePage);
    for (char ch : raw) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            const char *at = b ? std::strchr(kReplaced, b) : nullptr;
            shown += at ? QChar(intl[at - kReplaced]) : QChar(b);
            continue;
        }
        if (!name) {
            shown += QChar(u'?');
            continue;
        }
        if (m_codePage == 1 && (b < 0xA1 || b > 0xDF)) {
            shown += QChar(u' ');
            continue;
        }
        QStringDecoder decoder(name);
        const char one[1] = {ch};
        QString c = decoder.decode(QByteArrayView(one, 1));
        // The printers' PC857 has the euro sign where PC858 has it.
        if (m_codePage == 13 && b == 0xD5)
            c = QStringLiteral("€");
        shown += c.isEmpty() ? QString(QChar(u'?')) : c;
    }
    return shown;
}

bool Engine::executeCommon(const ByteString &bytes, const escpos::Command &c)
{
    const long n = param(c, 0);
    const long digit = n >= '0' && n <= '9' ? n - '0' : n;
    switch (c.op) {
    case Op::ColumnBitImage: columnImage(bytes, c); return true;
    case Op::DefaultLineSpacing: m_lineSpacing = 30; return true;
    case Op::FeedDots:
        flushLine(false, static_cast<int>(n));
        return true;
    case Op::ReverseFeed: m_log << Text::tr("倒纸 %1：纸不倒回").arg(n); return true;
    case Op::Beep: {
        const int times = c.name == "BEL" ? 1 : static_cast<int>(std::clamp<long>(n, 1, 9));
        m_counts.beeps += times;
        m_log << Text::tr("蜂鸣 %1 次").arg(times);
        return true;
    }
    case Op::InternationalSet: m_international = static_cast<int>(n); return true;
    case Op::UpsideDown: m_upsideDown = (n & 1) != 0; return true;
    case Op::Rotate90: m_rotate = digit == 1 || digit == 2; return true;
    case Op::Reverse: m_reverse = (n & 1) != 0; return true;
    case Op::CharacterSpacing: m_charSpacing = static_cast<int>(n); return true;
    case Op::LeftMargin: m_leftMargin = static_cast<int>(n); return true;
    case Op::PrintAreaWidth: m_areaWidth = static_cast<int>(n); return true;
    case Op::AbsolutePosition:
        startLine();
        moveTo(static_cast<int>(n));
        return true;
    case Op::RelativePosition: {
        // Two's complement: 0xFFFF is one unit to the left.
        const int by = n >= 0x8000 ? static_cast<int>(n) - 0x10000 : static_cast<int>(n);
        startLine();
        moveTo(m_lineWidth + by);
        return true;
    }
    case Op::TabStops:
        // "ESC D NUL" clears them all: a tab then moves nowhere.
        m_tabStops.assign(c.params.begin(), c.params.end());
        m_tabStopsGiven = true;
        return true;
    case Op::Tab: {
        // Stops are in characters of font A with its spacing; the default
        // is every eighth.
        const int cell = 12 + m_charSpacing;
        startLine();
        int next = -1;
        if (!m_tabStopsGiven) {
            next = (m_lineWidth / (8 * cell) + 1) * 8 * cell;
        } else {
            for (int stop : m_tabStops)
                if (stop * cell > m_lineWidth) {
                    next = stop * cell;
                    break;
                }
        }
        if (next > 0)
            moveTo(next);
        return true;
    }
    case Op::MotionUnits: return true;
    case Op::BarcodeHriPosition: m_hri = static_cast<int>(digit & 3); return true;
    case Op::BarcodeHriFont: m_hriFont = static_cast<int>(digit & 1); return true;
    case Op::BarcodeHeight: m_barHeight = std::max(1, static_cast<int>(n)); return true;
    case Op::BarcodeModuleWidth: m_barModule = static_cast<int>(std::clamp<long>(n, 1, 6)); return true;
    case Op::Barcode: barcode(c); return true;
    case Op::SymbolSetting: {
        const long cn = n, fn = param(c, 1), v = param(c, 2);
        if (cn == 49 && fn == 67)
            m_qrModule = static_cast<int>(std::clamp<long>(v, 1, 16));
        else if (cn == 49 && fn == 69)
            m_qrLevel = static_cast<int>(std::clamp<long>(v - 48, 0, 3));
        else if (cn == 48 && fn == 65)
            m_pdfColumns = static_cast<int>(v);
        else if (cn == 48 && fn == 66)
            m_pdfRows = static_cast<int>(v);
        else if (cn == 48 && fn == 67)
            m_pdfModule = static_cast<int>(std::clamp<long>(v, 1, 8));
        else if (cn == 48 && fn == 68)
            m_pdfRowHeight = static_cast<int>(std::clamp<long>(v, 2, 8));
        else if (cn == 48 && fn == 69)
            m_pdfLevel = v == 48 ? static_cast<int>(std::clamp<long>(param(c, 3) - 48, 0, 8)) : -1;
        return true;
    }
    case Op::SymbolStore: {
        const auto from = static_cast<std::size_t>(c.length - static_cast<std::size_t>(param(c, 2)));
        (n == 49 ? m_qrData : m_pdfData) = bytes.substr(c.offset + from, static_cast<std::size_t>(param(c, 2)));
        return true;
    }
    case Op::SymbolPrint: printSymbol(static_cast<int>(n)); return true;
    case Op::SymbolSizeRequest:
    case Op::TransmitStatus:
    case Op::AutoStatusBack:
    case Op::TransmitPrinterId:
    case Op::RealTimeRequest: return true;
    case Op::RealTimeCommand:
        // DLE DC4 1: the drawer pulse, at once.
        if (n == 1)
            pulseDrawer();
        return true;
    default: break;
    }
    return false;
}

void Engine::moveTo(int x)
{
    const int limit = m_lineArea;
    x = std::clamp(x, 0, limit);
    if (x <= m_lineWidth)
        return; // printers do not print back over the line
    Glyph gap;
    gap.width = x - m_lineWidth;
    gap.height = 0;
    m_lineWidth = x;
    m_line.push_back(std::move(gap));
}

// ESC * m n: columns of 8 or 24 dots, top dot in the high bit; single
// density prints each column twice as wide, the 8-dot modes three times as
// high, as a 203-dpi head does.
void Engine::columnImage(const ByteString &bytes, const escpos::Command &c)
{
    const long m = param(c, 0), columns = param(c, 1);
    const int rows = m >= 32 ? 24 : 8, perColumn = m >= 32 ? 3 : 1;
    const int sx = (m & 1) ? 1 : 2, sy = m >= 32 ? 1 : 3;
    if (columns <= 0)
        return;
    const std::size_t data = c.offset + 5;
    QImage image = dotImage(static_cast<int>(columns), rows, sx, sy, 0, 0, [&](int col, int row) {
        const unsigned v = byteAt(bytes, data + static_cast<std::size_t>(col * perColumn + row / 8));
        return (v & (0x80u >> (row % 8))) != 0;
    });
    // It prints in the line, as a character does; the line feed that
    // follows moves the paper.
    push(std::move(image));
}

void Engine::barcode(const escpos::Command &c)
{
    const long m = param(c, 0);
    QByteArray data = c.text.toLatin1();
    if (m == 73)
        data = code128Text(data);
    Symbol symbol;
    symbol.s->symbology = zintType(m);
    symbol.s->input_mode = DATA_MODE;
    symbol.s->show_hrt = 0;
    if (m == 71 && !data.isEmpty() && !(data[0] >= 'A' && data[0] <= 'D') && !(data[0] >= 'a' && data[0] <= 'd'))
        data = "A" + data + "A";
    if (m == 69 && data.startsWith('*') && data.endsWith('*') && data.size() >= 2)
        data = data.mid(1, data.size() - 2);
    const int error = ZBarcode_Encode(symbol.s, reinterpret_cast<const unsigned char *>(data.constData()),
                                      static_cast<int>(data.size()));
    if (error >= ZINT_ERROR) {
        m_log << Text::tr("条码数据不合规则，没有打印：%1").arg(QString::fromLatin1(symbol.s->errtxt));
        return;
    }
    // Bars of the module width, the quiet zone of ten modules either side
    // that a reader needs is plain paper.
    const int quiet = 10 * m_barModule;
    const QImage bars = dotImage(symbol.s->width, 1, m_barModule, m_barHeight, quiet, 0,
                                 [&](int col, int) { return symbol.module(0, col); });
    flushLine(false);
    const QString hri = QString::fromUtf8(reinterpret_cast<const char *>(symbol.s->text));
    const QString shown = hri.isEmpty() ? QString::fromLatin1(data) : hri;
    auto printHri = [&] {
        const int saveMode = m_mode, saveX = m_sizeX, saveY = m_sizeY;
        m_mode = m_hriFont ? 0x01 : 0x00;
        m_sizeX = m_sizeY = 1;
        text(shown);
        flushLine(false);
        m_mode = saveMode;
        m_sizeX = saveX;
        m_sizeY = saveY;
    };
    if (m_hri & 1)
        printHri();
    place(bars);
    if (m_hri & 2)
        printHri();
}

void Engine::printSymbol(int cn)
{
    const ByteString &data = cn == 49 ? m_qrData : m_pdfData;
    if (data.empty()) {
        m_log << Text::tr("没有存入数据，符号没有打印");
        return;
    }
    Symbol symbol;
    int scaleX = m_qrModule, scaleY = m_qrModule;
    if (cn == 49) {
        symbol.s->symbology = BARCODE_QRCODE;
        symbol.s->option_1 = m_qrLevel + 1; // L, M, Q, H
    } else {
        symbol.s->symbology = BARCODE_PDF417;
        symbol.s->option_1 = m_pdfLevel;
        symbol.s->option_2 = m_pdfColumns;
        scaleX = m_pdfModule;
        scaleY = m_pdfModule * m_pdfRowHeight;
    }
    symbol.s->input_mode = DATA_MODE;
    const int error = ZBarcode_Encode(symbol.s, reinterpret_cast<const unsigned char *>(data.data()),
                                      static_cast<int>(data.size()));
    if (error >= ZINT_ERROR) {
        m_log << Text::tr("符号数据不合规则，没有打印：%1").arg(QString::fromLatin1(symbol.s->errtxt));
        return;
    }
    const int quiet = cn == 49 ? 4 * scaleX : 2 * scaleX;
    const QImage image = dotImage(symbol.s->width, symbol.s->rows, scaleX, scaleY, quiet, quiet,
                                  [&](int col, int row) { return symbol.module(row, col); });
    flushLine(false);
    place(image);
}

} // namespace vp
