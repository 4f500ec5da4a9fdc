// tavo-cli in the program's own process, with the test's device names:
// every command at the pseudo-terminal, the parallel stand-in and the
// loopback printer, against the builder the window uses for the same fields.
#include "cli/cli.h"
#include "core/basiccommands.h"
#include "core/gb2312.h"
#include "devices/ledcommands.h"
#include "devices/statuscheck.h"
#include "logo/blackmark.h"
#include "logo/bmpload.h"
#include "logo/logocommands.h"
#include "settings/configcommands.h"
#include "tests/support/bmpwriter.h"
#include "tests/support/programfixture.h"

#include <cstdio>

namespace {

struct CliRun {
    int status;
    QString out, err;
};

} // namespace

class Cli : public ProgramTest {
protected:
    CliRun cli(QStringList args)
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = runCli(args, outside, o, e, nullptr, NetCalls::api());
        o.flush();
        e.flush();
        return {status, out, err};
    }
};

TEST_F(Cli, EveryCommandSendsTheWindowsBytesOnEveryTransport)
{
    Picture pic(37, 21);
    for (int x = 0; x < 37; ++x)
        pic.set(x, x % 21, 0);
    const std::string file = dir + "/logo.bmp";
    bmp::write(file, bmp::encode(pic, 24, false));
    const QString bmp = QString::fromStdString(file);
    const Picture loaded = loadBmp(bmp);
    const bool w42[3] = {false, true, false};
    const struct {
        QStringList args;
        ByteString bytes;
        bool parallel, network; // serial serves every command here
    } cases[] = {
        {{"test-print", "--width", "42", "--repeat", "2"}, buildTestPrint(2, w42), true, true},
        {{"drawer"}, buildCashDrawer(), true, true},
        {{"cut"}, buildCut(), true, true},
        {{"h-print"}, buildPrintHParameter(), true, true},
        {{"h-set", "1C"}, buildSetHParameter(0x1C), true, true},
        {{"codepage-print"}, buildPrintCodePage(), true, true},
        {{"codepage-set", "255"}, buildSetCodePage(255), true, true},
        {{"paper-width", "76mm"}, buildSettingCommand(oneValueSetting(Setting::PaperWidth), 1), true, true},
        {{"density", "Dark"}, buildSettingCommand(oneValueSetting(Setting::Density), 2), true, true},
        {{"auto-line-feed", "禁用"}, buildSettingCommand(oneValueSetting(Setting::AutoLineFeed), 1), true, true},
        {{"buzzer", "启用"}, buildSettingCommand(oneValueSetting(Setting::Buzzer), 0), true, true},
        {{"reprint", "禁用"}, buildSettingCommand(oneValueSetting(Setting::Reprint), 1), true, true},
        {{"emulation", "STAR(Line/T)"}, buildSettingCommand(oneValueSetting(Setting::Emulation), 1), true, true},
        {{"small-font", "启用小字体(9*17)"}, buildSettingCommand(oneValueSetting(Setting::SmallFont), 0), true, true},
        {{"serial-speed", "5"}, buildSerialSpeed(5), false, true},
        {{"mark-start", "12.5"}, buildMarkOffset(MarkTarget::PrintStart, MarkDirection::Forward, 71), true, true},
        {{"mark-cut", "100", "--backward"}, buildMarkOffset(MarkTarget::Cut, MarkDirection::Backward, 567), true, true},
        {{"mark-feed-start"}, buildFeedDemo(MarkTarget::PrintStart), true, true},
        {{"mark-feed-cut"}, buildFeedDemo(MarkTarget::Cut), true, true},
        {{"nv-download", bmp, "--star", "--offset", "3"}, buildNvDownload(loaded, Dialect::Star, 3, kDefaultThreshold),
         true, true},
        {{"nv-download", bmp, "--threshold", "$00FFFFFF"}, buildNvDownload(loaded, Dialect::Normal, 0, 0x00FFFFFF), true,
         true},
        {{"nv-print", "--scale", "3"}, buildNvPrint(Dialect::Normal, 3), true, true},
        {{"nv-clear", "--star"}, buildNvClear(Dialect::Star), true, true},
        {{"bitimage-define", bmp, "--cap", "8"}, buildBitImageDefine(loaded, bitImageSize(loaded, 8), 0), true, true},
        {{"bitimage-define-trimmed", bmp, "--margins", "8,0,0,8"},
         buildBitImageDefineTrimmed(loaded, bitImageSize(loaded, 1536), {8, 0, 0, 8}, 0), true, true},
        {{"bitimage-print"}, buildBitImagePrint(), true, true},
        {{"bitimage-print-all"}, buildBitImagePrintFourSizes(), true, true},
        {{"selftest", bmp, "--padding", "4"}, buildSelfTestPage(loaded, 4), true, true},
        {{"led-price"}, buildLedUnitPrice(), true, false},
        {{"led-total"}, buildLedTotal(), true, false},
        {{"led-amount", "12.50"}, buildLedAmount(toGb2312(QStringLiteral("12.50"))), true, false},
        {{"led-clear"}, buildLedClear(), true, false},
        {{"led-clear-line"}, buildLedClearLine(), true, false},
        {{"led-init"}, buildLedInit(), true, false},
    };
    TcpPrinter net;
    std::size_t connections = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        printer.clearReceived();
        CliRun r = cli(QStringList{"--port", "COM3", "--baud", "19200"} + c.args);
        ASSERT_EQ(r.status, kCliOk) << r.err.toStdString();
        ASSERT_TRUE(printer.waitFor(c.bytes.size()));
        EXPECT_EQ(printer.received(), c.bytes);
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("sent %1 bytes to COM3").arg(c.bytes.size()))) << r.out.toStdString();

        r = cli(QStringList{"--lpt", "LPT1"} + c.args);
        if (c.parallel) {
            ASSERT_EQ(r.status, kCliOk) << r.err.toStdString();
            EXPECT_EQ(lpt1Contents(), c.bytes);
        } else {
            EXPECT_EQ(r.status, kCliError);
            EXPECT_EQ(r.err, QStringLiteral("You must select Serial Port for Tavo-K1 with serial port!!\n"));
        }

        r = cli(QStringList{"--ip", QString::fromStdString(net.address())} + c.args);
        if (c.network) {
            ASSERT_EQ(r.status, kCliOk) << r.err.toStdString();
            ASSERT_TRUE(net.waitForConnections(++connections));
            EXPECT_EQ(net.connections().back(), c.bytes);
        } else {
            EXPECT_EQ(r.status, kCliError);
            EXPECT_EQ(r.err, QStringLiteral("You must select Serial Port for Tavo-K3's LED Display!!\n"));
        }
    }
    EXPECT_TRUE(outside.messages.isEmpty()) << outside.messages.join("|").toStdString();
}

