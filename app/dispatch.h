#pragma once
// The one path from a command string to the printer: over the parallel port,
// the serial port component, or the network printer library. Which way, and
// with what name, the windows decide (Route); everything after that is here.
#include "app/bytestring.h"
#include "transport/comport.h"

#include <QString>

#include <cstdint>
#include <string>

class Outside;
class QWidget;

struct Route {
    enum Kind { None, Parallel, Serial, Network };
    Kind kind = None;
    std::string port;     // "LPT1", "COM3"
    TBaudRate baud = br9600;
    QString address;      // the IP field's text
};

// Indices of the port list: 0-1 parallel, 2-9 serial, 10 network.
Route::Kind routeKindForIndex(int index);

// Pauses of the network calling pattern, in milliseconds.
struct NetPauses {
    int afterOpen = 5;
    int afterSend = 5;
    int afterClose = 0;
};
// The logo and bit-image downloads give the printer longer.
constexpr NetPauses kDownloadPauses{5, 10, 100};

// The network printer library's three calls; tests may wrap them.
struct NetPrinterApi {
    std::uint8_t (*open)(const char *, std::int32_t, std::int32_t);
    std::int32_t (*send)(const std::uint8_t *, std::int32_t);
    std::int32_t (*close)();
    static NetPrinterApi library();
};
constexpr std::int32_t kNetConnectTimeoutS = 5;
constexpr std::int32_t kNetSendTimeoutS = 7;

class Sender {
public:
    Sender(Outside &outside, TComPort &port, NetPrinterApi net);

    // Sends `data` the route's way. Returns true when the bytes went out;
    // false when nothing was sent (no route, or "Connect error" shown).
    // Port failures raise; the connection is closed before they leave.
    bool send(QWidget *parent, const Route &route, const ByteString &data, const NetPauses &pauses = {});


private:
    void sendParallel(const Route &route, const ByteString &data);
    void sendSerial(const Route &route, const ByteString &data);
    bool sendNetwork(QWidget *parent, const Route &route, const ByteString &data, const NetPauses &pauses);

    Outside &m_outside;
    TComPort &m_port;
    NetPrinterApi m_net;
};
