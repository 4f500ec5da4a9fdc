// Faults on every transport, met through the windows: the operator hears the
// right message, the window stays usable, nothing leaks, and the next command
// to a healthy peer goes through. And a bounded soak over all three transports.
#include "core/dispatch.h"
#include "tests/support/hex.h"
#include "tests/support/procentries.h"
#include "tests/support/programfixture.h"

#include <QDir>
#include <QRegularExpression>

#include <random>

namespace {

// The process's threads but Qt's pooled workers: painting starts those on
// demand and Qt ends them after half a minute idle, whatever the program does.
int threads() { return threadsBut("Thread (pooled)"); }
// Each pooled worker holds its event loop's wake-up descriptor (an eventfd)
// until Qt ends it: counted out with the workers.
int descriptors() { return openDescriptors() - (countEntries("/proc/self/task") - threads()); }

} // namespace

using Faults = ProgramTest;

TEST_F(Faults, FailedCommandsLeakNoDescriptorOrThread)
{
    // Warm up once so lazily created resources of Qt and the tests exist:
    // a command, and one long enough for the progress dialog.
    click("cut");
    pick(form1()->dk(), "COM3");
    click("cut");
    ASSERT_TRUE(printer.waitFor(4));
    printer.sendXoff();
    click("cut");
    printer.sendXon();
    // Counted after a command that went through, as at the end: the port
    // then holds what it keeps between commands, and nothing retired.
    printer.clearReceived();
    click("cut");
    ASSERT_TRUE(printer.waitFor(4));
    outside.clear();
    // The held command's event thread, retired if its close came inside a
    // dispatch, ends a moment later: the count is taken once it is gone.
    (void)QTest::qWaitFor([&, before = threads()] { return threads() < before; }, 200);
    const int fds = descriptors();
    const std::string heldBefore = descriptorTargets();
    const int tasks = threads();

    outside.deviceNames().redirect("\\\\.\\COM4", dir + "/gone");
    pick(form1()->dk(), "COM4");
    click("cut");
    pick(form1()->dk(), "LPT2");
    click("cut");
    pick(form1()->dk(), "Ethernet");
    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort());
    type(form1()->IPE(), nobody);
    click("cut");
    pick(form1()->dk(), "COM3");
    printer.sendXoff();
    click("cut"); // times out
    printer.sendXon();
    EXPECT_EQ(outside.errors.size(), 3);
    EXPECT_EQ(outside.messages, QStringList{"Connect error\n" + nobody + " 拒绝了连接：那里没有程序在这个端口上接收。"});

    // The next command to a healthy printer goes through, and after it
    // nothing of the failed ones is left.
    printer.clearReceived();
    click("Open");
    ASSERT_TRUE(printer.waitFor(6));
    EXPECT_EQ(hex(printer.received()), "1B 70 00 32 32 0D");
    (void)QTest::qWaitFor([&] { return descriptors() == fds && threads() == tasks; }, 2000);
    EXPECT_EQ(descriptors(), fds) << "before:\n" << heldBefore << "after:\n" << descriptorTargets();
    EXPECT_EQ(threads(), tasks);
}

TEST_F(Faults, DeviceDisappearsBetweenTwoCommands)
{
    click("cut");
    EXPECT_EQ(hex(lpt1Contents()), "1D 56 42 18");
    ::unlink(lpt1.c_str());
    click("cut");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"File not found."});
    std::ofstream(lpt1).close();
    click("cut");
    EXPECT_EQ(hex(lpt1Contents()), "1D 56 42 18");

    outside.clear();
    // The port is reached through a node of the test's own: a freed
    // pseudo-terminal's number is soon another test's printer.
    auto gone = std::make_unique<PtyPrinter>();
    const std::string node = dir + "/ttyUSB0";
    ASSERT_EQ(::symlink(gone->slavePath().c_str(), node.c_str()), 0);
    outside.deviceNames().redirect("\\\\.\\COM6", node);
    pick(form1()->dk(), "COM6");
    click("cut");
    ASSERT_TRUE(gone->waitFor(4));
    gone.reset(); // the adapter is pulled: the device node goes away
    ::unlink(node.c_str());
    click("cut");
    ASSERT_EQ(outside.errors.size(), 1);
    EXPECT_TRUE(outside.errors[0].startsWith("Unable to open com port (win error code: "));
    PtyPrinter back;
    outside.deviceNames().redirect("\\\\.\\COM6", back.slavePath());
    click("cut");
    ASSERT_TRUE(back.waitFor(4));
}

