// The virtual printer's engine fed with the program's own builders: what
// it draws, stores and answers.
#include "core/basiccommands.h"
#include "devices/ledcommands.h"
#include "devices/statuscheck.h"
#include "logo/blackmark.h"
#include "logo/logocommands.h"
#include "settings/configcommands.h"
#include "tests/support/ink.h"
#include "virtualprinter/engine.h"
#include "virtualprinter/host.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringDecoder>
#include <gtest/gtest.h>

#include <cstring>

namespace {

Picture pattern(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x * 3 + y * 5) % 7 < 3)
                p.set(x, y, 0);
    return p;
}

vp::Engine engine(const char *model = "tavo80") { return vp::Engine(*vp::modelById(model)); }

QImage onlyReceipt(vp::Engine &e)
{
    auto receipts = e.takeReceipts();
    EXPECT_EQ(receipts.size(), 1u);
    return receipts.empty() ? QImage() : receipts.front();
}

} // namespace

TEST(VirtualEngine, NvLogoPrintsBackPixelForPixelAtEveryScaling)
{
    const Picture pic = pattern(41, 19);
    for (Dialect dialect : {Dialect::Normal, Dialect::Star}) {
        vp::Engine e = engine();
        if (dialect == Dialect::Star)
            e.feed(buildSettingCommand(oneValueSetting(Setting::Emulation), 1));
        e.feed(buildNvDownload(pic, dialect, 0, kDefaultThreshold));
        ASSERT_EQ(e.nvImages().size(), 1u);
        EXPECT_EQ(e.counts().nvBytesWritten, e.nvImages().at(1).data.size()); // what the XOFF time is reckoned from
        for (int scaling = 0; scaling < 4; ++scaling) {
            SCOPED_TRACE(scaling);
            e.feed(buildNvPrint(dialect, scaling) + buildCut());
            const QImage r = onlyReceipt(e);
            const int sx = (scaling & 1) ? 2 : 1, sy = (scaling & 2) ? 2 : 1;
            const QRect box = inked(r);
            ASSERT_EQ(box.width(), 41 * sx - (0)); // the picture's own columns; padding is white
            for (int y = 0; y < 19 * sy; ++y)
                for (int x = 0; x < 41 * sx; ++x)
                    ASSERT_EQ(dark(r, box.left() + x, box.top() + y), isDot(pic.at(x / sx, y / sy), kDefaultThreshold))
                        << x << "," << y;
            // Centred, as ESC a 1 asks.
            const int stored = 8 * geometryOf(41, 20).bytesW * sx;
            EXPECT_EQ(box.left(), (576 - stored) / 2);
        }
    }
    // The other dialect than the emulation's is not understood.
    vp::Engine e = engine();
    e.feed(buildNvDownload(pic, Dialect::Star, 0, kDefaultThreshold));
    EXPECT_TRUE(e.nvImages().empty());
    EXPECT_EQ(e.counts().unknown, 1);
}

TEST(VirtualEngine, BitImageRasterTextAndCuts)
{
    const Picture pic = pattern(16, 16);
    vp::Engine e = engine();
    e.feed(buildBitImageDefine(pic, {2, 2}, 0));
    ASSERT_FALSE(e.downloaded().empty());
    e.feed(buildBitImagePrintFourSizes() + buildCut());
    QImage r = onlyReceipt(e);
    // The define prints its "xL=2;yL=2" line; below it the image normal,
    // double width, double height and quadruple, one below the other, then
    // the cut's feed.
    ASSERT_EQ(r.height(), 30 + 16 + 16 + 32 + 32 + 24);
    const QImage images = r.copy(0, 30, r.width(), r.height() - 30);
    EXPECT_EQ(inked(images).width(), 32);
    EXPECT_EQ(inked(images.copy(0, 0, 576, 16)).width(), 16);
    EXPECT_EQ(inked(images.copy(0, 32, 576, 32)).width(), 16);

    // GS v 0 at each scaling: one byte across, two rows, a dot at the top
    // left and one at the bottom right.
    for (int m = 0; m < 4; ++m) {
        const int sx = (m & 1) ? 2 : 1, sy = (m & 2) ? 2 : 1;
        vp::Engine raster = engine();
        raster.feed(ByteString("\x1D\x76\x30", 3) + char(m) + ByteString("\x01\x00\x02\x00\x80\x01", 6));
        const QImage paper = raster.currentReceipt();
        ASSERT_FALSE(paper.isNull()) << m;
        EXPECT_EQ(inked(paper), QRect(0, 0, 8 * sx, 2 * sy)) << m;
        EXPECT_TRUE(dark(paper, sx - 1, sy - 1)) << m;
        EXPECT_FALSE(dark(paper, sx, 0)) << m;
        EXPECT_TRUE(dark(paper, 8 * sx - 1, 2 * sy - 1)) << m;
        EXPECT_FALSE(dark(paper, 8 * sx - 1, sy - 1)) << m;
    }
    // Centred but wider than the head (640 dots on 576): it starts at the
    // left edge and is cut at the right, dots at columns 0, 575 and 576.
    vp::Engine wide = engine();
    ByteString row(80, '\0');
    row[0] = row[72] = '\x80';
    row[71] = '\x01';
    wide.feed(ByteString("\x1B\x61\x01\x1D\x76\x30\x00\x50\x00\x01\x00", 11) + row);
    EXPECT_EQ(inked(wide.currentReceipt()), QRect(0, 0, 576, 1));

    const Picture page = pattern(24, 10);
    e.feed(buildSelfTestPage(page, 0));
    r = onlyReceipt(e); // ESC i ends it
    EXPECT_EQ(e.counts().unknown, 0);
    EXPECT_GT(r.height(), 400);

    // The test print's rows of H at each width: 12 dots a letter in font A,
    // one row of 14 dots' spacing each, as its ESC 3 14 says.
    for (int i = 0; i < 3; ++i) {
        bool widths[3] = {false, false, false};
        widths[i] = true;
        e.feed(buildTestPrint(3, widths) + buildCut());
        r = onlyReceipt(e);
        const QRect box = inked(r);
        EXPECT_GT(box.right(), 12 * kTestPrintWidths[i] - 12) << kTestPrintWidths[i];
        EXPECT_LT(box.right(), 12 * kTestPrintWidths[i]) << kTestPrintWidths[i];
        EXPECT_EQ(box.top() < 24 && box.bottom() < 3 * 24 + 24, true);
    }
    EXPECT_EQ(e.counts().cuts, 5);
}

