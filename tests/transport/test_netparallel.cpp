// The network printer library against a loopback printer, and the parallel
// port against files and FIFOs standing in for the device.
#include "tests/support/deaflistener.h"
#include "tests/support/tcpprinter.h"
#include "transport/devicecheck.h"
#include "transport/devicenames.h"
#include "transport/ioerror.h"
#include "transport/netprobe.h"
#include "transport/parallelport.h"
#include "transport/tavonetio/address.h"
#include "transport/tavonetio/netsocket.h"
#include "transport/tavonetio/tavonetio.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string withZeros()
{
    std::string s;
    for (int i = 0; i < 1000; ++i)
        s.push_back(static_cast<char>(i % 7 == 0 ? 0 : i & 0xFF));
    return s;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct TempDir {
    TempDir()
    {
        char tmpl[] = "/tmp/tavo-test-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

int ioCodeOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EInOutError &e) {
        return e.ErrorCode;
    }
    return 0;
}

bool sendWhole(const std::string &address, const std::string &data)
{
    if (TavoNetOpen(address.c_str(), 5, 7) != 1)
        return false;
    TavoNetSend(reinterpret_cast<const uint8_t *>(data.data()), static_cast<int32_t>(data.size()));
    return TavoNetClose() == 1;
}

} // namespace

TEST(NetAddress, HostAndPortTexts)
{
    auto ep = tavonet::parseAddress("127.0.0.1");
    ASSERT_TRUE(ep);
    EXPECT_EQ(ep->port, 9100);
    ep = tavonet::parseAddress("127.0.0.1:9101");
    ASSERT_TRUE(ep);
    EXPECT_EQ(ep->host, "127.0.0.1");
    EXPECT_EQ(ep->port, 9101);
    ep = tavonet::parseAddress("[::1]:80");
    ASSERT_TRUE(ep);
    EXPECT_TRUE(ep->ipv6);
    EXPECT_EQ(ep->port, 80);
    ep = tavonet::parseAddress("fe80::1");
    ASSERT_TRUE(ep);
    EXPECT_TRUE(ep->ipv6);
    EXPECT_EQ(ep->port, 9100);
    // A pasted blank, or an ideographic space, around the text does not count.
    for (const char *blanks : {" 127.0.0.1", "127.0.0.1 ", "\t127.0.0.1:9100\r\n", "\xE3\x80\x80" "127.0.0.1",
                               "127.0.0.1\xE3\x80\x80"}) {
        ep = tavonet::parseAddress(blanks);
        ASSERT_TRUE(ep) << blanks;
        EXPECT_EQ(ep->host, "127.0.0.1");
        EXPECT_TRUE(ep->numeric);
    }
    // Names are for the lookup; only numbers that are no address are refused.
    // A label of DNS's 63 characters is a name; one of 64 is not. So is a
    // name of 253 characters, and not one of 254.
    const std::string longest(63, 'a');
    const std::string longName = longest + "." + longest + "." + longest + "." + std::string(61, 'b');
    for (const std::string &name : std::vector<std::string>{"localhost", "printer.example", "tavo-80_2:9101", longest + ".lan", longName}) {
        ep = tavonet::parseAddress(name);
        ASSERT_TRUE(ep) << name;
        EXPECT_FALSE(ep->numeric) << name;
    }
    for (const std::string &bad : std::vector<std::string>{"", "1.2.3", "127.0.0.1:", "127.0.0.1:0", ":9100", "127.0.0.1:65536", "127.0.0.1:12a",
                                  "[::1", "[::1]x", "[::1]:", "127.0.0.1:9100:1", "-printer", "a..b", "bad name",
                                  longest + "a.lan", longName + "b"})
        EXPECT_FALSE(tavonet::parseAddress(bad)) << bad;
}

