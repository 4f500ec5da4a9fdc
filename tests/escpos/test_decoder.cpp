// The decoder against every builder of the program: their listings once as
// golden text, their parameters given back at the edges, and inputs cut
// short or garbled covered exactly, never failing.
#include "core/basiccommands.h"
#include "core/gb2312.h"
#include "devices/ledcommands.h"
#include "devices/statuscheck.h"
#include "escpos/decoder.h"
#include "logo/blackmark.h"
#include "logo/logocommands.h"
#include "settings/configcommands.h"
#include "tests/support/hex.h"

#include <QSize>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

using escpos::Command;
using escpos::Kind;

namespace {

const bool kFirstAndThird[3] = {true, false, true};

Picture dotTopLeft()
{
    Picture p(8, 8);
    p.set(0, 0, 0);
    return p;
}

// The commands cover the input from its first byte to its last, in order.
void expectCovers(const ByteString &bytes, const std::vector<Command> &commands)
{
    std::size_t at = 0;
    for (const Command &c : commands) {
        ASSERT_EQ(c.offset, at);
        ASSERT_GT(c.length, 0u);
        at += c.length;
    }
    EXPECT_EQ(at, bytes.size());
}

// The one command of a builder that is not initialise, prefix or text.
Command only(const std::vector<Command> &commands, escpos::Op op)
{
    for (const Command &c : commands)
        if (c.op == op)
            return c;
    ADD_FAILURE() << "no command " << static_cast<int>(op);
    return Command();
}

std::vector<long> longs(std::initializer_list<long> v) { return v; }

} // namespace

