#include "cli/cli.h"

#include "core/basiccommands.h"
#include "core/errors.h"
#include "core/gb2312.h"
#include "core/outside.h"
#include "core/printerlink.h"
#include "devices/portscan.h"
#include "core/rtl.h"
#include "devices/ledcommands.h"
#include "devices/statuscheck.h"
#include "escpos/decoder.h"
#include "logo/blackmark.h"
#include "logo/bmpload.h"
#include "logo/logocommands.h"
#include "settings/configcommands.h"
#include "transport/comhost.h"

#include <QCoreApplication>
#include <QMap>
#include <QRegularExpression>

#include <functional>
#include <memory>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(cli)
};

// Bad arguments: told with the command's usage, exit status 1.
struct UsageError {
    QString text;
};

// What a window would tell in a message box instead of sending: told as
// it stands, exit status 1.
struct Refusal {
    QString text;
};

// How a command goes out, as its window sends it.
enum class Way {
    Main,        // the main window's dispatch
    SerialSpeed, // the main window's, refused on a parallel port
    Tool,        // the tool windows' way
    Download,    // the logo window's downloads: longer pauses on Ethernet
    Led,         // the customer display: serial or parallel only
    Status,      // the status check
    Find,        // the printer scan
};

struct Invocation {
    QString command;
    QStringList args;             // positional arguments after the command
    QMap<QString, QString> opts;  // --name value
    QStringList flags;            // --star, --backward
    PortChoice choice;
    bool connected = false;
    bool dryRun = false;

    QString option(const QString &name, const QString &fallback) const { return opts.value(name, fallback); }
    bool flag(const QString &name) const { return flags.contains(name); }
    QString arg(int i, const char *what) const
    {
        if (i >= args.size())
            throw UsageError{Text::tr("missing argument: %1").arg(QLatin1String(what))};
        return args[i];
    }
};

struct Result {
    Result(ByteString b = ByteString()) : bytes(std::move(b)) {}
    ByteString bytes;
    QString success; // told once the bytes went out
    bool successOnNetworkOnly = false;
};

struct CliCommand {
    const char *name;
    const char *usage;
    const char *help;
    Way way;
    std::function<Result(const Invocation &)> build;
};

Dialect dialectOf(const Invocation &in) { return in.flag(QStringLiteral("star")) ? Dialect::Star : Dialect::Normal; }

// A whole number the user typed, within [lo, hi]: a number the printer's
// byte cannot hold is refused, not sent as its low bits.
int number(const QString &text, int lo, int hi, const QString &what)
{
    const int v = StrToInt(text); // a text that is no number: "'x' is not a valid integer value."
    if (v < lo || v > hi)
        throw UsageError{Text::tr("%1 takes %2 to %3, not %4").arg(what).arg(lo).arg(hi).arg(text)};
    return v;
}
int option(const Invocation &in, const char *name, const char *fallback, int lo, int hi)
{
    const QString n = QLatin1String(name);
    return number(in.option(n, QLatin1String(fallback)), lo, hi, QStringLiteral("--") + n);
}

// The serial speed by its rate or by its code; codes are below every rate.
int serialSpeedCode(const QString &text)
{
    const std::vector<const char *> &entries = serialSpeedEntries();
    bool isNumber = false;
    const int v = text.toInt(&isNumber);
    if (isNumber && v >= 0 && v < static_cast<int>(entries.size()))
        return v;
    for (int code = 0; isNumber && code < static_cast<int>(entries.size()); ++code)
        if (serialSpeedBits(code) == v)
            return code;
    throw UsageError{Text::tr("serial-speed takes a rate (2400, 4800, 9600, 19200, 38400, 57600 or 115200) or a "
                              "code 0 to 6, not %1")
                         .arg(text)};
}