TEST(NetAddress, EachProblemIsNamed)
{
    using tavonet::HostProblem;
    using tavonet::PortProblem;
    const struct {
        const char *text;
        const char *hostText; // the host, as the messages name it
        HostProblem host;
        PortProblem port;
    } cases[] = {
        {"", "", HostProblem::Empty, PortProblem::None},
        {":0", "", HostProblem::Empty, PortProblem::OutOfRange},
        {":70000", "", HostProblem::Empty, PortProblem::OutOfRange},
        {"127.0.0.1:abc", "127.0.0.1", HostProblem::None, PortProblem::NotANumber},
        {"127.0.0.1:", "127.0.0.1", HostProblem::None, PortProblem::Missing},
        {"127.0.0.1:123456", "127.0.0.1", HostProblem::None, PortProblem::OutOfRange},
        {"127.0.0.1:65535", "127.0.0.1", HostProblem::None, PortProblem::None},
        {"127.0.0.1:1", "127.0.0.1", HostProblem::None, PortProblem::None},
        {"1.2.3", "1.2.3", HostProblem::NotAnAddress, PortProblem::None},
        {"[::1", "::1", HostProblem::UnclosedBracket, PortProblem::None},
        {"[::1]9100", "::1", HostProblem::TextAfterBracket, PortProblem::None},
        {"[printer]:1", "printer", HostProblem::NotAnAddress, PortProblem::None},
    };
    for (const auto &c : cases) {
        const tavonet::AddressText a = tavonet::readAddress(c.text);
        EXPECT_EQ(a.hostText, c.hostText) << c.text;
        EXPECT_EQ(a.host, c.host) << c.text;
        EXPECT_EQ(a.port, c.port) << c.text;
    }
    EXPECT_EQ(tavonet::readAddress("127.0.0.1:abc").portText, "abc");
}

// Of a lookup's answers the first IPv4 address is taken, wherever it stands,
// else the first IPv6 one: resolvers here list ::1 first, so a lookup alone
// would never show the order.
TEST(NetAddress, ALookupPrefersTheFirstIPv4Answer)
{
    const struct {
        const char *families; // '4' or '6', in the lookup's order
        int picked;           // index of the answer taken, -1 for none
    } cases[] = {{"", -1}, {"6", 0}, {"4", 0}, {"64", 1}, {"46", 0}, {"664", 2}, {"6464", 1}, {"44", 0}, {"66", 0}};
    for (const auto &c : cases) {
        std::vector<addrinfo> list(std::strlen(c.families));
        for (std::size_t i = 0; i < list.size(); ++i) {
            list[i].ai_family = c.families[i] == '4' ? AF_INET : AF_INET6;
            list[i].ai_next = i + 1 < list.size() ? &list[i + 1] : nullptr;
        }
        const addrinfo *picked = tavonet::preferredAddress(list.empty() ? nullptr : list.data());
        EXPECT_EQ(picked ? picked - list.data() : -1, c.picked) << c.families;
    }
}

TEST(NetLibrary, DeliversEveryByteInOrderAndOneConnectionACommand)
{
    TcpPrinter printer;
    const std::string data = withZeros();
    ASSERT_TRUE(sendWhole(printer.address(), data));
    ASSERT_TRUE(sendWhole(printer.address(), "second"));
    // More than the host's buffers hold: it goes out in many parts, each
    // where the last one ended.
    std::string large(32 * 1000 * 1000, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i % 251);
    ASSERT_TRUE(sendWhole(printer.address(), large));
    ASSERT_TRUE(printer.waitForConnections(3));
    EXPECT_EQ(printer.connections()[0], data);
    EXPECT_EQ(printer.connections()[1], "second");
    EXPECT_TRUE(printer.connections()[2] == large);
}

TEST(NetLibrary, LocalhostIsLookedUpAndBlanksDoNotCount)
{
    TcpPrinter printer;
    ASSERT_TRUE(sendWhole("localhost:" + std::to_string(printer.port()), "by name"));
    ASSERT_TRUE(sendWhole(" " + printer.address() + "\t", "with blanks"));
    ASSERT_TRUE(printer.waitForConnections(2));
    EXPECT_EQ(printer.connections()[0], "by name");
    EXPECT_EQ(printer.connections()[1], "with blanks");
}

TEST(NetLibrary, RefusedAndBadAddressesGiveNoConnection)
{
    const std::string nobody = "127.0.0.1:" + std::to_string(TcpPrinter::unusedPort());
    EXPECT_NE(TavoNetOpen(nobody.c_str(), 5, 7), 1);
    EXPECT_EQ(TavoNetLastError(), TAVONET_E_REFUSED);
    // No name here is ever looked up: each is refused by its text alone.
    for (const char *bad : {"", "not a name", "999.1.1.1", "[::1"}) {
        EXPECT_NE(TavoNetOpen(bad, 5, 7), 1) << bad;
        EXPECT_EQ(TavoNetLastError(), TAVONET_E_ADDRESS) << bad;
    }
    for (const char *bad : {"127.0.0.1:99999", "127.0.0.1:abc", "127.0.0.1:"}) {
        EXPECT_NE(TavoNetOpen(bad, 5, 7), 1) << bad;
        EXPECT_EQ(TavoNetLastError(), TAVONET_E_PORT) << bad;
    }
    EXPECT_NE(TavoNetOpen(nullptr, 5, 7), 1);
    // Without a connection, send and close do nothing.
    EXPECT_EQ(TavoNetSend(reinterpret_cast<const uint8_t *>("x"), 1), 0);
    EXPECT_EQ(TavoNetClose(), 0);
}

