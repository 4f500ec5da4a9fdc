// The program's windows against the virtual printer as a process of its
// own, on each of its three lines: what the windows send comes out of it
// as receipts, counts, display and status answers.
#include "cli/cli.h"
#include "devices/portscan.h"
#include "logo/logocommands.h"
#include "tests/support/bmpwriter.h"
#include "tests/support/clirun.h"
#include "tests/support/ink.h"
#include "tests/support/programfixture.h"
#include "tests/support/virtualprinterprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRadioButton>

class VirtualPrinter : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        vp = std::make_unique<VirtualPrinterProcess>(dir);
        ASSERT_TRUE(vp->running());
        outside.deviceNames().redirect("\\\\.\\COM1", vp->link);
        outside.deviceNames().redirect("LPT1", vp->fifo);
    }
    void TearDown() override
    {
        vp.reset();
        ProgramTest::TearDown();
    }
    std::unique_ptr<VirtualPrinterProcess> vp;
};

TEST_F(VirtualPrinter, EachLineCarriesTheMainWindowsCommands)
{
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), vp->address());
    click("Button1"); // test print: five rows of forty H
    click("cut");
    ASSERT_TRUE(vp->waitFor([&] { return vp->count("receipts") == 1; }));
    const QImage receipt = vp->receipt(1);
    ASSERT_FALSE(receipt.isNull());
    const QRect box = inked(receipt);
    EXPECT_GT(box.width(), 440); // forty font-A cells are 480 dots
    EXPECT_LE(box.right(), 480);
    // The printer runs in the tests' locale (C: Chinese), and its log is
    // Chinese throughout, the decoder's lines included.
    EXPECT_EQ(vp->log().count(QStringLiteral("文字“HHHH")), 5);
    EXPECT_FALSE(vp->log().contains(QStringLiteral("print and feed")));

    pick(form1()->dk(), "COM1");
    click("Open");
    ASSERT_TRUE(vp->waitFor([&] { return vp->count("drawerPulses") == 1; }));

    pick(form1()->dk(), "LPT1");
    click("cut");
    ASSERT_TRUE(vp->waitFor([&] { return vp->count("cuts") == 2; }));
    EXPECT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
    EXPECT_TRUE(outside.messages.isEmpty()) << outside.messages.join("|").toStdString();
}

TEST_F(VirtualPrinter, NvLogoFromTheLogoWindowPrintsBackAndSurvivesARestart)
{
    Picture pic(45, 23);
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 45; ++x)
            if ((x + 2 * y) % 5 < 2)
                pic.set(x, y, 0);
    const std::string file = dir + "/logo.bmp";
    bmp::write(file, bmp::encode(pic, 24, false));
    Tnvf *nvf = program->nvf.get();
    nvf->show();
    outside.nextFiles << QString::fromStdString(file);
    click(nvf, "BitBtn1");
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), vp->address());
    click(nvf, "Button2"); // download
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("恭喜！！NV Logo 下载成功！")});
    auto printedMatches = [&](int receipt) {
        const QImage r = vp->receipt(receipt);
        const QRect box = inked(r);
        if (box.width() != 45 || box.height() > 23)
            return false;
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 45; ++x)
                if ((qGray(r.pixel(box.left() + x, box.top() + y)) < 128) != isDot(pic.at(x, y), kDefaultThreshold))
                    return false;
        return true;
    };
    click(nvf, "Button3"); // print at normal size
    click("cut");
    ASSERT_TRUE(vp->waitFor([&] { return vp->count("receipts") == 1; }));
    EXPECT_TRUE(printedMatches(1));

    // Power cycle: the NV logo stays in the printer's memory.
    vp.reset();
    vp = std::make_unique<VirtualPrinterProcess>(dir);
    ASSERT_TRUE(vp->running());
    type(form1()->IPE(), vp->address());
    click(nvf, "Button3");
    click("cut");
    ASSERT_TRUE(vp->waitFor([&] { return vp->count("receipts") == 1; }));
    EXPECT_TRUE(printedMatches(1));
}

TEST_F(VirtualPrinter, StatusRateMismatchSerialSpeedAndTheScan)
{
    TForm2 *status = program->form2.get();
    status->show();
    auto *label2 = child<QLabel>(status, "Label2");
    pick(form1()->dk(), "COM1");
    pick(form1()->sd(), "9600");
    click(status, "Button2");
    EXPECT_EQ(label2->text(), QStringLiteral("打印机 联机."));

    // At a rate the printer is not set to, it reads garbage and says why.
    pick(form1()->sd(), "19200");
    click(status, "Button2");
    EXPECT_EQ(label2->text(), QStringLiteral("未检测到 打印机!"));
    ASSERT_TRUE(vp->waitFor([&] { return vp->log().contains(QStringLiteral("线路上的数据为 19200 bit/s，打印机设为 9600")); }));

    // The serial speed command switches the printer's own line.
    click("tcb"); // COM1 at 9600
    pick(child<DropDown>(form1(), "tc"), QStringLiteral("2:19200bps"));
    click("tb");
    ASSERT_TRUE(vp->waitFor([&] { return vp->state().value("serialBits").toInt() == 19200; }));

    // The scan finds it at that rate (COM2 and COM3 are the fixture's silent printer).
    outside.answers << false;
    click(status, "ScanButton");
    ASSERT_EQ(status->lastScan().hits.size(), 1u) << scanReport(status->lastScan()).toStdString();
    EXPECT_EQ(status->lastScan().hits[0].port, "COM1");
    EXPECT_EQ(status->lastScan().hits[0].baud, "19200");
}

