#include "escpos/decoder.h"

#include "logo/blackmark.h"
#include "settings/configcommands.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>

// Parameters by command, in the order the bytes carry them:
//   ESC p: pin code m, on time t1, off time t2 (units of 2 ms)
//   ESC U / ESC 3 / ESC d / ESC ! / ESC a / ESC r / ESC s / ESC GS a: n
//   ESC M / ESC t / ESC E / ESC - / GS !: n (common ESC/POS that other
//     encoders send)
//   FS q, ESC FS q: image count n, then x, y (units of 8 dots) and data bytes
//     for each image, then 1 when the closing byte 01 follows, else 0
//   FS p, ESC FS p: image n, scaling m
//   GS V: m, and n for the cuts after feeding
//   GS ( F: target a (1 print start, 2 cut), direction m (0 forward), units n
//   GS *: x, y (units of 8 dots), data bytes
//   GS /: m
//   GS v 0: m, width in bytes, height in dots, data bytes
//   DLE EOT: n
//   US ESC US: the value byte (none for printing the H parameter)
//   LF, NUL: how many in a row

namespace escpos {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(escpos)
};

constexpr unsigned kNul = 0x00, kLf = 0x0A, kFf = 0x0C, kCr = 0x0D, kDle = 0x10, kCan = 0x18, kEsc = 0x1B,
                   kFs = 0x1C, kGs = 0x1D, kUs = 0x1F;

bool isGbLead(unsigned b) { return b >= 0xA1 && b <= 0xF7; }
bool isGbTrail(unsigned b) { return b >= 0xA1 && b <= 0xFE; }

// The second byte of a command as manuals write it: "p", "(", "FF", "0x05".
std::string letter(unsigned b)
{
    switch (b) {
    case kEsc: return "ESC";
    case kFs: return "FS";
    case kGs: return "GS";
    case kFf: return "FF";
    case 0x04: return "EOT";
    default: break;
    }
    if (b > 0x20 && b < 0x7F)
        return std::string(1, static_cast<char>(b));
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    return hex;
}

QString scalingName(long m)
{
    switch (m) {
    case 0:
    case '0': return Text::tr("normal");
    case 1:
    case '1': return Text::tr("double width");
    case 2:
    case '2': return Text::tr("double height");
    case 3:
    case '3': return Text::tr("double width and height");
    default: break;
    }
    return Text::tr("scaling %1 (undefined)").arg(m);
}

class Decoder {
public:
    Decoder(const ByteString &bytes, const Options &options) : s(bytes), chinese(options.chineseMode) {}

    std::vector<Command> run()
    {
        while (pos < s.size())
            step();
        return std::move(out);
    }

private:
    const ByteString &s;
    bool chinese;
    std::size_t pos = 0;
    std::vector<Command> out;

    unsigned at(std::size_t i) const { return byteAt(s, i); }
    std::size_t left() const { return s.size() - pos; }

    Command &add(Kind kind, std::size_t length, std::string name, Op op, QString meaning,
                  std::vector<long> params = {})
    {
        Command c;
        c.offset = pos;
        c.length = length;
        c.kind = kind;
        c.name = std::move(name);
        c.op = op;
        c.params = std::move(params);
        c.meaning = std::move(meaning);
        out.push_back(std::move(c));
        pos += length;
        return out.back();
    }

    // True when `length` bytes are there; otherwise the rest of the input
    // becomes one truncated command.
    bool need(std::size_t length, const std::string &name)
    {
        if (left() >= length)
            return true;
        add(Kind::Truncated, left(), name, Op::Truncated,
             Text::tr("cut short: %1 of %2 bytes").arg(left()).arg(static_cast<qulonglong>(length)));
        return false;
    }

    void unknown(std::size_t length, const std::string &name)
    {
        add(Kind::Unknown, length, name, Op::Unknown, Text::tr("unknown command"));
    }

