#pragma once
// Finding a printer: every COM entry that has a device, at every rate of the
// baud-rate list; every USB printer device and parallel port; and every
// address of a network range on the printers' port. Each is asked for its
// status (DLE EOT 1) and judged by the bits that every printer of the family
// sets in that answer. Nothing but the status request is ever sent, and on
// the network only to the port named.
#include "transport/netprobe.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class Sender;
struct Route;
class QObject;

// Bits 1 and 4 set, bits 0 and 7 clear: a status byte, not line noise.
inline bool looksLikeStatus(std::uint8_t b) { return (b & 0x93) == 0x12; }
// Bit 3: the printer is offline.
inline bool statusOnline(std::uint8_t b) { return (b & 0x08) == 0; }

// How long a printer has to answer one request (they answer within a few ms).
constexpr int kScanAnswerWaitMs = 80;

// How long a USB printer or a network printer has to answer, and how long a
// network connect may take; a /24 takes a few seconds at 64 connects at once.
constexpr int kDeviceAnswerWaitMs = 200;
constexpr int kNetConnectWaitMs = 400;
constexpr int kNetAnswerWaitMs = 300;
constexpr int kNetAtOnce = 64;
// The default range, from the host's own networks, never holds more.
constexpr int kMaxDefaultAddresses = 1024;
// A range given by hand may hold up to this many addresses (a /20).
constexpr int kMaxGivenAddresses = 4096;

struct ScanOptions {
    bool serial = true;
    bool devices = true;
    bool network = true;
    // "192.168.1.0/24", "192.168.1.10-192.168.1.40" (or with "–"); empty: the
    // host's own IPv4 networks, each its /24 or smaller.
    QString range;
    int port = 9100;
};

struct ScanResult {
    struct Hit {
        enum class Kind { Serial, Device, Network };
        Kind kind = Kind::Serial;
        QString port;  // the main window's entry: "COM3", "LPT1", "Ethernet"; empty for a device no entry opens
        QString baud;  // "19200" (serial)
        QString where; // "/dev/usb/lp0", "192.168.1.20:9100"
        std::uint8_t status = 0;
    };
    std::vector<Hit> hits;   // where a printer answered well
    QStringList skipped;     // ports that could not be opened, with why
    QStringList silent;      // ports opened where no printer answered at any rate
    QStringList noBackChannel; // devices that took the request but cannot be read back
    int addresses = 0;       // network addresses asked
    QString range;           // the network range asked, as told
    bool cancelled = false;
    int probes = 0;          // port and rate pairs asked
};

// The IPv4 addresses of a range text, host order; raises AppError with the
// reason for a text that is no range or holds more than `limit`.
std::vector<std::uint32_t> addressesOfRange(const QString &range, int limit = kMaxGivenAddresses);
// The host's own networks as one range: each interface's /24 or smaller
// (loopback left out), at most kMaxDefaultAddresses addresses.
std::vector<std::uint32_t> localRange(const std::vector<netprobe::Network> &networks, QString *described = nullptr);

// Runs the scan through the program's transfer layer, with its progress
// dialog and Cancel.
ScanResult scanForPrinters(Sender &sender, QObject *parent, const ScanOptions &options = {});

// One printer on the parallel port or the network asked once, as the scan
// asks: DLE EOT 1, its answer judged by the family's bits. Raises AppError
// for an address that is no address.
struct OneStatus {
    QString where;            // "LPT1 → /dev/usb/lp0", "127.0.0.1:9100"
    bool answered = false;    // a status byte came back
    bool noBackChannel = false;
    std::uint8_t status = 0;
};
OneStatus askOnce(Sender &sender, const Route &route);

// The result as lines for the operator.
QString scanReport(const ScanResult &result);
// The meaning of a status byte: "online", "offline", or "no status byte".
QString statusMeaning(std::uint8_t status);
// One printer as one line of JSON: where, its main-window entry (when given),
// its status byte (null, as -1, when none came) and its meaning.
QString printerJson(const QString &where, const QString *port, int status, const QString &meaning);
// One JSON object a printer found ({"where", "port", "status", "meaning"}),
// one a line, for scripts.
QString scanJson(const ScanResult &result);