TEST(VirtualEngine, StatusAnswersDrawerDisplayAndSettingsThatTakeEffect)
{
    vp::Engine e = engine("k3");
    const ByteString dle = printerSeries(0).request, escV = printerSeries(3).request;
    EXPECT_EQ(e.feed(dle), ByteString("\x12"));
    EXPECT_EQ(e.feed(escV), ByteString(1, '\0'));
    e.setStatus(vp::Status::Offline);
    EXPECT_EQ(e.feed(dle), ByteString("\x1A"));
    e.setStatus(vp::Status::PaperEnd);
    EXPECT_EQ(e.feed(escV), ByteString("\x0C"));
    e.setStatus(vp::Status::Silent);
    EXPECT_EQ(e.feed(dle + escV), ByteString());
    // Eight digits: a longer amount shows its last eight, as a display shifts.
    EXPECT_EQ((vp::Display{QStringLiteral("123456789")}.render()), (vp::Display{QStringLiteral("23456789")}.render()));
    EXPECT_NE((vp::Display{QStringLiteral("123456789")}.render()), (vp::Display{QStringLiteral("12345678")}.render()));

    e.feed(buildCashDrawer() + buildCashDrawer());
    EXPECT_EQ(e.counts().drawerPulses, 2);
    e.feed(buildLedUnitPrice() + buildLedAmount("123.45"));
    EXPECT_TRUE(e.display().priceLamp);
    EXPECT_EQ(e.display().text, "123.45");
    e.feed(buildLedTotal());
    EXPECT_TRUE(e.display().totalLamp);
    EXPECT_FALSE(e.display().priceLamp);
    e.feed(buildLedClear());
    EXPECT_TRUE(e.display().text.isEmpty());
    e.feed(buildLedAmount("9.99") + buildLedClearLine());
    EXPECT_TRUE(e.display().text.isEmpty());

    EXPECT_EQ(e.serialBits(), 2400); // the K3's display line
    e.feed(buildSerialSpeed(7)); // a code no rate has: the line stays at 9600
    EXPECT_EQ(e.serialBits(), 9600);
    e.feed(buildSerialSpeed(5));
    EXPECT_EQ(e.serialBits(), 115200);
    // 76 mm paper is stored, but a 384-dot head prints no wider than itself.
    e.feed(buildSettingCommand(oneValueSetting(Setting::PaperWidth), 1));
    EXPECT_EQ(e.paperDots(), 384);
    EXPECT_EQ(e.setting(vp::Stored::PaperWidth), oneValueSetting(Setting::PaperWidth).values[1]);
    // 58 mm paper is 384 dots, 76 mm 512, on a head at least as wide.
    const struct {
        const char *model;
        int choice, dots;
    } widths[] = {{"tavo80", 0, 384}, {"tavo80", 1, 512}, {"tavo76", 1, 400}, {"tavo76", 0, 384}};
    for (const auto &w : widths) {
        vp::Engine head = engine(w.model);
        head.feed(buildSettingCommand(oneValueSetting(Setting::PaperWidth), w.choice));
        EXPECT_EQ(head.paperDots(), w.dots) << w.model << " " << w.choice;
    }
    // The density is the grey of every dot: normal until it is set.
    const struct {
        int choice; // -1: never set
        int grey;
    } inks[] = {{-1, 48}, {0, 128}, {1, 48}, {2, 0}};
    for (const auto &ink : inks) {
        vp::Engine head = engine();
        if (ink.choice >= 0)
            head.feed(buildSettingCommand(oneValueSetting(Setting::Density), ink.choice));
        head.feed(ByteString("H\x0A", 2));
        const QImage paper = head.currentReceipt();
        int darkest = 255, greys = 0;
        for (int y = 0; y < paper.height(); ++y)
            for (int x = 0; x < paper.width(); ++x) {
                const int g = qGray(paper.pixel(x, y));
                greys += g != 255 && g != ink.grey;
                darkest = std::min(darkest, g);
            }
        EXPECT_EQ(darkest, ink.grey) << ink.choice;
        EXPECT_EQ(greys, 0) << ink.choice;
    }
    // A letter is drawn in its 12 x 24 cell as the font draws it there:
    // DejaVu Sans Mono's "H" from the cell's left, four dots down.
    vp::Engine letter = engine();
    letter.feed(ByteString("H\x0A", 2));
    EXPECT_EQ(inked(letter.currentReceipt()), QRect(QPoint(0, 4), QPoint(9, 18)));

    // The memory survives a power cycle; the downloaded image does not.
    e.feed(buildNvDownload(pattern(8, 8), Dialect::Normal, 0, kDefaultThreshold));
    e.feed(buildBitImageDefine(pattern(8, 8), {1, 1}, 0));
    vp::Engine again = engine("k3");
    again.restore(e.memory());
    EXPECT_EQ(again.serialBits(), 115200);
    EXPECT_EQ(again.setting(vp::Stored::PaperWidth), oneValueSetting(Setting::PaperWidth).values[1]);
    ASSERT_EQ(again.nvImages().size(), 1u);
    EXPECT_EQ(again.nvImages().at(1).data, e.nvImages().at(1).data);
    EXPECT_TRUE(again.downloaded().empty());
}