    bool startsText(std::size_t i) const
    {
        const unsigned b = at(i);
        if (b >= 0x20 && b < 0x7F)
            return true;
        if (b < 0x80)
            return false;
        if (!chinese)
            return true;
        return isGbLead(b) && i + 1 < s.size() && isGbTrail(at(i + 1));
    }

    bool startsCommand(unsigned b) const
    {
        switch (b) {
        case kNul:
        case kLf:
        case kFf:
        case kCr:
        case kDle:
        case kCan:
        case kEsc:
        case kFs:
        case kGs:
        case kUs: return true;
        default: return false;
        }
    }

    void step()
    {
        const unsigned b = at(pos);
        switch (b) {
        case kEsc: escape(); return;
        case kFs: fileSeparator(); return;
        case kGs: groupSeparator(); return;
        case kDle: dataLinkEscape(); return;
        case kUs: configuration(); return;
        case kLf: {
            const std::size_t n = runOf(kLf);
            add(Kind::Command, n, "LF", Op::LineFeed,
                 n == 1 ? Text::tr("print and feed one line") : Text::tr("print and feed %1 lines").arg(n), {long(n)});
            return;
        }
        case kNul: {
            const std::size_t n = runOf(kNul);
            add(Kind::Command, n, "NUL", Op::Nothing, Text::tr("%1 × NUL: nothing, the printer skips it").arg(n), {long(n)});
            return;
        }
        case kCr: add(Kind::Command, 1, "CR", Op::CarriageReturn, Text::tr("carriage return")); return;
        case kFf: add(Kind::Command, 1, "FF", Op::FormFeed, Text::tr("form feed (customer display: clear the display)")); return;
        case kCan: add(Kind::Command, 1, "CAN", Op::Cancel, Text::tr("cancel (customer display: clear the line)")); return;
        default: break;
        }
        if (startsText(pos)) {
            text();
            return;
        }
        std::size_t end = pos + 1;
        while (end < s.size() && !startsCommand(at(end)) && !startsText(end))
            ++end;
        add(Kind::Unknown, end - pos, "?", Op::Unknown,
             end - pos == 1 ? Text::tr("unknown byte") : Text::tr("%1 unknown bytes").arg(end - pos));
    }

    std::size_t runOf(unsigned b) const
    {
        std::size_t end = pos;
        while (end < s.size() && at(end) == b)
            ++end;
        return end - pos;
    }

    void text()
    {
        std::size_t end = pos;
        QString shown;
        std::size_t plainFrom = pos;
        auto flushPlain = [&](std::size_t upTo) {
            if (upTo > plainFrom) {
                if (chinese) {
                    QStringDecoder gb("GB2312");
                    shown += gb.decode(QByteArrayView(s.data() + plainFrom, static_cast<qsizetype>(upTo - plainFrom)));
                } else {
                    shown += QString::fromLatin1(s.data() + plainFrom, static_cast<qsizetype>(upTo - plainFrom));
                }
            }
        };
        while (end < s.size() && startsText(end)) {
            const unsigned b = at(end);
            if (b < 0x80) {
                ++end;
            } else if (chinese) {
                end += 2;
            } else {
                // Bytes of the code page: which characters they are depends
                // on the printer's code page, so they show as numbers.
                flushPlain(end);
                shown += QStringLiteral("\\x") + QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
                plainFrom = ++end;
            }
        }
        flushPlain(end);
        const std::size_t length = end - pos;
        QString preview = shown.size() > 48 ? shown.left(48) + QStringLiteral("…") : shown;
        Command &c = add(Kind::Text, length, "text", Op::Text,
                          length == 1 ? Text::tr("text \"%1\" (1 byte)").arg(preview)
                                      : Text::tr("text \"%1\" (%2 bytes)").arg(preview, QString::number(length)));
        c.text = shown;
    }

