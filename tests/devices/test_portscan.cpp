// The printer scan of the status window against pseudo-terminal printers:
// one answers only at the rate it is set to, one is silent, one is held by
// another program; the others have no device.
#include "cli/cli.h"
#include "devices/portscan.h"
#include "tests/support/clirun.h"
#include "tests/support/programfixture.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Answers DLE EOT 1 with `status`, but only while the line runs at `speed`:
// at any other rate a real printer reads garbage.
std::function<std::string(const std::string &)> answersAt(int slaveFd, speed_t speed, char status)
{
    return [=](const std::string &chunk) {
        std::string reply;
        termios t{};
        const bool right = ::tcgetattr(slaveFd, &t) == 0 && ::cfgetospeed(&t) == speed;
        for (std::size_t at = chunk.find("\x10\x04\x01"); at != std::string::npos; at = chunk.find("\x10\x04\x01", at + 3))
            if (right)
                reply.push_back(status);
        return reply;
    };
}

} // namespace

TEST(StatusByte, FixedBitsTellAPrinterFromNoise)
{
    EXPECT_TRUE(looksLikeStatus(0x12));
    EXPECT_TRUE(looksLikeStatus(0x1A)); // offline
    EXPECT_FALSE(statusOnline(0x1A));
    EXPECT_TRUE(statusOnline(0x16));
    for (int b : {0x00, 0xFF, 0x13, 0x92, 0x10, 0x02})
        EXPECT_FALSE(looksLikeStatus(static_cast<std::uint8_t>(b))) << b;
}

class PortScan : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        status = program->form2.get();
        status->show();
        outside.deviceNames().redirect("\\\\.\\COM1", silent.slavePath());
        outside.deviceNames().redirect("\\\\.\\COM2", held.slavePath());
        // COM3 keeps the fixture's printer; COM4 to COM8 have no device.
        heldFd = ::open(held.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(heldFd, 0);
        ASSERT_EQ(::flock(heldFd, LOCK_EX | LOCK_NB), 0);
    }
    void TearDown() override
    {
        ::close(heldFd);
        ProgramTest::TearDown();
    }

    TForm2 *status = nullptr;
    PtyPrinter silent, held;
    int heldFd = -1;
};

TEST_F(PortScan, FindsThePrinterAtItsRateAndTellsSilentAndHeldPorts)
{
    printer.setResponder(answersAt(printer.slaveFd(), B19200, 0x12));
    outside.answers << true;
    click(status, "ScanButton");
    const ScanResult &r = status->lastScan();
    ASSERT_EQ(r.hits.size(), 1u) << scanReport(r).toStdString();
    EXPECT_EQ(r.hits[0].port, "COM3");
    EXPECT_EQ(r.hits[0].baud, "19200");
    EXPECT_EQ(r.silent, QStringList{"COM1"});
    // LPT1 is asked too: the test's file takes the request, and reading it
    // gives its end at once, as a printer without a back channel does.
    EXPECT_EQ(r.noBackChannel, QStringList{QStringLiteral("LPT1 → %1").arg(QString::fromStdString(lpt1))});
    EXPECT_EQ(lpt1Contents(), "\x10\x04\x01");
    ASSERT_EQ(r.skipped.size(), 1);
    EXPECT_TRUE(r.skipped[0].startsWith(QStringLiteral("COM2：%1：正被另一个程序占用").arg(QString::fromStdString(held.slavePath()))))
        << r.skipped[0].toStdString();
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.probes, 14); // COM1 and COM3 at all seven rates

    // Nothing but status requests went out, one per rate.
    std::string seven;
    for (int i = 0; i < 7; ++i)
        seven += "\x10\x04\x01";
    EXPECT_EQ(printer.received(), seven);
    EXPECT_EQ(silent.received(), seven);
    EXPECT_EQ(held.received(), "");

    // The operator said yes: the main window now points at the printer.
    ASSERT_EQ(outside.questions.size(), 1);
    EXPECT_TRUE(outside.questions[0].contains(QStringLiteral("COM3 @ 19200：打印机联机（状态字节 12）")));
    EXPECT_TRUE(outside.questions[0].endsWith(QStringLiteral("\n\n把主窗口的端口和波特率设为 COM3 @ 19200？")));
    EXPECT_EQ(form1()->dk()->currentText(), "COM3");
    EXPECT_EQ(form1()->sd()->currentText(), "19200");
    EXPECT_TRUE(child<QLabel>(status, "ScanResult")->text().contains(QStringLiteral("COM1：任何波特率都没有回答")));
    EXPECT_FALSE(form1()->cp().Connected());
}

TEST_F(PortScan, ItsControlsCoverNoneOfTheLayout)
{
    for (const char *mine : {"ScanButton", "ScanResult"}) {
        QWidget *w = child<QWidget>(status, mine);
        for (QWidget *other : status->findChildren<QWidget *>()) {
            if (other != w && other->parentWidget() == status && other->isVisible()) {
                EXPECT_FALSE(w->geometry().intersects(other->geometry())) << mine << " " << other->objectName().toStdString();
            }
        }
    }
}

TEST_F(PortScan, NothingFoundIsToldAndCancelStopsIt)
{
    click(status, "ScanButton"); // the fixture's printer answers nothing
    EXPECT_TRUE(status->lastScan().hits.empty());
    ASSERT_EQ(outside.messages.size(), 1);
    EXPECT_TRUE(outside.messages[0].startsWith(QStringLiteral("没有找到打印机。")));
    EXPECT_TRUE(outside.questions.isEmpty());
    // The command line says so by its exit status, for a script.
    EXPECT_EQ(runCliHere(outside, {"find", "--no-net"}).status, kCliError);

    // Cancel from the progress dialog ends the scan within a probe.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        QWidget *d = QApplication::activeModalWidget();
        if (d && d->objectName() == QLatin1String("TransferDialog"))
            if (auto *b = d->findChild<QAbstractButton *>(QStringLiteral("TransferCancel")))
                QTest::mouseClick(b, Qt::LeftButton);
    });
    cancel.start(50);
    click(status, "ScanButton");
    EXPECT_TRUE(status->lastScan().cancelled);
    EXPECT_LT(status->lastScan().probes, 14);
    EXPECT_FALSE(form1()->cp().Connected());
}
