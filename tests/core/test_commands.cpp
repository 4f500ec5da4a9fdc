// Bytes of the main window's commands, the settings commands, and the
// conversions of the input fields.
#include "core/basiccommands.h"
#include "core/rtl.h"
#include "settings/configcommands.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

namespace {

const OneValueSetting &setting(const char *button)
{
    const std::pair<const char *, Setting> byButton[] = {
        {"paperb", Setting::PaperWidth}, {"sdb", Setting::Density},   {"crb", Setting::AutoLineFeed},
        {"bb", Setting::Buzzer},         {"cdb", Setting::Reprint},   {"msb", Setting::Emulation},
        {"fontb", Setting::SmallFont},
    };
    for (const auto &b : byButton)
        if (std::string(b.first) == button)
            return oneValueSetting(b.second);
    throw std::runtime_error("no such setting");
}

} // namespace

TEST(BasicCommands, TestPrintForEachWidth)
{
    const bool defaults[3] = {true, false, false};
    const ByteString page = buildTestPrint(5, defaults);
    ASSERT_EQ(page.size(), 218u);
    EXPECT_EQ(hex(page.substr(0, 8)), "1B 40 1B 55 00 1B 33 0E");
    EXPECT_EQ(hex(page.substr(213)), "1B 40 1B 64 06");
    for (int i = 0; i < 3; ++i) {
        bool choice[3] = {false, false, false};
        choice[i] = true;
        const ByteString s = buildTestPrint(5, choice);
        const int k = kTestPrintWidths[i];
        const std::string line = std::string(static_cast<std::size_t>(k), 'H') + "\n";
        std::string lines;
        for (int n = 0; n < 5; ++n)
            lines += line;
        EXPECT_EQ(s.substr(8, lines.size()), lines) << k;
        EXPECT_EQ(s.size(), 8u + lines.size() + 5u);
    }
    EXPECT_EQ(buildTestPrint(0, defaults).size(), 13u);
    EXPECT_EQ(buildTestPrint(-3, defaults).size(), 13u);
}

TEST(BasicCommands, DrawerCutAndDotMatrixParameters)
{
    const ByteString drawer = buildCashDrawer();
    EXPECT_EQ(drawer.size(), 6u);
    EXPECT_EQ(hex(drawer), "1B 70 00 32 32 0D");
    EXPECT_EQ(hex(buildCut()), "1D 56 42 18");
    EXPECT_EQ(hex(buildPrintHParameter()), "1F 1B 1F FB 1B 64 06");
    for (int v = 0; v < 16; ++v)
        EXPECT_EQ(buildSetHParameter(v), bytes({0x1F, 0x1B, 0x1F, 0xFC, static_cast<unsigned>(v)}));
    EXPECT_EQ(hex(buildSetCodePage(0)), "1F 1B 1F FF 00 0A 0A");
    EXPECT_EQ(hex(buildSetCodePage(255)), "1F 1B 1F FF FF 0A 0A");
    EXPECT_EQ(hex(buildSetCodePage(256)), "1F 1B 1F FF 00 0A 0A");
    EXPECT_EQ(hex(buildSetCodePage(-1)), "1F 1B 1F FF FF 0A 0A");
}

TEST(BasicCommands, CodePagePrintHoldsEveryHighByteTwice)
{
    const ByteString s = buildPrintCodePage();
    ASSERT_EQ(s.size(), 277u);
    int counts[256] = {};
    for (unsigned char c : s)
        ++counts[c];
    for (int b = 0x80; b <= 0xFF; ++b)
        EXPECT_EQ(counts[b], 2) << b;
    EXPECT_EQ(hex(s.substr(0, 7)), "1B 40 1C 2E 1B 21 00");
    EXPECT_EQ(hex(s.substr(135, 5)), "0A 0A 1B 21 30");
    EXPECT_EQ(hex(s.substr(268)), "0A 1B 40 1D 56 41 48 1C 26");
}

