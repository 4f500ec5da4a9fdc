// The common vocabulary of Epson-compatible receipt printers beyond the
// program's own commands: column images, feeds, beeps, positions and tabs,
// barcodes, two-dimensional symbols and the status and real-time requests
// that point-of-sale programs send.
#include "escpos/decoderwalk.h"

namespace escpos::detail {

namespace {

// GS k: the symbologies by the number of the second form (65-73).
const char *symbologyName(long m)
{
    switch (m) {
    case 65: return "UPC-A";
    case 66: return "UPC-E";
    case 67: return "EAN-13";
    case 68: return "EAN-8";
    case 69: return "CODE39";
    case 70: return "ITF";
    case 71: return "CODABAR";
    case 72: return "CODE93";
    case 73: return "CODE128";
    default: break;
    }
    return nullptr;
}

QString hriPosition(long n)
{
    switch (n) {
    case 0:
    case '0': return Text::tr("not printed");
    case 1:
    case '1': return Text::tr("above the bars");
    case 2:
    case '2': return Text::tr("below the bars");
    case 3:
    case '3': return Text::tr("above and below the bars");
    default: break;
    }
    return Text::tr("%1 (undefined)").arg(n);
}

} // namespace

bool Decoder::escapeCommon(unsigned c, const std::string &name)
{
    auto one = [&](Op op, const QString &meaning) { byteValue(name, op, meaning); };
    switch (c) {
    case '*': columnImage(name); return true;
    case '2': add(Kind::Command, 2, name, Op::DefaultLineSpacing, Text::tr("default line spacing")); return true;
    case 'J': one(Op::FeedDots, Text::tr("print and feed %1 units")); return true;
    case 'K': one(Op::ReverseFeed, Text::tr("print and feed back %1 units")); return true;
    case 'e': one(Op::ReverseFeed, Text::tr("print and feed back %1 lines")); return true;
    case 'm': add(Kind::Command, 2, name, Op::PartialCut, Text::tr("partial cut (one point left)")); return true;
    case 'R': one(Op::InternationalSet, Text::tr("international character set %1")); return true;
    case '{': one(Op::UpsideDown, Text::tr("upside-down printing: %1")); return true;
    case 'V': one(Op::Rotate90, Text::tr("90° rotation: %1")); return true;
    case ' ': byteValue("ESC SP", Op::CharacterSpacing, Text::tr("right-side character spacing: %1 units")); return true;
    case 'G': one(Op::Emphasis, Text::tr("double-strike: %1")); return true;
    case '=': one(Op::Nothing, Text::tr("select peripheral device %1")); return true;
    case 'c':
        // ESC c 3 n, ESC c 4 n, ESC c 5 n: paper sensors and panel buttons.
        if (!need(4, name))
            return true;
        add(Kind::Command, 4, name + " " + letter(at(pos + 2)), Op::Nothing,
            Text::tr("panel or paper sensor setting %1").arg(long(at(pos + 3))), {long(at(pos + 2)), long(at(pos + 3))});
        return true;
    case 'B': {
        if (!need(4, name))
            return true;
        const long n = at(pos + 2), t = at(pos + 3);
        add(Kind::Command, 4, name, Op::Beep, Text::tr("beep %1 times, %2 × 50 ms each").arg(n).arg(t), {n, t});
        return true;
    }
    case '$': twoByteValue(name, Op::AbsolutePosition, Text::tr("absolute print position: %1 units")); return true;
    case '\\': twoByteValue(name, Op::RelativePosition, Text::tr("relative print position: %1 units")); return true;
    case 'D': tabStops(name); return true;
    default: break;
    }
    return false;
}

bool Decoder::groupCommon(unsigned c, const std::string &name)
{
    auto one = [&](Op op, const QString &meaning) { byteValue(name, op, meaning); };
    switch (c) {
    case 'B': one(Op::Reverse, Text::tr("white/black reverse printing: %1")); return true;
    case 'H':
        if (need(3, name))
            add(Kind::Command, 3, name, Op::BarcodeHriPosition, Text::tr("barcode text: %1").arg(hriPosition(at(pos + 2))),
                {long(at(pos + 2))});
        return true;
    case 'f': one(Op::BarcodeHriFont, Text::tr("barcode text font %1")); return true;
    case 'h': one(Op::BarcodeHeight, Text::tr("barcode height: %1 dots")); return true;
    case 'w': one(Op::BarcodeModuleWidth, Text::tr("barcode module width: %1 dots")); return true;
    case 'k': barcode(name); return true;
    case 'r': one(Op::TransmitStatus, Text::tr("transmit status %1")); return true;
    case 'a': one(Op::AutoStatusBack, Text::tr("automatic status back: mask %1")); return true;
    case 'I': one(Op::TransmitPrinterId, Text::tr("transmit printer ID %1")); return true;
    case 'L': twoByteValue(name, Op::LeftMargin, Text::tr("left margin: %1 units")); return true;
    case 'W': twoByteValue(name, Op::PrintAreaWidth, Text::tr("print area width: %1 units")); return true;
    case 'P': {
        if (!need(4, name))
            return true;
        const long x = at(pos + 2), y = at(pos + 3);
        add(Kind::Command, 4, name, Op::MotionUnits, Text::tr("motion units: 1/%1 inch across, 1/%2 inch down").arg(x).arg(y),
            {x, y});
        return true;
    }
    default: break;
    }
    return false;
}

// ESC * m nL nH: n columns of one byte (8-dot densities) or three (24-dot).
void Decoder::columnImage(const std::string &name)
{
    if (!need(5, name))
        return;
    const long m = at(pos + 2), n = long(at(pos + 3)) + 256 * long(at(pos + 4));
    if (m != 0 && m != 1 && m != 32 && m != 33) {
        unknown(5, name);
        return;
    }
    const std::size_t data = static_cast<std::size_t>(n) * (m >= 32 ? 3u : 1u);
    if (!need(5 + data, name))
        return;
    const int dots = m >= 32 ? 24 : 8;
    const QString density = (m & 1) ? Text::tr("double density") : Text::tr("single density");
    add(Kind::Command, 5 + data, name, Op::ColumnBitImage,
        Text::tr("bit image, %1 dots high, %2: %3 columns").arg(dots).arg(density).arg(n), {m, n, long(data)});
}

void Decoder::byteValue(const std::string &name, Op op, const QString &meaning)
{
    if (!need(3, name))
        return;
    const long n = at(pos + 2);
    add(Kind::Command, 3, name, op, meaning.arg(n), {n});
}

void Decoder::twoByteValue(const std::string &name, Op op, const QString &meaning)
{
    if (!need(4, name))
        return;
    const long v = long(at(pos + 2)) + 256 * long(at(pos + 3));
    add(Kind::Command, 4, name, op, meaning.arg(v), {v});
}

// ESC D n1 … nk NUL: at most 32 stops, each past the one before.
void Decoder::tabStops(const std::string &name)
{
    std::size_t end = pos + 2;
    while (end < s.size() && at(end) != 0 && end - pos - 2 < 32)
        ++end;
    if (end >= s.size()) {
        need(left() + 1, name);
        return;
    }
    std::vector<long> stops;
    QStringList shown;
    for (std::size_t i = pos + 2; i < end; ++i) {
        stops.push_back(at(i));
        shown << QString::number(at(i));
    }
    // Without its NUL (more than 32 stops) the list ends where the printer stops reading.
    const std::size_t length = end - pos + (at(end) == 0 ? 1 : 0);
    add(Kind::Command, length, name, Op::TabStops,
        stops.empty() ? Text::tr("clear the tab stops") : Text::tr("tab stops at %1 characters").arg(shown.join(QStringLiteral(", "))),
        stops);
}

// GS k m d1 … dk NUL (m 0-6) or GS k m n d1 … dn (m 65-73).
void Decoder::barcode(const std::string &name)
{
    if (!need(3, name))
        return;
    const long m = at(pos + 2);
    if (m <= 6) {
        const long form = m + 65;
        const std::size_t from = pos + 3, nul = s.find('\0', from);
        if (nul == std::string::npos) {
            need(left() + 1, name);
            return;
        }
        // The NUL that ends the data is part of the command.
        const QString data = QString::fromLatin1(s.data() + from, static_cast<qsizetype>(nul - from));
        const char *kind = symbologyName(form);
        Command &c = add(Kind::Command, nul - pos + 1, name, Op::Barcode,
                         Text::tr("barcode %1: \"%2\"").arg(QLatin1String(kind), data), {form, long(nul - from)});
        c.text = data;
        return;
    }
    if (!symbologyName(m) || !need(4, name)) {
        if (!symbologyName(m))
            unknown(3, name);
        return;
    }
    const std::size_t n = at(pos + 3);
    if (!need(4 + n, name))
        return;
    const QString data = QString::fromLatin1(s.data() + pos + 4, static_cast<qsizetype>(n));
    Command &c = add(Kind::Command, 4 + n, name, Op::Barcode,
                     Text::tr("barcode %1: \"%2\"").arg(QLatin1String(symbologyName(m)), data), {m, long(n)});
    c.text = data;
}

// GS ( k pL pH cn fn …: QR code (cn 49) and PDF417 (cn 48).
void Decoder::symbol(std::size_t p)
{
    const std::string name = "GS ( k";
    if (p < 2) {
        unknown(5 + p, name);
        return;
    }
    const long cn = at(pos + 5), fn = at(pos + 6);
    const char *kind = cn == 49 ? "QR" : cn == 48 ? "PDF417" : nullptr;
    if (!kind) {
        unknown(5 + p, name);
        return;
    }
    const QString what = QLatin1String(kind);
    if (fn == 80) { // store the data: m, then the data
        const std::size_t data = p >= 3 ? p - 3 : 0;
        const QString text = QString::fromLatin1(s.data() + pos + 8, static_cast<qsizetype>(data));
        Command &c = add(Kind::Command, 5 + p, name, Op::SymbolStore,
                         Text::tr("%1: store %2 bytes of data").arg(what).arg(static_cast<qulonglong>(data)), {cn, fn, long(data)});
        c.text = text;
        return;
    }
    if (fn == 81) {
        add(Kind::Command, 5 + p, name, Op::SymbolPrint, Text::tr("%1: print the stored symbol").arg(what), {cn, fn});
        return;
    }
    if (fn == 82) {
        add(Kind::Command, 5 + p, name, Op::SymbolSizeRequest, Text::tr("%1: transmit the size of the stored symbol").arg(what),
            {cn, fn});
        return;
    }
    std::vector<long> params{cn, fn};
    for (std::size_t i = 2; i < p; ++i)
        params.push_back(at(pos + 5 + i));
    const long v = p > 2 ? at(pos + 7) : 0;
    QString meaning;
    if (cn == 49) {
        switch (fn) {
        case 65: meaning = Text::tr("QR: model %1").arg(v == 49 ? 1 : v == 50 ? 2 : v == 51 ? 3 : v); break;
        case 67: meaning = Text::tr("QR: module size %1 dots").arg(v); break;
        case 69: {
            static const char levels[] = {'L', 'M', 'Q', 'H'};
            meaning = v >= 48 && v <= 51 ? Text::tr("QR: error correction level %1").arg(QLatin1Char(levels[v - 48]))
                                         : Text::tr("QR: error correction %1 (undefined)").arg(v);
            break;
        }
        default: meaning = Text::tr("QR: function %1").arg(fn); break;
        }
    } else {
        switch (fn) {
        case 65: meaning = Text::tr("PDF417: %1 columns").arg(v); break;
        case 66: meaning = Text::tr("PDF417: %1 rows").arg(v); break;
        case 67: meaning = Text::tr("PDF417: module width %1 dots").arg(v); break;
        case 68: meaning = Text::tr("PDF417: row height %1 × the module width").arg(v); break;
        case 69: meaning = Text::tr("PDF417: error correction %1").arg(p > 3 ? long(at(pos + 8)) : v); break;
        case 70: meaning = Text::tr("PDF417: options %1").arg(v); break;
        default: meaning = Text::tr("PDF417: function %1").arg(fn); break;
        }
    }
    add(Kind::Command, 5 + p, name, Op::SymbolSetting, meaning, params);
}

// DLE ENQ n, and DLE DC4 fn …: requests the printer answers at once.
void Decoder::realTime(unsigned c)
{
    if (c == kEnq) {
        if (!need(3, "DLE ENQ"))
            return;
        const long n = at(pos + 2);
        add(Kind::Command, 3, "DLE ENQ", Op::RealTimeRequest, Text::tr("real-time request %1").arg(n), {n});
        return;
    }
    const std::string name = "DLE DC4";
    if (!need(3, name))
        return;
    const long fn = at(pos + 2);
    std::size_t length = 0;
    QString meaning;
    switch (fn) {
    case 1: length = 5; meaning = Text::tr("real-time pulse"); break;
    case 2: length = 5; meaning = Text::tr("real-time power-off"); break;
    case 7: length = 4; meaning = Text::tr("transmit the status at once"); break;
    case 8: length = 10; meaning = Text::tr("clear the buffers"); break;
    default: unknown(3, name); return;
    }
    if (!need(length, name))
        return;
    std::vector<long> params;
    for (std::size_t i = 2; i < length; ++i)
        params.push_back(at(pos + i));
    add(Kind::Command, length, name, Op::RealTimeCommand, meaning, params);
}

} // namespace escpos::detail