TEST(Decoder, EveryBuilderListsAsGolden)
{
    const struct {
        const char *what;
        ByteString bytes;
        const char *listing;
    } cases[] = {
        {"test", buildTestPrint(1, kFirstAndThird),
         R"golden(000000  ESC @       initialise the printer  [1B 40]
000002  ESC U       unidirectional printing off  [1B 55 00]
000005  ESC 3       line spacing: 14 units  [1B 33 0E]
000008  text        text "HHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHH" (40 bytes)  [48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 … 48 48 48 48 (40 bytes)]
000048  LF          print and feed one line  [0A]
000049  text        text "HHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHH" (36 bytes)  [48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 48 … 48 48 48 48 (36 bytes)]
000085  LF          print and feed one line  [0A]
000086  ESC @       initialise the printer  [1B 40]
000088  ESC d       print and feed 6 lines  [1B 64 06]
)golden"},
        // Written from the command reference: both nibbles of GS !, the
        // fourth status request, the drawer's other pin, a function D cut
        // and the highest QR level.
        {"by hand", ByteString("\x1D\x21\x10\x10\x04\x04\x1B\x70\x01\x19\x64\x1D\x56\x67\x05\x1D\x28\x6B\x03\x00\x31\x45\x33", 23),
         R"golden(000000  GS !        character size: 2 × wide, 1 × high  [1D 21 10]
000003  DLE EOT     real-time status request: paper sensor  [10 04 04]
000006  ESC p       cash drawer pulse: pin 5, on 50 ms, off 200 ms  [1B 70 01 19 64]
000011  GS V        full cut after feeding 5 units  [1D 56 67 05]
000015  GS ( k      QR: error correction level H  [1D 28 6B 03 00 31 45 33]
)golden"},
        {"drawer", buildCashDrawer(),
         R"golden(000000  ESC p       cash drawer pulse: pin 2, on 100 ms, off 100 ms  [1B 70 00 32 32]
000005  CR          carriage return  [0D]
)golden"},
        {"cut", buildCut(),
         R"golden(000000  GS V        partial cut after feeding 24 units  [1D 56 42 18]
)golden"},
        {"printH", buildPrintHParameter(),
         R"golden(000000  US ESC US   print the H parameter  [1F 1B 1F FB]
000004  ESC d       print and feed 6 lines  [1B 64 06]
)golden"},
        {"setH", buildSetHParameter(12),
         R"golden(000000  US ESC US   H parameter: 12  [1F 1B 1F FC 0C]
)golden"},
        {"setcp", buildSetCodePage(3),
         R"golden(000000  US ESC US   default code page: 3  [1F 1B 1F FF 03]
000005  LF          print and feed 2 lines  [0A 0A]
)golden"},
        {"paper width", buildSettingCommand(oneValueSetting(Setting::PaperWidth), 0),
         R"golden(000000  US ESC US   paper width: 58mm  [1F 1B 1F F4 01 09 34]
)golden"},
        {"print density", buildSettingCommand(oneValueSetting(Setting::Density), 0),
         R"golden(000000  US ESC US   print density: Light  [1F 1B 1F 60 04 05 06 33]
)golden"},
        {"automatic line feed", buildSettingCommand(oneValueSetting(Setting::AutoLineFeed), 0),
         R"golden(000000  US ESC US   automatic line feed: 启用  [1F 1B 1F 58 14 15 16 22]
)golden"},
        {"buzzer", buildSettingCommand(oneValueSetting(Setting::Buzzer), 0),
         R"golden(000000  US ESC US   buzzer: 启用  [1F 1B 1F 42 65 65 70 08]
)golden"},
        {"reprint after paper-out", buildSettingCommand(oneValueSetting(Setting::Reprint), 0),
         R"golden(000000  US ESC US   reprint after paper-out: 启用  [1F 1B 1F F4 11 22 33 55]
)golden"},
        {"emulation mode", buildSettingCommand(oneValueSetting(Setting::Emulation), 0),
         R"golden(000000  US ESC US   emulation mode: EPSON ESC/POS  [1F 1B 1F DC 10 11 12 15 16 17 55]
)golden"},
        {"small font", buildSettingCommand(oneValueSetting(Setting::SmallFont), 0),
         R"golden(000000  US ESC US   small font: 启用小字体(9*17)  [1F 1B 1F E5 09 06 03 AA]
)golden"},
        {"speed", buildSerialSpeed(5),
         R"golden(000000  US ESC US   serial speed: code 5 (115200 bit/s)  [1F 1B 1F FD 05]
)golden"},
        {"nvN", buildNvDownload(dotTopLeft(), Dialect::Normal, 0, kDefaultThreshold),
         R"golden(000000  ESC @       initialise the printer  [1B 40]
000002  GS T        prefix of the NV logo and black-mark commands  [1D 54]
000004  FS q        NV bit image 1: 8 × 16 dots, 16 data bytes, closing byte 01  [1C 71 01 01 00 02 00 80 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01]
)golden"},
        {"nvS", buildNvDownload(dotTopLeft(), Dialect::Star, 0, kDefaultThreshold),
         R"golden(000000  ESC @       initialise the printer  [1B 40]
000002  ESC FS q    NV bit image 1: 8 × 16 dots, 16 data bytes, closing byte 01  [1B 1C 71 01 01 00 02 00 80 00 00 00 00 00 00 00 00 00 00 00 … 00 00 00 01 (25 bytes)]
)golden"},
        {"nvpN", buildNvPrint(Dialect::Normal, 1),
         R"golden(000000  ESC @       initialise the printer  [1B 40]
000002  ESC a       justification: centred  [1B 61 01]
000005  GS T        prefix of the NV logo and black-mark commands  [1D 54]
000007  FS p        print NV bit image 1, double width  [1C 70 01 31]
000011  ESC @       initialise the printer  [1B 40]
)golden"},
        {"nvpS", buildNvPrint(Dialect::Star, 3),
         R"golden(000000  ESC @       initialise the printer  [1B 40]
000002  ESC GS a    justification (Star): centred  [1B 1D 61 01]
000006  ESC FS p    print NV bit image 1, double width and height  [1B 1C 70 01 33]
000011  ESC @       initialise the printer  [1B 40]
)golden"},
        {"nvcN", buildNvClear(Dialect::Normal),
         R"golden(000000  FS q        NV bit image 1: 8 × 8 dots, 8 data bytes, closing byte 01  [1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01]
)golden"},
        {"nvcS", buildNvClear(Dialect::Star),
         R"golden(000000  ESC FS q    NV bit image 1: 8 × 8 dots, 8 data bytes, closing byte 01  [1B 1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01]
)golden"},
        {"bdef", buildBitImageDefine(dotTopLeft(), bitImageSize(dotTopLeft(), 1536), 0),
         R"golden(000000  text        text "xL=1;yL=1" (9 bytes)  [78 4C 3D 31 3B 79 4C 3D 31]
000009  LF          print and feed one line  [0A]
000010  GS *        define downloaded bit image: 8 × 8 dots, 8 data bytes  [1D 2A 01 01 80 00 00 00 00 00 00 00]
)golden"},
        {"bdefT", buildBitImageDefineTrimmed(dotTopLeft(), {2, 2}, {8, 0, 0, 0}, 0),
         R"golden(000000  text        text "xL=2;yL=2" (9 bytes)  [78 4C 3D 32 3B 79 4C 3D 32]
000009  LF          print and feed one line  [0A]
000010  GS *        define downloaded bit image: 8 × 16 dots, 16 data bytes  [1D 2A 01 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00]
)golden"},
        {"bprint", buildBitImagePrint(),
         R"golden(000000  ESC a       justification: left  [1B 61 00]
000003  GS /        print downloaded bit image, normal  [1D 2F 00]
000006  LF          print and feed one line  [0A]
)golden"},
        {"b4", buildBitImagePrintFourSizes(),
         R"golden(000000  GS /        print downloaded bit image, normal  [1D 2F 00]
000003  GS /        print downloaded bit image, double width  [1D 2F 01]
000006  GS /        print downloaded bit image, double height  [1D 2F 02]
000009  GS /        print downloaded bit image, quadruple  [1D 2F 03]
)golden"},
        {"mark", buildMarkOffset(MarkTarget::Cut, MarkDirection::Backward, 567),
         R"golden(000000  GS T        prefix of the NV logo and black-mark commands  [1D 54]
000002  GS ( F      black mark: cut position backward 567 units (100.0 mm)  [1D 28 46 04 00 02 01 37 02]
)golden"},
        {"fps", buildFeedToPrintStart(toGb2312(QStringLiteral("黑标")), toGb2312(QStringLiteral("line 2"))),
         R"golden(000000  text        text "黑标" (4 bytes)  [BA DA B1 EA]
000004  LF          print and feed one line  [0A]
000005  text        text "line 2" (6 bytes)  [6C 69 6E 65 20 32]
000011  ESC d       print and feed 5 lines  [1B 64 05]
000014  LF          print and feed one line  [0A]
000015  GS T        prefix of the NV logo and black-mark commands  [1D 54]
000017  GS FF       feed marked paper to the print start position  [1D 0C]
000019  CR          carriage return  [0D]
)golden"},
        {"fcut", buildFeedToCut(toGb2312(QStringLiteral("a")), toGb2312(QStringLiteral("b"))),
         R"golden(000000  text        text "a" (1 byte)  [61]
000001  LF          print and feed one line  [0A]
000002  text        text "b" (1 byte)  [62]
000003  ESC d       print and feed 5 lines  [1B 64 05]
000006  LF          print and feed one line  [0A]
000007  GS T        prefix of the NV logo and black-mark commands  [1D 54]
000009  GS V        partial cut after feeding 13 units  [1D 56 42 0D]
)golden"},
        {"led", buildLedUnitPrice() + buildLedTotal() + buildLedAmount("12.50") + buildLedClear() + buildLedClearLine() + buildLedInit(),
         R"golden(000000  ESC s       customer display indicator: unit price  [1B 73 31]
000003  ESC s       customer display indicator: total  [1B 73 32]
000006  ESC Q A     customer display: show "12.50"  [1B 51 41 31 32 2E 35 30 0D]
000015  FF          form feed (customer display: clear the display)  [0C]
000016  CAN         cancel (customer display: clear the line)  [18]
000017  ESC @       initialise the printer  [1B 40]
)golden"},
        {"status", printerSeries(0).request + printerSeries(3).request,
         R"golden(000000  DLE EOT     real-time status request: printer status  [10 04 01]
000003  ESC v       status request: paper sensor  [1B 76]
)golden"},
        {"cp", buildPrintCodePage(),
         R"golden(000000  ESC @       initialise the printer  [1B 40]
000002  FS .        Chinese character mode off  [1C 2E]
000004  ESC !       print mode: font A (12 × 24)  [1B 21 00]
000007  text        text "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B…" (128 bytes)  [80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F 90 91 92 93 … FC FD FE FF (128 bytes)]
000135  LF          print and feed 2 lines  [0A 0A]
000137  ESC !       print mode: font A (12 × 24), double height, double width  [1B 21 30]
000140  text        text "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B…" (128 bytes)  [80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F 90 91 92 93 … FC FD FE FF (128 bytes)]
000268  LF          print and feed one line  [0A]
000269  ESC @       initialise the printer  [1B 40]
000271  GS V        full cut after feeding 72 units  [1D 56 41 48]
000275  FS &        Chinese character mode on  [1C 26]
)golden"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto commands = escpos::decode(c.bytes);
        EXPECT_TRUE(escpos::clean(commands));
        expectCovers(c.bytes, commands);
        EXPECT_EQ(escpos::listing(c.bytes, commands).toStdString(), c.listing);
    }
}

TEST(Decoder, SettingsGiveBackTheirValueAtEveryEntry)
{
    for (const OneValueSetting &setting : oneValueSettings())
        for (int index = -1; index <= static_cast<int>(setting.values.size()); ++index) {
            const auto commands = escpos::decode(buildSettingCommand(setting, index));
            ASSERT_EQ(commands.size(), 1u) << setting.name;
            EXPECT_EQ(commands[0].op, escpos::Op::Setting);
            EXPECT_EQ(commands[0].setting, setting.id);
            EXPECT_EQ(commands[0].params, longs({settingValue(setting, index)}));
        }
    // Serial speed codes 0 to 6 are 4800 to 115200 and then 2400; 7 and up name none.
    const int rates[] = {4800, 9600, 19200, 38400, 57600, 115200, 2400};
    for (int v : {0, 1, 5, 6, 7, 127, 128, 255}) {
        EXPECT_EQ(only(escpos::decode(buildSetHParameter(v)), escpos::Op::SetHParameter).params, longs({v}));
        EXPECT_EQ(only(escpos::decode(buildSetCodePage(v)), escpos::Op::DefaultCodePage).params, longs({v}));
        const Command speed = only(escpos::decode(buildSerialSpeed(v)), escpos::Op::SerialSpeed);
        EXPECT_EQ(speed.params, longs({v}));
        EXPECT_EQ(speed.meaning, v < 7 ? QStringLiteral("serial speed: code %1 (%2 bit/s)").arg(v).arg(rates[v])
                                       : QStringLiteral("serial speed: code %1 (no such speed)").arg(v));
    }
}

TEST(Decoder, PictureCommandsGiveBackTheirGeometry)
{
    for (const QSize size : {QSize(1, 1), QSize(8, 8), QSize(9, 17), QSize(167, 49), QSize(2040, 3), QSize(300, 260)})
        for (Dialect dialect : {Dialect::Normal, Dialect::Star})
            for (int offset : {0, 3}) {
                SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
                const Picture pic(size.width(), size.height(), 0);
                const ByteString bytes = buildNvDownload(pic, dialect, offset, kDefaultThreshold);
                const auto commands = escpos::decode(bytes);
                expectCovers(bytes, commands);
                ASSERT_EQ(commands.size(), dialect == Dialect::Normal ? 3u : 2u);
                const Command &nv = commands.back();
                EXPECT_EQ(nv.name, dialect == Dialect::Normal ? "FS q" : "ESC FS q");
                const Geometry g = nvDownloadGeometry(pic, offset);
                EXPECT_EQ(nv.params, longs({1, g.bytesW, g.bytesH, g.nvSize, 1}));
            }
    for (Dialect dialect : {Dialect::Normal, Dialect::Star}) {
        EXPECT_EQ(only(escpos::decode(buildNvClear(dialect)), escpos::Op::DefineNvBitImage).params, longs({1, 1, 1, 8, 1}));
        for (int scaling = 0; scaling < 4; ++scaling)
            EXPECT_EQ(only(escpos::decode(buildNvPrint(dialect, scaling)), escpos::Op::PrintNvBitImage).params,
                      longs({1, '0' + scaling}));
    }
    const Picture wide(2048, 400, 0);
    for (int cap : {1536, 0, 1, 12240}) {
        const BitImageSize size = bitImageSize(wide, cap);
        const auto commands = escpos::decode(buildBitImageDefine(wide, size, 0));
        EXPECT_TRUE(escpos::clean(commands)) << cap;
        EXPECT_EQ(only(commands, escpos::Op::DefineDownloadedBitImage).params, longs({size.x, size.y, 8L * size.x * size.y}));
    }
    const Margins margins{8, 8, 0, 16};
    const auto trimmed = escpos::decode(buildBitImageDefineTrimmed(wide, {4, 6}, margins, 0));
    EXPECT_EQ(only(trimmed, escpos::Op::DefineDownloadedBitImage).params, longs({2, 4, 64}));
    for (const QSize size : {QSize(1, 1), QSize(167, 49), QSize(576, 300)}) {
        const Picture pic(size.width(), size.height(), 0);
        const ByteString page = buildSelfTestPage(pic, 5);
        const auto commands = escpos::decode(page);
        EXPECT_TRUE(escpos::clean(commands));
        expectCovers(page, commands);
        int rasters = 0;
        for (const Command &c : commands)
            if (c.op == escpos::Op::RasterBitImage) {
                ++rasters;
                EXPECT_EQ(c.params, longs({'0', geometryOf(size.width(), size.height()).bytesW, size.height(),
                                           long(geometryOf(size.width(), size.height()).bytesW) * size.height()}));
            }
        EXPECT_EQ(rasters, 2);
    }
}

TEST(Decoder, MarksDisplayAndTextGiveBackWhatWasGiven)
{
    for (MarkTarget target : {MarkTarget::PrintStart, MarkTarget::Cut})
        for (MarkDirection direction : {MarkDirection::Forward, MarkDirection::Backward})
            for (int units : {0, 1, 255, 256, 567, 65535})
                EXPECT_EQ(only(escpos::decode(buildMarkOffset(target, direction, units)), escpos::Op::BlackMarkOffset).params,
                          longs({static_cast<long>(target), static_cast<long>(direction), units}));
    EXPECT_EQ(only(escpos::decode(buildCashDrawer()), escpos::Op::CashDrawerPulse).params, longs({0, 50, 50}));
    const Command amount = only(escpos::decode(buildLedAmount("0123.45")), escpos::Op::CustomerDisplayText);
    EXPECT_EQ(amount.text, QStringLiteral("0123.45"));
    EXPECT_EQ(amount.length, 11u);

    // The test print: one text line per selected width per round.
    for (int repeat : {0, 1, 3}) {
        const bool all[3] = {true, true, true};
        std::vector<int> widths;
        for (const Command &c : escpos::decode(buildTestPrint(repeat, all)))
            if (c.kind == Kind::Text)
                widths.push_back(static_cast<int>(c.length));
        EXPECT_EQ(widths.size(), static_cast<std::size_t>(3 * repeat));
        for (std::size_t i = 0; i < widths.size(); ++i)
            EXPECT_EQ(widths[i], kTestPrintWidths[i % 3]);
    }
    // A text of 48 characters is shown whole; one more is cut with "…".
    EXPECT_EQ(escpos::decode(ByteString(48, 'x'))[0].meaning, QStringLiteral("text \"%1\" (48 bytes)").arg(QString(48, 'x')));
    EXPECT_EQ(escpos::decode(ByteString(49, 'x'))[0].meaning, QStringLiteral("text \"%1…\" (49 bytes)").arg(QString(48, 'x')));
    // GB2312 comes back as the text it was made from, in Chinese mode only,
    // and only its own bytes, wherever it starts.
    const QString chinese = QStringLiteral("黑标位置 OK");
    const auto text = escpos::decode(ByteString("\x1B\x40", 2) + toGb2312(chinese) + ByteString("\n\n", 2));
    ASSERT_EQ(text.size(), 3u); // LF LF is one feed
    EXPECT_EQ(text[1].text, chinese);
    // The last row of GB2312 (lead byte F7) is text too.
    EXPECT_EQ(escpos::decode(ByteString("\xF7\xFE", 2))[0].text, QStringLiteral("齄"));
    const auto codePage = escpos::decode(ByteString("\x1C.\xB0\xA1", 4));
    ASSERT_EQ(codePage.size(), 2u);
    EXPECT_EQ(codePage[1].text, QStringLiteral("\\xB0\\xA1"));
}

TEST(Decoder, CutShortUnknownAndGarbledInputIsCoveredExactly)
{
    // Every builder's bytes cut at every length: covered, and the last
    // command is whole or marked truncated.
    const ByteString samples[] = {buildCashDrawer(), buildNvDownload(Picture(9, 9, 0), Dialect::Star, 0, kDefaultThreshold),
                                  buildSettingCommand(oneValueSetting(Setting::Emulation), 1),
                                  buildMarkOffset(MarkTarget::Cut, MarkDirection::Forward, 300),
                                  buildSelfTestPage(Picture(9, 3, 0), 1), buildLedAmount("1.00"),
                                  buildBitImageDefine(Picture(16, 16, 0), {2, 2}, 0), printerSeries(0).request};
    for (const ByteString &whole : samples)
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            const ByteString part = whole.substr(0, cut);
            const auto commands = escpos::decode(part);
            expectCovers(part, commands);
        }
    const auto cut = escpos::decode(buildCashDrawer().substr(0, 3));
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].kind, Kind::Truncated);
    EXPECT_EQ(cut[0].name, "ESC p");

    const ByteString odd("\x06\x7F\x1B\x4E\x05\x1F\x1B\x1F\x01\x02\xFF\xFE", 12);
    const auto unknown = escpos::decode(odd);
    expectCovers(odd, unknown);
    EXPECT_FALSE(escpos::clean(unknown));
    EXPECT_EQ(unknown[0].kind, Kind::Unknown);
    EXPECT_EQ(unknown[1].name, "ESC N");

    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        ByteString noise(random() % 64, '\0');
        for (char &b : noise)
            b = static_cast<char>(random() % 4 == 0 ? "\x1B\x1C\x1D\x1F\x10"[random() % 5] : random());
        expectCovers(noise, escpos::decode(noise));
    }
}

