// GS, DLE and configuration commands: sizes, bit images, cuts, black marks,
// status requests and the settings.
#include "escpos/decoderwalk.h"

#include "logo/blackmark.h"
#include "settings/configcommands.h"

#include <algorithm>

namespace escpos::detail {

void Decoder::groupSeparator()
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
    default:
        if (!groupCommon(c, name))
            unknown(2, name);
        return;
    }
}

void Decoder::cut(const std::string &name)
{
    if (!need(3, name))
        return;
    const long m = at(pos + 2);
    if (m == 0 || m == '0' || m == 1 || m == '1') {
        const bool full = m == 0 || m == '0';
        add(Kind::Command, 3, name, full ? Op::FullCut : Op::PartialCut, full ? Text::tr("full cut") : Text::tr("partial cut"), {m});
        return;
    }
    if (m == 65 || m == 66 || m == 97 || m == 98 || m == 103 || m == 104) {
        if (!need(4, name))
            return;
        const long n = at(pos + 3);
        const bool full = m == 65 || m == 97 || m == 103;
        add(Kind::Command, 4, name, full ? Op::FullCutAfterFeed : Op::PartialCutAfterFeed,
             (full ? Text::tr("full cut after feeding %1 units") : Text::tr("partial cut after feeding %1 units")).arg(n),
             {m, n});
        return;
    }
    unknown(3, name);
}

// GS ( x pL pH ...: the length says how far it reaches, known or not.
void Decoder::extended()
{
    if (!need(5, "GS ("))
        return;
    const unsigned fn = at(pos + 2);
    const std::string name = "GS ( " + letter(fn);
    const std::size_t p = at(pos + 3) + 256u * at(pos + 4);
    if (!need(5 + p, name))
        return;
    if (fn == 'k') {
        symbol(p);
        return;
    }
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

void Decoder::dataLinkEscape()
{
    if (!need(2, "DLE"))
        return;
    if (at(pos + 1) == kEnq || at(pos + 1) == kDc4) {
        realTime(at(pos + 1));
        return;
    }
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
void Decoder::configuration()
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

} // namespace escpos::detail