TEST(NetLibrary, PrinterThatResetsOrNeverReadsCannotHangTheSender)
{
    const std::string big(4 * 1024 * 1024, 'Z');
    {
        TcpPrinter resetting(TcpPrinter::Mode::ResetAfter, 1000);
        ASSERT_EQ(TavoNetOpen(resetting.address().c_str(), 5, 1), 1);
        const int32_t sent = TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size()));
        EXPECT_LE(sent, static_cast<int32_t>(big.size()));
        TavoNetClose();
    }
    {
        TcpPrinter stuck(TcpPrinter::Mode::NeverRead);
        ASSERT_EQ(TavoNetOpen(stuck.address().c_str(), 5, 1), 1);
        const int32_t sent = TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size()));
        EXPECT_LT(sent, static_cast<int32_t>(big.size()));
        EXPECT_EQ(TavoNetClose(), 0); // not every byte left in time
    }
    TcpPrinter healthy;
    ASSERT_TRUE(sendWhole(healthy.address(), "after"));
    ASSERT_TRUE(healthy.waitForConnections(1));
    EXPECT_EQ(healthy.connections()[0], "after");
}

TEST(NetLibrary, TellsWhatThePrinterTookAndWhyItStopped)
{
    const std::string big(4 * 1024 * 1024, 'Z');
    {
        TcpPrinter resetting(TcpPrinter::Mode::ResetAfter, 1000);
        ASSERT_EQ(TavoNetOpen(resetting.address().c_str(), 5, 1), 1);
        TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size()));
        EXPECT_EQ(TavoNetClose(), 0);
        EXPECT_EQ(TavoNetLastError(), TAVONET_E_RESET);
        ASSERT_TRUE(resetting.waitForConnections(1));
        EXPECT_GE(TavoNetDelivered(), static_cast<int32_t>(resetting.connections()[0].size()));
        EXPECT_LT(TavoNetDelivered(), static_cast<int32_t>(big.size()));
    }
    {
        // A healthy printer after it: nothing of the reset is left.
        TcpPrinter healthy;
        ASSERT_TRUE(sendWhole(healthy.address(), withZeros()));
        EXPECT_EQ(TavoNetDelivered(), 1000);
        EXPECT_EQ(TavoNetLastError(), TAVONET_OK);
    }
    {
        // The send time-out (1 s) holds the send, not the connect one (5 s).
        TcpPrinter stuck(TcpPrinter::Mode::NeverRead);
        ASSERT_EQ(TavoNetOpen(stuck.address().c_str(), 5, 1), 1);
        const auto start = std::chrono::steady_clock::now();
        TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size()));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        EXPECT_EQ(TavoNetLastError(), TAVONET_E_TIMEOUT);
        TavoNetClose();
        EXPECT_LT(TavoNetDelivered(), static_cast<int32_t>(big.size()));
    }
    EXPECT_EQ(TavoNetOpen("not an address", 5, 7), 0);
    EXPECT_EQ(TavoNetLastError(), TAVONET_E_ADDRESS);
    EXPECT_EQ(TavoNetOpen(("127.0.0.1:" + std::to_string(TcpPrinter::unusedPort())).c_str(), 5, 7), 0);
    EXPECT_EQ(TavoNetLastError(), TAVONET_E_REFUSED);
}