TEST(Decoder, HexOfLongCommandsIsShortened)
{
    const ByteString bytes = buildNvDownload(Picture(167, 49), Dialect::Normal, 0, kDefaultThreshold);
    EXPECT_EQ(escpos::hexOf(bytes, 0, 6), "1B 40 1D 54 1C 71");
    EXPECT_EQ(escpos::hexOf(bytes, 4, bytes.size() - 4, 12), "1C 71 01 15 00 07 00 00 … 00 00 00 01 (1184 bytes)");
    EXPECT_EQ(escpos::hexOf(bytes, bytes.size() - 1, 99), "01");
}

TEST(TavoDecode, ListsFilesAndSaysWhetherEachCommandWasKnownAndWhole)
{
    char tmpl[] = "/tmp/tavo-decode-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    auto write = [&](const std::string &name, const ByteString &bytes) {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    auto run = [](const std::string &args, std::string &out) {
        const std::string command = std::string(TAVO_DECODE_PATH) + " " + args + " 2>&1";
        FILE *pipe = ::popen(command.c_str(), "r");
        char buf[4096];
        out.clear();
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
            out.append(buf, n);
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string out;
    const std::string good = write("hex.bin", buildNvDownload(Picture(167, 49), Dialect::Normal, 0, kDefaultThreshold));
    EXPECT_EQ(run(good, out), 0);
    EXPECT_EQ(out, "000000  ESC @       initialise the printer  [1B 40]\n"
                   "000002  GS T        prefix of the NV logo and black-mark commands  [1D 54]\n"
                   "000004  FS q        NV bit image 1: 168 × 56 dots, 1176 data bytes, closing byte 01  "
                   "[1C 71 01 15 00 07 00 00 00 00 00 00 00 00 00 00 00 00 00 00 … 00 00 00 01 (1184 bytes)]\n");
    const std::string cut = write("cut.bin", buildCashDrawer().substr(0, 4));
    EXPECT_EQ(run(cut, out), 1);
    EXPECT_NE(out.find("cut short: 4 of 5 bytes"), std::string::npos) << out;
    const std::string odd = write("odd.bin", ByteString("\x06", 1)); // ACK: no printer command
    EXPECT_EQ(run(good + " " + odd, out), 1);
    EXPECT_NE(out.find("== " + odd + " (1 bytes)"), std::string::npos) << out;
    EXPECT_EQ(run(dir + "/missing.bin", out), 2);
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST(DecodeProgram, SixteenMegabytesOfCommandsInBoundedMemory)
{
#ifdef TAVO_SANITIZED
    GTEST_SKIP() << "a sanitizer's shadow memory is no measure of the program's";
#endif
    // 16 MB of a byte the decoder does not know: a command for every byte,
    // the longest listing there is. Before, 16 MB took 7.3 GB.
    const std::string file = ::testing::TempDir() + "tavo-decode-16m.bin";
    std::ofstream(file, std::ios::binary) << std::string(16u * 1024 * 1024, '\x10');
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::execl(TAVO_DECODE_PATH, TAVO_DECODE_PATH, file.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    std::remove(file.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1); // unknown commands
    // The input itself, and no more than 64 MB beside it (26 MB measured).
    EXPECT_LE(usage.ru_maxrss, (16 + 64) * 1024L) << usage.ru_maxrss << " KB";
}

// The common receipt-printer vocabulary, bytes as the ESC/POS reference
// gives them: each is one known command of its length with its parameters,
// so no byte of it can print as stray text.
TEST(Decoder, TheCommonVocabularyOfReceiptPrinters)
{
    using escpos::Op;
    const struct {
        ByteString bytes;
        const char *name;
        Op op;
        std::vector<long> params;
        const char *text;
        const char *meaning; // what the listing says of it, where that is checked here
    } cases[] = {
        {ByteString("\x1B\x2A\x00\x02\x00\xFF\x81", 7), "ESC *", Op::ColumnBitImage, {0, 2, 2}, "", "bit image, 8 dots high, single density: 2 columns"},
        {ByteString("\x1B\x2A\x21\x01\x00\x01\x02\x03", 8), "ESC *", Op::ColumnBitImage, {33, 1, 3}, "", "bit image, 24 dots high, double density: 1 columns"},
        {ByteString("\x1B\x2A\x20\x01\x00\x01\x02\x03", 8), "ESC *", Op::ColumnBitImage, {32, 1, 3}, "", "bit image, 24 dots high, single density: 1 columns"},
        {ByteString("\x1B\x2A\x00\x00\x01", 5) + ByteString(256, '\x55'), "ESC *", Op::ColumnBitImage, {0, 256, 256}, "",
         "bit image, 8 dots high, single density: 256 columns"}, // nL + 256 nH
        {ByteString("\x1B\x32", 2), "ESC 2", Op::DefaultLineSpacing, {}, "", nullptr},
        {ByteString("\x1B\x4A\x40", 3), "ESC J", Op::FeedDots, {64}, "", "print and feed 64 units"},
        {ByteString("\x1B\x6D", 2), "ESC m", Op::PartialCut, {}, "", "partial cut (one point left)"},
        {ByteString("\x1B\x69", 2), "ESC i", Op::PartialCut, {}, "", nullptr},
        {ByteString("\x1D\x56\x41\x03", 4), "GS V", Op::FullCutAfterFeed, {65, 3}, "", nullptr},
        {ByteString("\x1D\x56\x42\x00", 4), "GS V", Op::PartialCutAfterFeed, {66, 0}, "", nullptr},
        {ByteString("\x1D\x56\x31", 3), "GS V", Op::PartialCut, {49}, "", nullptr},
        {ByteString("\x07", 1), "BEL", Op::Beep, {1, 0}, "", nullptr},
        {ByteString("\x1B\x42\x03\x02", 4), "ESC B", Op::Beep, {3, 2}, "", "beep 3 times, 2 × 50 ms each"},
        {ByteString("\x1B\x52\x02", 3), "ESC R", Op::InternationalSet, {2}, "", "international character set 2"},
        {ByteString("\x1B\x7B\x01", 3), "ESC {", Op::UpsideDown, {1}, "", "upside-down printing: 1"},
        {ByteString("\x1B\x56\x01", 3), "ESC V", Op::Rotate90, {1}, "", nullptr},
        {ByteString("\x1B\x20\x04", 3), "ESC SP", Op::CharacterSpacing, {4}, "", "right-side character spacing: 4 units"},
        {ByteString("\x1B\x24\x2C\x01", 4), "ESC $", Op::AbsolutePosition, {300}, "", "absolute print position: 300 units"},
        {ByteString("\x1B\x5C\x10\x00", 4), "ESC \\", Op::RelativePosition, {16}, "", "relative print position: 16 units"},
        {ByteString("\x1B\x44\x08\x10\x00", 5), "ESC D", Op::TabStops, {8, 16}, "", "tab stops at 8, 16 characters"},
        {ByteString("\x09", 1), "HT", Op::Tab, {}, "", nullptr},
        {ByteString("\x1D\x42\x01", 3), "GS B", Op::Reverse, {1}, "", "white/black reverse printing: 1"},
        {ByteString("\x1D\x4C\x20\x00", 4), "GS L", Op::LeftMargin, {32}, "", nullptr},
        {ByteString("\x1D\x57\x00\x02", 4), "GS W", Op::PrintAreaWidth, {512}, "", "print area width: 512 units"},
        {ByteString("\x1D\x50\xB4\xB4", 4), "GS P", Op::MotionUnits, {180, 180}, "", nullptr},
        {ByteString("\x1D\x48\x02", 3), "GS H", Op::BarcodeHriPosition, {2}, "", nullptr},
        {ByteString("\x1D\x66\x01", 3), "GS f", Op::BarcodeHriFont, {1}, "", "barcode text font 1"},
        {ByteString("\x1D\x68\x50", 3), "GS h", Op::BarcodeHeight, {80}, "", "barcode height: 80 dots"},
        {ByteString("\x1D\x77\x02", 3), "GS w", Op::BarcodeModuleWidth, {2}, "", "barcode module width: 2 dots"},
        {ByteString("\x1D\x6B\x02" "590123412345\x00", 16), "GS k", Op::Barcode, {67, 12}, "590123412345", "barcode EAN-13: \"590123412345\""},
        {ByteString("\x1D\x6B\x49\x0B{BNo. 12345", 15), "GS k", Op::Barcode, {73, 11}, "{BNo. 12345",
         "barcode CODE128: \"{BNo. 12345\""},
        {ByteString("\x1D\x6B\x06" "A40156B\x00", 11), "GS k", Op::Barcode, {71, 7}, "A40156B",
         "barcode CODABAR: \"A40156B\""},
        {ByteString("\x1D\x6B\x00" "01234567890\x00", 15), "GS k", Op::Barcode, {65, 11}, "01234567890", "barcode UPC-A: \"01234567890\""},
        {ByteString("\x1D\x6B\x03" "9638507\x00", 11), "GS k", Op::Barcode, {68, 7}, "9638507", "barcode EAN-8: \"9638507\""},
        {ByteString("\x1D\x28\x6B\x04\x00\x31\x41\x32\x00", 9), "GS ( k", Op::SymbolSetting, {49, 65, 50, 0}, "", "QR: model 2"},
        {ByteString("\x1D\x28\x6B\x03\x00\x31\x43\x06", 8), "GS ( k", Op::SymbolSetting, {49, 67, 6}, "", "QR: module size 6 dots"},
        {ByteString("\x1D\x28\x6B\x06\x00\x31\x50\x30" "abc", 11), "GS ( k", Op::SymbolStore, {49, 80, 3}, "abc", nullptr},
        {ByteString("\x1D\x28\x6B\x03\x00\x31\x51\x30", 8), "GS ( k", Op::SymbolPrint, {49, 81}, "", "QR: print the stored symbol"},
        {ByteString("\x1D\x28\x6B\x03\x00\x30\x41\x04", 8), "GS ( k", Op::SymbolSetting, {48, 65, 4}, "", "PDF417: 4 columns"},
        {ByteString("\x1D\x72\x01", 3), "GS r", Op::TransmitStatus, {1}, "", nullptr},
        {ByteString("\x1D\x61\xFF", 3), "GS a", Op::AutoStatusBack, {255}, "", nullptr},
        {ByteString("\x1B\x1D\x61\x02", 4), "ESC GS a", Op::Justification, {2}, "", "justification (Star): right"},
        {ByteString("\x1D\x49\x01", 3), "GS I", Op::TransmitPrinterId, {1}, "", nullptr},
        {ByteString("\x10\x05\x02", 3), "DLE ENQ", Op::RealTimeRequest, {2}, "", "real-time request 2"},
        {ByteString("\x10\x14\x01\x00\x05", 5), "DLE DC4", Op::RealTimeCommand, {1, 0, 5}, "", nullptr},
        {ByteString("\x10\x14\x08\x01\x03\x14\x01\x06\x02\x08", 10), "DLE DC4", Op::RealTimeCommand, {8, 1, 3, 20, 1, 6, 2, 8}, "", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto commands = escpos::decode(c.bytes);
        ASSERT_EQ(commands.size(), 1u) << escpos::listing(c.bytes).toStdString();
        EXPECT_EQ(commands[0].name, c.name);
        EXPECT_EQ(commands[0].op, c.op);
        EXPECT_EQ(commands[0].length, c.bytes.size());
        EXPECT_EQ(commands[0].params, c.params);
        EXPECT_EQ(commands[0].text, QString::fromLatin1(c.text));
        if (c.meaning) {
            EXPECT_EQ(commands[0].meaning, QString::fromUtf8(c.meaning));
        }
        // Cut short anywhere, it waits for the rest rather than printing it.
        for (std::size_t n = 1; n < c.bytes.size(); ++n) {
            const auto cut = escpos::decode(c.bytes.substr(0, n));
            ASSERT_FALSE(cut.empty());
            EXPECT_EQ(cut.back().kind, Kind::Truncated) << n;
        }
    }
    // A character above 0x7F in a meaning is UTF-8 in the listing as well.
    const QString high = escpos::listing(ByteString("\x1D\x6B\x49\x03{B\x80", 7));
    EXPECT_TRUE(high.contains(QStringLiteral("barcode CODE128: \"{B") + QChar(0x80) + '"')) << high.toStdString();
    // A printer reads 32 tab stops at most: a 33rd byte is text.
    ByteString stops("\x1B\x44", 2);
    for (char n = 1; n <= 33; ++n)
        stops.push_back(n);
    const auto tabs = escpos::decode(stops);
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_EQ(tabs[0].params.size(), 32u);
    EXPECT_EQ(tabs[1].kind, Kind::Text);
}

// Every branch of what the decoder says, one row a command, read from one
// stream so that a command that takes a byte too many or too few shifts
// every row after it. Bytes and their sense from the ESC/POS reference.
TEST(Decoder, EveryMeaningInOneStream)
{
    const struct {
        const char *hex;
        const char *name;
        const char *meaning;
    } rows[] = {
        {"1B 45 01", "ESC E", "emphasis on"},
        {"1B 45 FE", "ESC E", "emphasis off"}, // only the lowest bit counts
        {"1B 47 01", "ESC G", "double-strike: 1"},
        {"1B 2D 00", "ESC -", "underline off"},
        {"1B 2D 30", "ESC -", "underline off"},
        {"1B 2D 32", "ESC -", "underline on"},
        {"1B 72 00", "ESC r", "print colour: black"},
        {"1B 72 30", "ESC r", "print colour: black"},
        {"1B 72 31", "ESC r", "print colour: red"},
        {"1B 72 02", "ESC r", "print colour 2 (undefined)"},
        {"1B 55 01", "ESC U", "unidirectional printing on"},
        {"1B 4D 31", "ESC M", "font B (9 × 17)"},
        {"1B 4D 00", "ESC M", "font A (12 × 24)"},
        {"1B 21 89", "ESC !", "print mode: font B (9 × 17), emphasised, underlined"},
        {"1B 61 32", "ESC a", "justification: right"},
        {"1B 61 03", "ESC a", "justification: 3 (undefined)"},
        {"1B 1D 61 02", "ESC GS a", "justification (Star): right"},
        {"1B 73 30", "ESC s", "customer display indicator: all indicators off"},
        {"1B 73 33", "ESC s", "customer display indicator: collect"},
        {"1B 73 34", "ESC s", "customer display indicator: change"},
        {"1B 73 05", "ESC s", "customer display indicator: 5 (undefined)"},
        {"1B 63 34 01", "ESC c 4", "panel or paper sensor setting 1"},
        {"1B 32", "ESC 2", "default line spacing"},
        {"1B 3D 01", "ESC =", "select peripheral device 1"},
        {"1B 65 03", "ESC e", "print and feed back 3 lines"},
        {"1B 4B 03", "ESC K", "print and feed back 3 units"},
        {"1B 56 31", "ESC V", "90° rotation: 49"},
        {"1B 44 00", "ESC D", "clear the tab stops"},
        {"1B 70 31 0A 14", "ESC p", "cash drawer pulse: pin 5, on 20 ms, off 40 ms"},
        {"1B 70 30 01 02", "ESC p", "cash drawer pulse: pin 2, on 2 ms, off 4 ms"},
        {"1B 70 02 01 01", "ESC p", "cash drawer pulse: pin code 2 (undefined), on 2 ms, off 2 ms"},
        {"1B 2A 01 01 00 FF", "ESC *", "bit image, 8 dots high, double density: 1 columns"},
        {"1B 2A 02 01 00", "ESC *", "unknown command"},
        {"1B 7A", "ESC z", "unknown command"},
        {"1C 71 00", "FS q", "define NV bit images: none"},
        {"1C 71 02 01 00 01 00 00 00 00 00 00 00 00 00 02 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01",
         "FS q", "NV bit image 1: 8 × 8 dots, 8 data bytes; NV bit image 2: 16 × 8 dots, 16 data bytes, closing byte 01"},
        {"1C 70 02 32", "FS p", "print NV bit image 2, double height"},
        {"1C 70 01 07", "FS p", "print NV bit image 1, scaling 7 (undefined)"},
        {"1B 1C 70 01 30", "ESC FS p", "print NV bit image 1, normal"},
        {"1C 78", "FS x", "unknown command"},
        {"1D 56 00", "GS V", "full cut"},
        {"1D 56 30", "GS V", "full cut"},
        {"1D 56 31", "GS V", "partial cut"},
        {"1D 56 61 02", "GS V", "full cut after feeding 2 units"},
        {"1D 56 62 02", "GS V", "partial cut after feeding 2 units"},
        {"1D 56 68 02", "GS V", "partial cut after feeding 2 units"},
        {"1D 56 02", "GS V", "unknown command"},
        {"1D 21 77", "GS !", "character size: 8 × wide, 8 × high"},
        {"1D 21 07", "GS !", "character size: 1 × wide, 8 × high"},
        {"1D 2F 33", "GS /", "print downloaded bit image, quadruple"},
        {"1D 2F 32", "GS /", "print downloaded bit image, double height"},
        {"1D 76 30 00 01 00 02 00 FF 80", "GS v 0", "raster bit image, normal: 8 × 2 dots, 2 data bytes"},
        {"1D 76 30 33 02 00 01 00 FF 80", "GS v 0", "raster bit image, quadruple: 16 × 1 dots, 2 data bytes"},
        {"1D 76 31", "GS v 1", "unknown command"},
        {"1D 28 46 04 00 01 00 64 00", "GS ( F", "black mark: print start position forward 100 units (17.6 mm)"},
        {"1D 28 46 04 00 03 02 00 01", "GS ( F", "black mark: position 3 (undefined) direction 2 (undefined) 256 units (45.2 mm)"},
        {"1D 28 46 02 00 01 02", "GS ( F", "black-mark setting with 2 parameter bytes"},
        {"1D 28 46 05 00 01 00 64 00 00", "GS ( F", "black-mark setting with 5 parameter bytes"},
        {"1D 28 41 02 00 31 32", "GS ( A", "unknown command"},
        {"1D 28 6B 03 00 31 41 31", "GS ( k", "QR: model 1"},
        {"1D 28 6B 04 00 31 41 33 00", "GS ( k", "QR: model 3"},
        {"1D 28 6B 03 00 31 41 05", "GS ( k", "QR: model 5"},
        {"1D 28 6B 03 00 31 45 30", "GS ( k", "QR: error correction level L"},
        {"1D 28 6B 03 00 31 45 34", "GS ( k", "QR: error correction 52 (undefined)"},
        {"1D 28 6B 03 00 31 52 30", "GS ( k", "QR: transmit the size of the stored symbol"},
        {"1D 28 6B 03 00 31 46 00", "GS ( k", "QR: function 70"},
        {"1D 28 6B 03 00 32 41 00", "GS ( k", "unknown command"},
        {"1D 28 6B 01 00 31", "GS ( k", "unknown command"},
        {"1D 28 6B 03 00 30 42 05", "GS ( k", "PDF417: 5 rows"},
        {"1D 28 6B 03 00 30 43 03", "GS ( k", "PDF417: module width 3 dots"},
        {"1D 28 6B 03 00 30 44 03", "GS ( k", "PDF417: row height 3 × the module width"},
        {"1D 28 6B 04 00 30 45 30 05", "GS ( k", "PDF417: error correction 5"},
        {"1D 28 6B 03 00 30 45 06", "GS ( k", "PDF417: error correction 6"},
        {"1D 28 6B 03 00 30 46 01", "GS ( k", "PDF417: options 1"},
        {"1D 28 6B 03 00 30 47 00", "GS ( k", "PDF417: function 71"},
        {"1D 28 6B 06 00 30 50 30 61 62 63", "GS ( k", "PDF417: store 3 bytes of data"},
        {"1D 28 6B 03 00 30 51 30", "GS ( k", "PDF417: print the stored symbol"},
        {"1D 48 00", "GS H", "barcode text: not printed"},
        {"1D 48 01", "GS H", "barcode text: above the bars"},
        {"1D 48 32", "GS H", "barcode text: below the bars"},
        {"1D 48 33", "GS H", "barcode text: above and below the bars"},
        {"1D 48 04", "GS H", "barcode text: 4 (undefined)"},
        {"1D 6B 45 03 41 2D 31", "GS k", "barcode CODE39: \"A-1\""},
        {"1D 6B 48 03 41 2D 31", "GS k", "barcode CODE93: \"A-1\""},
        {"1D 6B 49 04 7B 42 34 32", "GS k", "barcode CODE128: \"{B42\""},
        {"1D 6B 05 31 32 00", "GS k", "barcode ITF: \"12\""},
        {"1D 6B 07", "GS k", "unknown command"},
        {"1D 6B 4A", "GS k", "unknown command"},
        {"1D 72 02", "GS r", "transmit status 2"},
        {"1D 61 0F", "GS a", "automatic status back: mask 15"},
        {"1D 49 43", "GS I", "transmit printer ID 67"},
        {"1D 4C 20 01", "GS L", "left margin: 288 units"},
        {"1D 50 B4 5A", "GS P", "motion units: 1/180 inch across, 1/90 inch down"},
        {"10 04 00", "DLE EOT", "real-time status request: 0 (undefined)"},
        {"10 04 02", "DLE EOT", "real-time status request: offline cause"},
        {"10 04 03", "DLE EOT", "real-time status request: error cause"},
        {"10 04 05", "DLE EOT", "real-time status request: 5 (undefined)"},
        {"10 14 01 00 05", "DLE DC4", "real-time pulse"},
        {"10 14 02 01 08", "DLE DC4", "real-time power-off"},
        {"10 14 07 01", "DLE DC4", "transmit the status at once"},
        {"10 14 08 01 03 14 01 06 02 08", "DLE DC4", "clear the buffers"},
        {"10 14 03", "DLE DC4", "unknown command"},
        {"10", "DLE", "unknown command"},
        {"06", "?", "unknown byte"},
        {"1F 1B 1F 01", "US ESC US", "configuration with unknown feature code 01"},
        {"1F 1B 1F F4 01 09 43", "US ESC US", "paper width: 76mm"},
        {"1F 1B 1F F4 01 09 07", "US ESC US", "paper width: value 0x07 (no entry has it)"},
        {"1F 1B 1F 60 04 05 06 77", "US ESC US", "print density: Dark"},
        {"1F 1B 1F DC 10 11 12 15 16 17 33", "US ESC US", "emulation mode: STAR(Line/T)"},
        {"1F 1B 1F FD 06", "US ESC US", "serial speed: code 6 (2400 bit/s)"},
        {"1F 1B 1F FD 07", "US ESC US", "serial speed: code 7 (no such speed)"},
        {"1F", "US", "unknown command"}, // US that opens no setting is one byte
        {"41 25 32 25 31", "text", "text \"A%2%1\" (5 bytes)"},
        {"00 00 00", "NUL", "3 × NUL: nothing, the printer skips it"},
        {"1B 1C", "ESC FS", "unknown command"}, // neither q nor p: the byte after it is a command of its own
        {"09", "HT", "horizontal tab"},
        {"07", "BEL", "beep"},
        {"B0", "?", "unknown byte"}, // a GB2312 lead byte without its trail
        {"0A", "LF", "print and feed one line"},
        {"06 7F 01", "?", "3 unknown bytes"},
        {"1B 74 11", "ESC t", "character code table 17"},
        {"80 41", "text", "text \"\\x80A\" (2 bytes)"},
        {"1C 26", "FS &", "Chinese character mode on"},
        {"B0 A1", "text", "text \"啊\" (2 bytes)"},
        {"1D 28 6B 05 00 31", "GS ( k", "cut short: 6 of 10 bytes"},
    };
    ByteString stream;
    for (const auto &r : rows)
        stream += fromHex(r.hex);
    const auto commands = escpos::decode(stream);
    expectCovers(stream, commands);
    ASSERT_EQ(commands.size(), std::size(rows)) << escpos::listing(stream, commands).toStdString();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        SCOPED_TRACE(rows[i].hex);
        EXPECT_EQ(commands[i].name, rows[i].name);
        EXPECT_EQ(commands[i].meaning, QString::fromUtf8(rows[i].meaning));
        EXPECT_EQ(commands[i].length, fromHex(rows[i].hex).size());
    }
}
