// The virtual printer's lines in this process: one job at a time over TCP,
// automatic status back on a change of state, receipts numbered after those
// already saved, and outputs or a serial link it cannot have refused at
// the start.
#include "tests/support/virtualhost.h"
#include "virtualprinter/host.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {


struct Client {
    QTcpSocket socket;
    explicit Client(int port) { socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port)); }
    bool connected() { return socket.waitForConnected(5000); }
    void send(const QByteArray &bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    // What the printer answered, once `n` bytes are in.
    QByteArray answer(int n)
    {
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                got += socket.readAll();
                return got.size() >= n;
            },
            5000);
        return got;
    }
};

// Where in the host's log a printed text first stands; -1 when not at all.
qsizetype logIndexOf(const vp::Host &host, const QString &text)
{
    const QStringList &log = host.log();
    for (qsizetype i = 0; i < log.size(); ++i)
        if (log[i].contains(text))
            return i;
    return -1;
}

} // namespace

TEST(VirtualPrinterHost, OneJobAtATimeAndAnEmptyConnectionChangesNothing)
{
    vp::Options options;
    options.tcp = QStringLiteral("127.0.0.1:0");
    vp::Host host(options);
    host.start();
    const int port = tcpPortOf(host);

    Client first(port);
    ASSERT_TRUE(first.connected());
    first.send("FIRST-1\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return logIndexOf(host, QStringLiteral("FIRST-1")) >= 0; }, 5000));
    // A second job, whole, while the first is still open; and a program
    // that only looks whether the printer is there.
    Client second(port);
    ASSERT_TRUE(second.connected());
    second.send(QByteArray("SECOND\n\x1D\x56\x42\x00", 11));
    second.socket.disconnectFromHost();
    Client probe(port);
    ASSERT_TRUE(probe.connected());
    probe.socket.abort();
    QTest::qWait(200); // nothing of theirs may print meanwhile
    EXPECT_EQ(logIndexOf(host, QStringLiteral("SECOND")), -1);
    first.send(QByteArray("FIRST-2\n\x1D\x56\x42\x00", 12));
    first.socket.disconnectFromHost();

    ASSERT_TRUE(QTest::qWaitFor([&] { return host.receiptCount() == 2; }, 5000));
    // The first job is one receipt of its two lines; the second follows whole.
    EXPECT_LT(logIndexOf(host, QStringLiteral("FIRST-2")), logIndexOf(host, QStringLiteral("SECOND")));
    EXPECT_GT(host.receipts()[0].height(), host.receipts()[1].height());
    EXPECT_EQ(host.engine().counts().unknown, 0);
    EXPECT_EQ(host.log().filter(QStringLiteral("不完整")).size(), 0);
}

TEST(VirtualPrinterHost, AutomaticStatusBackTellsEveryChangeOfState)
{
    vp::Options options;
    options.tcp = QStringLiteral("127.0.0.1:0");
    vp::Host host(options);
    host.start();
    Client client(tcpPortOf(host));
    ASSERT_TRUE(client.connected());
    client.send(QByteArray("\x1D\x61\xFF", 3)); // GS a: every change
    EXPECT_EQ(client.answer(4).toHex(' '), "10 00 00 00");
    host.setStatus(vp::Status::PaperEnd);
    EXPECT_EQ(client.answer(4).toHex(' '), "18 00 0f 00");
    host.setStatus(vp::Status::Offline);
    EXPECT_EQ(client.answer(4).toHex(' '), "38 00 00 00");
    host.setStatus(vp::Status::Offline); // no change, no frame
    // Off again (the offline answer to DLE EOT 1 shows it was taken): a
    // change then says nothing, and the next answer stands alone.
    client.send(QByteArray("\x1D\x61\x00\x10\x04\x01", 6));
    EXPECT_EQ(client.answer(1).toHex(' '), "1a");
    host.setStatus(vp::Status::Online);
    client.send(QByteArray("\x10\x04\x01", 3));
    EXPECT_EQ(client.answer(1).toHex(' '), "12");
}

TEST(VirtualPrinterHost, ReceiptNumbersGoOnAndOutputsItCannotWriteAreRefused)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    QFile(out + QStringLiteral("/receipt-0007.png")).open(QIODevice::WriteOnly);
    {
        vp::Options options;
        options.tcp = QStringLiteral("127.0.0.1:0");
        options.outDir = out;
        vp::Host host(options);
        host.start();
        Client client(tcpPortOf(host));
        ASSERT_TRUE(client.connected());
        client.send(QByteArray("after seven\n\x1D\x56\x42\x00", 16));
        client.socket.disconnectFromHost();
        ASSERT_TRUE(QTest::qWaitFor([&] { return host.receiptCount() == 1; }, 5000));
    }
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/receipt-0008.png")));
    EXPECT_EQ(QFileInfo(out + QStringLiteral("/receipt-0007.png")).size(), 0); // never overwritten

    const struct {
        QString outDir, stateFile, named;
    } refused[] = {
        {QStringLiteral("/proc/nope"), QString(), QStringLiteral("/proc/nope")},
        {QString(), QStringLiteral("/nonexistent/s.json"), QStringLiteral("/nonexistent/s.json")},
    };
    for (const auto &r : refused) {
        vp::Options options;
        options.tcp = QStringLiteral("127.0.0.1:0");
        options.outDir = r.outDir;
        options.stateFile = r.stateFile;
        vp::Host host(options);
        try {
            host.start();
            ADD_FAILURE() << "started with " << r.named.toStdString();
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(QString::fromStdString(e.what()).contains(r.named)) << e.what();
        }
    }
    // A second address that cannot have the port the first one picked is
    // told with that port, not with the 0 that asked for any.
    vp::Options twice;
    twice.tcp = QStringLiteral("127.0.0.1:0");
    twice.tcpHosts = QStringList{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1")};
    twice.tcpPort = 0;
    vp::Host host(twice);
    try {
        host.start();
        ADD_FAILURE() << "listened twice on one port";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^TCP 127\\.0\\.0\\.1:[1-9][0-9]*: ")).match(QString::fromStdString(e.what())).hasMatch())
            << e.what();
    }
}

TEST(VirtualPrinterHost, ASerialLinkServedByAnotherPrinterIsRefused)
{
    QTemporaryDir dir;
    vp::Options options;
    options.serial = dir.filePath(QStringLiteral("tty"));
    vp::Host first(options);
    first.start();
    const QString target = QFileInfo(options.serial).symLinkTarget();
    vp::Host second(options);
    try {
        second.start();
        ADD_FAILURE() << "a second printer took the link";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QString::fromStdString(e.what()).contains(QStringLiteral("another virtual printer"))) << e.what();
    }
    // The first still owns the link.
    EXPECT_EQ(QFileInfo(options.serial).symLinkTarget(), target);
}

