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
#include "tests/support/clirun.h"
#include "tests/support/programfixture.h"

#include <cstdio>

class Cli : public ProgramTest {
protected:
    CliRun cli(const QStringList &args) { return runCliHere(outside, args); }
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
        {{"h-set", "c"}, buildSetHParameter(0x0C), true, true},
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
        // By rate, every one (US ESC US FD n): 4800 is code 0, ..., 115200 code 5, 2400 code 6.
        {{"serial-speed", "4800"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x00}), false, true},
        {{"serial-speed", "9600"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x01}), false, true},
        {{"serial-speed", "19200"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x02}), false, true},
        {{"serial-speed", "38400"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x03}), false, true},
        {{"serial-speed", "57600"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x04}), false, true},
        {{"serial-speed", "115200"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x05}), false, true},
        {{"serial-speed", "2400"}, bytes({0x1F, 0x1B, 0x1F, 0xFD, 0x06}), false, true},
        {{"mark-start", "12.5"}, buildMarkOffset(MarkTarget::PrintStart, MarkDirection::Forward, 71), true, true},
        {{"mark-cut", "100", "--backward"}, buildMarkOffset(MarkTarget::Cut, MarkDirection::Backward, 567), true, true},
        {{"mark-feed-start"}, buildFeedDemo(MarkTarget::PrintStart), true, true},
        {{"mark-feed-cut"}, buildFeedDemo(MarkTarget::Cut), true, true},
        {{"nv-download", bmp, "--star", "--offset", "3"}, buildNvDownload(loaded, Dialect::Star, 3, kDefaultThreshold),
         true, true},
        {{"nv-download", bmp, "--threshold", "$00FFFFFF"}, buildNvDownload(loaded, Dialect::Normal, 0, 0x00FFFFFF), true,
         true},
        {{"nv-print", "--scale", "3"}, buildNvPrint(Dialect::Normal, 3), true, true},
        {{"nv-print"}, buildNvPrint(Dialect::Normal, 0), true, true}, // normal size unless told
        {{"nv-clear", "--star"}, buildNvClear(Dialect::Star), true, true},
        {{"bitimage-define", bmp, "--cap", "8"}, buildBitImageDefine(loaded, bitImageSize(loaded, 8), 0), true, true},
        {{"bitimage-define-trimmed", bmp, "--margins", "8,0,8,0"},
         buildBitImageDefineTrimmed(loaded, bitImageSize(loaded, 1536), {8, 0, 8, 0}, 0), true, true},
        {{"bitimage-print"}, buildBitImagePrint(), true, true},
        {{"bitimage-print-all"}, buildBitImagePrintFourSizes(), true, true},
        {{"selftest", bmp, "--padding", "4"}, buildSelfTestPage(loaded, 4), true, true},
        {{"led-price"}, buildLedUnitPrice(), true, false},
        {{"led-total"}, buildLedTotal(), true, false},
        {{"led-amount", "123456.78"}, buildLedAmount(toGb2312(QStringLiteral("123456.78"))), true, false},
        {{"led-clear"}, buildLedClear(), true, false},
        {{"led-clear-line"}, buildLedClearLine(), true, false},
        {{"led-init"}, buildLedInit(), true, false},
    };
    TcpPrinter net;
    std::size_t connections = 0;
    const QString com1 = QString::fromStdString(outside.deviceNames().describe("COM1"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        printer.clearReceived();
        // COM1, the first serial entry, is no parallel port to the command line.
        CliRun r = cli(QStringList{"--port", "COM1", "--baud", "19200"} + c.args);
        ASSERT_EQ(r.status, kCliOk) << r.err.toStdString();
        ASSERT_TRUE(printer.waitFor(c.bytes.size()));
        EXPECT_EQ(printer.received(), c.bytes);
        // A download is told as stored only where the printer's answer
        // proves it (the network); a bit image is told everywhere.
        const QString defined = c.args[0].startsWith(QLatin1String("bitimage-define")) ? bitImageDefinedText() + "\n" : QString();
        const QString stored = c.args[0] == QLatin1String("nv-download") ? nvDownloadedText() + "\n" : QString();
        EXPECT_EQ(r.out, QStringLiteral("sent %1 bytes to %2 @ 19200\n").arg(c.bytes.size()).arg(com1) + defined);

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
            EXPECT_EQ(r.out, QStringLiteral("sent %1 bytes to %2\n").arg(c.bytes.size()).arg(net.address().c_str()) + defined + stored);
        } else {
            EXPECT_EQ(r.status, kCliError);
            EXPECT_EQ(r.err, QStringLiteral("You must select Serial Port for Tavo-K3's LED Display!!\n"));
        }
    }
    EXPECT_TRUE(outside.messages.isEmpty()) << outside.messages.join("|").toStdString();

    // Refused before anything leaves.
    printer.clearReceived();
    const std::pair<QStringList, QString> refused[] = {
        {{"bitimage-define-trimmed", bmp, "--margins", "8,0,0"}, "tavo-cli: --margins takes LEFT,RIGHT,TOP,BOTTOM in dots\n"},
        {{"bitimage-define-trimmed", bmp, "--margins", "20,20,0,0"}, marginsRefusedText() + "\n"},
        {{"test-print", "--width", "41"}, "tavo-cli: --width takes 40, 42 or 36\n"},
        {{"led-amount", "1234567890"}, "tavo-cli: led-amount shows at most 9 characters\n"},
        {{"led-amount"}, "tavo-cli: missing argument: TEXT\n"}, // the word its help line uses
    };
    for (const auto &[args, words] : refused) {
        const CliRun r = cli(QStringList{"--port", "COM1"} + args);
        EXPECT_EQ(r.status, kCliError) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, words);
    }
    EXPECT_EQ(printer.received(), "");
}

