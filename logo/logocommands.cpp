#include "logo/logocommands.h"

#include "core/controlbytes.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

using namespace ctl;

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Tnvf)
};

std::string hex2(int b)
{
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02X", b & 0xFF);
    return buf;
}

std::string hexNoLeadingZeros(std::uint32_t v)
{
    char buf[9];
    std::snprintf(buf, sizeof buf, "%X", v);
    return buf;
}

void appendGeometry(ByteString &s, const Geometry &g)
{
    appendByte(s, g.xL);
    appendByte(s, g.xH);
    appendByte(s, g.yL);
    appendByte(s, g.yH);
}

} // namespace

Geometry nvDownloadGeometry(const Picture &pic, int leftOffset)
{
    return geometryOf(pic.width - leftOffset, pic.height + 1);
}

ByteString buildNvDownload(const Picture &pic, Dialect dialect, int leftOffset, std::int32_t threshold)
{
    const Geometry g = nvDownloadGeometry(pic, leftOffset);
    ByteString s{ESC, '@'};
    if (dialect == Dialect::Normal)
        s += ByteString{GS, 'T', FS, 'q', 1};
    else
        s += ByteString{ESC, FS, 'q', 1};
    appendGeometry(s, g);
    s += packColumns(pic, 0, 8 * g.bytesW, 0, 8 * g.bytesH, leftOffset, threshold);
    s.push_back(1);
    return s;
}

ByteString buildNvPrint(Dialect dialect, int scaling)
{
    const char m = static_cast<char>('0' + std::clamp(scaling, 0, 3));
    if (dialect == Dialect::Normal)
        return ByteString{ESC, '@', ESC, 'a', 1, GS, 'T', FS, 'p', 1, m, ESC, '@'};
    return ByteString{ESC, '@', ESC, GS, 'a', 1, ESC, FS, 'p', 1, m, ESC, '@'};
}

ByteString buildNvClear(Dialect dialect)
{
    ByteString s = dialect == Dialect::Star ? ByteString{ESC} : ByteString{};
    s += ByteString{FS, 'q', 1, 1, 0, 1, 0};
    s.append(8, NUL);
    s.push_back(1);
    return s;
}

std::string scrambleHex(const std::string &twoDigits)
{
    const int value = static_cast<int>(std::stoul(twoDigits, nullptr, 16));
    const int t = value - kScrambleOffset;
    // A negative difference is written as its 32-bit two's complement.
    std::string text = hexNoLeadingZeros(static_cast<std::uint32_t>(t));
    const int keys[] = {kScrambleKey};
    for (int key : keys) {
        std::string next;
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            const auto pair = static_cast<std::uint32_t>(std::stoul(text.substr(i, 2), nullptr, 16));
            next += hexNoLeadingZeros(pair ^ static_cast<std::uint32_t>(key));
        }
        text = next;
    }
    return text.size() > 2 ? text.substr(text.size() - 2) : text;
}

std::string buildExportText(const Picture &pic, bool scrambled)
{
    const Geometry g = geometryOf(pic.width, pic.height);
    std::string text;
    const ByteString data = packColumns(pic, 0, 8 * g.bytesW, 0, 8 * g.bytesH, 0, kDefaultThreshold);
    text.reserve((data.size() + 8) * 6);
    auto value = [&](int b) {
        text += ",0x";
        text += scrambled ? scrambleHex(hex2(b)) : hex2(b);
    };
    for (int b : {0x1C, 0x71, 0x01, g.xL, g.xH, g.yL, g.yH})
        value(b);
    for (char c : data)
        value(static_cast<std::uint8_t>(c));
    value(0x01);

    // Lines of ten values: the line head goes in before character 1, 58,
    // 115, ... (counted from 1) while that position is inside the text.
    static const std::string head = "\r\n.db  ";
    std::string lined;
    lined.reserve(text.size() + (text.size() / 50 + 2) * head.size());
    std::size_t length = text.size();
    std::size_t taken = 0;
    for (std::size_t pos = 1; pos < length; pos += 57) {
        // Positions count in the growing text; each head already inserted
        // moves the original characters right by its length.
        const std::size_t inserted = (pos - 1) / 57 * head.size();
        const std::size_t at = pos - 1 - inserted; // index into the original text
        lined.append(text, taken, at - taken);
        lined += head;
        taken = at;
        length += head.size();
    }
    lined.append(text, taken, std::string::npos);

    std::string out;
    out.reserve(lined.size());
    for (std::size_t i = 0; i < lined.size(); ++i) {
        if (lined[i] == ' ' && i + 1 < lined.size() && lined[i + 1] == ',') {
            ++i; // the pair goes
            continue;
        }
        out.push_back(lined[i]);
    }
    return out;
}