TEST(VirtualEngine, MemoryKeepsItsDocumentedKeysAndReadsTheFirstStateFiles)
{
    vp::Engine e = engine();
    ByteString all = buildSerialSpeed(5) + buildSetHParameter(0x12) + buildSetCodePage(7);
    for (const OneValueSetting &s : oneValueSettings())
        all += buildSettingCommand(s, 0);
    e.feed(all);
    const QJsonObject stored = e.memory().value(QStringLiteral("settings")).toObject();
    EXPECT_EQ(stored.keys(), (QStringList{"autoLineFeed", "buzzer", "defaultCodePage", "density", "emulation",
                                          "hParameter", "paperWidth", "reprint", "serialSpeed", "smallFont"}));
    EXPECT_EQ(stored.value(QStringLiteral("hParameter")).toInt(), 0x12);
    EXPECT_EQ(stored.value(QStringLiteral("density")).toInt(), 0x33);
    // The H parameter prints as its value, 0 until one is set: the same paper as the text
    // typed and the six lines (ESC d 6) the command feeds after it.
    for (const auto &[set, shown] : {std::pair<int, const char *>{-1, "H=0\n"}, {0x12, "H=18\n"}}) {
        vp::Engine asked = engine(), typed = engine();
        asked.feed((set < 0 ? ByteString() : buildSetHParameter(set)) + buildPrintHParameter());
        typed.feed(ByteString(shown) + ByteString("\x1B" "d\x06"));
        EXPECT_EQ(asked.currentReceipt(), typed.currentReceipt()) << shown;
    }

    // A state file saved under the decoder's English words keeps its memory,
    // saved again under the new names; a new name wins over an old one.
    const QJsonObject old{{"settings", QJsonObject{{"serial speed", 5}, {"paper width", 0x43}, {"density", 0x77},
                                                   {"print density", 0x33}}}};
    vp::Engine again = engine("k3");
    again.restore(old);
    EXPECT_EQ(again.serialBits(), 115200);
    EXPECT_EQ(again.setting(vp::Stored::PaperWidth), 0x43);
    EXPECT_EQ(again.memory().value(QStringLiteral("settings")).toObject(),
              (QJsonObject{{"serialSpeed", 5}, {"paperWidth", 0x43}, {"density", 0x77}}));

    // NV images read back only where FS q could have stored them: 1 to 1023
    // bytes across, 1 to 288 down, eight bytes for each.
    const struct {
        int x, y, bytes;
        bool kept;
    } images[] = {{1, 1, 8, true},      {1023, 1, 8184, true}, {1, 288, 2304, true}, {1024, 1, 8192, false},
                  {1, 289, 2312, false}, {0, 1, 0, false},     {2, 2, 31, false},    {2, 2, 33, false}};
    for (const auto &im : images) {
        const QJsonObject nv{{"number", 3}, {"x", im.x}, {"y", im.y},
                             {"data", QString::fromLatin1(QByteArray(im.bytes, '\x5A').toBase64())}};
        again.restore(QJsonObject{{"nv", QJsonArray{nv}}});
        EXPECT_EQ(again.nvImages().count(3), im.kept ? 1u : 0u) << im.x << " x " << im.y << ", " << im.bytes;
    }
}

TEST(VirtualEngine, CommandsSplitAcrossReadsAndGarbageNeverStopIt)
{
    const ByteString download = buildNvDownload(pattern(30, 30), Dialect::Normal, 0, kDefaultThreshold);
    vp::Engine e = engine();
    for (std::size_t at = 0; at < download.size(); at += 7)
        e.feed(download.substr(at, 7));
    ASSERT_EQ(e.nvImages().size(), 1u);
    EXPECT_EQ(e.counts().unknown, 0);
    e.feed(ByteString("\x07\xFF\x1B\x4A\x05 ok\x0A", 8));
    EXPECT_GE(e.counts().unknown, 1);
    e.feed(ByteString("\x1D\x76\x30\x00\xFF\xFF", 6)); // a raster that never arrives
    e.endJob();
    EXPECT_TRUE(e.takeLog().join('\n').contains(QStringLiteral("已丢弃 6 字节")));
}

