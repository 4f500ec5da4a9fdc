// The logo window with real BMP files, loaded through its dialog as an
// operator would, and its commands at real peers.
#include "logo/logocommands.h"
#include "tests/support/bmpwriter.h"
#include "tests/support/hex.h"
#include "tests/support/programfixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kYellow = 0x0000FFFF;
constexpr std::int32_t kBlue = 0x00FF0000;

Picture pattern(int w, int h, bool twoColours)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = (x * 7 + y * 3) % 5;
            if (twoColours)
                p.set(x, y, k < 2 ? kBlack : kWhite);
            else
                p.set(x, y, k == 0 ? kBlack : k == 1 ? kYellow : k == 2 ? kBlue : kWhite);
        }
    return p;
}

} // namespace

class LogoWindow : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        nvf = program->nvf.get();
        nvf->show();
    }

    std::string writeBmp(const std::string &name, const std::string &bytes)
    {
        const std::string path = dir + "/" + name;
        bmp::write(path, bytes);
        return path;
    }
    void load(const std::string &path)
    {
        outside.nextFiles << QString::fromStdString(path);
        click(nvf, "BitBtn1");
    }
    QLineEdit *edit(const char *name) { return child<QLineEdit>(nvf, name); }
    QString label1() { return child<QLabel>(nvf, "Label1")->text(); }

    Tnvf *nvf = nullptr;
};

TEST_F(LogoWindow, StartsWithTheSamplePicture)
{
    EXPECT_EQ(nvf->picture().width, 167);
    EXPECT_EQ(nvf->picture().height, 49);
    EXPECT_EQ(label1(), QStringLiteral("位图大小: 1176 字节"));
    EXPECT_EQ(edit("Edit10")->text(), "$00800000");
    EXPECT_FALSE(edit("Edit10")->isVisible());
    EXPECT_EQ(edit("Edit13")->text(), "1536");
    EXPECT_EQ(edit("Edit9")->text(), "c:\\hex.bin");

    click(nvf, "Button2"); // LPT1
    const std::string sent = lpt1Contents();
    ASSERT_EQ(sent.size(), 1188u);
    EXPECT_EQ(hex(sent.substr(0, 11)), "1B 40 1D 54 1C 71 01 15 00 07 00");
    EXPECT_EQ(sent, buildNvDownload(nvf->picture(), Dialect::Normal, 0, kDefaultThreshold));
    click(nvf, "CheckBox1");
    click(nvf, "Button2");
    EXPECT_EQ(lpt1Contents().size(), 1187u);

    // Cancelling the dialog keeps the picture and still shows its size.
    click(nvf, "BitBtn1");
    EXPECT_EQ(label1(), QStringLiteral("位图大小： 1176 字节"));
    EXPECT_EQ(outside.filters.last(), QStringLiteral("位图文件 (*.BMP *.bmp)"));
}

TEST_F(LogoWindow, EveryDepthAndRowOrderLoadsTheSamePixels)
{
    pick(form1()->dk(), "COM3");
    for (int bpp : {1, 4, 8, 24, 32})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bpp) + (topDown ? " top-down" : " bottom-up"));
            // 33 dots: a 1-bit row takes 5 bytes and pads to 8, a 4-bit row
            // takes 17 and pads to 20.
            const Picture pic = pattern(33, 10, bpp == 1);
            load(writeBmp("p" + std::to_string(bpp) + (topDown ? "t" : "b") + ".bmp", bmp::encode(pic, bpp, topDown)));
            ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
            ASSERT_EQ(nvf->picture().width, 33);
            ASSERT_EQ(nvf->picture().height, 10);
            EXPECT_EQ(nvf->picture().pixels, pic.pixels);
            printer.clearReceived();
            click(nvf, "Button2");
            const ByteString expected = buildNvDownload(pic, Dialect::Normal, 0, kDefaultThreshold);
            ASSERT_TRUE(printer.waitFor(expected.size()));
            EXPECT_EQ(printer.received(), expected);
        }
}