// The words a user may type for each entry of a settings row, beside the
// row's own entry and its translation: plain ASCII, any case.
const std::vector<std::vector<const char *>> &asciiWords(Setting id)
{
    static const std::vector<std::vector<const char *>> onOff = {{"on", "enable"}, {"off", "disable"}};
    static const std::vector<std::vector<const char *>> paper = {{"58mm"}, {"76mm"}};
    static const std::vector<std::vector<const char *>> density = {{"light"}, {"normal"}, {"dark"}};
    static const std::vector<std::vector<const char *>> emulation = {{"epson"}, {"star"}};
    switch (id) {
    case Setting::PaperWidth: return paper;
    case Setting::Density: return density;
    case Setting::Emulation: return emulation;
    case Setting::AutoLineFeed:
    case Setting::Buzzer:
    case Setting::Reprint:
    case Setting::SmallFont: break;
    }
    return onOff;
}

Picture pictureFrom(const Invocation &in) { return loadBmp(in.arg(0, "FILE.bmp")); }

Result settingCommand(Setting id, const Invocation &in)
{
    const OneValueSetting &s = oneValueSetting(id);
    const QString word = in.arg(0, "ENTRY");
    const auto &ascii = asciiWords(id);
    QStringList shown, own;
    for (std::size_t i = 0; i < s.entries.size(); ++i) {
        QStringList words;
        for (const char *w : ascii[i])
            words << QLatin1String(w);
        shown << words.first();
        const QString entry = QString::fromUtf8(s.entries[i]);
        if (!entry.isEmpty() && entry.compare(words.first(), Qt::CaseInsensitive) != 0)
            own << entry;
        words << entry << QCoreApplication::translate("TForm1", s.entries[i]);
        for (const QString &w : words)
            if (w.compare(word, Qt::CaseInsensitive) == 0)
                return Result(buildSettingCommand(s, static_cast<int>(i)));
    }
    QString choices = shown.join(QStringLiteral(", "));
    if (!own.isEmpty())
        choices += Text::tr(" (or %1)").arg(own.join(QStringLiteral(", ")));
    throw UsageError{Text::tr("%1 takes one of: %2").arg(in.command, choices)};
}

Result markOffset(MarkTarget target, const Invocation &in)
{
    const double mm = StrToFloat(in.arg(0, "MM"));
    const MarkDirection direction = in.flag(QStringLiteral("backward")) ? MarkDirection::Backward : MarkDirection::Forward;
    if (const QString refusal = markOffsetRefusal(mm, direction); !refusal.isEmpty())
        throw Refusal{refusal};
    return Result(buildMarkOffset(target, direction, static_cast<int>(motionUnits(mm))));
}

Result bitImageDefine(bool trimmed, const Invocation &in)
{
    const Picture pic = pictureFrom(in);
    const BitImageSize size = bitImageSize(pic, StrToInt(in.option(QStringLiteral("cap"), QStringLiteral("1536"))));
    const int offset = StrToInt(in.option(QStringLiteral("offset"), QStringLiteral("0")));
    Result r;
    r.success = bitImageDefinedText();
    if (!trimmed) {
        r.bytes = buildBitImageDefine(pic, size, offset);
        return r;
    }
    const QStringList m = in.option(QStringLiteral("margins"), QString()).split(QLatin1Char(','));
    if (m.size() != 4)
        throw UsageError{Text::tr("--margins takes LEFT,RIGHT,TOP,BOTTOM in dots")};
    const Margins margins{StrToInt(m[0]), StrToInt(m[1]), StrToInt(m[2]), StrToInt(m[3])};
    if (!marginsFit(size, margins))
        throw Refusal{marginsRefusedText()};
    r.bytes = buildBitImageDefineTrimmed(pic, size, margins, offset);
    return r;
}

