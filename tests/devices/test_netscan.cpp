// Finding USB and network printers: listeners on loopback addresses (Linux
// routes all of 127.0.0.0/8 to lo), a pseudo-terminal where the scan looks
// for USB printers, and the command line's find and status, in JSON too.
#include "cli/cli.h"
#include "devices/portscan.h"
#include "tests/support/clirun.h"
#include "tests/support/programfixture.h"
#include "transport/netprobe.h"

#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

// A printer at one loopback address: every connection's bytes are kept, and
// DLE EOT 1 is answered with `status` (or not at all when it is -1).
class StatusListener {
public:
    StatusListener(const char *ip, int port, int status) : m_status(status)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        ::inet_pton(AF_INET, ip, &a.sin_addr);
        m_ok = ::bind(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(m_fd, 16) == 0;
        m_thread = std::thread([this] { run(); });
    }
    ~StatusListener()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool ok() const { return m_ok; }
    std::string received()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }

private:
    void run()
    {
        std::vector<int> clients;
        while (!m_stop) {
            std::vector<pollfd> fds{{m_fd, POLLIN, 0}};
            for (int c : clients)
                fds.push_back({c, POLLIN, 0});
            ::poll(fds.data(), fds.size(), 10);
            if (fds[0].revents & POLLIN)
                clients.push_back(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
            for (std::size_t i = 1; i < fds.size(); ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP)))
                    continue;
                char buf[256];
                const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
                if (n <= 0) {
                    ::close(fds[i].fd);
                    clients.erase(std::find(clients.begin(), clients.end(), fds[i].fd));
                    continue;
                }
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(buf, static_cast<std::size_t>(n));
                if (m_status >= 0 && m_received.find("\x10\x04\x01") != std::string::npos) {
                    const char s = static_cast<char>(m_status);
                    (void)!::write(fds[i].fd, &s, 1);
                }
            }
        }
        for (int c : clients)
            ::close(c);
    }

    int m_fd = -1, m_status;
    bool m_ok = false;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

} // namespace

TEST(ScanRange, RangesAndTheirLimits)
{
    const struct {
        const char *text;
        std::size_t count;
        const char *first, *last;
    } good[] = {
        {"127.0.0.0/24", 254, "127.0.0.1", "127.0.0.254"}, // neither the network nor its broadcast address
        {" 127.1.2.3/30 ", 2, "127.1.2.1", "127.1.2.2"},
        {"127.1.2.3/31", 2, "127.1.2.2", "127.1.2.3"},
        {"127.1.2.3/32", 1, "127.1.2.3", "127.1.2.3"},
        {"127.0.0.250-127.0.1.4", 11, "127.0.0.250", "127.0.1.4"},
        {"127.0.0.5 – 127.0.0.7", 3, "127.0.0.5", "127.0.0.7"},
        {"127.0.0.5-127.0.0.5", 1, "127.0.0.5", "127.0.0.5"},
        {"127.168.0.9", 1, "127.168.0.9", "127.168.0.9"},
        {"127.0.0.0/20", 4094, "127.0.0.1", "127.0.15.254"},
    };
    for (const auto &g : good) {
        SCOPED_TRACE(g.text);
        const auto a = addressesOfRange(QString::fromUtf8(g.text));
        ASSERT_EQ(a.size(), g.count);
        EXPECT_EQ(netprobe::addressText(a.front()), g.first);
        EXPECT_EQ(netprobe::addressText(a.back()), g.last);
    }
    // The default range: each of the host's networks as its /24 or smaller,
    // without the host itself and without loopback. Parsing only: the
    // addresses are loopback ones all the same, marked as not loopback.
    QString told;
    const auto own = localRange({{0x7F010203, 16, false}, {0x7F000001, 8, true}, {0x7FA80005, 30, false}}, &told);
    EXPECT_EQ(told, QStringLiteral("127.1.2.0/24, 127.168.0.4/30"));
    ASSERT_EQ(own.size(), 253u + 1u);
    EXPECT_EQ(netprobe::addressText(own.front()), "127.1.2.1");
    EXPECT_EQ(std::count(own.begin(), own.end(), 0x7F010203u), 0);
    EXPECT_EQ(netprobe::addressText(own.back()), "127.168.0.6");
    std::vector<netprobe::Network> many(6, {0x7F000001, 24, false});
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i].address += static_cast<std::uint32_t>(i) << 8;
    EXPECT_EQ(localRange(many).size(), 4u * 253); // a fifth /24 would pass 1,024 addresses
    const char *const noNetwork = "不是网段（例如 192.168.1.0/24）";
    const std::pair<const char *, QString> bad[] = {
        {"127.0.0.0/19", "网段 127.0.0.0/19 太大：最多 4096 个地址"},
        {"127.0.0.1-127.0.16.1", "地址范围 127.0.0.1-127.0.16.1 太大：最多 4096 个地址"},
        {"127.0.0.9-127.0.0.1", "“127.0.0.9-127.0.0.1”不是地址范围（例如 192.168.1.10-192.168.1.40）"},
        {"300.1.1.1/24", QString("“300.1.1.1/24”") + noNetwork},
        {"127.0.0.0/33", QString("“127.0.0.0/33”") + noNetwork},
        {"printer", QString("“printer”") + noNetwork},
        {"", QString("“”") + noNetwork}};
    for (const auto &[text, want] : bad) {
        QString error;
        try {
            addressesOfRange(QString::fromUtf8(text));
        } catch (const AppError &e) {
            error = QString::fromUtf8(e.what());
        }
        EXPECT_EQ(error, want) << text;
    }
}

