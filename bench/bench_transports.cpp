// One command over each transport as the program sends it, against peers on
// this machine: the serial component on a pseudo-terminal whose printer
// drains it, and the network library against a loopback printer (without the
// fixed pauses of the calling pattern), beside a bare socket.
#include "core/dispatch.h"
#include "core/outside.h"
#include "tests/support/ptyprinter.h"
#include "tests/support/tcpprinter.h"
#include "transport/comport.h"
#include "transport/devicenames.h"
#include "transport/tavonetio/tavonetio.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kCommand("\x1B\x70\x00\x32\x32\x0D\x1D\x56", 8);

void SerialCommand(benchmark::State &state)
{
    const bool withThread = state.range(0) != 0;
    PtyPrinter printer;
    DeviceNames names;
    names.setRoots(PortRoots{"/nonexistent/dev", "/nonexistent/sys", "", {}});
    names.redirect("\\\\.\\COM3", printer.slavePath());
    auto host = comhost::makeSystemComHost(names);
    TComPort port(*host);
    port.SetPort("COM3");
    port.SetBaudRate(br9600);
    port.FlowControl().SetControlDTR(dtrEnable);
    port.FlowControl().SetXonXoffIn(true);
    port.FlowControl().SetXonXoffOut(true);
    if (!withThread)
        port.SetEvents(0);
    if (state.range(0) == 2)
        port.SetEvents(eventBit(evRxChar));
    for (auto _ : state) {
        port.OpenDevice();
        port.WriteText(kCommand);
        port.CloseDevice();
    }
    state.counters["delivered"] = static_cast<double>(printer.received().size());
}

// The minimal recipe, for comparison: open, raw mode, write, close.
void BareTermiosCommand(benchmark::State &state)
{
    PtyPrinter printer;
    for (auto _ : state) {
        int fd = ::open(printer.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B9600);
        ::tcsetattr(fd, TCSANOW, &tio);
        benchmark::DoNotOptimize(::write(fd, kCommand.data(), kCommand.size()));
        ::close(fd);
    }
}

// A printer that only drains: accept, read to the end, close. The test
// printer also records every connection, which would bound the figures here.
class DrainingPrinter {
public:
    DrainingPrinter()
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a);
        ::listen(m_listen, 512);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] {
            char buf[4096];
            for (;;) {
                int c = ::accept(m_listen, nullptr, nullptr);
                if (c < 0)
                    return;
                while (::read(c, buf, sizeof buf) > 0) {
                }
                ::close(c);
            }
        });
    }
    ~DrainingPrinter()
    {
        ::shutdown(m_listen, SHUT_RDWR);
        ::close(m_listen);
        m_thread.join();
    }
    int port() const { return m_port; }
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }

private:
    int m_listen = -1;
    int m_port = 0;
    std::thread m_thread;
};

void NetworkCommand(benchmark::State &state)
{
    DrainingPrinter printer;
    const std::string address = printer.address();
    for (auto _ : state) {
        if (TavoNetOpen(address.c_str(), 5, 7) != 1)
            state.SkipWithError("no connection");
        TavoNetSend(reinterpret_cast<const uint8_t *>(kCommand.data()), static_cast<int32_t>(kCommand.size()));
        TavoNetClose();
    }
}

void BareSocketCommand(benchmark::State &state)
{
    DrainingPrinter printer;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(printer.port()));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (auto _ : state) {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
        benchmark::DoNotOptimize(::send(fd, kCommand.data(), kCommand.size(), MSG_NOSIGNAL));
        ::close(fd);
    }
}

} // namespace

// The same short commands through the program's transfer layer, which
// watches and can cancel every transfer: it must cost nothing measurable.
class BenchOutside : public Outside {
public:
    void showMessage(QObject *, const QString &) override {}
    bool askYesNo(QObject *, const QString &) override { return false; }
    void showError(QObject *, const QString &, const QString &) override {}
    QString chooseOpenFile(QObject *, const QString &) override { return {}; }
    QString chooseSaveFile(QObject *, const QString &, const QString &) override { return {}; }
    void openUrl(const QUrl &) override {}
};

// A Sender on the serial port of a pseudo-terminal printer, as the main
// window sets it up.
struct SerialRig {
    explicit SerialRig(TBaudRate baud)
    {
        outside.deviceNames().setRoots(PortRoots{"/nonexistent/dev", "/nonexistent/sys", "", {}});
        outside.deviceNames().redirect("\\\\.\\COM3", printer.slavePath());
        port.FlowControl().SetControlDTR(dtrEnable);
        port.FlowControl().SetXonXoffIn(true);
        port.FlowControl().SetXonXoffOut(true);
        route.kind = Route::Serial;
        route.port = "COM3";
        route.baud = baud;
    }
    PtyPrinter printer;
    BenchOutside outside;
    std::unique_ptr<comhost::ComHost> host = comhost::makeSystemComHost(outside.deviceNames());
    TComPort port{*host};
    Sender sender{outside, port, NetPrinterApi::library()};
    Route route;
};

void SenderSerialCommand(benchmark::State &state)
{
    SerialRig rig(br9600);
    for (auto _ : state)
        rig.sender.send(nullptr, rig.route, kCommand);
    state.counters["delivered"] = static_cast<double>(rig.printer.received().size());
}

void SenderNetworkCommand(benchmark::State &state)
{
    TcpPrinter printer;
    BenchOutside outside;
    outside.deviceNames().setRoots(PortRoots{"/nonexistent/dev", "/nonexistent/sys", "", {}});
    auto host = comhost::makeSystemComHost(outside.deviceNames());
    TComPort port(*host);
    Sender sender(outside, port, NetPrinterApi::library());
    Route route;
    route.kind = Route::Network;
    route.address = QString::fromStdString(printer.address());
    for (auto _ : state)
        sender.send(nullptr, route, kCommand, NetPauses{0, 0, 0});
    state.counters["commands"] = static_cast<double>(printer.accepted());
}

// A 49,012-byte download to a printer that takes bytes at 115200 bit/s,
// watched as every transfer is: its time against the wire time.
void WatchedTransferAtWireRate(benchmark::State &state)
{
    constexpr int kBytesPerSecond = 11520;
    const std::string logo(49012, 'U');
    SerialRig rig(br115200);
    double seconds = 0;
    for (auto _ : state) {
        rig.printer.clearReceived();
        rig.printer.setPace(kBytesPerSecond);
        const auto start = std::chrono::steady_clock::now();
        rig.sender.send(nullptr, rig.route, logo);
        rig.printer.waitFor(logo.size(), 60000);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double wire = double(logo.size()) / kBytesPerSecond;
    state.counters["wire_s"] = wire;
    state.counters["took_s"] = seconds;
    state.counters["over_wire_pct"] = (seconds / wire - 1) * 100;
}

BENCHMARK(SerialCommand)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(SenderSerialCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK(SenderNetworkCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK(WatchedTransferAtWireRate)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareTermiosCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK(NetworkCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BareSocketCommand)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