TEST(VirtualEngine, ReceiptOfAThirdPartyEncoderRendersAsItMeansIt)
{
    // Made by esc-pos-encoder 3.0.0 (scripts/make-encoder-receipt.sh):
    // "Hello 123", "Bold" emphasised, "Mid" centred with spaces on a
    // 42-column line, then a 16 x 16 raster with a dot where (x + y) % 3 == 0.
    QFile file(QStringLiteral(TAVO_SOURCE_DIR "/tests/virtualprinter/encoder/receipt.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    vp::Engine e = engine();
    e.feed(ByteString(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    EXPECT_EQ(e.counts().unknown, 0);
    const QImage r = onlyReceipt(e);
    // Three text lines of 30 dots, then the raster at the left margin.
    const int top = 3 * 30;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(dark(r, x, top + y), (x + y) % 3 == 0) << x << "," << y;
    EXPECT_EQ(inked(r.copy(0, top, 576, 16)).width(), 16);
    // "Mid" after 19 spaces of font A.
    const QRect mid = inked(r.copy(0, 60, 576, 30));
    EXPECT_GE(mid.left(), 19 * 12);
    EXPECT_LT(mid.right(), 22 * 12);
    // Emphasis draws heavier strokes than the same font without it.
    auto inkOf = [&](int y0) {
        int n = 0;
        for (int y = y0; y < y0 + 30; ++y)
            for (int x = 0; x < 4 * 12; ++x)
                n += dark(r, x, y);
        return n;
    };
    vp::Engine plain = engine();
    plain.feed(ByteString("Bold\n", 5) + buildCut());
    const QImage p = onlyReceipt(plain);
    int plainInk = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 48; ++x)
            plainInk += dark(p, x, y);
    EXPECT_GT(inkOf(30), plainInk);
}

TEST(VirtualEngine, RealTimeStatusAnswersEachRequestInEachState)
{
    // DLE EOT n (ESC/POS): bits 1 and 4 always set. n = 1 printer status, bit 3
    // offline; n = 2 offline cause, bit 2 cover open, bit 5 stopped by paper
    // end; n = 3 error cause, bit 3 autocutter error; n = 4 paper sensor,
    // bits 2-3 near end, bits 5-6 paper end.
    // GS r 1 (or "1"): paper sensors, bits 0-1 near end, bits 2-3 end; GS r 2: the
    // drawer connector (closed: 0). GS I 1, 2, 3: model, type (bit 0
    // two-byte characters, bit 1 autocutter), firmware. GS I 65, 66, 67:
    // "_" firmware, maker, model name, NUL. DLE DC4 7 1: the automatic
    // status back's four bytes (first: bit 3 offline, bit 5 cover open; third:
    // bits 0-1 near end, bits 2-3 paper end), whatever GS a says.
    const ByteString requests("\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04"
                              "\x1D\x72\x01\x1D\x72\x31\x1D\x72\x02\x1D\x49\x01\x1D\x49\x02\x1D\x49\x03"
                              "\x1D\x49\x41\x1D\x49\x42\x1D\x49\x43\x10\x14\x07\x01"
                              "\x1D\x49\x31\x1D\x49\x32\x1D\x49\x33\x1D\x72\x32",
                              55);
    const std::string ids = std::string("\x20\x03\x10_1.00 VP\0_TAVO\0", 18) + "_Tavo 80 (80 mm thermal)" + '\0';
    const std::string tail("\x20\x03\x10\x00", 4); // GS I "1" to "3", GS r "2"
    const struct {
        vp::Status status;
        std::string answers;
    } rows[] = {
        {vp::Status::Online, std::string("\x12\x12\x12\x12\x00\x00\x00", 7) + ids + std::string("\x10\x00\x00\x00", 4) + tail},
        {vp::Status::Offline, std::string("\x1A\x16\x12\x12\x00\x00\x00", 7) + ids + std::string("\x38\x00\x00\x00", 4) + tail},
        {vp::Status::PaperEnd, std::string("\x1A\x32\x12\x7E\x0F\x0F\x00", 7) + ids + std::string("\x18\x00\x0F\x00", 4) + tail},
        {vp::Status::Silent, ""},
    };
    for (const auto &r : rows) {
        vp::Engine e = engine();
        e.setStatus(r.status);
        EXPECT_EQ(e.feed(requests), r.answers) << vp::statusName(r.status);
        EXPECT_EQ(e.counts().unknown, 0);
    }
    // The K3 also has a customer display (bit 2).
    EXPECT_EQ(engine("k3").feed(ByteString("\x1D\x49\x02", 3)), ByteString("\x07"));
}

// The log lists each command, and tells what the printer could not do as
// asked, each in its words.
TEST(VirtualEngine, TheLogTellsWhatCouldNotBeDoneAsAsked)
{
    const struct {
        ByteString bytes;
        QStringList log;
    } rows[] = {
        {ByteString("\x1C\x70\x01\x00", 4), {"没有 NV 位图 1"}},   // FS p with nothing stored
        {ByteString("\x1D\x2F\x00", 3), {"没有下载位图"}},          // GS / with nothing defined
        {ByteString("\x1B\x1C\x70\x01\x00", 5), {"仿真模式不接受这种写法，已跳过：ESC FS p"}}, // Star's, in ESC/POS mode
        {ByteString("\x1B\x65\x03", 3), {"倒纸 3：纸不倒回"}},
        {ByteString("\x07\x1B\x42\x0C\x02", 5), {"蜂鸣 1 次", "蜂鸣 9 次"}}, // at most nine
        {ByteString("\x1B\x33\x64\x1B\x64\x19", 6), {"走纸 2500 点，图中只画 2400 点"}},
        {ByteString("\x1B\x33\x64\x1B\x64\x18", 6), {}}, // 2400 dots: drawn whole
        // EAN-13 with one digit too many, told in the barcode library's words.
        {ByteString("\x1D\x6B\x43\x0E" "12345678901234", 18),
         {"条码数据不合规则，没有打印：Error 294: Input too long (13 character maximum)"}},
        {ByteString("AB\x1D\x99", 4), {"打印机不认识，已跳过：1D 99"}}, // the unknown bytes, not the text before
        // Sixteen unknown bytes are still shown whole.
        {ByteString("\x1D\x28\x7A\x0B\x00" "0123456789A", 16), {"打印机不认识，已跳过：1D 28 7A 0B 00 30 31 32 33 34 35 36 37 38 39 41"}},
    };
    for (const auto &r : rows) {
        vp::Engine e = engine();
        e.feed(r.bytes);
        QStringList notes; // the lines between the commands' own listings
        for (const QString &l : e.takeLog())
            if (!l.isEmpty() && l[0].unicode() >= 0x80)
                notes << l;
        EXPECT_EQ(notes, r.log) << r.log.join('|').toStdString();
    }
}

// Printing as printers apply their modes: justification where a line
// begins, ESC @ throwing the line away, a table's own characters, column
// images dot for dot, beeps counted, and metres of blank feed drawn short.
TEST(VirtualEngine, ModesTakeEffectAsPrintersApplyThem)
{
    {
        vp::Engine e = engine();
        e.feed(ByteString("\x1B\x61\x01" "AB" "\x1B\x61\x00\x0A", 9));
        const QRect ink = inked(e.currentReceipt());
        // Centred, as the line began: the margins differ by less than a cell.
        EXPECT_LE(std::abs(ink.left() - (575 - ink.right())), 12) << ink.left() << " " << ink.right();
    }
    {
        vp::Engine e = engine();
        e.feed(ByteString("XYZ\x1B\x40\x0A\x1D\x56\x42\x00", 10));
        const QImage receipt = onlyReceipt(e);
        EXPECT_TRUE(inked(receipt).isNull()); // nothing of "XYZ" printed
    }
    {
        // A feed of no dots, then a cut: no paper went by, so there is no receipt.
        vp::Engine e = engine();
        e.feed(ByteString("\x1B\x4A\x00\x1D\x56\x00", 6));
        EXPECT_EQ(e.counts().cuts, 1);
        EXPECT_TRUE(e.takeReceipts().empty());
        // Each command is logged by its name, in a column of ten, and its meaning.
        EXPECT_TRUE(e.takeLog().contains(QStringLiteral("ESC J       print and feed 0 units")));
    }
    // Every command these lines use is one the printer knows and acts on.
    auto line = [](const ByteString &bytes) {
        vp::Engine e = engine();
        e.feed(bytes);
        EXPECT_EQ(e.counts().unknown, 0) << escpos::hexOf(bytes, 0, bytes.size(), 64);
        const QStringList idle = e.takeLog().filter(QStringLiteral("没有可画的"));
        EXPECT_TRUE(idle.isEmpty()) << idle.join(QLatin1Char('|')).toStdString();
        return e.currentReceipt();
    };
    // The euro sign of code page 858 and of Windows-1252 is one glyph; the
    // same byte under code page 437 is another character.
    const QImage euro858 = line(ByteString("\x1B\x74\x13\xD5\x0A", 5));
    EXPECT_EQ(euro858, line(ByteString("\x1B\x74\x10\x80\x0A", 5)));
    EXPECT_NE(euro858, line(ByteString("\x1B\x74\x00\xD5\x0A", 5)));
    EXPECT_FALSE(inked(euro858).isNull());
    // Each table puts its own character at a byte: the one the Windows table
    // that also holds it (1252: 16, 1251: 46) prints.
    auto glyph = [&](int page, int byte) {
        return line(ByteString("\x1B\x74", 2) + char(page) + char(byte) + '\n');
    };
    const struct {
        int page, byte, windowsPage, windowsByte;
    } same[] = {
        {0, 0x84, 16, 0xE4},  // CP437: ä
        {2, 0xB5, 16, 0xC1},  // CP850: Á
        {3, 0x84, 16, 0xE3},  // CP860: ã
        {4, 0x84, 16, 0xC2},  // CP863: Â
        {5, 0x9B, 16, 0xF8},  // CP865: ø
        {17, 0x80, 46, 0xC0}, // CP866: А
        {34, 0x80, 46, 0x90}, // CP855: ђ
    };
    for (const auto &c : same)
        EXPECT_EQ(glyph(c.page, c.byte), glyph(c.windowsPage, c.windowsByte)) << c.page;
    EXPECT_NE(glyph(17, 0x80), glyph(34, 0x80)); // the font draws each
    // Katakana's half-width ｱ is one byte of its table, never an unknown "?".
    EXPECT_NE(glyph(1, 0xB1), glyph(1, '?'));
    // ESC R 2 (Germany) prints "[" as "Ä", as Windows-1252's C4 does.
    EXPECT_EQ(line(ByteString("\x1B\x52\x02[\x0A", 5)), line(ByteString("\x1B\x74\x10\xC4\x0A", 5)));
    // After FS . the two bytes of 汉 are two characters of the code page;
    // after FS & they are one Chinese character again, as at power-on.
    const ByteString han("\xBA\xBA\x0A", 3);
    EXPECT_NE(line(ByteString("\x1C\x2E", 2) + han), line(han));
    EXPECT_EQ(line(ByteString("\x1C\x2E\x1C\x26", 4) + han), line(han));

    {
        // ESC * 33: two 24-dot columns, dot for dot.
        vp::Engine e = engine();
        e.feed(ByteString("\x1B\x33\x18\x1B\x2A\x21\x02\x00\x80\x00\x01\xFF\xFF\xFF\x0A", 15));
        const QImage paper = e.currentReceipt();
        ASSERT_FALSE(paper.isNull());
        EXPECT_EQ(inked(paper), QRect(0, 0, 2, 24));
        EXPECT_TRUE(dark(paper, 0, 0));
        EXPECT_FALSE(dark(paper, 0, 1));
        EXPECT_TRUE(dark(paper, 0, 23));
        for (int y = 0; y < 24; ++y)
            EXPECT_TRUE(dark(paper, 1, y)) << y;
        EXPECT_EQ(e.counts().unknown, 0);
    }
    {
        // ESC * 1: 8-dot columns of one byte each, every dot three high.
        vp::Engine e = engine();
        e.feed(ByteString("\x1B\x2A\x01\x02\x00\x80\x01\x0A", 8));
        const QImage paper = e.currentReceipt();
        EXPECT_EQ(inked(paper), QRect(0, 0, 2, 24));
        EXPECT_TRUE(dark(paper, 0, 2) && !dark(paper, 0, 3) && !dark(paper, 1, 20) && dark(paper, 1, 21));
    }
    {
        vp::Engine e = engine();
        e.feed(ByteString("\x07\x1B\x42\x03\x02\x10\x14\x01\x00\x05", 10));
        EXPECT_EQ(e.counts().beeps, 4);
        EXPECT_EQ(e.counts().drawerPulses, 1); // DLE DC4 1: the real-time pulse
    }
    // HT goes to the next stop: every eighth character at first, those ESC
    // D gives, none once ESC D clears them ("B" ends inside its cell).
    const struct {
        ByteString stops;
        int cell; // where "B" begins, in dots
    } tabs[] = {{ByteString(), 96},
                {ByteString("\x1B\x44\x04\x00", 4), 48},
                {ByteString("\x1B\x44\x01\x04\x00", 5), 48}, // "A" ends on the first stop: the next one
                {ByteString("\x1B\x44\x00", 3), 12}};
    for (const auto &t : tabs) {
        const QRect ink = inked(line(t.stops + ByteString("A\x09" "B\x0A", 4)));
        EXPECT_GE(ink.right(), t.cell) << t.cell;
        EXPECT_LT(ink.right(), t.cell + 12) << t.cell;
    }
    // Sizes, underlines, feeds and black-mark positions, in dots: the inked
    // area of each against a plain "H" (12 x 24 in font A).
    const QSize h = inked(line(ByteString("H\x0A", 2))).size();
    auto marked = [](MarkDirection d) { return ByteString("H\x0A", 2) + buildMarkOffset(MarkTarget::PrintStart, d, 20) + ByteString("\x1D\x0CH\x0A", 4); };
    const struct {
        const char *what;
        ByteString bytes;
        QSize size;
    } shapes[] = {
        {"GS ! two wide", ByteString("\x1D\x21\x10H\x0A", 5), QSize(2 * h.width(), h.height())},
        {"ESC ! two wide", ByteString("\x1B\x21\x20H\x0A", 5), QSize(2 * h.width(), h.height())},
        {"GS ! three high", ByteString("\x1D\x21\x02H\x0A", 5), QSize(h.width(), 3 * h.height())},
        {"ESC - 1", ByteString("\x1B\x2D\x01 \x0A", 5), QSize(12, 1)},
        {"ESC - 2", ByteString("\x1B\x2D\x32 \x0A", 5), QSize(12, 2)},
        {"ESC ! underlined", ByteString("\x1B\x21\x80 \x0A", 5), QSize(12, 1)},
        {"ESC M '1': font B", ByteString("\x1B\x4D\x31\x1B\x2D\x01 \x0A", 8), QSize(9, 1)},
        {"ESC d 2 at 100", ByteString("H\x1B\x33\x64\x1B\x64\x02H\x0A", 9), QSize(h.width(), 200 + h.height())},
        {"mark forward", marked(MarkDirection::Forward), QSize(h.width(), 480 + 20 + h.height())},
        {"mark backward", marked(MarkDirection::Backward), QSize(h.width(), 480 - 20 + h.height())},
    };
    for (const auto &shape : shapes)
        EXPECT_EQ(inked(line(shape.bytes)).size(), shape.size) << shape.what;
    // Marked paper shows its marks in light grey along the left edge, 6 dots
    // wide and 24 high, one every 480 dots; plain paper shows none.
    const QImage paper = line(ByteString("H\x0A", 2) + buildMarkOffset(MarkTarget::PrintStart, MarkDirection::Forward, 20) +
                              ByteString("\x1D\x0C\x1B\x4A\x64", 5));
    QList<int> marks;
    for (int y = 0; y < paper.height(); ++y)
        if (qGray(paper.pixel(0, y)) == 220 && (y == 0 || qGray(paper.pixel(0, y - 1)) != 220))
            marks << y;
    EXPECT_EQ(marks, QList<int>{480});
    EXPECT_EQ(qGray(paper.pixel(5, 503)), 220);
    EXPECT_EQ(qGray(paper.pixel(6, 480)), 255);
    EXPECT_EQ(qGray(paper.pixel(0, 504)), 255);
    EXPECT_EQ(qGray(line(ByteString("\x1B\x4A\xFF\x1B\x4A\xFF\x0A", 7)).pixel(0, 480)), 255);
    // Where the ink lands, against an "H" and a "." at the left of an 80 mm
    // line (576 dots): positions and margins in dots, spacing right of each
    // character and scaled with it, an area that wraps the line and holds
    // its justification; a line turned upside down or a quarter clockwise.
    const QRect hr = inked(line(ByteString("H\x0A", 2))), dot = inked(line(ByteString(".\x0A", 2)));
    const QRect turned(23 - dot.bottom(), dot.left(), dot.height(), dot.width());
    const struct {
        const char *what;
        ByteString bytes;
        QRect ink;
    } places[] = {
        {"ESC $ 100", ByteString("\x1B\x24\x64\x00H\x0A", 6), hr.translated(100, 0)},
        {"ESC $ 300", ByteString("\x1B\x24\x2C\x01H\x0A", 6), hr.translated(300, 0)},
        {"ESC \\ 20 after H", ByteString("H\x1B\x5C\x14\x00H\x0A", 7), hr.adjusted(0, 0, 32, 0)},
        {"ESC \\ 300", ByteString("\x1B\x5C\x2C\x01H\x0A", 6), hr.translated(300, 0)},
        {"ESC \\ -1 at the left edge", ByteString("\x1B\x5C\xFF\xFFH\x0A", 6), hr},
        {"ESC $ 0", ByteString("\x1B\x24\x00\x00H\x0A", 6), hr},
        {"ESC SP 6", ByteString("\x1B\x20\x06HH\x0A", 6), hr.adjusted(0, 0, 18, 0)},
        {"ESC SP 6 two wide", ByteString("\x1D\x21\x10\x1B\x20\x06HH\x0A", 9),
         QRect(2 * hr.left(), hr.top(), 36 + 2 * hr.width(), hr.height())},
        {"GS L 50", ByteString("\x1D\x4C\x32\x00H\x0A", 6), hr.translated(50, 0)},
        {"GS L 300", ByteString("\x1D\x4C\x2C\x01H\x0A", 6), hr.translated(300, 0)},
        {"GS L past the head", ByteString("\x1D\x4C\xFF\xFF\x1B\x2A\x01\x01\x00\x81\x0A", 11), QRect(575, 0, 1, 24)},
        {"GS L 100 centred", ByteString("\x1D\x4C\x64\x00\x1B\x61\x01H\x0A", 9), hr.translated(100 + (476 - 12) / 2, 0)},
        {"GS W 200 right", ByteString("\x1D\x57\xC8\x00\x1B\x61\x02H\x0A", 9), hr.translated(200 - 12, 0)},
        {"GS W 300 centred", ByteString("\x1D\x57\x2C\x01\x1B\x61\x01H\x0A", 9), hr.translated((300 - 12) / 2, 0)},
        {"GS W 24 wraps", ByteString("\x1D\x57\x18\x00HHH\x0A", 8), hr.adjusted(0, 0, 12, 30)},
        {"ESC { 1", ByteString("\x1B\x7B\x01.\x0A", 5), QRect(11 - dot.right(), 23 - dot.bottom(), dot.width(), dot.height())},
        {"ESC { 2", ByteString("\x1B\x7B\x02.\x0A", 5), dot}, // bit 0 only
        {"ESC V 1", ByteString("\x1B\x56\x01.\x0A", 5), turned},
        {"ESC V \"2\"", ByteString("\x1B\x56\x32.\x0A", 5), turned},
        {"ESC V 3", ByteString("\x1B\x56\x03.\x0A", 5), dot},
        // ESC * columns: 8 dots three high, or 24; single density twice as wide.
        {"ESC * 0", ByteString("\x1B\x2A\x00\x01\x00\x81\x0A", 7), QRect(0, 0, 2, 24)},
        {"ESC * 1", ByteString("\x1B\x2A\x01\x01\x00\x81\x0A", 7), QRect(0, 0, 1, 24)},
        {"ESC * 32", ByteString("\x1B\x2A\x20\x01\x00\x80\x00\x01\x0A", 9), QRect(0, 0, 2, 24)},
        {"GS B 2", ByteString("\x1D\x42\x02H\x0A", 5), hr}, // bit 0 only
        {"GS ! 17, then ESC ! 0", ByteString("\x1D\x21\x11\x1B\x21\x00H\x0A", 8), hr}, // ESC ! sets the size too
        {"GS B 1", ByteString("\x1D\x42\x01H\x0A", 5), QRect(0, 0, 12, 24)},
        // GS * 2 1: sixteen columns of one byte, dots at 0,0 and 15,7; GS / 0 prints it.
        {"GS * 2 1",
         ByteString("\x1D\x2A\x02\x01\x80", 5) + ByteString(14, '\0') + ByteString("\x01\x1D\x2F\x00\x0A", 5),
         QRect(0, 0, 16, 8)},
        // A raster of two rows (dots at 0,0 and 7,1), and the line below it.
        {"raster then H", ByteString("\x1D\x76\x30\x00\x01\x00\x02\x00\x80\x01H\x0A", 12),
         QRect(QPoint(0, 0), QPoint(std::max(7, hr.right()), hr.bottom() + 2))},
    };
    for (const auto &place : places)
        EXPECT_EQ(inked(line(place.bytes)), place.ink) << place.what;
    // A character wider than what is left of the paper is cut at its edge,
    // not carried round to the next dot row.
    const QRect cutOff = inked(line(ByteString("\x1D\x4C\x30\x02\x1D\x21\x10H\x0A", 9)));
    EXPECT_EQ(cutOff, QRect(QPoint(560 + 2 * hr.left(), hr.top()), QPoint(575, hr.bottom())));
    // A barcode's bars begin after its quiet zone of ten modules.
    EXPECT_EQ(inked(line(ByteString("\x1D\x77\x03\x1D\x6B\x04" "AB\x00", 9))).left(), 30);
    // ESC @ puts every mode back as it was at power-on: after it, text with a
    // tab and a barcode print as on a fresh printer.
    const ByteString plain("H\x09HHH\x0A\x1D\x6B\x04" "AB\x00", 12);
    const ByteString modes("\x1B\x21\x38\x1D\x21\x11\x1B\x61\x02\x1B\x33\x64\x1B\x2D\x02\x1D\x42\x01\x1B\x7B\x01"
                           "\x1B\x56\x01\x1B\x20\x06\x1D\x4C\x32\x00\x1D\x57\x18\x00\x1B\x44\x02\x00\x1D\x48\x02"
                           "\x1D\x68\x20\x1D\x77\x04\x1B\x45\x01\x1D\x66\x01",
                           54);
    EXPECT_NE(line(modes + plain), line(plain));
    EXPECT_EQ(line(modes + ByteString("\x1B\x40", 2) + plain), line(plain));
    // Line spacing 255, then n feeds of 255 lines: 2400 dots a feed.
    const auto feeds255 = [](int n) {
        ByteString b("\x1B\x33\xFF", 3);
        for (int i = 0; i < n; ++i)
            b += ByteString("\x1B\x64\xFF", 3);
        return b;
    };
    {
        // 33 bytes: line spacing 255, then ten feeds of 255 lines.
        vp::Engine e = engine();
        e.feed(feeds255(10));
        EXPECT_LE(e.currentReceipt().height(), 10 * 2400);
        EXPECT_LE(e.currentReceipt().sizeInBytes(), 16 * 1024 * 1024);
    }
    for (int feeds : {24, 25}) {
        // 2400 dots a feed: at 60000 the roll is torn off as it is.
        vp::Engine e = engine();
        e.feed(feeds255(feeds));
        const auto torn = e.takeReceipts();
        ASSERT_EQ(torn.size(), feeds == 25 ? 1u : 0u) << feeds;
        EXPECT_EQ(feeds == 25 ? torn.front().height() : e.currentReceipt().height(), 2400 * feeds);
        EXPECT_EQ(e.counts().receipts, feeds == 25 ? 1 : 0);
    }
    {
        // A raster of 2700 rows that begins 2400 dots before the end of the
        // roll: drawn as far as the paper goes (the roll's 60000 dots and the
        // 256 the paper keeps in hand), and no row beyond it.
        vp::Engine e = engine();
        e.feed(feeds255(24) + ByteString("\x1D\x76\x30\x00\x01\x00\x8C\x0A", 8) + ByteString(2700, '\xFF'));
        const auto torn = e.takeReceipts();
        ASSERT_EQ(torn.size(), 1u);
        EXPECT_EQ(torn.front().height(), 60256);
    }
}

// Each table of ESC t reads a byte as that table's chart gives it, by a
// character no other table puts at that byte (two for 437 and 1252, whose
// every one some other table shares).
TEST(VirtualEngine, EachCharacterTableReadsAsItsChart)
{
    const struct {
        int page;
        const char *bytes;
        const char16_t *text;
    } tables[] = {
        {0, "\x80\x9D", u"Ç¥"}, {1, "\xB1", u"ｱ"},  {2, "\xD5", u"ı"},  {3, "\x84", u"ã"},  {4, "\x84", u"Â"},
        {5, "\xAF", u"¤"},      {13, "\x8D", u"ı"}, {14, "\x80", u"Α"}, {15, "\xAA", u"ͺ"}, {16, "\x83\x8E", u"ƒŽ"},
        {17, "\xF2", u"Є"},     {18, "\x85", u"ů"}, {19, "\xD5", u"€"}, {32, "\x95", u"ـ"}, {33, "\x80", u"Ć"},
        {34, "\x80", u"ђ"},     {35, "\x8B", u"Ð"}, {36, "\x80", u"א"}, {37, "\x90", u"β"}, {38, "\x86", u"Ά"},
        {39, "\xA1", u"Ą"},     {40, "\xA6", u"Š"}, {44, "\xF2", u"Ґ"}, {45, "\x8C", u"Ś"}, {46, "\x80", u"Ђ"},
        {47, "\xA2", u"Ά"},     {48, "\xD0", u"Ğ"}, {49, "\xD4", u"װ"}, {50, "\x81", u"پ"}, {51, "\x8E", u"ˇ"},
        {52, "\xD5", u"Ơ"},
    };
    for (const auto &t : tables) {
        ASSERT_NE(vp::codePageName(t.page), nullptr) << t.page;
        EXPECT_EQ(QStringDecoder(vp::codePageName(t.page)).decode(QByteArray(t.bytes)), QString::fromUtf16(t.text)) << t.page;
    }
    for (int none : {6, 10, 12, 20, 31, 41, 43, 53, 255})
        EXPECT_EQ(vp::codePageName(none), nullptr) << none;
}

TEST(VirtualPrinterOptions, TcpListensWhereItIsToldAndNowhereElse)
{
    const struct {
        const char *text;
        QStringList hosts;
        int port;
    } good[] = {
        {"65535", {"127.0.0.1"}, 65535},       {"[::1]:9103", {"::1"}, 9103},
        {"127.0.0.1:0", {"127.0.0.1"}, 0},     {"0.0.0.0:9100", {"0.0.0.0"}, 9100},
    };
    for (const auto &g : good) {
        QStringList hosts;
        QString error;
        int port = -1;
        EXPECT_TRUE(vp::parseListenAddress(QLatin1String(g.text), hosts, port, error)) << g.text << error.toStdString();
        EXPECT_EQ(hosts, g.hosts) << g.text;
        EXPECT_EQ(port, g.port) << g.text;
    }
    {
        // A name binds every address it has; localhost its loopback ones only.
        QStringList hosts;
        QString error;
        int port = -1;
        ASSERT_TRUE(vp::parseListenAddress(QStringLiteral("localhost:9102"), hosts, port, error));
        EXPECT_TRUE(hosts.contains(QStringLiteral("127.0.0.1")));
        for (const QString &h : hosts)
            EXPECT_TRUE(QHostAddress(h).isLoopback()) << h.toStdString();
    }
    const char *const brackets = "an IPv6 address goes in brackets with a port after it, as [::1]:9100";
    const char *const forms = "give PORT, HOST:PORT or [IPv6]:PORT", *const range = "the port must be 0 to 65535";
    const std::pair<const char *, const char *> bad[] = {
        {"127.0.0.1:65536", range}, {"127.0.0.1:x", range},  {"::1:9100", forms},
        {"abc", forms},             {"[::1]", brackets},     {"[::1]9100", brackets},
        {"no-such-host.invalid:9100", "no-such-host.invalid has no address"}};
    for (const auto &[text, why] : bad) {
        QStringList hosts;
        QString error;
        int port = 0;
        EXPECT_FALSE(vp::parseListenAddress(QLatin1String(text), hosts, port, error)) << text;
        EXPECT_EQ(error, QStringLiteral("--tcp %1: %2").arg(QLatin1String(text), QLatin1String(why)));
    }
}

// The printer's options: what each sets, a TCP printer on 127.0.0.1:9100
// when no line is named, and each bad option told in its own words.
TEST(VirtualPrinterOptions, EachOptionSetsItsFieldAndBadOnesAreNamed)
{
    const struct {
        QStringList args;
        const char *error; // empty: accepted
    } refused[] = {
        {{"--frob"}, "unknown option --frob"},
        {{"--out"}, "--out needs a value"},
        {{"--model", "tavo99"}, "--model takes tavo80, tavo58, tavo76 or k3"},
        {{"--status", "asleep"}, "--status takes online, offline, paper-end or silent"},
    };
    for (const auto &r : refused) {
        vp::Options o;
        QString error;
        bool headless = true;
        EXPECT_FALSE(vp::parseOptions(r.args, o, error, headless)) << r.error;
        EXPECT_EQ(error, QLatin1String(r.error));
    }
    vp::Options o;
    QString error;
    bool headless = true;
    ASSERT_TRUE(vp::parseOptions({}, o, error, headless));
    EXPECT_FALSE(headless);
    EXPECT_FALSE(o.paced);
    EXPECT_EQ(o.model, "tavo80");
    EXPECT_EQ(o.status, vp::Status::Online);
    EXPECT_EQ(o.tcp, "127.0.0.1:9100");
    EXPECT_EQ(o.tcpHosts, QStringList{"127.0.0.1"});
    EXPECT_EQ(o.tcpPort, 9100);
    vp::Options all;
    ASSERT_TRUE(vp::parseOptions({"--headless", "--paced", "--model", "k3", "--status", "paper-end", "--serial", "/tmp/s",
                                  "--parallel", "/tmp/p", "--out", "/tmp/o", "--state", "/tmp/m.json"},
                                 all, error, headless));
    EXPECT_TRUE(headless);
    EXPECT_TRUE(all.paced);
    EXPECT_EQ(all.model, "k3");
    EXPECT_EQ(all.status, vp::Status::PaperEnd);
    EXPECT_EQ(all.tcp, ""); // a named line, and no TCP unless asked
    EXPECT_EQ(QStringList({all.serial, all.parallel, all.outDir, all.stateFile}), QStringList({"/tmp/s", "/tmp/p", "/tmp/o", "/tmp/m.json"}));
    for (const char *name : {"online", "offline", "paper-end", "silent"}) {
        bool ok = false;
        EXPECT_STREQ(vp::statusName(vp::statusByName(name, &ok)), name);
        EXPECT_TRUE(ok) << name;
    }
    bool ok = true;
    vp::statusByName("asleep", &ok);
    EXPECT_FALSE(ok);
}

// A receipt is written as one bit a dot when it shows one ink, with that
// ink's grey, and dot for dot the same; with a second grey it stays as it is.
TEST(VirtualEngine, ReceiptsAreWrittenCompactAndUnchanged)
{
    vp::Engine e = engine();
    e.feed(ByteString("Hello\n\x1D\x56\x42\x00", 10));
    const QImage drawn = onlyReceipt(e);
    const QImage compact = vp::compactReceipt(drawn);
    EXPECT_EQ(compact.format(), QImage::Format_Mono);
    EXPECT_EQ(compact.convertToFormat(QImage::Format_Grayscale8), drawn);
    QImage twoGreys = drawn;
    twoGreys.setPixel(0, 0, qRgb(220, 220, 220));
    EXPECT_EQ(vp::compactReceipt(twoGreys), twoGreys);
}

// The customer display as the K3 shows it: seven segments a digit, lit as
// the usual patterns have them (a top, b c right, d bottom, e f left, g
// middle), a point after its digit, and a lamp beside each of its words.
TEST(VirtualDisplay, SevenSegmentDigitsPointsAndLamps)
{
    const char *lit[] = {"abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};
    // The eighth digit's segments and point, whose cell starts at x 260,
    // y 8: 28 x 48 dots, bars 4 dots thick.
    const struct {
        char segment;
        QRect at;
    } segments[] = {{'a', {263, 8, 22, 4}},  {'b', {284, 11, 4, 20}}, {'c', {284, 33, 4, 20}}, {'d', {263, 52, 22, 4}},
                    {'e', {260, 33, 4, 20}}, {'f', {260, 11, 4, 20}}, {'g', {263, 30, 22, 4}}, {'.', {289, 52, 4, 4}}};
    const QRgb on = qRgb(64, 255, 96), off = qRgb(40, 48, 40), panel = qRgb(16, 16, 16);
    for (int d = 0; d < 10; ++d) {
        const QImage shown = vp::Display{QStringLiteral("1%1.").arg(d)}.render();
        // Dot for dot, from the seventh digit's point to the right edge.
        int wrong = 0;
        QString first;
        for (int y = 0; y < 64; ++y)
            for (int x = 257; x < shown.width(); ++x) {
                QRgb want = panel;
                for (const auto &s : segments)
                    if (s.at.contains(x, y))
                        want = s.segment == '.' || std::strchr(lit[d], s.segment) ? on : off;
                if (shown.pixel(x, y) != want && wrong++ == 0)
                    first = QStringLiteral("%1,%2").arg(x).arg(y);
            }
        EXPECT_EQ(wrong, 0) << d << " first at " << first.toStdString();
        EXPECT_EQ(shown.pixel(255, 54), off) << d; // the digit before has no point
    }
    vp::Display lamps{QStringLiteral("1")};
    lamps.totalLamp = true;
    const QImage shown = lamps.render();
    const int lampY = 48 + 24, half = shown.width() / 2;
    EXPECT_EQ(shown.pixel(8 + 7, lampY + 7), qRgb(64, 24, 24));
    EXPECT_EQ(shown.pixel(half + 7, lampY + 7), qRgb(255, 64, 64));
    // Each lamp is 14 dots round, 24 below the digits: the panel shows
    // above and below it.
    for (int y : {lampY - 2, lampY + 16})
        EXPECT_EQ(shown.pixel(8 + 7, y), panel) << y;
    // Each word stands right of its lamp, none across it.
    auto words = [&](int x0, int x1) {
        int n = 0;
        for (int y = lampY - 6; y < lampY + 18; ++y)
            for (int x = x0; x < x1; ++x)
                n += qGray(shown.pixel(x, y)) > 150;
        return n;
    };
    EXPECT_GT(words(8 + 18, half - 4), 0);
    EXPECT_GT(words(half + 18, shown.width()), 0);
    EXPECT_EQ(words(half - 30, half + 15), 0);
}