    void escape()
    {
        if (!need(2, "ESC"))
            return;
        const unsigned c = at(pos + 1);
        const std::string name = "ESC " + letter(c);
        switch (c) {
        case '@': add(Kind::Command, 2, name, Op::Initialise, Text::tr("initialise the printer")); return;
        case 'i': add(Kind::Command, 2, name, Op::PartialCut, Text::tr("partial cut")); return;
        case 'v': add(Kind::Command, 2, name, Op::StatusRequest, Text::tr("status request: paper sensor")); return;
        case 'U':
        case '3':
        case 'd':
        case '!':
        case 'a':
        case 'r':
        case 's':
        case 'M':
        case 't':
        case 'E':
        case '-': oneParameter(name, c); return;
        case 'p': {
            if (!need(5, name))
                return;
            const long m = at(pos + 2), on = at(pos + 3), off = at(pos + 4);
            const QString pin = (m == 0 || m == '0') ? QStringLiteral("2")
                                : (m == 1 || m == '1') ? QStringLiteral("5")
                                                       : Text::tr("code %1 (undefined)").arg(m);
            add(Kind::Command, 5, name, Op::CashDrawerPulse,
                 Text::tr("cash drawer pulse: pin %1, on %2 ms, off %3 ms").arg(pin).arg(2 * on).arg(2 * off), {m, on, off});
            return;
        }
        case 'Q': {
            if (!need(3, name))
                return;
            if (at(pos + 2) != 'A') {
                unknown(2, name);
                return;
            }
            const std::size_t cr = s.find(static_cast<char>(kCr), pos + 3);
            if (cr == std::string::npos) {
                need(left() + 1, "ESC Q A");
                return;
            }
            const std::size_t length = cr - pos + 1;
            const QString shown = QString::fromLatin1(s.data() + pos + 3, static_cast<qsizetype>(cr - pos - 3));
            Command &cmd = add(Kind::Command, length, "ESC Q A", Op::CustomerDisplayText,
                                Text::tr("customer display: show \"%1\"").arg(shown));
            cmd.text = shown;
            return;
        }
        case kGs:
            if (!need(3, name))
                return;
            if (at(pos + 2) != 'a') {
                unknown(2, name);
                return;
            }
            if (!need(4, "ESC GS a"))
                return;
            add(Kind::Command, 4, "ESC GS a", Op::Justification, Text::tr("justification (Star): %1").arg(justification(at(pos + 3))),
                 {long(at(pos + 3))});
            return;
        case kFs:
            if (!need(3, name))
                return;
            if (at(pos + 2) == 'q') {
                defineNv(1);
                return;
            }
            if (at(pos + 2) == 'p') {
                printNv(1);
                return;
            }
            unknown(2, name);
            return;
        default: unknown(2, name); return;
        }
    }

    static QString justification(long n)
    {
        switch (n) {
        case 0:
        case '0': return Text::tr("left");
        case 1:
        case '1': return Text::tr("centred");
        case 2:
        case '2': return Text::tr("right");
        default: break;
        }
        return Text::tr("%1 (undefined)").arg(n);
    }

