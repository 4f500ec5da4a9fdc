#include "core/basiccommands.h"

#include "core/controlbytes.h"

using namespace ctl;

ByteString buildTestPrint(int repeat, const bool (&widths)[3])
{
    ByteString s{ESC, '@', ESC, 'U', NUL, ESC, '3', 14};
    for (int n = 0; n < repeat; ++n)
        for (int i = 0; i < 3; ++i)
            if (widths[i]) {
                s.append(static_cast<std::size_t>(kTestPrintWidths[i]), 'H');
                s.push_back(LF);
            }
    s += ByteString{ESC, '@', ESC, 'd', 6};
    return s;
}

ByteString buildCashDrawer() { return ByteString{ESC, 'p', NUL, 50, 50, CR}; }

ByteString buildCut() { return ByteString{GS, 'V', 66, 24}; }

ByteString configPrefix() { return ByteString{US, ESC, US}; }

ByteString buildConfigCommand(const ByteString &featureCode, int value)
{
    ByteString s = configPrefix() + featureCode;
    appendByte(s, value);
    return s;
}

ByteString buildPrintHParameter() { return configPrefix() + bytes({0xFB}) + ByteString{ESC, 'd', 6}; }

ByteString buildSetHParameter(int value) { return buildConfigCommand(bytes({0xFC}), value); }

ByteString buildPrintCodePage()
{
    ByteString upper;
    for (int b = 0x80; b <= 0xFF; ++b)
        appendByte(upper, b);
    ByteString s{ESC, '@', FS, '.', ESC, '!', NUL};
    s += upper;
    s += ByteString{LF, LF, ESC, '!', 0x30};
    s += upper;
    s += ByteString{LF, ESC, '@', GS, 'V', 65, 72, FS, '&'};
    return s;
}

ByteString buildSetCodePage(int value)
{
    ByteString s = buildConfigCommand(bytes({0xFF}), value);
    s += ByteString{LF, LF};
    return s;
}