BitImageSize bitImageSize(const Picture &pic, int sizeCap)
{
    const Geometry g = geometryOf(pic.width, pic.height);
    BitImageSize s{std::min(g.bytesW, 255), std::min(g.bytesH, 48)};
    const int size = s.x * s.y;
    if (sizeCap < size)
        s.y = s.x > 0 ? std::max(sizeCap, 0) / s.x : 0;
    return s;
}

namespace {

ByteString defineHeader(BitImageSize shown, BitImageSize sent)
{
    ByteString s = "xL=" + std::to_string(shown.x) + ";yL=" + std::to_string(shown.y);
    s += ByteString{LF, GS, '*'};
    appendByte(s, sent.x);
    appendByte(s, sent.y);
    return s;
}

} // namespace

ByteString buildBitImageDefine(const Picture &pic, BitImageSize size, int leftOffset)
{
    ByteString s = defineHeader(size, size);
    s += packColumns(pic, 0, 8 * size.x, 0, 8 * size.y, leftOffset, kDefaultThreshold);
    return s;
}

bool marginsFit(BitImageSize size, const Margins &m)
{
    if (m.left < 0 || m.right < 0 || m.top < 0 || m.bottom < 0)
        return false;
    if ((m.left + m.right) % 8 != 0 || (m.top + m.bottom) % 8 != 0)
        return false;
    return m.left + m.right < 8 * size.x && m.top + m.bottom < 8 * size.y;
}

ByteString buildBitImageDefineTrimmed(const Picture &pic, BitImageSize size, const Margins &m, int leftOffset)
{
    const BitImageSize trimmed{size.x - (m.left + m.right) / 8, size.y - (m.top + m.bottom) / 8};
    ByteString s = defineHeader(size, trimmed);
    s += packColumns(pic, m.left, 8 * size.x - m.right - m.left, m.top, 8 * size.y - m.bottom - m.top, leftOffset,
                     kDefaultThreshold);
    return s;
}

ByteString buildBitImagePrint() { return ByteString{ESC, 'a', 0, GS, '/', 0, LF}; }

ByteString buildBitImagePrintFourSizes() { return ByteString{GS, '/', 0, GS, '/', 1, GS, '/', 2, GS, '/', 3}; }

SelfTestReadouts selfTestReadouts(const Picture &pic)
{
    const Geometry g = geometryOf(pic.width, pic.height);
    return {g.bytesW % 256, g.bytesW / 256, pic.height % 256, pic.height / 256, g.bytesW * pic.height};
}

ByteString buildSelfTestPage(const Picture &pic, int paddingBytes)
{
    const Geometry g = geometryOf(pic.width, pic.height);
    ByteString raster{GS, 'v', '0', '0'};
    appendLowHigh(raster, g.bytesW);
    appendLowHigh(raster, pic.height);
    raster += packRows(pic, pic.height, g.bytesW, kDefaultThreshold);
    raster.push_back(LF);

    ByteString s{ESC, '@', ESC, 'a', 0x31, ESC, '!', 0x30};
    s.reserve(2 * raster.size() + static_cast<std::size_t>(std::max(paddingBytes, 0)) + 1024);
    s += "Selftest";
    s += ByteString{LF, LF};
    s += raster;
    s += ByteString{ESC, 'a', 0x30};
    if (paddingBytes > 0)
        s.append(static_cast<std::size_t>(paddingBytes), NUL);
    s += ByteString{ESC, '!', NUL};
    auto lines = [&s](int count, int first) {
        for (int r = 0; r < 5; ++r) {
            for (int i = 0; i < count; ++i)
                appendByte(s, first + r + i);
            s.push_back(LF);
        }
        s.push_back(LF);
    };
    lines(42, 0x21);
    s += ByteString{ESC, '!', 1};
    lines(56, 0x21);
    for (int r = 0; r < 5; ++r) {
        for (int i = 0; i < 21; ++i) {
            appendByte(s, 0xB0);
            appendByte(s, 0xA1 + r + i);
        }
        s.push_back(LF);
    }
    s.push_back(LF);
    s += ByteString{ESC, 'a', 0x31};
    s += raster;
    s += ByteString{ESC, '!', 0x28};
    s += "*** Completed ***";
    s.push_back(LF);
    s.append(7, LF);
    s += ByteString{ESC, 'r', NUL, ESC, 'i', ESC, '@'};
    return s;
}

QString nvTooLargeText() { return Text::tr("BMP图形太大，不能下载！请重新选择!"); }
QString marginsRefusedText()
{
    return Text::tr("去空点的边距无效：左右边距之和、上下边距之和都必须是 8 的倍数，且不能超出位图。");
}
QString nvDownloadedText() { return Text::tr("恭喜！！NV Logo 下载成功！"); }
QString bitImageDefinedText() { return Text::tr("恭喜！！定义下载位图成功！"); }