// The count told is what the printer got: a slow printer that keeps reading
// is never cut off, and after a Cancel the connection is reset, so that what
// the kernel still held never follows.
TEST(NetLibrary, SlowPrintersSucceedAndACancelledCountIsWhatThePrinterGot)
{
    struct Stop {
        std::chrono::steady_clock::time_point at;
        int looks = 0;
        static int32_t TAVONET_CALL hook(void *c, int32_t)
        {
            ++static_cast<Stop *>(c)->looks;
            return std::chrono::steady_clock::now() >= static_cast<Stop *>(c)->at ? 1 : 0;
        }
    };
    {
        // 2 KB every 100 ms for 40 KB: two seconds, with a one-second
        // time-out that only a printer taking nothing may reach. Its small
        // buffer keeps the close waiting for its acknowledgements.
        // A wait hook that never cancels is asked as the close waits, and
        // lets it go on.
        TcpPrinter slow(TcpPrinter::Mode::Paced, 2 * 1024, 100);
        std::string data(40 * 1024, 'S');
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>('A' + i % 23); // a byte out of place shows
        Stop never{std::chrono::steady_clock::time_point::max()};
        TavoNetSetWaitHook(&Stop::hook, &never);
        ASSERT_EQ(TavoNetOpen(slow.address().c_str(), 5, 1), 1);
        EXPECT_EQ(TavoNetSend(reinterpret_cast<const uint8_t *>(data.data()), static_cast<int32_t>(data.size())),
                  static_cast<int32_t>(data.size()));
        never.looks = 0;
        EXPECT_EQ(TavoNetClose(), 1) << TavoNetLastError();
        EXPECT_GT(never.looks, 0); // the close waits for the slow printer, watched
        TavoNetSetWaitHook(nullptr, nullptr);
        EXPECT_EQ(TavoNetDelivered(), static_cast<int32_t>(data.size()));
        ASSERT_TRUE(slow.waitForConnections(1));
        EXPECT_EQ(slow.connections()[0], data);
    }
    TcpPrinter paced(TcpPrinter::Mode::Paced, 64 * 1024, 50);
    std::string big(5 * 1000 * 1000, 'C');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i % 251); // what arrived is the command's beginning, in order
    Stop stop{std::chrono::steady_clock::now() + std::chrono::milliseconds(300)};
    TavoNetSetWaitHook(&Stop::hook, &stop);
    ASSERT_EQ(TavoNetOpen(paced.address().c_str(), 5, 7), 1);
    EXPECT_LT(TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size())),
              static_cast<int32_t>(big.size()));
    EXPECT_EQ(TavoNetLastError(), TAVONET_E_CANCELLED);
    // Told once to stop, it stays stopped: a further send goes no further
    // than the room the kernel has.
    EXPECT_LT(TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size())),
              static_cast<int32_t>(big.size()));
    EXPECT_EQ(TavoNetLastError(), TAVONET_E_CANCELLED);
    EXPECT_EQ(TavoNetClose(), 0);
    TavoNetSetWaitHook(nullptr, nullptr);
    const int32_t told = TavoNetDelivered();
    // The printer reads what its side acknowledged, then meets the reset.
    ASSERT_TRUE(paced.waitForConnections(1, 10000));
    EXPECT_GT(told, 0);
    EXPECT_EQ(paced.connections()[0].size(), static_cast<std::size_t>(told));
    EXPECT_TRUE(paced.connections()[0] == big.substr(0, paced.connections()[0].size()));
    EXPECT_EQ(paced.receivedTotal(), static_cast<std::size_t>(told));

    // Opening again resets a connection left open: what its kernel still
    // held never follows.
    TcpPrinter left(TcpPrinter::Mode::Paced, 4 * 1024, 50), next;
    const std::string queued(200 * 1024, 'Q');
    ASSERT_EQ(TavoNetOpen(left.address().c_str(), 5, 7), 1);
    ASSERT_EQ(TavoNetSend(reinterpret_cast<const uint8_t *>(queued.data()), static_cast<int32_t>(queued.size())),
              static_cast<int32_t>(queued.size()));
    ASSERT_EQ(TavoNetOpen(next.address().c_str(), 5, 7), 1);
    ASSERT_TRUE(left.waitForConnections(1, 10000));
    EXPECT_LT(left.connections()[0].size(), queued.size());
    TavoNetClose();
}

