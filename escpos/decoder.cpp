#include "escpos/decoderwalk.h"

#include <QStringDecoder>

#include <algorithm>

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
//   ESC *: m, dots across n, data bytes
//   ESC J / ESC K / ESC R / ESC { / ESC V / ESC SP / GS B / GS H / GS f / GS h
//     / GS w / GS r / GS a / GS I: n
//   ESC B: beeps n, time t; BEL: none
//   ESC $ / ESC \ / GS L / GS W: the value nL + 256 nH
//   ESC D: the tab stops, in order
//   GS P: x, y
//   GS k: m (the second form's number, 65-73, for both forms), data bytes;
//     Command::text holds the data
//   GS ( k: cn, fn and, for settings, its parameter bytes; a store's data
//     is in Command::text (Latin-1) and its length the last parameter
//   DLE ENQ: n; DLE DC4: fn and its parameter bytes

namespace escpos::detail {

// True when `length` bytes are there; otherwise the rest of the input
// becomes one truncated command.
bool Decoder::need(std::size_t length, const std::string &name)
{
    if (left() >= length)
        return true;
    add(Kind::Truncated, left(), name, Op::Truncated,
         Text::tr("cut short: %1 of %2 bytes").arg(left()).arg(static_cast<qulonglong>(length)));
    return false;
}

void Decoder::unknown(std::size_t length, const std::string &name)
{
    add(Kind::Unknown, length, name, Op::Unknown, fixedText(QT_TRANSLATE_NOOP("escpos", "unknown command")));
}

bool Decoder::startsText(std::size_t i) const
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

bool Decoder::startsCommand(unsigned b) const
{
    switch (b) {
    case kNul:
    case kLf:
    case kFf:
    case kCr:
    case kDle:
    case kCan:
    case kBel:
    case kHt:
    case kEsc:
    case kFs:
    case kGs:
    case kUs: return true;
    default: return false;
    }
}

void Decoder::step()
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
    case kCr: add(Kind::Command, 1, "CR", Op::CarriageReturn, fixedText(QT_TRANSLATE_NOOP("escpos", "carriage return"))); return;
    case kFf:
        add(Kind::Command, 1, "FF", Op::FormFeed,
            fixedText(QT_TRANSLATE_NOOP("escpos", "form feed (customer display: clear the display)")));
        return;
    case kCan:
        add(Kind::Command, 1, "CAN", Op::Cancel, fixedText(QT_TRANSLATE_NOOP("escpos", "cancel (customer display: clear the line)")));
        return;
    case kBel: add(Kind::Command, 1, "BEL", Op::Beep, fixedText(QT_TRANSLATE_NOOP("escpos", "beep")), {1, 0}); return;
    case kHt: add(Kind::Command, 1, "HT", Op::Tab, fixedText(QT_TRANSLATE_NOOP("escpos", "horizontal tab"))); return;
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

void Decoder::text()
{
    std::size_t end = pos;
    QString shown;
    std::size_t plainFrom = pos;
    auto flushPlain = [&](std::size_t upTo) {
        if (upTo > plainFrom) {
            const bool ascii = std::all_of(s.begin() + static_cast<std::ptrdiff_t>(plainFrom),
                                           s.begin() + static_cast<std::ptrdiff_t>(upTo),
                                           [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
            if (chinese && !ascii) {
                // One decoder a walk: making one costs more than a short run.
                if (!gb)
                    gb = std::make_unique<QStringDecoder>("GB2312");
                gb->resetState();
                shown += gb->decode(QByteArrayView(s.data() + plainFrom, static_cast<qsizetype>(upTo - plainFrom)));
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
    // The text's own "%" must not count as a place: each place is filled once.
    auto fill = [](QString t, const QString &first, const QString &second) {
        const qsizetype one = t.indexOf(QLatin1String("%1")), two = t.indexOf(QLatin1String("%2"));
        if (two >= 0 && two > one)
            t.replace(two, 2, second);
        if (one >= 0)
            t.replace(one, 2, first);
        if (two >= 0 && two < one)
            t.replace(two, 2, second);
        return t;
    };
    Command &c = add(Kind::Text, length, "text", Op::Text,
                      length == 1 ? fill(fixedText(QT_TRANSLATE_NOOP("escpos", "text \"%1\" (1 byte)")), preview, {})
                                  : fill(fixedText(QT_TRANSLATE_NOOP("escpos", "text \"%1\" (%2 bytes)")), preview,
                                         QString::number(length)));
    c.text = shown;
}

} // namespace escpos::detail

namespace escpos {

using detail::Decoder;

void decodeEach(const ByteString &bytes, const Options &options, const std::function<bool(const Command &)> &each)
{
    Decoder(bytes, options, each).run();
}

std::vector<Command> decode(const ByteString &bytes, const Options &options)
{
    std::vector<Command> out;
    decodeEach(bytes, options, [&](const Command &c) {
        out.push_back(c);
        return true;
    });
    return out;
}

bool clean(const std::vector<Command> &commands)
{
    for (const Command &c : commands)
        if (!known(c))
            return false;
    return true;
}

namespace {

// Appends "1B 70 00"; with a limit, a longer run shows its first bytes, "…",
// its last four and its length.
void appendHex(std::string &out, const ByteString &bytes, std::size_t offset, std::size_t length, std::size_t limit)
{
    static const char digits[] = "0123456789ABCDEF";
    offset = std::min(offset, bytes.size());
    length = std::min(length, bytes.size() - offset);
    auto run = [&](std::size_t from, std::size_t count, bool first) {
        char piece[96];
        std::size_t i = 0;
        while (i < count) {
            char *p = piece;
            for (; i < count && p + 3 <= piece + sizeof piece; ++i) {
                if (i > 0 || !first)
                    *p++ = ' ';
                const unsigned b = byteAt(bytes, from + i);
                *p++ = digits[b >> 4];
                *p++ = digits[b & 15];
            }
            out.append(piece, static_cast<std::size_t>(p - piece));
        }
    };
    if (limit == 0 || length <= limit) {
        run(offset, length, true);
        return;
    }
    const std::size_t tail = 4, head = limit > tail ? limit - tail : 1;
    run(offset, head, true);
    out += " …";
    run(offset + length - tail, tail, false);
    out += " (" + std::to_string(length) + " bytes)";
}

} // namespace

std::string hexOf(const ByteString &bytes, std::size_t offset, std::size_t length, std::size_t limit)
{
    std::string out;
    appendHex(out, bytes, offset, length, limit);
    return out;
}

void appendListingLine(std::string &out, const ByteString &bytes, const Command &c)
{
    // Written by hand as UTF-8 into the caller's buffer: number formatting
    // and the conversions of a QString line were most of the time of a long
    // listing, which can have a line for every byte.
    //
    // Long runs of one kind of command share one meaning text: its UTF-8 is
    // made once. The held copy keeps the shared text alive, so the same
    // data pointer is the same text.
    thread_local QString lastMeaning;
    thread_local std::string lastUtf8;
    if (c.meaning.constData() != lastMeaning.constData() || c.meaning.size() != lastMeaning.size()) {
        lastMeaning = c.meaning;
        lastUtf8.clear();
        bool ascii = true;
        for (const QChar ch : c.meaning) {
            if (ch.unicode() >= 0x80) {
                ascii = false;
                break;
            }
            lastUtf8.push_back(static_cast<char>(ch.unicode()));
        }
        if (!ascii)
            lastUtf8 = c.meaning.toStdString();
    }
    char digits[24];
    int n = 0;
    for (unsigned long long v = c.offset; v > 0 || n < 6; v /= 10)
        digits[n++] = static_cast<char>('0' + v % 10);
    const std::size_t name = std::max<std::size_t>(c.name.size(), 10);
    const std::size_t head = static_cast<std::size_t>(n) + 2 + name + 2 + lastUtf8.size() + 3;
    // Most lines are put together on the stack and appended once; a string
    // grown in place fills every new byte before it is written.
    char stack[256];
    std::string big;
    char *const start = head <= sizeof stack ? stack : (big.resize(head), big.data());
    char *p = start;
    while (n > 0)
        *p++ = digits[--n];
    *p++ = ' ', *p++ = ' ';
    p = std::copy(c.name.begin(), c.name.end(), p);
    p = std::fill_n(p, name - c.name.size(), ' ');
    *p++ = ' ', *p++ = ' ';
    p = std::copy(lastUtf8.begin(), lastUtf8.end(), p);
    *p++ = ' ', *p++ = ' ', *p++ = '[';
    out.append(start, static_cast<std::size_t>(p - start));
    appendHex(out, bytes, c.offset, c.length, 24);
    out += "]\n";
}

QString listingLine(const ByteString &bytes, const Command &c)
{
    std::string line;
    appendListingLine(line, bytes, c);
    return QString::fromStdString(line);
}

QString listing(const ByteString &bytes, const std::vector<Command> &commands)
{
    QString out;
    for (const Command &c : commands)
        out += listingLine(bytes, c);
    return out;
}

bool writeListing(const ByteString &bytes, QTextStream &out, const Options &options)
{
    bool whole = true;
    decodeEach(bytes, options, [&](const Command &c) {
        whole = whole && known(c);
        out << listingLine(bytes, c);
        return true;
    });
    return whole;
}

bool writeListing(const ByteString &bytes, std::FILE *out, const Options &options)
{
    constexpr std::size_t kChunk = 64 * 1024;
    bool whole = true, written = true;
    std::string buffer;
    buffer.reserve(kChunk + 256);
    decodeEach(bytes, options, [&](const Command &c) {
        whole = whole && known(c);
        appendListingLine(buffer, bytes, c);
        if (buffer.size() >= kChunk) {
            written = written && std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
            buffer.clear();
        }
        return true;
    });
    written = written && std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
    (void)written; // the caller checks the stream at its end
    return whole;
}

} // namespace escpos