TEST(SettingsCommands, EachRowForEachEntryAndForATypedText)
{
    struct Case {
        const char *button;
        const char *prefix;
        std::vector<int> byIndex; // indices 0, 1, 2 (and -1 behaves as the last)
    } cases[] = {
        {"paperb", "1F 1B 1F F4 01 09", {0x34, 0x43}},
        {"sdb", "1F 1B 1F 60 04 05 06", {0x33, 0x55, 0x77}},
        {"crb", "1F 1B 1F 58 14 15 16", {0x22, 0x11}},
        {"bb", "1F 1B 1F 42 65 65 70", {0x08, 0x06}},
        {"cdb", "1F 1B 1F F4 11 22 33", {0x55, 0x33}},
        {"msb", "1F 1B 1F DC 10 11 12 15 16 17", {0x55, 0x33}},
        {"fontb", "1F 1B 1F E5 09 06 03", {0xAA, 0x77}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        const OneValueSetting &s = setting(c.button);
        for (std::size_t i = 0; i < c.byIndex.size(); ++i) {
            char v[4];
            std::snprintf(v, sizeof v, "%02X", c.byIndex[i]);
            EXPECT_EQ(hex(buildSettingCommand(s, static_cast<int>(i))), std::string(c.prefix) + " " + v);
        }
        // A typed text selects nothing: the row's last value.
        EXPECT_EQ(byteAt(buildSettingCommand(s, -1), buildSettingCommand(s, -1).size() - 1), c.byIndex.back());
    }
    EXPECT_EQ(buildSettingCommand(setting("msb"), 1).size(), 11u);
    EXPECT_EQ(buildSettingCommand(setting("paperb"), 1).size(), 7u);
}

TEST(SettingsCommands, SerialSpeedCodes)
{
    EXPECT_EQ(hex(buildSerialSpeed(1)), "1F 1B 1F FD 01");
    EXPECT_EQ(hex(buildSerialSpeed(5)), "1F 1B 1F FD 05");
    EXPECT_EQ(hex(buildSerialSpeed(6)), "1F 1B 1F FD 06");
    EXPECT_EQ(hex(buildSerialSpeed(9)), "1F 1B 1F FD 09");
}

TEST(Conversions, IntegersAsTheOperatorTypesThem)
{
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("-1"), -1);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("  12"), 12);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("$a"), 10);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (const char *bad : {"", "$", "a", "12 ", "2147483648", "$100000000", "1.5", "--1", "-", "0x10"})
        EXPECT_THROW(StrToInt(QString::fromLatin1(bad)), EConvertError) << bad;
    try {
        StrToInt(QStringLiteral("$"));
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "'$' is not a valid integer value");
    }
    try {
        StrToInt(QString());
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
    EXPECT_THROW(StrToInt(QStringLiteral("１２")), EConvertError); // full-width digits are no digits
}

TEST(Conversions, DecimalsWithTheSystemSeparatorAndRounding)
{
    EXPECT_DOUBLE_EQ(StrToFloat("10", '.'), 10.0);
    EXPECT_DOUBLE_EQ(StrToFloat("100.1", '.'), 100.1);
    EXPECT_DOUBLE_EQ(StrToFloat("1,5", ','), 1.5);
    EXPECT_DOUBLE_EQ(StrToFloat(" -5 ", '.'), -5.0);
    EXPECT_DOUBLE_EQ(StrToFloat("1e2", '.'), 100.0);
    for (const char *bad : {"", "abc", "1,5", "1.2.3", "e5", "1e", "--2"})
        EXPECT_THROW(StrToFloat(QString::fromLatin1(bad), '.'), EConvertError) << bad;
    try {
        StrToFloat(QStringLiteral("abc"), '.');
        FAIL();
    } catch (const EConvertError &e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(56.69), 57);
}

TEST(Conversions, LowAndHighBytes)
{
    struct Case {
        int n, low, high;
    } cases[] = {{0, 0, 0}, {255, 255, 0}, {256, 0, 1}, {283, 27, 1}, {65535, 255, 255}, {65536, 0, 256}, {-28, -28, 0}};
    for (const Case &c : cases) {
        EXPECT_EQ(splitLowHigh(c.n).low, c.low) << c.n;
        EXPECT_EQ(splitLowHigh(c.n).high, c.high) << c.n;
    }
    ByteString s;
    appendLowHigh(s, 65535);
    appendLowHigh(s, 256);
    appendLowHigh(s, -28);
    EXPECT_EQ(hex(s), "FF FF 00 01 E4 00");
}