// The host's acknowledged count is the data the peer took: the kernel's
// counter also holds the SYN, which is no byte of the command.
TEST(NetLibrary, AcknowledgedBytesAreTheDataThePeerTook)
{
    TcpPrinter stuck(TcpPrinter::Mode::NeverRead);
    const auto ep = tavonet::parseAddress(stuck.address());
    ASSERT_TRUE(ep);
    netsock::ConnectFailure why{};
    const netsock::Socket s = netsock::beginConnect(*ep, why);
    ASSERT_NE(s, netsock::kNoSocket);
    ASSERT_EQ(netsock::waitWritable(s, 5000), 1);
    EXPECT_EQ(netsock::acknowledgedBytes(s), 0);
    // A command goes out at once, not held back to gather more.
    int nodelay = 0;
    socklen_t size = sizeof nodelay;
    ASSERT_EQ(::getsockopt(s, IPPROTO_TCP, TCP_NODELAY, &nodelay, &size), 0);
    EXPECT_NE(nodelay, 0);
    const std::string data(100, 'a');
    ASSERT_EQ(netsock::sendSome(s, reinterpret_cast<const std::uint8_t *>(data.data()), data.size()), 100);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (netsock::acknowledgedBytes(s) < 100 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(netsock::acknowledgedBytes(s), 100);
    netsock::shutdownAndClose(s, 0);
}

// A receive tells "nothing yet" (0) apart from a printer that has gone (-1),
// at the first look after it closed or reset, not at a probe's time-out.
TEST(NetLibrary, AReceiveTellsNothingYetFromAPrinterThatHasGone)
{
    std::uint8_t got[4] = {};
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    EXPECT_EQ(netsock::receiveSome(pair[0], got, sizeof got), 0);
    ::close(pair[1]);
    EXPECT_EQ(netsock::receiveSome(pair[0], got, sizeof got), -1);
    ::close(pair[0]);

    TcpPrinter resetting(TcpPrinter::Mode::ResetAfter, 1);
    netsock::ConnectFailure why{};
    const netsock::Socket s = netsock::beginConnect(*tavonet::parseAddress(resetting.address()), why);
    ASSERT_EQ(netsock::waitWritable(s, 5000), 1);
    EXPECT_EQ(netsock::receiveSome(s, got, sizeof got), 0);
    ASSERT_EQ(netsock::sendSome(s, got, 1), 1);
    pollfd reset{static_cast<int>(s), POLLIN, 0};
    ASSERT_EQ(::poll(&reset, 1, 5000), 1);
    EXPECT_EQ(netsock::receiveSome(s, got, sizeof got), -1);
    netsock::shutdownAndClose(s, 0);
}

TEST(NetLibrary, WaitHookSeesProgressAndEndsTheWait)
{
    struct Watch {
        int looks = 0;
        static int32_t TAVONET_CALL hook(void *c, int32_t)
        {
            return ++static_cast<Watch *>(c)->looks >= 4 ? 1 : 0;
        }
    } watch;
    TcpPrinter stuck(TcpPrinter::Mode::NeverRead);
    TavoNetSetWaitHook(&Watch::hook, &watch);
    ASSERT_EQ(TavoNetOpen(stuck.address().c_str(), 5, 7), 1);
    const std::string big(4 * 1024 * 1024, 'Z');
    const auto start = std::chrono::steady_clock::now();
    const int32_t sent = TavoNetSend(reinterpret_cast<const uint8_t *>(big.data()), static_cast<int32_t>(big.size()));
    EXPECT_EQ(TavoNetLastError(), TAVONET_E_CANCELLED);
    EXPECT_LT(sent, static_cast<int32_t>(big.size()));
    EXPECT_EQ(TavoNetClose(), 0); // no waiting for bytes that cannot leave
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)); // not the 7 s time-out
    EXPECT_EQ(watch.looks, 4);
    TavoNetSetWaitHook(nullptr, nullptr);
}

TEST(Parallel, WritesEveryByteToTheDevice)
{
    TempDir dir;
    const std::string path = dir.path + "/lp0";
    std::ofstream(path).close();
    const std::string data = withZeros();
    parallel::writeDevice(path, data);
    EXPECT_EQ(readFile(path), data);
    parallel::writeDevice(path, "next"); // each command starts the device afresh
    EXPECT_EQ(readFile(path), "next");
}