TEST_F(LogoWindow, BadFilesAreToldAndThePictureStays)
{
    const std::string good = bmp::encode(pattern(16, 8, false), 24, false);
    std::string huge = good.substr(0, 54);
    huge[18] = static_cast<char>(0x30), huge[19] = static_cast<char>(0x75); // 30000 wide
    huge[22] = static_cast<char>(0x30), huge[23] = static_cast<char>(0x75); // 30000 high
    std::string zeroWidth = good;
    zeroWidth[18] = zeroWidth[19] = zeroWidth[20] = zeroWidth[21] = 0;
    std::string wrongMagic = good;
    wrongMagic[0] = 'X';
    std::string oddDepth = good; // the reader itself gives up on 7 bits a pixel
    oddDepth[28] = 7;
    const std::pair<const char *, std::string> bad[] = {
        {"truncated.bmp", good.substr(0, 40)},
        {"cut-pixels.bmp", good.substr(0, 60)},
        // Three pixels a row and three bytes of padding: only the padding of
        // the last row is missing.
        {"cut-padding.bmp", [] {
             const std::string narrow = bmp::encode(pattern(3, 2, false), 24, false);
             return narrow.substr(0, narrow.size() - 1);
         }()},
        {"magic.bmp", wrongMagic},
        {"depth.bmp", oddDepth},
        {"huge.bmp", huge},
        {"zero.bmp", zeroWidth},
        {"text.bmp", "this is not a picture at all\n"},
        {"empty.bmp", ""},
    };
    const std::vector<std::int32_t> before = nvf->picture().pixels;
    for (const auto &b : bad) {
        SCOPED_TRACE(b.first);
        outside.clear();
        load(writeBmp(b.first, b.second));
        ASSERT_EQ(outside.errors.size(), 1);
        EXPECT_TRUE(outside.errors[0].contains(QString::fromLatin1(b.first)));
        // The reason is told in the program's words, not the image reader's.
        const QString reason = outside.errors[0].section(QStringLiteral("："), -1).remove(QStringLiteral("BMP"));
        EXPECT_FALSE(reason.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}")))) << outside.errors[0].toStdString();
        EXPECT_EQ(nvf->picture().pixels, before);
        EXPECT_EQ(nvf->picture().width, 167);
    }
    load(dir + "/does-not-exist.bmp");
    EXPECT_EQ(nvf->picture().width, 167);
    EXPECT_EQ(lpt1Contents(), "");
}

TEST_F(LogoWindow, SizeWarningAndWindowWidth)
{
    load(writeBmp("big.bmp", bmp::encode(Picture(1000, 400), 24, false)));
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("BMP图形太大!请重新选择!")});
    EXPECT_EQ(label1(), QStringLiteral("位图大小： 50000 字节"));
    outside.clear();
    click(nvf, "Button6"); // refused again at export
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("BMP图形太大，不能下载！请重新选择!")});

    outside.clear();
    load(writeBmp("ok.bmp", bmp::encode(Picture(1000, 392), 24, false)));
    EXPECT_TRUE(outside.messages.isEmpty());
    // ... but the window says that the download will not take it.
    EXPECT_EQ(child<QLabel>(nvf, "NvNotice")->text(), QStringLiteral("下载需 50000 字节，超出 NV Logo 上限，不能下载"));
    // The download adds a white row: 1000 x 393 is too large to store.
    click(nvf, "Button2");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("BMP图形太大，不能下载！请重新选择!")});
    EXPECT_EQ(lpt1Contents(), "");

    load(writeBmp("w58.bmp", bmp::encode(Picture(464, 8), 24, false)));
    EXPECT_EQ(nvf->width(), 750);
    EXPECT_EQ(child<QLabel>(nvf, "NvNotice")->text(), QString());
    load(writeBmp("w59.bmp", bmp::encode(Picture(472, 8), 24, false)));
    EXPECT_EQ(nvf->width(), 758);
    EXPECT_EQ(nvf->height(), 539);
}

TEST_F(LogoWindow, NetworkDownloadCountsBytesAndReportsSuccess)
{
    TcpPrinter net;
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QString::fromStdString(net.address()));
    click(nvf, "Button2");
    EXPECT_EQ(edit("Edit1")->text(), "1188");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("恭喜！！NV Logo 下载成功！")});
    ASSERT_TRUE(net.waitForConnections(1));
    EXPECT_EQ(net.connections()[0].size(), 1188u);

    // A refused connection is no success.
    outside.clear();
    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort());
    type(form1()->IPE(), nobody);
    click(nvf, "Button2");
    const QString refused = "Connect error\n" + nobody + " 拒绝了连接：那里没有程序在这个端口上接收。";
    EXPECT_EQ(outside.messages, QStringList{refused});
    click(nvf, "Button8");
    EXPECT_EQ(outside.messages, (QStringList{refused, refused}));

    // Print and clear take the plain network branch: no byte count.
    type(form1()->IPE(), QString::fromStdString(net.address()));
    edit("Edit1")->setText("0");
    QTest::mouseClick(child<QRadioButton>(nvf, "RadioGroup1Item3"), Qt::LeftButton);
    click(nvf, "Button3");
    click(nvf, "Button5");
    ASSERT_TRUE(net.waitForConnections(3));
    EXPECT_EQ(hex(net.connections()[1]), "1B 40 1B 61 01 1D 54 1C 70 01 33 1B 40");
    EXPECT_EQ(hex(net.connections()[2]), "1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01");
    EXPECT_EQ(edit("Edit1")->text(), "0");
}