const std::vector<CliCommand> &commands()
{
    auto plain = [](ByteString (*builder)()) { return [builder](const Invocation &) { return Result{builder()}; }; };
    auto setting = [](Setting id) { return [id](const Invocation &in) { return settingCommand(id, in); }; };
    static const std::vector<CliCommand> table = {
        {"test-print", "[--width 40|42|36] [--repeat N]", "test print: N rounds (5) of one line of H", Way::Main,
         [](const Invocation &in) {
             const int width = StrToInt(in.option(QStringLiteral("width"), QStringLiteral("40")));
             bool widths[3] = {false, false, false};
             bool known = false;
             for (int i = 0; i < 3; ++i)
                 if (kTestPrintWidths[i] == width)
                     widths[i] = known = true;
             if (!known)
                 throw UsageError{Text::tr("--width takes 40, 42 or 36")};
             // A thousand rounds are already some metres of paper.
             return Result{buildTestPrint(option(in, "repeat", "5", 1, 1000), widths)};
         }},
        {"drawer", "", "cash drawer pulse", Way::Main, plain(&buildCashDrawer)},
        {"cut", "", "partial cut after feeding", Way::Main, plain(&buildCut)},
        {"h-print", "", "print the dot-matrix H parameter", Way::Main, plain(&buildPrintHParameter)},
        {"h-set", "0-F", "set the dot-matrix H parameter: one hexadecimal digit, as its list shows it", Way::Main,
         [](const Invocation &in) {
             const QString digit = in.arg(0, "0-F");
             bool ok = digit.size() == 1;
             const int value = ok ? digit.toInt(&ok, 16) : 0;
             if (!ok)
                 throw UsageError{Text::tr("h-set takes one hexadecimal digit, 0 to F, not %1").arg(digit)};
             return Result{buildSetHParameter(value)};
         }},
        {"codepage-print", "", "print the code page", Way::Main, plain(&buildPrintCodePage)},
        {"codepage-set", "0-255", "set the default code page", Way::Main,
         [](const Invocation &in) { return Result{buildSetCodePage(number(in.arg(0, "N"), 0, 255, in.command))}; }},
        {"paper-width", "58mm|76mm", "paper width", Way::Main, setting(Setting::PaperWidth)},
        {"density", "light|normal|dark", "print density", Way::Main, setting(Setting::Density)},
        {"auto-line-feed", "on|off", "automatic line feed (also enable|disable, 启用|禁用)", Way::Main,
         setting(Setting::AutoLineFeed)},
        {"buzzer", "on|off", "buzzer (also enable|disable, 启用|禁用)", Way::Main, setting(Setting::Buzzer)},
        {"reprint", "on|off", "reprint after paper-out (also enable|disable, 启用|禁用)", Way::Main,
         setting(Setting::Reprint)},
        {"emulation", "epson|star", "emulation mode (also \"EPSON ESC/POS\", \"STAR(Line/T)\")", Way::Main,
         setting(Setting::Emulation)},
        {"small-font", "on|off", "small font 9 × 17 (also enable|disable, 启用小字体(9*17)|禁用小字体(9*17))", Way::Main,
         setting(Setting::SmallFont)},
        {"serial-speed", "RATE|CODE",
         "serial speed by rate (2400 to 115200) or by code: 0 4800, 1 9600, 2 19200, 3 38400, 4 57600, 5 115200, 6 2400",
         Way::SerialSpeed, [](const Invocation &in) { return Result{buildSerialSpeed(serialSpeedCode(in.arg(0, "RATE")))}; }},
        {"mark-start", "MM [--backward]", "black mark: print start offset in millimetres", Way::Tool,
         [](const Invocation &in) { return markOffset(MarkTarget::PrintStart, in); }},
        {"mark-cut", "MM [--backward]", "black mark: cut offset in millimetres", Way::Tool,
         [](const Invocation &in) { return markOffset(MarkTarget::Cut, in); }},
        {"mark-feed-start", "", "print and feed to the next print start position", Way::Tool,
         [](const Invocation &) { return Result{buildFeedDemo(MarkTarget::PrintStart)}; }},
        {"mark-feed-cut", "", "print and feed to the next cut position", Way::Tool,
         [](const Invocation &) { return Result{buildFeedDemo(MarkTarget::Cut)}; }},
        {"nv-download", "FILE.bmp [--star] [--offset N] [--threshold T]", "store the picture as NV logo 1", Way::Download,
         [](const Invocation &in) {
             const Picture pic = pictureFrom(in);
             const int offset = StrToInt(in.option(QStringLiteral("offset"), QStringLiteral("0")));
             if (nvDownloadGeometry(pic, offset).nvSize >= kNvSizeLimit)
                 throw Refusal{nvTooLargeText()};
             Result r{buildNvDownload(pic, dialectOf(in), offset,
                                      StrToInt(in.option(QStringLiteral("threshold"), QStringLiteral("$00800000"))))};
             r.success = nvDownloadedText();
             r.successOnNetworkOnly = true;
             return r;
         }},
        {"nv-print", "[--star] [--scale 0-3]", "print NV logo 1: 0 normal, 1 double width, 2 double height, 3 both",
         Way::Tool,
         [](const Invocation &in) {
             return Result{buildNvPrint(dialectOf(in), option(in, "scale", "0", 0, 3))};
         }},
        {"nv-clear", "[--star]", "clear NV logo 1", Way::Tool,
         [](const Invocation &in) { return Result{buildNvClear(dialectOf(in))}; }},
        {"bitimage-define", "FILE.bmp [--cap N] [--offset N]", "define the downloaded bit image", Way::Download,
         [](const Invocation &in) { return bitImageDefine(false, in); }},
        {"bitimage-define-trimmed", "FILE.bmp --margins L,R,T,B [--cap N] [--offset N]",
         "define the downloaded bit image without its margins", Way::Download,
         [](const Invocation &in) { return bitImageDefine(true, in); }},
        {"bitimage-print", "", "print the downloaded bit image", Way::Download, plain(&buildBitImagePrint)},
        {"bitimage-print-all", "", "print the downloaded bit image in all four sizes", Way::Download,
         plain(&buildBitImagePrintFourSizes)},
        {"selftest", "FILE.bmp [--padding N]", "self-test page with the picture, and cut", Way::Download,
         [](const Invocation &in) {
             return Result{buildSelfTestPage(pictureFrom(in), StrToInt(in.option(QStringLiteral("padding"), QStringLiteral("0"))))};
         }},
        {"led-price", "", "customer display: unit price light", Way::Led, plain(&buildLedUnitPrice)},
        {"led-total", "", "customer display: total light", Way::Led, plain(&buildLedTotal)},
        {"led-amount", "TEXT", "customer display: show up to 9 characters", Way::Led,
         [](const Invocation &in) {
             const QString text = in.arg(0, "TEXT");
             if (text.size() > 9)
                 throw UsageError{Text::tr("led-amount shows at most 9 characters")};
             return Result{buildLedAmount(toGb2312(text))};
         }},
        {"led-clear", "", "customer display: clear", Way::Led, plain(&buildLedClear)},
        {"led-clear-line", "", "customer display: clear the cursor line", Way::Led, plain(&buildLedClearLine)},
        {"led-init", "", "customer display: initialise", Way::Led, plain(&buildLedInit)},
        {"status", "[--series 0-3] [--json]",
         "status check: on a serial port as the status window asks (series 0 Tavo-76XX, 1 Tavo-58K, "
         "2 Tavo-80XXX/Q80XXX (default), 3 Tavo-58XX); on --lpt (through the printer's back channel) and --ip "
         "DLE EOT 1 once",
         Way::Status,
         [](const Invocation &in) {
             return Result{printerSeries(option(in, "series", "2", 0, kSeriesCount - 1)).request};
         }},
        {"find", "[--net RANGE] [--net-port PORT] [--no-serial] [--no-net] [--json]",
         "find printers: every COM port with a device at every rate, every USB printer and parallel port, and every "
         "address of RANGE (192.168.1.0/24 or FROM-TO; default this machine's networks) on port 9100",
         Way::Find,
         [](const Invocation &) { return Result{printerSeries(0).request}; }},
    };
    return table;
}

