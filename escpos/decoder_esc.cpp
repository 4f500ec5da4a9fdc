// ESC and FS commands: print modes, the cash drawer, the customer display,
// the NV bit images and Chinese mode.
#include "escpos/decoderwalk.h"

#include "logo/blackmark.h"

namespace escpos::detail {

void Decoder::escape()
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
    default:
        if (!escapeCommon(c, name))
            unknown(2, name);
        return;
    }
}

void Decoder::oneParameter(const std::string &name, unsigned c)
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
        meaning = Text::tr("print mode: %1").arg(parts.join(Text::tr(", ")));
        break;
    }
    case 'M':
        op = Op::Font;
        meaning = (n == 1 || n == '1') ? Text::tr("font B (9 × 17)") : Text::tr("font A (12 × 24)");
        break;
    case 't':
        // A single-byte table: its bytes no longer pair up as GB2312.
        op = Op::CodePage;
        meaning = Text::tr("character code table %1").arg(n);
        chinese = false;
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
void Decoder::defineNv(std::size_t prefix)
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

void Decoder::printNv(std::size_t prefix)
{
    const std::string name = prefix ? "ESC FS p" : "FS p";
    if (!need(prefix + 4, name))
        return;
    const long n = at(pos + prefix + 2), m = at(pos + prefix + 3);
    add(Kind::Command, prefix + 4, name, Op::PrintNvBitImage,
         Text::tr("print NV bit image %1, %2").arg(n).arg(scalingName(m)), {n, m});
}

void Decoder::fileSeparator()
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

} // namespace escpos::detail