    void oneParameter(const std::string &name, unsigned c)
    {
        if (!need(3, name))
            return;
        const long n = at(pos + 2);
        QString meaning;
        Op op = Op::Unknown;
        switch (c) {
        case 'U':
            op = Op::UnidirectionalPrinting;
            meaning = (n & 1) ? Text::tr("unidirectional printing on") : Text::tr("unidirectional printing off");
            break;
        case '3':
            op = Op::LineSpacing;
            meaning = Text::tr("line spacing: %1 units").arg(n);
            break;
        case 'd':
            op = Op::PrintAndFeed;
            meaning = Text::tr("print and feed %1 lines").arg(n);
            break;
        case '!': {
            op = Op::PrintMode;
            QStringList parts{(n & 0x01) ? Text::tr("font B (9 × 17)") : Text::tr("font A (12 × 24)")};
            if (n & 0x08)
                parts << Text::tr("emphasised");
            if (n & 0x10)
                parts << Text::tr("double height");
            if (n & 0x20)
                parts << Text::tr("double width");
            if (n & 0x80)
                parts << Text::tr("underlined");
            meaning = Text::tr("print mode: %1").arg(parts.join(QStringLiteral(", ")));
            break;
        }
        case 'M':
            op = Op::Font;
            meaning = (n == 1 || n == '1') ? Text::tr("font B (9 × 17)") : Text::tr("font A (12 × 24)");
            break;
        case 't':
            op = Op::CodePage;
            meaning = Text::tr("character code table %1").arg(n);
            break;
        case 'E':
            op = Op::Emphasis;
            meaning = (n & 1) ? Text::tr("emphasis on") : Text::tr("emphasis off");
            break;
        case '-':
            op = Op::Underline;
            meaning = (n == 0 || n == '0') ? Text::tr("underline off") : Text::tr("underline on");
            break;
        case 'a':
            op = Op::Justification;
            meaning = Text::tr("justification: %1").arg(justification(n));
            break;
        case 'r':
            op = Op::PrintColour;
            meaning = (n == 0 || n == '0')   ? Text::tr("print colour: black")
                      : (n == 1 || n == '1') ? Text::tr("print colour: red")
                                             : Text::tr("print colour %1 (undefined)").arg(n);
            break;
        case 's': {
            op = Op::CustomerDisplayIndicator;
            static const char *const lights[] = {QT_TRANSLATE_NOOP("escpos", "all indicators off"),
                                                 QT_TRANSLATE_NOOP("escpos", "unit price"),
                                                 QT_TRANSLATE_NOOP("escpos", "total"),
                                                 QT_TRANSLATE_NOOP("escpos", "collect"),
                                                 QT_TRANSLATE_NOOP("escpos", "change")};
            const long i = n >= '0' ? n - '0' : n;
            meaning = Text::tr("customer display indicator: %1")
                          .arg(i >= 0 && i <= 4 ? Text::tr(lights[i]) : Text::tr("%1 (undefined)").arg(n));
            break;
        }
        default: break;
        }
        add(Kind::Command, 3, name, op, meaning, {n});
    }

    // FS q and ESC FS q: image count, then for each image its size and data;
    // the program's downloads close with one byte 01, read as part of it.
    void defineNv(std::size_t prefix)
    {
        const std::string name = prefix ? "ESC FS q" : "FS q";
        const std::size_t start = pos;
        std::size_t p = pos + prefix + 2;
        if (!need(prefix + 3, name))
            return;
        const long n = at(p++);
        std::vector<long> params{n};
        QStringList images;
        for (long i = 0; i < n; ++i) {
            if (!need(p - start + 4, name))
                return;
            const long x = long(at(p)) + 256 * long(at(p + 1)), y = long(at(p + 2)) + 256 * long(at(p + 3));
            const std::size_t data = 8u * static_cast<std::size_t>(x) * static_cast<std::size_t>(y);
            p += 4;
            if (!need(p - start + data, name))
                return;
            p += data;
            params.insert(params.end(), {x, y, long(data)});
            images << Text::tr("NV bit image %1: %2 × %3 dots, %4 data bytes")
                          .arg(i + 1)
                          .arg(8 * x)
                          .arg(8 * y)
                          .arg(static_cast<qulonglong>(data));
        }
        const bool closing = p < s.size() && at(p) == 0x01;
        if (closing)
            ++p;
        params.push_back(closing ? 1 : 0);
        QString meaning = n == 0 ? Text::tr("define NV bit images: none") : images.join(QStringLiteral("; "));
        if (closing)
            meaning += Text::tr(", closing byte 01");
        add(Kind::Command, p - start, name, Op::DefineNvBitImage, meaning, params);
    }

