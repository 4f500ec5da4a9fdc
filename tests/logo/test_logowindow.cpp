// The logo window with real BMP files, loaded through its dialog as an
// operator would, and its commands at real peers.
#include "logo/logocommands.h"
#include "tests/support/bmpwriter.h"
#include "tests/support/hex.h"
#include "tests/support/programfixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

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
            const Picture pic = pattern(13, 10, bpp == 1);
            load(writeBmp("p" + std::to_string(bpp) + (topDown ? "t" : "b") + ".bmp", bmp::encode(pic, bpp, topDown)));
            ASSERT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
            ASSERT_EQ(nvf->picture().width, 13);
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
    const std::pair<const char *, std::string> bad[] = {
        {"truncated.bmp", good.substr(0, 40)},
        {"cut-pixels.bmp", good.substr(0, 60)},
        {"magic.bmp", wrongMagic},
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
    // The download adds a white row: 1000 x 393 is too large to store.
    click(nvf, "Button2");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("BMP图形太大，不能下载！请重新选择!")});
    EXPECT_EQ(lpt1Contents(), "");

    load(writeBmp("w58.bmp", bmp::encode(Picture(464, 8), 24, false)));
    EXPECT_EQ(nvf->width(), 750);
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
    type(form1()->IPE(), QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort()));
    click(nvf, "Button2");
    EXPECT_EQ(outside.messages, QStringList{"Connect error"});
    click(nvf, "Button8");
    EXPECT_EQ(outside.messages, (QStringList{"Connect error", "Connect error"}));

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

TEST_F(LogoWindow, HexFileCopiesTheCommandOrTheExport)
{
    const std::string hexPath = dir + "/hex.bin";
    click(nvf, "hcb");
    type(edit("Edit9"), QString::fromStdString(hexPath));
    load(writeBmp("w.bmp", bmp::encode(Picture(8, 8), 24, false)));
    click(nvf, "Button2");
    auto readHex = [&] {
        std::ifstream in(hexPath, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    EXPECT_EQ(readHex(), lpt1Contents());
    click(nvf, "Button6");
    EXPECT_EQ(readHex(), "\r\n.db 0x1C,0x71,0x01,0x01,0x00,0x01,0x00,0x00,0x00,0x00\r\n.db 0x00,0x00,0x00,0x00,0x00,0x01");
    click(nvf, "Button7");
    EXPECT_EQ(readHex(), buildExportText(nvf->picture(), true));

    // A file that cannot be written stops the command before it is sent.
    const std::string before = lpt1Contents();
    type(edit("Edit9"), QString::fromStdString(dir));
    click(nvf, "Button8");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"Invalid filename."});
    // The detail line names the path that could not be written.
    EXPECT_EQ(detailOf(outside.errors.value(0)), QStringLiteral("HEX 文件 %1 无法写入。").arg(QString::fromStdString(dir)));
    EXPECT_EQ(lpt1Contents(), before);
    EXPECT_TRUE(outside.messages.isEmpty());
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