TEST_F(Faults, PrinterHangsUpInTheMiddleOfALongCommand)
{
    // A self-test page of a tall picture is a long serial write.
    Tnvf *nvf = program->nvf.get();
    nvf->show();
    pick(form1()->dk(), "COM3");
    printer.setReading(false);
    std::thread cable([&] {
        // The hang-up must come while the write waits for the line, which
        // nothing on the program's side shows; 300 ms is well inside it.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        printer.hangUp();
    });
    child<QLineEdit>(nvf, "Edit2")->setText("200000"); // padding makes it long
    click(nvf, "Button4");
    cable.join();
    ASSERT_EQ(outside.errors.size(), 1);
    EXPECT_TRUE(outside.errors[0].startsWith("WriteFile function failed (win error code: "));
    // Part of the command went before the hang-up: the count, then the whole.
    const auto told = QRegularExpression(QStringLiteral("已送到打印机 (\\d+) / (\\d+) 字节。")).match(outside.errors[0]);
    ASSERT_TRUE(told.hasMatch());
    EXPECT_GT(told.captured(1).toULongLong(), 0u) << outside.errors[0].toStdString(); // what the line took
    EXPECT_LT(told.captured(1).toULongLong(), told.captured(2).toULongLong());
    EXPECT_EQ(told.captured(2).toULongLong(), form1()->sender().log().entries().back().bytes.size());
    EXPECT_FALSE(form1()->cp().Connected());

    PtyPrinter healthy;
    outside.deviceNames().redirect("\\\\.\\COM3", healthy.slavePath());
    click("cut");
    ASSERT_TRUE(healthy.waitFor(4));
}

TEST_F(Faults, NetworkPrinterThatResetsOrStopsReadingIsAFailureWithItsCounts)
{
    Tnvf *nvf = program->nvf.get();
    nvf->show();
    child<QLineEdit>(nvf, "Edit2")->setText("3000000");
    pick(form1()->dk(), "Ethernet");
    std::size_t recorded = 0;
    {
        TcpPrinter resetting(TcpPrinter::Mode::ResetAfter, 1000);
        type(form1()->IPE(), QString::fromStdString(resetting.address()));
        click(nvf, "Button4");
        ASSERT_TRUE(resetting.waitForConnections(1));
        recorded = resetting.connections()[0].size();
    }
    {
        TcpPrinter stuck(TcpPrinter::Mode::NeverRead);
        type(form1()->IPE(), QString::fromStdString(stuck.address()));
        click(nvf, "Button4"); // bounded by the library's send time-out
    }
    // Neither is reported as sent: each says how much of how much arrived.
    ASSERT_EQ(outside.errors.size(), 2);
    const QRegularExpression counts(QStringLiteral("^网络打印机只收到 (\\d+) / (\\d+) 字节\\.\n"));
    for (const QString &e : outside.errors) {
        const auto m = counts.match(e);
        ASSERT_TRUE(m.hasMatch()) << e.toStdString();
        EXPECT_LT(m.captured(1).toLongLong(), m.captured(2).toLongLong());
    }
    // What the printer's own network stack took, at least what it read.
    EXPECT_GE(counts.match(outside.errors[0]).captured(1).toULongLong(), recorded);
    // Each cut the command off part-way, and says what that leaves.
    const QString advice = QStringLiteral("\n打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。");
    EXPECT_TRUE(detailOf(outside.errors[0]).endsWith("打印机断开了连接。" + advice)) << outside.errors[0].toStdString();
    EXPECT_TRUE(detailOf(outside.errors[1]).endsWith("打印机在 7 秒内没有接收数据。" + advice)) << outside.errors[1].toStdString();
    TcpPrinter healthy;
    type(form1()->IPE(), QString::fromStdString(healthy.address()));
    click("cut");
    ASSERT_TRUE(healthy.waitForConnections(1));
    EXPECT_EQ(hex(healthy.connections()[0]), "1D 56 42 18");
}

TEST_F(Faults, SoakOfRandomCommandsOverAllThreeTransports)
{
    TcpPrinter net;
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> length(0, 50000), byte(0, 255);
    Sender &sender = form1()->sender();
    std::size_t serialTotal = 0;
    std::string serialExpected;
    int netCount = 0;
    for (int i = 0; i < 1000; ++i) {
        ByteString data(static_cast<std::size_t>(length(rng)), '\0');
        for (char &c : data)
            c = static_cast<char>(byte(rng));
        Route route;
        switch (i % 3) {
        case 0:
            route.kind = Route::Parallel;
            route.port = "LPT1";
            ASSERT_TRUE(sender.send(form1(), route, data));
            ASSERT_EQ(lpt1Contents(), data) << "command " << i;
            break;
        case 1:
            route.kind = Route::Serial;
            route.port = "COM3";
            route.baud = br115200;
            ASSERT_TRUE(sender.send(form1(), route, data));
            serialTotal += data.size();
            serialExpected += data;
            break;
        case 2:
            route.kind = Route::Network;
            route.address = QString::fromStdString(net.address());
            ASSERT_TRUE(sender.send(form1(), route, data, NetPauses{0, 0, 0}));
            ++netCount;
            ASSERT_TRUE(net.waitForConnections(static_cast<std::size_t>(netCount)));
            ASSERT_EQ(net.connections().back(), data) << "command " << i;
            break;
        }
    }
    ASSERT_TRUE(printer.waitFor(serialTotal, 20000));
    EXPECT_EQ(printer.received().size(), serialTotal);
    EXPECT_TRUE(printer.received() == serialExpected); // nothing lost, added or reordered
    EXPECT_TRUE(outside.errors.isEmpty());
}