class NetScan : public ProgramTest {
protected:
    using Run = CliRun;
    CliRun cli(const QStringList &args) { return runCliHere(outside, args); }
};

TEST_F(NetScan, FindsExactlyThePrintersThatAnswerAndSendsThemOnlyTheStatusRequest)
{
    const int port = TcpPrinter::unusedPort();
    StatusListener online5("127.0.0.5", port, 0x12), offline9("127.0.0.9", port, 0x1A), online200("127.0.0.200", port, 0x12),
        silent7("127.0.0.7", port, -1), noise8("127.0.0.8", port, 0xFF);
    for (StatusListener *l : {&online5, &offline9, &online200, &silent7, &noise8})
        ASSERT_TRUE(l->ok());
    // A USB printer where the scan looks for one: a pseudo-terminal that
    // answers, raw as a printer device is (usblp has no line discipline).
    PtyPrinter usb;
    {
        const int fd = ::open(usb.slavePath().c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        ASSERT_EQ(::tcgetattr(fd, &t), 0);
        ::cfmakeraw(&t);
        ASSERT_EQ(::tcsetattr(fd, TCSANOW, &t), 0);
        ::close(fd);
    }
    usb.setResponder([](const std::string &chunk) {
        return chunk.find("\x10\x04\x01") != std::string::npos ? std::string("\x12") : std::string();
    });
    const std::string usbDir = dir + "/dev/usb";
    ASSERT_EQ(std::system(("mkdir -p '" + usbDir + "'").c_str()), 0);
    ASSERT_EQ(::symlink(usb.slavePath().c_str(), (usbDir + "/lp0").c_str()), 0);

    const auto start = std::chrono::steady_clock::now();
    const Run r = cli({"find", "--no-serial", "--net", "127.0.0.0/24", "--net-port", QString::number(port), "--json"});
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    const QString where = QStringLiteral(":%1").arg(port);
    EXPECT_EQ(r.out, QStringLiteral("{\"where\": \"%1\", \"port\": \"\", \"status\": 18, \"meaning\": \"online\"}\n"
                                    "{\"where\": \"127.0.0.5%2\", \"port\": \"Ethernet\", \"status\": 18, \"meaning\": \"online\"}\n"
                                    "{\"where\": \"127.0.0.9%2\", \"port\": \"Ethernet\", \"status\": 26, \"meaning\": \"offline\"}\n"
                                    "{\"where\": \"127.0.0.200%2\", \"port\": \"Ethernet\", \"status\": 18, \"meaning\": \"online\"}\n")
                         .arg(QString::fromStdString(usbDir + "/lp0"), where));
    // Nothing but DLE EOT 1, once, to each.
    for (StatusListener *l : {&online5, &offline9, &online200, &silent7, &noise8})
        EXPECT_EQ(l->received(), "\x10\x04\x01");
    EXPECT_EQ(usb.received(), "\x10\x04\x01");
    EXPECT_EQ(lpt1Contents(), "\x10\x04\x01"); // LPT1 asked too
    // 249 closed addresses refuse at once; the silent listener waits its
    // answer time: 0.3 s measured, well under the bound.
    EXPECT_LT(took.count(), 5000);

    // The report for people: where, what answered, and the range asked.
    const Run text = cli({"find", "--no-serial", "--net", "127.0.0.0/24", "--net-port", QString::number(port)});
    EXPECT_TRUE(text.out.contains(QStringLiteral("127.0.0.9%1：打印机脱机（状态字节 1a）").arg(where))) << text.out.toStdString();
    EXPECT_TRUE(text.out.endsWith(QStringLiteral("网络：问过 254 个地址（127.0.0.0/24）\n"))) << text.out.toStdString();
    // A device that takes the request but cannot be read back (the test's
    // LPT1 is a file: reading it ends at once) is told as such, not as silent.
    EXPECT_TRUE(text.out.contains(QStringLiteral("LPT1 → %1：有打印机，但没有状态回传通道").arg(QString::fromStdString(lpt1))))
        << text.out.toStdString();
    EXPECT_EQ(cli({"find", "--net", "127.0.0.0/8"}).err, QStringLiteral("网段 127.0.0.0/8 太大：最多 4096 个地址.\n"));

    // Neither range nor port given: the host's own networks, on port 9100.
    outside.networks = {{0x7F000059, 30, false}}; // 127.0.0.89/30: one address besides this host
    StatusListener standard("127.0.0.90", 9100, 0x12);
    ASSERT_TRUE(standard.ok());
    const Run plain = cli({"find", "--no-serial"});
    EXPECT_TRUE(plain.out.contains(QStringLiteral("127.0.0.90:9100：打印机联机（状态字节 12）"))) << plain.out.toStdString();
    EXPECT_TRUE(plain.out.contains(QStringLiteral("网络：问过 1 个地址（127.0.0.88/30）"))) << plain.out.toStdString();
}

TEST_F(NetScan, StatusOnEveryConnectionAndAsJson)
{
    const int port = TcpPrinter::unusedPort();
    StatusListener offline("127.0.0.3", port, 0x1A);
    ASSERT_TRUE(offline.ok());
    const QString at = QStringLiteral("127.0.0.3:%1").arg(port);
    Run r = cli({"--ip", at, "status"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("打印机 脱机!\n"));
    r = cli({"--ip", at, "status", "--json"});
    EXPECT_EQ(r.out, QStringLiteral("{\"where\": \"%1\", \"status\": 26, \"meaning\": \"offline\"}\n").arg(at));
    r = cli({"--ip", QStringLiteral("127.0.0.3:%1").arg(TcpPrinter::unusedPort()), "status", "--json"});
    EXPECT_EQ(r.status, kCliError);
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"status\": null, \"meaning\": \"no answer\""))) << r.out.toStdString();
    // The parallel port through its back channel: the test's LPT1 is a file,
    // which takes the request and has none.
    r = cli({"--lpt", "LPT1", "status", "--json"});
    EXPECT_EQ(r.status, kCliError);
    EXPECT_EQ(r.out, QStringLiteral("{\"where\": \"LPT1 → %1\", \"status\": null, \"meaning\": \"no status back channel\"}\n")
                         .arg(QString::fromStdString(lpt1)));
    EXPECT_EQ(lpt1Contents(), "\x10\x04\x01");
    // A serial printer as the status window asks it, five times: the status
    // told is its last answer (0x16 and 0x12 are both online).
    printer.setResponder([answers = 0](const std::string &chunk) mutable {
        if (chunk.find("\x10\x04\x01") == std::string::npos)
            return std::string();
        return std::string(1, ++answers == 1 ? '\x16' : '\x12');
    });
    r = cli({"--port", "COM3", "status", "--series", "0", "--json"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\"status\": 18, \"meaning\": \"online\"}\n"))) << r.out.toStdString();
    // Offline (bit 3) is an answer too: told as such, and no failure.
    printer.setResponder([](const std::string &chunk) {
        return chunk.find("\x10\x04\x01") == std::string::npos ? std::string() : std::string("\x1A");
    });
    r = cli({"--port", "COM3", "status", "--series", "0", "--json"});
    EXPECT_EQ(r.status, kCliOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\"status\": 26, \"meaning\": \"offline\"}\n"))) << r.out.toStdString();
}