TEST(Parallel, FailuresRaiseTheRuntimeTexts)
{
    TempDir dir;
    const std::string missing = dir.path + "/lp1";
    EXPECT_EQ(ioCodeOf([&] { parallel::writeDevice(missing, "x"); }), 2);
    struct stat st {};
    EXPECT_NE(::stat(missing.c_str(), &st), 0) << "a missing device must not be created";
    EXPECT_EQ(ioCodeOf([&] { parallel::writeDevice(dir.path, "x"); }), 3);

    // A FIFO nobody reads is no printer; the write must not hang.
    const std::string fifo = dir.path + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ioCodeOf([&] { parallel::writeDevice(fifo, "x"); }), 2);
    // A reader that stops reading: the stall time-out ends the write.
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    try {
        parallel::writeDevice(fifo, std::string(1 << 20, 'x'), 200);
        ADD_FAILURE() << "a stalled write must fail";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.ErrorCode, 1460);
        // What the pipe took before it stalled, and not more.
        EXPECT_EQ(e.Written, static_cast<std::uint64_t>(::fcntl(reader, F_GETPIPE_SZ)));
    }
    ::close(reader);

    EXPECT_EQ(ioErrorText(2), "File not found");
    EXPECT_EQ(ioErrorText(3), "Invalid filename");
    EXPECT_EQ(ioErrorText(4), "Too many open files");
    EXPECT_EQ(ioErrorText(5), "File access denied");
    EXPECT_EQ(ioErrorText(100), "Read beyond end of file");
    EXPECT_EQ(ioErrorText(101), "Disk full");
    EXPECT_EQ(ioErrorText(106), "Invalid numeric input");
    EXPECT_EQ(ioErrorText(32), "I/O error 32");
}