TEST_F(VirtualPrinter, PacedLineHoldsXoffWhileWritingNvMemory)
{
    vp.reset();
    vp = std::make_unique<VirtualPrinterProcess>(dir, QStringList{"--paced"});
    ASSERT_TRUE(vp->running());
    click("tcb"); // COM1 at 9600, then the printer's line to 115200
    pick(child<DropDown>(form1(), "tc"), QStringLiteral("5:115200bps"));
    click("tb");
    ASSERT_TRUE(vp->waitFor([&] { return vp->state().value("serialBits").toInt() == 115200; }));
    pick(form1()->sd(), "115200");

    const std::string file = dir + "/logo.bmp";
    bmp::write(file, bmp::encode(Picture(200, 100, 0), 24, false));
    Tnvf *nvf = program->nvf.get();
    nvf->show();
    outside.nextFiles << QString::fromStdString(file);
    click(nvf, "BitBtn1");
    click(nvf, "Button2"); // 2 612 bytes: a quarter second on the wire, then the NV write
    ASSERT_TRUE(vp->waitFor([&] { return vp->log().contains(QStringLiteral("发送 XON")); }));
    EXPECT_TRUE(vp->log().contains(QStringLiteral("写入 NV 存储：XOFF 280 ms")));
    EXPECT_EQ(vp->state().value("nv").toArray().size(), 1);
    EXPECT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
}

TEST(VirtualPrinterK3, DisplayShowsTheLedWindowsCommandsAndOfflineIsTold)
{
    // Its own process with its own options: the K3 model, offline.
    char tmpl[] = "/tmp/tavo-k3-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    {
        FakeOutside outside;
        PtyPrinter unused;
        PortRoots roots{dir + "/dev", dir + "/sys", dir + "/config", {}};
        outside.deviceNames().setRoots(roots);
        VirtualPrinterProcess vp(dir, {"--model", "k3", "--status", "offline"});
        ASSERT_TRUE(vp.running());
        outside.deviceNames().redirect("\\\\.\\COM1", vp.link);
        Program program(outside, nullptr, NetCalls::api());
        program.form1->show();
        auto button = [&](QWidget *w, const char *name) {
            QTest::mouseClick(w->findChild<QWidget *>(QLatin1String(name)), Qt::LeftButton);
        };
        button(program.form1.get(), "lcb"); // COM1 at 2400, the display's rate
        button(program.form1.get(), "lb");
        ASSERT_TRUE(program.ledf->isVisible()) << outside.messages.join("|").toStdString();
        button(program.ledf.get(), "Button2");
        auto *amount = program.ledf->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("88.50"));
        button(program.ledf.get(), "Button4");
        ASSERT_TRUE(vp.waitFor([&] { return vp.state().value("display").toObject().value("text").toString() == "88.50"; }));
        EXPECT_TRUE(vp.state().value("display").toObject().value("priceLamp").toBool());
        EXPECT_FALSE(QImage(QString::fromStdString(vp.out + "/display.png")).isNull());

        program.form2->show();
        button(program.form2.get(), "Button2");
        EXPECT_EQ(program.form2->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("打印机 脱机!"));
    }
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(VirtualPrinter, EveryCommandOfEveryWindowIsUnderstoodOnEveryLine)
{
    Picture pic(37, 21);
    for (int x = 0; x < 37; ++x)
        pic.set(x, x % 21, 0);
    const std::string file = dir + "/logo.bmp";
    bmp::write(file, bmp::encode(pic, 24, false));
    const QString bmpFile = QString::fromStdString(file);
    // The same commands as the windows' buttons, through tavo-cli's table.
    const QStringList commands[] = {
        {"test-print", "--repeat", "1"}, {"drawer"}, {"cut"}, {"h-print"}, {"h-set", "C"}, {"codepage-print"},
        {"codepage-set", "3"}, {"paper-width", "58mm"}, {"density", "Dark"}, {"auto-line-feed", "启用"},
        {"buzzer", "禁用"}, {"reprint", "启用"}, {"small-font", "禁用小字体(9*17)"},
        {"mark-start", "5"}, {"mark-cut", "3", "--backward"}, {"mark-feed-start"}, {"mark-feed-cut"},
        {"nv-download", bmpFile}, {"nv-print", "--scale", "1"}, {"nv-clear"}, {"bitimage-define", bmpFile},
        {"bitimage-define-trimmed", bmpFile, "--margins", "8,0,0,8"}, {"bitimage-print"}, {"bitimage-print-all"},
        {"selftest", bmpFile}, {"led-price"}, {"led-amount", "1.50"}, {"led-clear"}, {"led-clear-line"},
        {"led-init"}, {"serial-speed", "1"}};
    const QStringList lines[] = {{"--port", "COM1", "--baud", "9600"}, {"--lpt", "LPT1"}, {"--ip", vp->address()}};
    int sent = 0;
    for (const QStringList &line : lines)
        for (const QStringList &command : commands) {
            SCOPED_TRACE((line + command).join(' ').toStdString());
            const QString before = vp->log();
            const CliRun r = runCliHere(outside, line + command);
            if (r.status != kCliOk) {
                // The windows' own refusals: no LED on Ethernet, no serial speed on LPT.
                EXPECT_TRUE(r.err.contains(QStringLiteral("You must select Serial Port"))) << r.err.toStdString();
                continue;
            }
            ++sent;
            ASSERT_TRUE(vp->waitFor([&] { return vp->log().size() > before.size(); }));
        }
    EXPECT_GT(sent, 85);
    ASSERT_TRUE(vp->waitFor([&] { return vp->log().count(QStringLiteral("GS ( F")) == 6; }));
    EXPECT_EQ(vp->count("notUnderstood"), 0) << vp->log().toStdString();
    EXPECT_EQ(vp->state().value("settings").toObject().value("density").toInt(), 0x77);
}

