#pragma once
// The decoder's inside, private to escpos/: one class that walks the bytes,
// with the command families in their own files (decoder.cpp: text, the
// single bytes and the walk; decoder_esc.cpp: ESC and FS; decoder_gs.cpp: GS,
// DLE and the configuration family).
#include "escpos/decoder.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace escpos::detail {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(escpos)
};

inline constexpr unsigned kNul = 0x00, kEnq = 0x05, kBel = 0x07, kHt = 0x09, kLf = 0x0A, kFf = 0x0C, kCr = 0x0D,
                   kDle = 0x10, kDc4 = 0x14, kCan = 0x18, kEsc = 0x1B, kFs = 0x1C, kGs = 0x1D, kUs = 0x1F;

inline bool isGbLead(unsigned b) { return b >= 0xA1 && b <= 0xF7; }
inline bool isGbTrail(unsigned b) { return b >= 0xA1 && b <= 0xFE; }

// The second byte of a command as manuals write it: "p", "(", "FF", "0x05".
inline std::string letter(unsigned b)
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

inline QString scalingName(long m)
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

// Walks the bytes and hands each command on as soon as it is whole: the
// walk keeps one command, whatever the length of the input.
class Decoder {
public:
    Decoder(const ByteString &bytes, const Options &options, const std::function<bool(const Command &)> &each)
        : s(bytes), chinese(options.chineseMode), sink(each)
    {
    }

    void run()
    {
        while (pos < s.size() && !stopped)
            step();
        handOn();
    }

private:
    const ByteString &s;
    bool chinese;
    const std::function<bool(const Command &)> &sink;
    bool stopped = false;
    std::size_t pos = 0;
    Command current; // the command last added: its adder may still fill it in
    bool holding = false;
    // Fixed meanings looked up once a walk: garbage can be millions of
    // commands, and a catalogue look-up costs more than the rest of one.
    std::vector<std::pair<const char *, QString>> fixedTexts;
    std::unique_ptr<QStringDecoder> gb; // GB2312, made at its first use
    const QString &fixedText(const char *source)
    {
        for (const auto &t : fixedTexts)
            if (t.first == source)
                return t.second;
        fixedTexts.emplace_back(source, Text::tr(source));
        return fixedTexts.back().second;
    }

    void handOn()
    {
        if (holding && !stopped)
            stopped = !sink(current);
        holding = false;
    }

    unsigned at(std::size_t i) const { return byteAt(s, i); }
    std::size_t left() const { return s.size() - pos; }

    Command &add(Kind kind, std::size_t length, std::string name, Op op, QString meaning,
                  std::vector<long> params = {})
    {
        handOn();
        // Filled in place: a fresh command for each of millions costs more
        // than the walk itself.
        Command &c = current;
        c.text.clear();
        c.setting = Setting::PaperWidth;
        c.offset = pos;
        c.length = length;
        c.kind = kind;
        c.name = std::move(name);
        c.op = op;
        c.params = std::move(params);
        c.meaning = std::move(meaning);
        holding = true;
        pos += length;
        return c;
    }

    // True when `length` bytes are there; otherwise the rest of the input
    // becomes one truncated command.
    bool need(std::size_t length, const std::string &name);
    void unknown(std::size_t length, const std::string &name);
    bool startsText(std::size_t i) const;
    bool startsCommand(unsigned b) const;
    void step();
    std::size_t runOf(unsigned b) const
    {
        std::size_t end = pos;
        while (end < s.size() && at(end) == b)
            ++end;
        return end - pos;
    }

    void text();
    void escape();
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

    void oneParameter(const std::string &name, unsigned c);

    // FS q and ESC FS q: image count, then for each image its size and data;
    // the program's downloads close with one byte 01, read as part of it.
    void defineNv(std::size_t prefix);
    void printNv(std::size_t prefix);
    void fileSeparator();
    void groupSeparator();
    void cut(const std::string &name);

    // GS ( x pL pH ...: the length says how far it reaches, known or not.
    void extended();
    void dataLinkEscape();

    // 1F 1B 1F, a feature code and (but for printing the H parameter) a value.
    void configuration();

    // The common ESC/POS vocabulary beyond the program's own commands.
    bool escapeCommon(unsigned c, const std::string &name);
    bool groupCommon(unsigned c, const std::string &name);
    void columnImage(const std::string &name);
    void byteValue(const std::string &name, Op op, const QString &meaning);
    void twoByteValue(const std::string &name, Op op, const QString &meaning);
    void tabStops(const std::string &name);
    void barcode(const std::string &name);
    void symbol(std::size_t p);
    void realTime(unsigned c);
};

} // namespace escpos::detail