TEST(Parallel, FifoReaderGetsTheCommand)
{
    // A reader that has gone fails the write with EPIPE; SIGPIPE would end
    // the program, and with it this test.
    int gone[2];
    ASSERT_EQ(::pipe(gone), 0);
    ::close(gone[0]);
    EXPECT_EQ(parallel::writeWithoutSigpipe(gone[1], "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    ::close(gone[1]);

    TempDir dir;
    const std::string fifo = dir.path + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::string data = withZeros();
    std::thread t([&] {
        char buf[4096];
        while (got.size() < data.size()) {
            ssize_t n = ::read(reader, buf, sizeof buf);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    parallel::writeDevice(fifo, data);
    t.join();
    ::close(reader);
    EXPECT_EQ(got, data);
}

TEST(HexFile, WholeFileWriteAndItsFailures)
{
    TempDir dir;
    const std::string path = dir.path + "/hex.bin";
    writeWholeFile(path, withZeros());
    EXPECT_EQ(readFile(path), withZeros());
    writeWholeFile(path, "ab");
    EXPECT_EQ(readFile(path), "ab");
    EXPECT_EQ(ioCodeOf([&] { writeWholeFile(dir.path + "/no/such/dir/file", "x"); }), 2);
    EXPECT_EQ(ioCodeOf([&] { writeWholeFile(dir.path, "x"); }), 3);
}

TEST(NetLibrary, AnIpv6LoopbackPrinterGetsTheBytes)
{
    Listener printer(AF_INET6, 1);
    if (printer.fd < 0)
        GTEST_SKIP() << "no IPv6 loopback here";
    const std::string address = "[::1]:" + std::to_string(printer.port);
    ASSERT_EQ(TavoNetOpen(address.c_str(), 5, 7), 1) << TavoNetLastError();
    EXPECT_EQ(TavoNetSend(reinterpret_cast<const uint8_t *>("v6"), 2), 2);
    const int peer = ::accept4(printer.fd, nullptr, nullptr, SOCK_CLOEXEC);
    ASSERT_GE(peer, 0);
    const timeval patience{5, 0};
    ::setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    char got[3] = {};
    EXPECT_EQ(::recv(peer, got, 2, MSG_WAITALL), 2);
    EXPECT_EQ(std::string(got), "v6");
    ::close(peer);
    TavoNetClose();
}

// A printer that resets the connection: the socket tells it is broken even
// after a failed send has taken the error, and sending on raises no SIGPIPE,
// which would end the program.
TEST(NetLibrary, AResetConnectionStaysBrokenAndSendingOnRaisesNoSignal)
{
    Listener printer(AF_INET, 1);
    ASSERT_GE(printer.fd, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(printer.port));
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    const int peer = ::accept4(printer.fd, nullptr, nullptr, SOCK_CLOEXEC);
    const linger reset{1, 0};
    ASSERT_EQ(::setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset), 0);
    ::close(peer);
    pollfd p{s, 0, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1);

    sigset_t pipe, before;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &pipe, &before), 0);
    const std::uint8_t byte = 0x1B;
    EXPECT_EQ(netsock::sendSome(s, &byte, 1), -1); // takes the reset
    EXPECT_TRUE(netsock::broken(s));
    EXPECT_EQ(netsock::sendSome(s, &byte, 1), -1); // a broken pipe now
    sigset_t pending;
    sigpending(&pending);
    const bool raised = sigismember(&pending, SIGPIPE) == 1;
    if (raised) {
        const timespec none{0, 0};
        (void)sigtimedwait(&pipe, nullptr, &none);
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    ::close(s);
    EXPECT_FALSE(raised);
}

// The scan's probe: refused or unanswered connects count as closed, a
// connection that never answers as silent, and an answer is kept whole.
TEST(NetProbe, EachTargetGetsTheOutcomeOfItsOwnConnection)
{
    Listener deaf(AF_INET, 0), mute(AF_INET, 4), speaking(AF_INET, 4);
    ASSERT_TRUE(deaf.fd >= 0 && mute.fd >= 0 && speaking.fd >= 0 && deaf.fill());
    int letGo = -1;
    std::thread answer([&] {
        pollfd waiting{speaking.fd, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) != 1)
            return;
        const int peer = ::accept4(speaking.fd, nullptr, nullptr, SOCK_CLOEXEC);
        char request[3];
        if (::recv(peer, request, sizeof request, MSG_WAITALL) == 3 && std::string(request, 3) == "\x10\x04\x01")
            (void)!::send(peer, "\x12\x34", 2, MSG_NOSIGNAL);
        // The probe lets go with a reset: a scan leaves no connection
        // closing slowly, here or on the printer.
        letGo = ::recv(peer, request, 1, 0) < 0 ? errno : 0;
        ::close(peer);
    });
    const std::uint32_t lo = 0x7F000001;
    const std::vector<netprobe::Target> targets{{lo, static_cast<std::uint16_t>(deaf.port)},
                                                {lo, static_cast<std::uint16_t>(TcpPrinter::unusedPort())},
                                                {lo, static_cast<std::uint16_t>(mute.port)},
                                                {lo, static_cast<std::uint16_t>(speaking.port)}};
    netprobe::Timing timing;
    timing.connectMs = 300;
    timing.answerMs = 300; // an answer over loopback takes far less, even under a sanitizer
    timing.atOnce = 2;
    const auto answers = netprobe::probe(targets, std::string("\x10\x04\x01", 3), timing, nullptr);
    answer.join();
    using O = netprobe::Answer::Outcome;
    ASSERT_EQ(answers.size(), 4u);
    const O expected[] = {O::Closed, O::Closed, O::Silent, O::Answered};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(answers[i].outcome, expected[i]) << i;
        EXPECT_EQ(answers[i].target.port, targets[i].port) << i;
    }
    EXPECT_EQ(answers[3].bytes, std::string("\x12\x34", 2));
    EXPECT_EQ(letGo, ECONNRESET);
    // A printer is given the whole connect time before it counts as absent, however short the answer time.
    netprobe::Timing connectWait = timing;
    connectWait.answerMs = 50;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(netprobe::probe({targets[0]}, "?", connectWait, nullptr)[0].outcome, O::Closed);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(connectWait.connectMs));
    // And one that took the connection the whole answer time, however short the connect time.
    netprobe::Timing answerWait = timing;
    answerWait.connectMs = 100;
    answerWait.answerMs = 600;
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(netprobe::probe({targets[2]}, "?", answerWait, nullptr)[0].outcome, O::Silent);
    EXPECT_GE(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(answerWait.answerMs));
    // Nobody waits on a connect that is still under way: a stop asked for
    // once the refused address is done ends the scan at once, not after
    // the silent one's long connect time.
    netprobe::Timing patient = timing;
    patient.connectMs = 10000;
    const auto stopped = std::chrono::steady_clock::now();
    const auto untilOneIsDone = [](std::size_t done, std::size_t) { return done == 0; };
    (void)netprobe::probe({targets[1], targets[0]}, "?", patient, untilOneIsDone);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::milliseconds(patient.connectMs / 2));

    // Never more connections under way than `atOnce`: four targets behind
    // one listener that never answers, counted as it takes them while none
    // has ended.
    Listener quiet(AF_INET, 8);
    ASSERT_TRUE(quiet.fd >= 0 && ::fcntl(quiet.fd, F_SETFL, O_NONBLOCK) == 0);
    std::vector<int> taken;
    std::size_t beforeAnyEnded = 0;
    const std::vector<netprobe::Target> same(4, {lo, static_cast<std::uint16_t>(quiet.port)});
    (void)netprobe::probe(same, std::string("\x10\x04\x01", 3), timing, [&](std::size_t done, std::size_t) {
        for (int peer; (peer = ::accept4(quiet.fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
            taken.push_back(peer);
        if (done == 0)
            beforeAnyEnded = taken.size();
        return true;
    });
    for (int peer : taken)
        ::close(peer);
    EXPECT_EQ(beforeAnyEnded, 2u);
    EXPECT_EQ(taken.size(), 4u);
    // Stopped while it waits for an answer, a probe lets go with a reset too:
    // the answer time is long, so that only the stop ends it.
    netprobe::Timing waiting = timing;
    waiting.answerMs = 60000;
    int held = -1;
    (void)netprobe::probe({same[0]}, std::string("\x10\x04\x01", 3), waiting, [&](std::size_t, std::size_t) {
        char request[3];
        if (held < 0)
            held = ::accept4(quiet.fd, nullptr, nullptr, SOCK_CLOEXEC);
        return held < 0 || ::recv(held, request, sizeof request, MSG_DONTWAIT) != 3;
    });
    ASSERT_GE(held, 0);
    char after;
    EXPECT_EQ(::recv(held, &after, 1, 0) < 0 ? errno : 0, ECONNRESET);
    ::close(held);
}

namespace {

// diagnoseDevice run by the user nobody, in a child: kind|owner|group|mode|group to join.
std::string diagnosedAsNobody(const std::string &path)
{
    int out[2];
    if (::pipe(out) != 0)
        return "pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(1);
        const DeviceProblem p = diagnoseDevice(path, true);
        const std::string s = std::to_string(p.kind) + "|" + p.owner + "|" + p.ownerGroup + "|" + std::to_string(p.mode) + "|" + p.group;
        (void)!::write(out[1], s.data(), s.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string s;
    char buf[256];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
        s.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    ::waitpid(pid, nullptr, 0);
    return s;
}

} // namespace

// Why a device would not open, found as the operator's system has it: a
// plain file is no serial port, a pipe without a reader, a process that
// holds the device by name and number, and a user without the rights told
// whose they are and whether a group would help.
TEST(DeviceCheck, FindsWhyADeviceWouldNotOpen)
{
    TempDir dir;
    const std::string file = dir.path + "/notatty", fifo = dir.path + "/fifo";
    std::ofstream(file) << "x";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(diagnoseDevice(dir.path + "/none", true).kind, DeviceProblem::Missing);
    EXPECT_EQ(diagnoseDevice(file, true).kind, DeviceProblem::NotSerial);
    EXPECT_EQ(diagnoseDevice(file, false).kind, DeviceProblem::Unknown);
    EXPECT_EQ(diagnoseDevice(fifo, false).kind, DeviceProblem::NoReader);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    EXPECT_EQ(diagnoseDevice(fifo, false).kind, DeviceProblem::Unknown);
    ::close(reader);

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        (void)!::write(ready[1], fd >= 0 ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char opened = 0;
    ASSERT_EQ(::read(ready[0], &opened, 1), 1);
    const DeviceProblem held = diagnoseDevice(file, false);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(held.kind, DeviceProblem::HeldByOther);
    EXPECT_EQ(held.pid, holder);
    EXPECT_EQ(held.process, "test_transports");

    if (::geteuid() != 0)
        return; // the rest needs a user to become
    const group *g = ::getgrgid(20);
    const std::string twenty = g ? g->gr_name : "20";
    // The folder shut to others: nothing of the file can be known.
    EXPECT_EQ(diagnosedAsNobody(file), "2|||0|");
    ASSERT_EQ(::chmod(dir.path.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0660), 0);
    EXPECT_EQ(diagnosedAsNobody(file), "2|root|root|432|"); // 0660; root's group helps nobody
    ASSERT_EQ(::chown(file.c_str(), 0, 20), 0);
    EXPECT_EQ(diagnosedAsNobody(file), "2|root|" + twenty + "|432|" + twenty);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    EXPECT_EQ(diagnosedAsNobody(file), "2|root|" + twenty + "|416|"); // the group may not write
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    EXPECT_EQ(diagnosedAsNobody(file), "4|||0|"); // open to all: only no serial port
}