    void printNv(std::size_t prefix)
    {
        const std::string name = prefix ? "ESC FS p" : "FS p";
        if (!need(prefix + 4, name))
            return;
        const long n = at(pos + prefix + 2), m = at(pos + prefix + 3);
        add(Kind::Command, prefix + 4, name, Op::PrintNvBitImage,
             Text::tr("print NV bit image %1, %2").arg(n).arg(scalingName(m)), {n, m});
    }

    void fileSeparator()
    {
        if (!need(2, "FS"))
            return;
        const unsigned c = at(pos + 1);
        switch (c) {
        case 'q': defineNv(0); return;
        case 'p': printNv(0); return;
        case '&':
            chinese = true;
            add(Kind::Command, 2, "FS &", Op::ChineseModeOn, Text::tr("Chinese character mode on"));
            return;
        case '.':
            chinese = false;
            add(Kind::Command, 2, "FS .", Op::ChineseModeOff, Text::tr("Chinese character mode off"));
            return;
        default: unknown(2, "FS " + letter(c)); return;
        }
    }

    void groupSeparator()
    {
        if (!need(2, "GS"))
            return;
        const unsigned c = at(pos + 1);
        const std::string name = "GS " + letter(c);
        switch (c) {
        case 'T':
            // The family's prefix before its NV logo and black-mark commands;
            // it carries no parameter byte here.
            add(Kind::Command, 2, name, Op::Prefix, Text::tr("prefix of the NV logo and black-mark commands"));
            return;
        case kFf:
            add(Kind::Command, 2, name, Op::FeedToPrintStart, Text::tr("feed marked paper to the print start position"));
            return;
        case 'V': cut(name); return;
        case '!': {
            if (!need(3, name))
                return;
            const long n = at(pos + 2);
            add(Kind::Command, 3, name, Op::CharacterSize,
                Text::tr("character size: %1 × wide, %2 × high").arg((n >> 4) + 1).arg((n & 0x0F) + 1), {n});
            return;
        }
        case '(': extended(); return;
        case '*': {
            if (!need(4, name))
                return;
            const long x = at(pos + 2), y = at(pos + 3);
            const std::size_t data = 8u * static_cast<std::size_t>(x) * static_cast<std::size_t>(y);
            if (!need(4 + data, name))
                return;
            add(Kind::Command, 4 + data, name, Op::DefineDownloadedBitImage,
                 Text::tr("define downloaded bit image: %1 × %2 dots, %3 data bytes")
                     .arg(8 * x)
                     .arg(8 * y)
                     .arg(static_cast<qulonglong>(data)),
                 {x, y, long(data)});
            return;
        }
        case '/': {
            if (!need(3, name))
                return;
            const long m = at(pos + 2);
            const QString how = (m == 3 || m == '3') ? Text::tr("quadruple") : scalingName(m);
            add(Kind::Command, 3, name, Op::PrintDownloadedBitImage, Text::tr("print downloaded bit image, %1").arg(how), {m});
            return;
        }
        case 'v': {
            if (!need(3, name))
                return;
            if (at(pos + 2) != '0') {
                unknown(3, name + " " + letter(at(pos + 2)));
                return;
            }
            if (!need(8, "GS v 0"))
                return;
            const long m = at(pos + 3);
            const long x = long(at(pos + 4)) + 256 * long(at(pos + 5)), y = long(at(pos + 6)) + 256 * long(at(pos + 7));
            const std::size_t data = static_cast<std::size_t>(x) * static_cast<std::size_t>(y);
            if (!need(8 + data, "GS v 0"))
                return;
            const QString how = (m == 3 || m == '3') ? Text::tr("quadruple") : scalingName(m);
            add(Kind::Command, 8 + data, "GS v 0", Op::RasterBitImage,
                 Text::tr("raster bit image, %1: %2 × %3 dots, %4 data bytes")
                     .arg(how)
                     .arg(8 * x)
                     .arg(y)
                     .arg(static_cast<qulonglong>(data)),
                 {m, x, y, long(data)});
            return;
        }
        default: unknown(2, name); return;
        }
    }