const CliCommand *findCommand(const QString &name)
{
    for (const CliCommand &c : commands())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

const QStringList kFlags = {QStringLiteral("star"), QStringLiteral("backward"), QStringLiteral("dry-run"),
                            QStringLiteral("json"), QStringLiteral("no-serial"), QStringLiteral("no-net"),
                            QStringLiteral("help")};

Invocation parse(const QStringList &args)
{
    Invocation in;
    QString baud = QStringLiteral("9600");
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("-h"))
            in.flags << QStringLiteral("help");
        else if (a.startsWith(QLatin1String("--"))) {
            const QString name = a.mid(2);
            if (kFlags.contains(name)) {
                in.flags << name;
                continue;
            }
            if (i + 1 >= args.size())
                throw UsageError{Text::tr("%1 needs a value").arg(a)};
            in.opts[name] = args[++i];
        } else if (in.command.isEmpty())
            in.command = a;
        else
            in.args << a;
    }
    in.dryRun = in.flag(QStringLiteral("dry-run"));
    const int ways = int(in.opts.contains(QStringLiteral("port"))) + int(in.opts.contains(QStringLiteral("ip"))) +
                     int(in.opts.contains(QStringLiteral("lpt")));
    if (ways > 1)
        throw UsageError{Text::tr("give one of --port, --ip and --lpt")};
    in.connected = ways == 1;
    baud = in.option(QStringLiteral("baud"), baud);
    if (!baudRateEntries().contains(baud))
        throw UsageError{Text::tr("--baud takes one of %1").arg(baudRateEntries().join(QStringLiteral(", ")))};
    PortChoice &c = in.choice;
    c.baudEntry = c.baudShown = baud;
    if (in.opts.contains(QStringLiteral("port"))) {
        // Any case, no leading zero: "com3" is COM3, "COM03" is no port.
        const QString port = in.opts.value(QStringLiteral("port")).toUpper();
        static const QRegularExpression com(QStringLiteral("^COM[1-8]$"));
        if (!com.match(port).hasMatch())
            throw UsageError{Text::tr("--port takes COM1 to COM8")};
        const int n = port.mid(3).toInt();
        c.index = n + 1;
        c.entry = c.shown = port;
    } else if (in.opts.contains(QStringLiteral("lpt"))) {
        const QString port = in.opts.value(QStringLiteral("lpt")).toUpper();
        if (port != QLatin1String("LPT1") && port != QLatin1String("LPT2"))
            throw UsageError{Text::tr("--lpt takes LPT1 or LPT2")};
        c.index = port == QLatin1String("LPT1") ? 0 : 1;
        c.entry = c.shown = port;
    } else if (in.opts.contains(QStringLiteral("ip"))) {
        c.index = 10;
        c.entry = c.shown = QStringLiteral("Ethernet");
        c.address = in.opts.value(QStringLiteral("ip"));
    }
    return in;
}