TEST_F(LogoWindow, BitImageDefineTellsSuccessOnlyWhenSent)
{
    click(nvf, "Button8");
    EXPECT_EQ(label1(), QStringLiteral("位图大小: 147 字节"));
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("恭喜！！定义下载位图成功！")});
    EXPECT_EQ(lpt1Contents().substr(0, 10), "xL=21;yL=7");

    outside.clear();
    type(form1()->dk(), "PRN"); // no entry: nothing goes out
    click(nvf, "Button8");
    EXPECT_TRUE(outside.messages.isEmpty());

    outside.clear();
    pick(form1()->dk(), "LPT2"); // missing device: the error, not the success
    click(nvf, "Button8");
    EXPECT_TRUE(outside.messages.isEmpty());
    EXPECT_EQ(firstLines(outside.errors), QStringList{"File not found."});
}

TEST_F(LogoWindow, TrimmedDefineChecksItsMargins)
{
    Picture pic(32, 16);
    for (int y = 0; y < 16; ++y)
        pic.set(8, y, kBlack);
    load(writeBmp("m.bmp", bmp::encode(pic, 24, false)));
    type(edit("Edit1"), "8");
    type(edit("Edit2"), "8");
    click(nvf, "Button12");
    const std::string sent = lpt1Contents();
    ASSERT_EQ(sent.substr(0, 10), "xL=4;yL=2\n");
    EXPECT_EQ(hex(sent.substr(10, 4)), "1D 2A 02 02");
    EXPECT_EQ(sent.size(), 14u + 32u);
    EXPECT_EQ(hex(sent.substr(14, 2)), "FF FF");

    outside.clear();
    type(edit("Edit1"), "3");
    click(nvf, "Button12");
    EXPECT_EQ(outside.messages.size(), 1);
    EXPECT_EQ(lpt1Contents(), sent);
    type(edit("Edit1"), "x");
    click(nvf, "Button12");
    EXPECT_EQ(outside.errors, QStringList{"'x' is not a valid integer value."});
}

TEST(HexFile, WindowsStylePathsNameAFileInTheHomeFolder)
{
    const QString home = QStringLiteral("/home/tech");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("c:\\hex.bin"), home), "/home/tech/hex.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("D:\\logos\\shop.bin"), home), "/home/tech/shop.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("C:hex.bin"), home), "/home/tech/hex.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("c:\\"), home), "/home/tech/hex.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("logos\\a.bin"), home), "/home/tech/a.bin");
    // Host paths are the operator's own; a name without a folder, or under
    // "~/", is in the home folder, never where the program was started.
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("/tmp/x.bin"), home), "/tmp/x.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("x.bin"), home), "/home/tech/x.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("logos/x.bin"), home), "/home/tech/logos/x.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("~/x.bin"), home), "/home/tech/x.bin");
    EXPECT_EQ(Tnvf::hexFilePath(QStringLiteral("~nobody/x.bin"), home), "/home/tech/~nobody/x.bin");
}