    void cut(const std::string &name)
    {
        if (!need(3, name))
            return;
        const long m = at(pos + 2);
        if (m == 0 || m == '0' || m == 1 || m == '1') {
            const bool full = m == 0 || m == '0';
            add(Kind::Command, 3, name, full ? Op::FullCut : Op::PartialCut, full ? Text::tr("full cut") : Text::tr("partial cut"), {m});
            return;
        }
        if (m == 65 || m == 66) {
            if (!need(4, name))
                return;
            const long n = at(pos + 3);
            add(Kind::Command, 4, name, m == 65 ? Op::FullCutAfterFeed : Op::PartialCutAfterFeed,
                 (m == 65 ? Text::tr("full cut after feeding %1 units") : Text::tr("partial cut after feeding %1 units")).arg(n),
                 {m, n});
            return;
        }
        unknown(3, name);
    }

    // GS ( x pL pH ...: the length says how far it reaches, known or not.
    void extended()
    {
        if (!need(5, "GS ("))
            return;
        const unsigned fn = at(pos + 2);
        const std::string name = "GS ( " + letter(fn);
        const std::size_t p = at(pos + 3) + 256u * at(pos + 4);
        if (!need(5 + p, name))
            return;
        if (fn != 'F') {
            unknown(5 + p, name);
            return;
        }
        if (p != 4) {
            add(Kind::Command, 5 + p, name, Op::BlackMark, Text::tr("black-mark setting with %1 parameter bytes").arg(p));
            return;
        }
        const long a = at(pos + 5), m = at(pos + 6), n = long(at(pos + 7)) + 256 * long(at(pos + 8));
        const QString target = a == 1 ? Text::tr("print start position") : a == 2 ? Text::tr("cut position") : Text::tr("position %1 (undefined)").arg(a);
        const QString direction = m == 0 ? Text::tr("forward") : m == 1 ? Text::tr("backward") : Text::tr("direction %1 (undefined)").arg(m);
        add(Kind::Command, 9, name, Op::BlackMarkOffset,
             Text::tr("black mark: %1 %2 %3 units (%4 mm)")
                 .arg(target, direction)
                 .arg(n)
                 .arg(QString::number(n * kMotionUnitMm, 'f', 1)),
             {a, m, n});
    }

    void dataLinkEscape()
    {
        if (!need(2, "DLE"))
            return;
        if (at(pos + 1) != 0x04) {
            unknown(1, "DLE");
            return;
        }
        if (!need(3, "DLE EOT"))
            return;
        const long n = at(pos + 2);
        static const char *const kinds[] = {
            QT_TRANSLATE_NOOP("escpos", "printer status"), QT_TRANSLATE_NOOP("escpos", "offline cause"),
            QT_TRANSLATE_NOOP("escpos", "error cause"), QT_TRANSLATE_NOOP("escpos", "paper sensor")};
        add(Kind::Command, 3, "DLE EOT", Op::RealTimeStatusRequest,
             Text::tr("real-time status request: %1").arg(n >= 1 && n <= 4 ? Text::tr(kinds[n - 1]) : Text::tr("%1 (undefined)").arg(n)),
             {n});
    }