TEST_F(Cli, StatusFindDryRunAndTheWindowsRefusals)
{
    printer.setResponder([](const std::string &chunk) {
        return chunk.find("\x10\x04\x01") != std::string::npos ? std::string("\x12") : std::string();
    });
    CliRun r = cli({"--port", "COM3", "status", "--series", "0"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("打印机 联机.\n"));
    // The command line asks a parallel printer through its back channel (the
    // window keeps its refusal); the test's LPT1 is a file, which has none.
    r = cli({"--lpt", "LPT1", "status"});
    EXPECT_EQ(r.status, kCliError);
    EXPECT_EQ(r.out, QStringLiteral("LPT1 → %1: a printer is there, but it has no status back channel\n")
                         .arg(QString::fromStdString(lpt1)));

    // The scan goes over the test's three COM entries, all on one printer
    // that answers at every rate.
    printer.clearReceived();
    r = cli({"find"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("COM1 @ 2400：打印机联机（状态字节 12）\n"))) << r.out.toStdString();
    r = cli({"find", "--no-serial"});
    EXPECT_FALSE(r.out.contains(QStringLiteral("COM"))) << r.out.toStdString();

    printer.clearReceived();
    r = cli({"--port", "COM3", "--dry-run", "drawer"});
    EXPECT_EQ(r.status, kCliOk);
    EXPECT_EQ(r.out, QStringLiteral("000000  ESC p       cash drawer pulse: pin 2, on 100 ms, off 100 ms  [1B 70 00 32 32]\n"
                                    "000005  CR          carriage return  [0D]\n"));
    EXPECT_EQ(printer.received(), "");

    const std::string lptBefore = lpt1Contents();
    const std::pair<QStringList, QString> bad[] = {
        {{"--port", "COM9", "drawer"}, "tavo-cli: --port takes COM1 to COM8\nTry tavo-cli --help.\n"},
        {{"--port", "COM3", "--baud", "1200", "drawer"}, "tavo-cli: --baud takes one of 2400, 4800, 9600, 19200, "
                                                         "38400, 57600, 115200\nTry tavo-cli --help.\n"},
        {{"--lpt", "LPT1", "--ip", "127.0.0.1", "drawer"}, "tavo-cli: give one of --port, --ip and --lpt\nTry tavo-cli --help.\n"},
        {{"--lpt", "LPT1", "frobnicate"}, "tavo-cli: unknown command: frobnicate\nTry tavo-cli --help.\n"},
        {{"drawer"}, "tavo-cli: no connection given: --port, --ip or --lpt\n"},
        {{"--lpt", "LPT1", "density", "Darkest"}, "tavo-cli: density takes one of: light, normal, dark\n"},
        {{"--lpt", "LPT1", "paper-width", "80mm"}, "tavo-cli: paper-width takes one of: 58mm, 76mm\n"},
        {{"--lpt", "LPT1", "h-set"}, "tavo-cli: missing argument: 0-F\n"},
        {{"--lpt", "LPT1", "density"}, "tavo-cli: missing argument: ENTRY\n"},
        {{"find", "--net-port", "0"}, "tavo-cli: --net-port takes 1 to 65535, not 0\n"},
        {{"--lpt", "LPT1", "mark-cut", "101", "--backward"}, "最大退纸长度不能 超过 100 毫米！！\n"},
        {{"--lpt", "LPT1", "codepage-set", "x"}, "'x' is not a valid integer value.\n"},
        // Numbers the printer's byte cannot hold are refused, not wrapped.
        {{"--port", "COM3", "codepage-set", "256"}, "tavo-cli: codepage-set takes 0 to 255, not 256\n"},
        {{"--port", "COM3", "codepage-set", "-1"}, "tavo-cli: codepage-set takes 0 to 255, not -1\n"},
        {{"--port", "COM3", "h-set", "zz"}, "tavo-cli: h-set takes one hexadecimal digit, 0 to F, not zz\n"},
        {{"--port", "COM3", "h-set", "10"}, "tavo-cli: h-set takes one hexadecimal digit, 0 to F, not 10\n"},
        {{"--port", "COM3", "h-set", "G"}, "tavo-cli: h-set takes one hexadecimal digit, 0 to F, not G\n"},
        {{"--port", "COM3", "serial-speed", "7"}, "tavo-cli: serial-speed takes a rate (2400, 4800, 9600, 19200, "
                                                  "38400, 57600 or 115200) or a code 0 to 6, not 7\n"},
        {{"--port", "COM3", "serial-speed", "9601"}, ""},
        {{"--port", "COM3", "nv-print", "--scale", "4"}, "tavo-cli: --scale takes 0 to 3, not 4\n"},
        {{"--port", "COM3", "nv-print", "--scale", "-1"}, "tavo-cli: --scale takes 0 to 3, not -1\n"},
        {{"--port", "COM3", "test-print", "--repeat", "0"}, "tavo-cli: --repeat takes 1 to 1000, not 0\n"},
        {{"--port", "COM3", "test-print", "--repeat", "1001"}, "tavo-cli: --repeat takes 1 to 1000, not 1001\n"},
        {{"--port", "COM3", "status", "--series", "4"}, "tavo-cli: --series takes 0 to 3, not 4\n"},
        {{"--port", "COM3", "buzzer", "maybe"}, "tavo-cli: buzzer takes one of: on, off (or 启用, 禁用)\n"},
        {{"--port", "COM3", "mark-start", "-5"}, "距离不能为负数！请用前进或后退按钮选择方向。\n"},
        {{"--port", "COM03", "drawer"}, "tavo-cli: --port takes COM1 to COM8\nTry tavo-cli --help.\n"},
        {{"--port", "COM3", "drawer", "--baud"}, "tavo-cli: --baud needs a value\nTry tavo-cli --help.\n"},
        {{"--lpt", "LPT3", "drawer"}, "tavo-cli: --lpt takes LPT1 or LPT2\nTry tavo-cli --help.\n"},
        {{"--port", "COM3"}, "tavo-cli: no command given\nTry tavo-cli --help.\n"},
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
    EXPECT_EQ(printer.received(), "");
    // A serial entry that leads to a plain file is told to be no serial port.
    outside.deviceNames().redirect("\\\\.\\COM4", lpt1);
    r = cli({"--port", "COM4", "drawer"});
    EXPECT_EQ(r.status, kCliError);
    EXPECT_TRUE(r.err.endsWith(QString::fromStdString(lpt1) + QStringLiteral("：不是串口。\n"))) << r.err.toStdString();
    EXPECT_EQ(lpt1Contents(), lptBefore);

    // Every word has an ASCII form, in any case, that sends what the row's
    // own entry sends; ports are named in any case.
    const std::pair<QStringList, QStringList> same[] = {
        {{"buzzer", "on"}, {"buzzer", "启用"}},
        {{"buzzer", "Disable"}, {"buzzer", "禁用"}},
        {{"auto-line-feed", "OFF"}, {"auto-line-feed", "禁用"}},
        {{"small-font", "on"}, {"small-font", "启用小字体(9*17)"}},
        {{"emulation", "epson"}, {"emulation", "EPSON ESC/POS"}},
        {{"density", "light"}, {"density", "Light"}},
    };
    for (const auto &s : same) {
        SCOPED_TRACE(s.first.join(' ').toStdString());
        const CliRun ascii = cli(QStringList{"--port", "com3", "--dry-run"} + s.first);
        const CliRun entry = cli(QStringList{"--port", "COM3", "--dry-run"} + s.second);
        EXPECT_EQ(ascii.status, kCliOk) << ascii.err.toStdString();
        EXPECT_EQ(ascii.out, entry.out);
    }

    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort());
    r = cli({"--ip", nobody, "drawer"});
    EXPECT_EQ(r.status, kCliRefused);
    EXPECT_EQ(outside.messages.last(), "Connect error\n" + nobody + " 拒绝了连接：那里没有程序在这个端口上接收。");
    r = cli({"--help"});
    EXPECT_EQ(r.status, kCliOk);
    EXPECT_EQ(cli({"--port", "COM3", "drawer", "-h"}).out, r.out);
    for (const char *command : {"test-print", "nv-download", "bitimage-define-trimmed", "led-amount", "status", "find"})
        EXPECT_TRUE(r.out.contains(QLatin1String("\n  ") + QLatin1String(command) + ' ')) << command; // a line its own
}

namespace {

// What a shell command prints, standard error included.
std::string shell(const std::string &command)
{
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "popen failed";
    std::string out;
    char buf[512];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    ::pclose(pipe);
    return out;
}

} // namespace

TEST(CliProgram, RunsWithoutADisplay)
{
    // The real program, as a script calls it: no connection is touched.
    const std::string out = shell(TAVO_CLI_PATH " --dry-run nv-clear --star 2>&1; echo status=$?");
    EXPECT_EQ(out, "000000  ESC FS q    NV bit image 1: 8 × 8 dots, 8 data bytes, closing byte 01  "
                   "[1B 1C 71 01 01 00 01 00 00 00 00 00 00 00 00 00 01]\nstatus=0\n");
    // With no window to cancel in, it waits for a printer that pauses longer
    // than the network library's wait slice.
    const std::string file = ::testing::TempDir() + "tavo-cli-slow.bmp";
    bmp::write(file, bmp::encode(Picture(16, 8), 24, false));
    TcpPrinter paced(TcpPrinter::Mode::Paced, 16 * 1024, 100);
    EXPECT_EQ(shell(TAVO_CLI_PATH " --ip " + paced.address() + " selftest " + file + " --padding 100000 >/dev/null 2>&1; echo status=$?"),
              "status=0\n");
    ASSERT_TRUE(paced.waitForConnections(1, 10000));
    EXPECT_EQ(paced.connections()[0], buildSelfTestPage(loadBmp(QString::fromStdString(file)), 100000));
    std::remove(file.c_str());
}

TEST(CliProgram, EveryProgramFailsWhenItsOutputCannotBeWritten)
{
    const std::string bytes = std::string(TAVO_SOURCE_DIR) + "/tests/virtualprinter/encoder/receipt.bin";
    for (const std::string &command : {std::string(TAVO_CLI_PATH " --help"), std::string(TAVO_CLI_PATH " --dry-run drawer"),
                                      std::string(TAVO_DECODE_PATH " --help"), TAVO_DECODE_PATH " " + bytes,
                                      std::string(TAVO_VIRTUAL_PRINTER_PATH " --help")}) {
        SCOPED_TRACE(command);
        const std::string out = shell(command + " 2>&1 >/dev/full; echo status=$?");
        EXPECT_NE(out.find("standard output was not written: No space left on device\nstatus="), std::string::npos) << out;
        EXPECT_EQ(out.substr(out.size() - 3), "=1\n") << out;
        // The same command with somewhere to write succeeds.
        EXPECT_EQ(shell(command + " >/dev/null 2>&1; echo status=$?").substr(0, 9), "status=0\n");
    }
}