TEST_F(LogoWindow, HexFileCopiesTheCommandOrTheExportAndSaysWhere)
{
    // The default field text "c:\hex.bin" lands in the home folder.
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(dir));
    const std::string hexPath = dir + "/hex.bin";
    const QString shown = QString::fromStdString(hexPath);
    load(writeBmp("w.bmp", bmp::encode(Picture(8, 8), 24, false)));

    // Unticked: an export says where its text would go, and writes nothing.
    click(nvf, "Button6");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("导出的文本只写入 HEX 文件：请先勾选 \"HEX\"。")});
    EXPECT_FALSE(std::ifstream(hexPath).good());

    outside.clear();
    click(nvf, "hcb");
    click(nvf, "Button2");
    auto readHex = [&] {
        std::ifstream in(hexPath, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    EXPECT_EQ(readHex(), lpt1Contents());
    EXPECT_EQ(child<QLabel>(nvf, "HexWhere")->text(), QStringLiteral("HEX 文件已写入：%1（28 字节）").arg(shown));
    EXPECT_TRUE(outside.messages.isEmpty());
    click(nvf, "Button6");
    EXPECT_EQ(readHex(), "\r\n.db 0x1C,0x71,0x01,0x01,0x00,0x01,0x00,0x00,0x00,0x00\r\n.db 0x00,0x00,0x00,0x00,0x00,0x01");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("导出的文本已写入 %1").arg(shown)});
    click(nvf, "Button7");
    EXPECT_EQ(readHex(), buildExportText(nvf->picture(), true));

    // A file that cannot be written stops the command before it is sent.
    outside.clear();
    const std::string before = lpt1Contents();
    type(edit("Edit9"), QString::fromStdString(dir));
    click(nvf, "Button8");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"Invalid filename."});
    // The detail line names the path that could not be written.
    EXPECT_EQ(detailOf(outside.errors.value(0)), QStringLiteral("HEX 文件 %1 无法写入。").arg(QString::fromStdString(dir)));
    EXPECT_EQ(lpt1Contents(), before);
    EXPECT_TRUE(outside.messages.isEmpty());
    // The line below the picture tells what this command wrote, and so
    // nothing after a failure, an empty name, or HEX unticked.
    EXPECT_EQ(child<QLabel>(nvf, "HexWhere")->text(), QString());
    outside.clear();
    type(edit("Edit9"), QString());
    click(nvf, "Button2");
    EXPECT_EQ(detailOf(outside.errors.value(0)), QStringLiteral("没有填写 HEX 文件名。"));
    EXPECT_EQ(child<QLabel>(nvf, "HexWhere")->text(), QString());
    type(edit("Edit9"), QStringLiteral("c:\\hex.bin"));
    click(nvf, "Button2");
    EXPECT_FALSE(child<QLabel>(nvf, "HexWhere")->text().isEmpty());
    click(nvf, "hcb");
    click(nvf, "Button2");
    EXPECT_EQ(child<QLabel>(nvf, "HexWhere")->text(), QString());
    qputenv("HOME", oldHome);
}

TEST_F(LogoWindow, RunLengthPicturesLoadWholeAndCutOffOnesAreRefusedEveryTime)
{
    const std::vector<std::int32_t> palette = {kWhite, kBlack};
    auto expectPixels = [&](const std::vector<std::int32_t> &topFirst) {
        ASSERT_EQ(nvf->picture().width, 4);
        ASSERT_EQ(nvf->picture().height, 2);
        EXPECT_EQ(nvf->picture().pixels, topFirst);
    };
    // Bottom row four black; top row two white, two black; end of picture.
    const std::string rle8("\x04\x01\x00\x00\x02\x00\x02\x01\x00\x01", 10);
    // The same in RLE4: a run of index pairs, then a literal run of three.
    const std::string rle4("\x04\x11\x00\x00\x00\x04\x00\x11\x00\x01", 10);
    load(writeBmp("rle8.bmp", bmp::runLength(8, 4, 2, palette, rle8)));
    ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
    expectPixels({kWhite, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack});
    load(writeBmp("rle4.bmp", bmp::runLength(4, 4, 2, palette, rle4)));
    ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
    expectPixels({kWhite, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack});

    // An RLE8 literal of three pixels keeps its pad byte: the run after it
    // reads from the next word.
    const std::string literal("\x00\x03\x00\x01\x01\x00\x01\x01\x00\x00\x04\x00\x00\x01", 14);
    load(writeBmp("literal.bmp", bmp::runLength(8, 4, 2, palette, literal)));
    ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
    expectPixels({kWhite, kWhite, kWhite, kWhite, kWhite, kBlack, kBlack, kBlack});

    // Skipped pixels (a delta, an early end of picture) are paper, the same
    // on every load.
    const std::string skipping("\x00\x02\x02\x00\x02\x01\x00\x01", 8);
    for (int i = 0; i < 2; ++i) {
        load(writeBmp("skip.bmp", bmp::runLength(8, 4, 2, palette, skipping)));
        expectPixels({kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kBlack, kBlack});
    }

    // A run longer than its row stops at the row's end: the top row is
    // black, and nothing spills into the row after it.
    load(writeBmp("overrun.bmp", bmp::runLength(8, 4, 2, palette, std::string("\x00\x00\x06\x01\x00\x01", 6))));
    expectPixels({kBlack, kBlack, kBlack, kBlack, kWhite, kWhite, kWhite, kWhite});

    const std::vector<std::int32_t> kept = nvf->picture().pixels;
    for (const auto &cut : {std::make_pair(8, rle8.substr(0, 8)), std::make_pair(4, rle4.substr(0, 8)),
                            std::make_pair(8, rle8.substr(0, 5)), std::make_pair(4, rle4.substr(0, 7))})
        for (int attempt = 0; attempt < 3; ++attempt) {
            SCOPED_TRACE("RLE" + std::to_string(cut.first) + " cut at " + std::to_string(cut.second.size()));
            outside.clear();
            load(writeBmp("cut.bmp", bmp::runLength(cut.first, 4, 2, palette, cut.second)));
            ASSERT_EQ(outside.errors.size(), 1);
            EXPECT_TRUE(outside.errors[0].contains(QStringLiteral("：文件不完整"))) << outside.errors[0].toStdString();
            EXPECT_EQ(nvf->picture().pixels, kept);
        }
}