    // 1F 1B 1F, a feature code and (but for printing the H parameter) a value.
    void configuration()
    {
        if (left() < 3 || at(pos + 1) != kEsc || at(pos + 2) != kUs) {
            if (left() < 3 && s.compare(pos, left(), "\x1F\x1B\x1F", left()) == 0) {
                need(4, "US ESC US");
                return;
            }
            unknown(1, "US");
            return;
        }
        const std::string name = "US ESC US";
        if (!need(4, name))
            return;
        const std::size_t p = pos + 3;
        const unsigned code = at(p);
        auto valued = [&](Op op, const QString &meaning) {
            const long v = at(p + 1);
            add(Kind::Command, 5, name, op, meaning.arg(v), {v});
        };
        switch (code) {
        case 0xFB: add(Kind::Command, 4, name, Op::PrintHParameter, Text::tr("print the H parameter")); return;
        case 0xFC:
            if (need(5, name))
                valued(Op::SetHParameter, Text::tr("H parameter: %1"));
            return;
        case 0xFF:
            if (need(5, name))
                valued(Op::DefaultCodePage, Text::tr("default code page: %1"));
            return;
        case 0xFD: {
            if (!need(5, name))
                return;
            const long v = at(p + 1);
            const int bits = serialSpeedBits(static_cast<int>(v));
            add(Kind::Command, 5, name, Op::SerialSpeed,
                 bits ? Text::tr("serial speed: code %1 (%2 bit/s)").arg(v).arg(bits)
                      : Text::tr("serial speed: code %1 (no such speed)").arg(v),
                 {v});
            return;
        }
        default: break;
        }
        for (const OneValueSetting &setting : oneValueSettings()) {
            const ByteString &fc = setting.featureCode;
            const std::size_t have = std::min(fc.size(), s.size() - p);
            if (s.compare(p, have, fc, 0, have) != 0)
                continue;
            if (!need(3 + fc.size() + 1, name))
                return;
            const long v = at(p + fc.size());
            QString value = Text::tr("value 0x%1 (no entry has it)").arg(v, 2, 16, QLatin1Char('0'));
            for (std::size_t i = 0; i < setting.values.size(); ++i)
                if (setting.values[i] == v)
                    value = QCoreApplication::translate("TForm1", setting.entries[i]);
            Command &cmd = add(Kind::Command, 3 + fc.size() + 1, name, Op::Setting,
                               Text::tr("%1: %2").arg(QCoreApplication::translate("escpos", setting.name), value), {v});
            cmd.setting = setting.id;
            return;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X", code);
        add(Kind::Unknown, 4, name, Op::Unknown, Text::tr("configuration with unknown feature code %1").arg(QLatin1String(hex)));
    }
};

} // namespace

std::vector<Command> decode(const ByteString &bytes, const Options &options)
{
    return Decoder(bytes, options).run();
}

bool clean(const std::vector<Command> &commands)
{
    for (const Command &c : commands)
        if (c.kind == Kind::Unknown || c.kind == Kind::Truncated)
            return false;
    return true;
}

std::string hexOf(const ByteString &bytes, std::size_t offset, std::size_t length, std::size_t limit)
{
    static const char digits[] = "0123456789ABCDEF";
    offset = std::min(offset, bytes.size());
    length = std::min(length, bytes.size() - offset);
    auto run = [&](std::size_t from, std::size_t count, std::string &out) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!out.empty() && out.back() != ' ')
                out.push_back(' ');
            const unsigned b = byteAt(bytes, from + i);
            out.push_back(digits[b >> 4]);
            out.push_back(digits[b & 15]);
        }
    };
    std::string out;
    if (limit == 0 || length <= limit) {
        out.reserve(3 * length);
        run(offset, length, out);
        return out;
    }
    const std::size_t tail = 4, head = limit > tail ? limit - tail : 1;
    run(offset, head, out);
    out += " …";
    run(offset + length - tail, tail, out);
    out += " (" + std::to_string(length) + " bytes)";
    return out;
}

QString listing(const ByteString &bytes, const std::vector<Command> &commands)
{
    QString out;
    for (const Command &c : commands) {
        QString line = QStringLiteral("%1  %2  %3  [%4]\n")
                           .arg(static_cast<qulonglong>(c.offset), 6, 10, QLatin1Char('0'))
                           .arg(QString::fromStdString(c.name), -10)
                           .arg(c.meaning, QString::fromStdString(hexOf(bytes, c.offset, c.length, 24)));
        out += line;
    }
    return out;
}

} // namespace escpos