// On a paced line the printer stops the sender with XOFF while it writes NV
// memory, and lets it go on with XON after: the two bytes on the wire, in
// that order, and nothing else.
TEST(VirtualPrinterHost, PacedLineSendsXoffThenXonAroundAnNvWrite)
{
    QTemporaryDir dir;
    vp::Options options;
    options.serial = dir.filePath(QStringLiteral("tty"));
    options.paced = true;
    vp::Host host(options);
    host.start();
    const int fd = ::open(QFile::encodeName(options.serial).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t); // XON and XOFF reach read() as bytes
    ::cfsetspeed(&t, B9600);
    ::tcsetattr(fd, TCSANOW, &t);
    const char logo[] = "\x1C\x71\x01\x01\x00\x01\x00\xFF\x81\x81\x81\x81\x81\x81\xFF"; // FS q: one 8 x 8 logo
    ASSERT_EQ(::write(fd, logo, sizeof logo - 1), static_cast<long>(sizeof logo - 1));
    std::string back;
    auto readBack = [&] {
        char b[16];
        const long n = ::read(fd, b, sizeof b);
        if (n > 0)
            back.append(b, static_cast<std::size_t>(n));
        return back.size() >= 2;
    };
    (void)QTest::qWaitFor(readBack, 5000);
    // A fixed pause is the point here: a byte that should not come has no
    // condition to wait for, so the line is given a moment to send one.
    QTest::qWait(100);
    readBack();
    EXPECT_EQ(back, "\x13\x11");
    ::close(fd);
}