TEST_F(LogoWindow, TransparentPixelsPrintAsOnWhite)
{
    // Transparent black, opaque black, half-transparent black (dark on
    // white: a dot), black at alpha 100 (light on white: no dot), white.
    const std::vector<std::uint32_t> argb = {0x00000000, 0xFF000000, 0x80000000, 0x64000000, 0xFFFFFFFF};
    Picture onWhite(5, 1);
    const std::int32_t values[] = {kWhite, kBlack, 0x7F7F7F, 0x9B9B9B, kWhite};
    for (int x = 0; x < 5; ++x)
        onWhite.set(x, 0, values[x]);
    for (bool v5 : {true, false}) {
        SCOPED_TRACE(v5 ? "BITMAPV5" : "40-byte header with bit masks");
        load(writeBmp(v5 ? "v5.bmp" : "bf.bmp", bmp::withAlpha(5, 1, argb, v5)));
        ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
        EXPECT_EQ(nvf->picture().pixels, onWhite.pixels);
        click(nvf, "Button2");
        const std::string sent = lpt1Contents();
        EXPECT_EQ(sent, buildNvDownload(onWhite, Dialect::Normal, 0, kDefaultThreshold));
        EXPECT_EQ(hex(sent.substr(11, 5)), "00 80 80 00 00"); // the first five columns, top byte
    }
    // A writer that left every alpha byte empty meant its colours as they are.
    load(writeBmp("empty-alpha.bmp", bmp::withAlpha(2, 1, {0x00000000, 0x00FFFFFF}, true)));
    EXPECT_EQ(nvf->picture().pixels, (std::vector<std::int32_t>{kBlack, kWhite}));
}

TEST_F(LogoWindow, OldOs2HeaderLoads)
{
    // Two rows, black over white: the height is read as its own field.
    Picture pic(1, 2, kWhite);
    pic.set(0, 0, kBlack);
    const std::string file = bmp::os2(pic);
    ASSERT_EQ(file.size(), 34u);
    load(writeBmp("os2.bmp", file));
    ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
    EXPECT_EQ(nvf->picture().pixels, (std::vector<std::int32_t>{kBlack, kWhite}));
    click(nvf, "Button2");
    EXPECT_EQ(hex(lpt1Contents()), "1B 40 1D 54 1C 71 01 01 00 01 00 80 00 00 00 00 00 00 00 01");
}

TEST_F(LogoWindow, SelfTestPageWithReadoutsAndPadding)
{
    load(writeBmp("s.bmp", bmp::encode(Picture(8, 8, kBlack), 24, false)));
    type(edit("Edit2"), "3");
    click(nvf, "Button4");
    EXPECT_EQ(edit("Edit4")->text(), "1");
    EXPECT_EQ(edit("Edit5")->text(), "0");
    EXPECT_EQ(edit("Edit6")->text(), "8");
    EXPECT_EQ(edit("Edit7")->text(), "0");
    EXPECT_EQ(edit("Edit8")->text(), "8");
    const std::string sent = lpt1Contents();
    EXPECT_EQ(sent, buildSelfTestPage(nvf->picture(), 3));
    EXPECT_EQ(hex(sent.substr(18, 8)), "1D 76 30 30 01 00 08 00");
    click(nvf, "Button10");
    EXPECT_EQ(hex(lpt1Contents()), "1B 61 00 1D 2F 00 0A");
    click(nvf, "Button9");
    EXPECT_EQ(hex(lpt1Contents()), "1D 2F 00 1D 2F 01 1D 2F 02 1D 2F 03");
}

TEST_F(LogoWindow, PictureReplacedOnDiskAfterLoadingStillSendsWhatWasLoaded)
{
    const Picture pic = pattern(16, 8, false);
    const std::string path = writeBmp("swap.bmp", bmp::encode(pic, 24, false));
    load(path);
    bmp::write(path, "garbage");
    click(nvf, "Button2");
    EXPECT_EQ(lpt1Contents(), buildNvDownload(pic, Dialect::Normal, 0, kDefaultThreshold));
    EXPECT_TRUE(outside.errors.isEmpty());
}