TEST_F(VirtualPrinter, StatusOverTheNetworkInEachOfItsStates)
{
    auto status = [&](const QString &address, int expectedExit) {
        const CliRun r = runCliHere(outside, {"--ip", address, "status", "--json"});
        EXPECT_EQ(r.status, expectedExit) << r.err.toStdString();
        QJsonParseError error{};
        const QJsonObject answer = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
        EXPECT_EQ(answer.value("where").toString(), address);
        return answer;
    };
    QJsonObject p = status(vp->address(), kCliOk);
    EXPECT_EQ(p.value("status").toInt(), 0x12);
    EXPECT_EQ(p.value("meaning").toString(), "online");
    const struct {
        const char *state;
        int exit;
        QJsonValue status;
        const char *meaning;
    } states[] = {
        {"offline", kCliOk, 0x1A, "offline"},
        {"paper-end", kCliOk, 0x1A, "offline"},
        {"silent", kCliError, QJsonValue(), "no answer"},
    };
    for (const auto &s : states) {
        SCOPED_TRACE(s.state);
        VirtualPrinterProcess other(dir + "/" + s.state, {"--status", s.state});
        ASSERT_TRUE(other.running());
        p = status(other.address(), s.exit);
        EXPECT_EQ(p.value("status"), s.status);
        EXPECT_EQ(p.value("meaning").toString(), QLatin1String(s.meaning));
    }
}

TEST_F(VirtualPrinter, ItsMemoryKeptInTheOutFoldersStateFileSurvivesAndABadOneIsNeverOverwritten)
{
    Picture pic(16, 8);
    for (int x = 0; x < 16; ++x)
        pic.set(x, x % 8, 0);
    const std::string bmpPath = dir + "/small.bmp";
    bmp::write(bmpPath, bmp::encode(pic, 24, false));
    // The state file in the out folder, beside the summary, which never
    // takes its place.
    const std::string clash = dir + "/clash";
    const QStringList sameFile{"--state", QString::fromStdString(clash + "/vp-out/state.json")};
    {
        VirtualPrinterProcess first(clash, sameFile);
        ASSERT_TRUE(first.running());
        const CliRun r = runCliHere(outside, {"--ip", first.address(), "nv-download", QString::fromStdString(bmpPath)});
        ASSERT_EQ(r.status, kCliOk) << r.err.toStdString();
        ASSERT_TRUE(first.waitFor([&] { return first.state().value("nv").toArray().size() == 1; }));
    }
    VirtualPrinterProcess again(clash, sameFile);
    ASSERT_TRUE(again.running());
    const QJsonArray nv = again.state().value("nv").toArray();
    ASSERT_EQ(nv.size(), 1);
    EXPECT_FALSE(nv[0].toObject().value("data").toString().isEmpty());
    // The summary tells the stored picture's size in dots and its bytes, one
    // a column of eight dots: the download carries a row more than the
    // 16 x 8 picture, so two bytes high.
    EXPECT_EQ(nv[0].toObject().value("width").toInt(), 16);
    EXPECT_EQ(nv[0].toObject().value("height").toInt(), 16);
    EXPECT_EQ(nv[0].toObject().value("bytes").toInt(), 32);

    // A state file that does not read stops the printer, and stays as it was.
    const std::string bad = dir + "/bad.json";
    std::ofstream(bad) << "{ this is no memory";
    VirtualPrinterProcess refused(dir + "/refused", {"--state", QString::fromStdString(bad)});
    EXPECT_FALSE(refused.running());
    EXPECT_EQ(refused.exitCode(), 1);
    std::ifstream in(bad);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "{ this is no memory");
}