Route routeFor(Way way, const PortChoice &c)
{
    switch (way) {
    case Way::Main:
    case Way::SerialSpeed: return mainRoute(c);
    case Way::Status: return statusRoute(c);
    default: break;
    }
    return toolRoute(c);
}

} // namespace

QString cliHelp()
{
    QString text = Text::tr("Usage: tavo-cli [--port COMn [--baud RATE] | --ip ADDRESS | --lpt LPTn] [--dry-run] COMMAND [ARGS]\n"
                      "Sends one command to the printer, byte for byte as the windows send it.\n"
                      "  --port COMn    serial port COM1 to COM8 (see the port map in README.md)\n"
                      "  --baud RATE    2400, 4800, 9600 (default), 19200, 38400, 57600 or 115200\n"
                      "  --ip ADDRESS   network printer: host or host:port\n"
                      "  --lpt LPTn     parallel port LPT1 or LPT2\n"
                      "  --dry-run      print the decoded command and send nothing\n"
                      "Exit status: 0 done, 1 error or bad arguments, 2 connection refused.\n\n"
                      "Commands:\n");
    for (const CliCommand &c : commands())
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QLatin1String(c.name), QString::fromUtf8(c.usage), Text::tr(c.help));
    return text;
}

int runCli(const QStringList &args, Outside &outside, QTextStream &out, QTextStream &err, comhost::ComHost *host,
           NetPrinterApi net)
{
    Invocation in;
    const CliCommand *entry = nullptr;
    try {
        in = parse(args);
        if (in.flag(QStringLiteral("help"))) {
            out << cliHelp();
            return kCliOk;
        }
        if (in.command.isEmpty())
            throw UsageError{Text::tr("no command given")};
        entry = findCommand(in.command);
        if (!entry)
            throw UsageError{Text::tr("unknown command: %1").arg(in.command)};
    } catch (const UsageError &e) {
        err << "tavo-cli: " << e.text << "\n" << Text::tr("Try tavo-cli --help.") << "\n";
        return kCliError;
    }

    try {
        const Result result = entry->build(in);
        if (in.dryRun) {
            escpos::writeListing(result.bytes, out);
            return kCliOk;
        }
        if (!in.connected && entry->way != Way::Find)
            throw UsageError{Text::tr("no connection given: --port, --ip or --lpt")};

        PrinterLink link(outside, host, net);
        Sender &sender = link.sender();

        if (entry->way == Way::Find) {
            ScanOptions options;
            options.serial = !in.flag(QStringLiteral("no-serial"));
            options.network = !in.flag(QStringLiteral("no-net"));
            options.range = in.option(QStringLiteral("net"), QString());
            options.port = option(in, "net-port", "9100", 1, 65535);
            const ScanResult scan = scanForPrinters(sender, nullptr, options);
            if (in.flag(QStringLiteral("json")))
                out << scanJson(scan);
            else
                out << scanReport(scan) << "\n";
            return scan.hits.empty() ? kCliError : kCliOk;
        }
        const Route route = routeFor(entry->way, in.choice);
        if (entry->way == Way::SerialSpeed && (route.kind == Route::Parallel || route.kind == Route::None))
            throw Refusal{serialSpeedNeedsSerial()};
        if (entry->way == Way::Led && !ledRouteServes(route))
            throw Refusal{ledNeedsSerialPort()};
        if (entry->way == Way::Status) {
            const bool json = in.flag(QStringLiteral("json"));
            if (route.kind == Route::Parallel || route.kind == Route::Network) {
                const OneStatus one = askOnce(sender, route);
                if (json)
                    out << printerJson(one.where, nullptr, one.answered ? one.status : -1,
                                       one.answered        ? statusMeaning(one.status)
                                       : one.noBackChannel ? QStringLiteral("no status back channel")
                                                           : QStringLiteral("no answer"));
                else if (one.noBackChannel)
                    out << Text::tr("%1: a printer is there, but it has no status back channel").arg(one.where) << "\n";
                else
                    out << verdictText(!one.answered ? StatusVerdict::NotFound
                                                     : statusOnline(one.status) ? StatusVerdict::Online
                                                                                : StatusVerdict::Offline)
                        << "\n";
                return one.answered ? kCliOk : kCliError;
            }
            if (route.kind != Route::Serial)
                throw Refusal{statusNeedsSerialPort()};
            const int series = StrToInt(in.option(QStringLiteral("series"), QStringLiteral("2")));
            const PrinterSeries &s = printerSeries(series);
            const ByteString reply = checkStatus(sender, nullptr, route, s);
            const StatusVerdict verdict = judgeStatus(statusString(reply, s.statusBit), s);
            if (json)
                out << printerJson(sender.describe(route), nullptr, reply.empty() ? -1 : byteAt(reply, reply.size() - 1),
                                   verdict == StatusVerdict::Online    ? QStringLiteral("online")
                                   : verdict == StatusVerdict::Offline ? QStringLiteral("offline")
                                                                       : QStringLiteral("no answer"));
            else
                out << verdictText(verdict) << "\n";
            return verdict == StatusVerdict::NotFound ? kCliError : kCliOk;
        }
        const NetPauses pauses = entry->way == Way::Download && route.kind == Route::Network ? kDownloadPauses : NetPauses{};
        if (!sender.send(nullptr, route, result.bytes, pauses))
            return kCliRefused; // "Connect error" is told through the seam
        out << Text::tr("sent %1 bytes to %2").arg(static_cast<qulonglong>(result.bytes.size())).arg(sender.describe(route))
            << "\n";
        if (!result.success.isEmpty() && (!result.successOnNetworkOnly || route.kind == Route::Network))
            out << result.success << "\n";
        return kCliOk;
    } catch (const UsageError &e) {
        err << "tavo-cli: " << e.text << "\n";
        return kCliError;
    } catch (const Refusal &r) {
        err << r.text << "\n";
        return kCliError;
    } catch (const TransferCancelled &c) {
        err << c.message() << "\n";
        return kCliError;
    } catch (...) {
        err << describeError(std::current_exception()) << "\n";
        return kCliError;
    }
}