TEST_F(Cli, StatusFindDryRunAndTheWindowsRefusals)
{
    printer.setResponder([](const std::string &chunk) {
        return chunk.find("\x10\x04\x01") != std::string::npos ? std::string("\x12") : std::string();
    });
    CliRun r = cli({"--port", "COM3", "status", "--series", "0"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("打印机 联机.\n"));
    r = cli({"--lpt", "LPT1", "status"});
    EXPECT_EQ(r.status, kCliError);
    EXPECT_EQ(r.err, QStringLiteral("You must select Serial Port!!\n"));

    // The scan goes over the test's three COM entries, all on one printer
    // that answers at every rate.
    printer.clearReceived();
    r = cli({"find"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("COM1 @ 2400：打印机联机（状态字节 12）\n"))) << r.out.toStdString();

    printer.clearReceived();
    r = cli({"--port", "COM3", "--dry-run", "drawer"});
    EXPECT_EQ(r.status, kCliOk);
    EXPECT_EQ(r.out, QStringLiteral("000000  ESC p       cash drawer pulse: pin 2, on 100 ms, off 100 ms  [1B 70 00 32 32]\n"
                                    "000005  CR          carriage return  [0D]\n"));
    EXPECT_EQ(printer.received(), "");

    const std::pair<QStringList, QString> bad[] = {
        {{"--port", "COM9", "drawer"}, "tavo-cli: --port takes COM1 to COM8\nTry tavo-cli --help.\n"},
        {{"--port", "COM3", "--baud", "1200", "drawer"}, "tavo-cli: --baud takes one of 2400, 4800, 9600, 19200, "
                                                         "38400, 57600, 115200\nTry tavo-cli --help.\n"},
        {{"--lpt", "LPT1", "--ip", "127.0.0.1", "drawer"}, "tavo-cli: give one of --port, --ip and --lpt\nTry tavo-cli --help.\n"},
        {{"--lpt", "LPT1", "frobnicate"}, "tavo-cli: unknown command: frobnicate\nTry tavo-cli --help.\n"},
        {{"drawer"}, "tavo-cli: no connection given: --port, --ip or --lpt\n"},
        {{"--lpt", "LPT1", "density", "Darkest"}, "tavo-cli: density takes one of: Light, Normal, Dark\n"},
        {{"--lpt", "LPT1", "h-set"}, "tavo-cli: missing argument: HEX\n"},
        {{"--lpt", "LPT1", "mark-cut", "101", "--backward"}, "最大退纸长度不能 超过 100 毫米！！\n"},
        {{"--lpt", "LPT1", "codepage-set", "x"}, "'x' is not a valid integer value.\n"},
        {{"--lpt", "LPT2", "drawer"}, ""},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.first.join(' ').toStdString());
        r = cli(b.first);
        EXPECT_EQ(r.status, kCliError);
        if (!b.second.isEmpty()) {
            EXPECT_EQ(r.err, b.second);
        }
    }
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("File not found.\n"))) << r.err.toStdString();

    r = cli({"--ip", QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort()), "drawer"});
    EXPECT_EQ(r.status, kCliRefused);
    EXPECT_EQ(outside.messages.last(), "Connect error");
    r = cli({"--help"});
    EXPECT_EQ(r.status, kCliOk);
    for (const char *command : {"test-print", "nv-download", "bitimage-define-trimmed", "led-amount", "status", "find"})
        EXPECT_TRUE(r.out.contains(QLatin1String(command))) << command;
}

TEST(CliProgram, RunsWithoutADisplay)
{
    // The real program, as a script calls it: no connection is touched.
    FILE *pipe = ::popen(TAVO_CLI_PATH " --dry-run nv-clear --star 2>&1; echo status=$?", "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    ::pclose(pipe);
    EXPECT_EQ(out, "000000  ESC FS q    NV bit image 1: 8 × 8 dots, 8 data bytes, closing byte 01  "
                   "[1B 1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01]\nstatus=0\n");
}
