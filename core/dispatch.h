#pragma once
// The one path from a command string to the printer: over the parallel port,
// the serial port component, or the network printer library. Which way, and
// with what name, the windows decide (Route); everything after that is here:
// open, write (and for the status check, read), close on every way out,
// progress and Cancel for long transfers, and results that tell the truth.
#include "core/bytestring.h"
#include "core/transferlog.h"
#include "transport/comport.h"
#include "transport/parallelport.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <string>

class Outside;
class QObject;
class TransferSession;
struct DeviceProblem;

struct Route {
    enum Kind { None, Parallel, Serial, Network };
    Kind kind = None;
    std::string port;     // "LPT1", "COM3"
    TBaudRate baud = br9600;
    QString address;      // the IP field's text
};

// Why a device could not be opened or written, in the operator's words
// (`serial`: it was meant as a serial port).
QString deviceProblemText(const DeviceProblem &p, bool serial);

// The layout's settings of the serial component: 8N1, DTR on, RTS off,
// XON/XOFF both ways, every event.
void applyLayoutComSettings(TComPort &cp);

// The entries of the baud-rate list, slowest first.
const QStringList &baudRateEntries();

// The one rule from a port list index to a way: 0-1 parallel, 2-9 serial,
// 10 network, anything else none.
Route::Kind routeKindForIndex(int index);

// The main window's port choice at the moment of a press. Every window's
// route is made from it here, and nowhere else.
struct PortChoice {
    int index = -1;    // selected index of dk (-1: a typed text)
    QString entry;     // dk's entry at that index
    QString shown;     // the text dk shows
    QString baudEntry; // sd's selected entry (empty for a typed text)
    QString baudShown; // the text sd shows
    QString address;   // the IP field's text
};
// The main window's way: the entry at the selected index, sd's selected entry.
Route mainRoute(const PortChoice &choice);
// The tool windows' way: by the selected index, named by the shown texts.
Route toolRoute(const PortChoice &choice);
// The status check: the entry at the selected index, the rate sd shows.
Route statusRoute(const PortChoice &choice);
// The LED row's own test: the shown text begins with "COM".
bool ledPortAccepted(const PortChoice &choice);

// Pauses of the network calling pattern, in milliseconds.
struct NetPauses {
    int afterOpen = 5;
    int afterSend = 5;
    int afterClose = 0;
};
// The logo and bit-image downloads give the printer longer.
constexpr NetPauses kDownloadPauses{5, 10, 100};

// The network printer library's calls; tests may wrap the first three.
using NetWaitHook = std::int32_t (*)(void *, std::int32_t);
struct NetPrinterApi {
    std::uint8_t (*open)(const char *, std::int32_t, std::int32_t);
    std::int32_t (*send)(const std::uint8_t *, std::int32_t);
    std::int32_t (*close)();
    void (*setWaitHook)(NetWaitHook, void *) = defaultSetWaitHook;
    std::int32_t (*delivered)() = defaultDelivered;
    std::int32_t (*lastError)() = defaultLastError;
    static NetPrinterApi library();

private:
    static void defaultSetWaitHook(NetWaitHook hook, void *context);
    static std::int32_t defaultDelivered();
    static std::int32_t defaultLastError();
};
constexpr std::int32_t kNetConnectTimeoutS = 5;
constexpr std::int32_t kNetSendTimeoutS = 7;

class SerialExchange;

class Sender {
public:
    Sender(Outside &outside, TComPort &port, NetPrinterApi net);

    // Sends `data` the route's way. Returns true when the bytes reached the
    // printer; false when nothing was sent (no route, or "Connect error"
    // shown). Port failures raise with a detail line; a cancelled transfer
    // raises TransferCancelled. The connection is closed before either leaves.
    bool send(QObject *parent, const Route &route, const ByteString &data, const NetPauses &pauses = {});

    // Where a route goes, as the operator sees it: "COM3 → /dev/ttyUSB0 @
    // 19200", "LPT1 → /dev/lp0", "127.0.0.1:9100".
    QString describe(const Route &route) const;
    // The host path a serial or parallel route opens.
    std::string devicePath(const Route &route) const;

    Outside &outside() { return m_outside; }
    TComPort &port() { return m_port; }
    // Every command sent this run, from any window.
    TransferLog &log() { return m_log; }
    // How long a parallel printer may take no byte before the write fails;
    // tests shorten it rather than wait the ten seconds out.
    void setParallelStallTimeout(int ms) { m_parallelStallMs = ms; }

private:
    friend class SerialExchange;
    void sendParallel(TransferSession &session, const Route &route, const ByteString &data);
    void sendSerial(TransferSession &session, const Route &route, const ByteString &data);
    bool sendNetwork(QObject *parent, TransferSession &session, const Route &route, const ByteString &data,
                     const NetPauses &pauses);
    bool sendLogged(QObject *parent, const Route &route, const ByteString &data, const NetPauses &pauses);
    // Bad lines of the port map file, told once each.
    void tellPortMapProblems(QObject *parent);
    // Opens `cp` on the route's port, raising with a detail line.
    void openSerial(const Route &route);

    Outside &m_outside;
    TComPort &m_port;
    NetPrinterApi m_net;
    TransferLog m_log;
    QString m_refusal; // the message of a command that could not even connect
    int m_parallelStallMs = parallel::kStallTimeoutMs;
};

// A serial conversation of the status check: the port is open from
// construction to close() or destruction, whichever comes first.
class SerialExchange {
public:
    SerialExchange(Sender &sender, QObject *parent, const Route &route);
    // Within a watch of its caller's, which spans several exchanges (the scan).
    SerialExchange(Sender &sender, TransferSession &session, const Route &route);
    ~SerialExchange();
    SerialExchange(const SerialExchange &) = delete;
    SerialExchange &operator=(const SerialExchange &) = delete;

    void write(const ByteString &data);
    // What has arrived, up to `count` bytes.
    ByteString read(int count);
    void pause(int ms);
    void close();

private:
    Sender &m_sender;
    Route m_route;
    std::unique_ptr<TransferSession> m_ownSession;
    TransferSession *m_session = nullptr;
    bool m_open = false;
    std::uint64_t m_lastWrite = 0; // the log entry that answers belong to
};
