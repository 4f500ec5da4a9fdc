// Long transfers through the windows: the dialog shows and advances, the
// windows stay alive, Cancel ends the transfer within a second and says how
// far it got, and the next command goes through.
#include "core/errors.h"
#include "core/transfer.h"
#include "cli/cli.h"
#include "core/dispatch.h"
#include "transport/devicecheck.h"
#include "transport/tavonetio/tavonetio.h"
#include "logo/logocommands.h"
#include "tests/support/bmpwriter.h"
#include "tests/support/deaflistener.h"
#include "tests/support/hex.h"
#include "tests/support/programfixture.h"
#include "tests/support/tcpprinter.h"
#include "ui/transferdialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QRegularExpression>
#include <QThread>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

Picture stripes(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.set(x, y, ((x / 3 + y) % 4) == 0 ? 0x000000 : kWhite);
    return p;
}

QWidget *transferDialog()
{
    QWidget *w = QApplication::activeModalWidget();
    return w && w->objectName() == QLatin1String("TransferDialog") ? w : nullptr;
}

QString dialogText(const char *label)
{
    QWidget *d = transferDialog();
    auto *l = d ? d->findChild<QLabel *>(QLatin1String(label)) : nullptr;
    return l ? l->text() : QString();
}

// Runs `tick` every `ms` while the window thread is busy in a command: the
// loop that keeps the windows alive runs it.
class WhileSending {
public:
    WhileSending(int ms, std::function<void()> tick)
    {
        QObject::connect(&m_timer, &QTimer::timeout, std::move(tick));
        m_timer.start(ms);
    }

private:
    QTimer m_timer;
};

// A command cut off part-way leaves the printer inside it, and says so.
const QRegularExpression kCancelled(QStringLiteral(
    "^发送已取消：(\\d+) / (\\d+) 字节送到了打印机。\n"
    "打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。$"));

} // namespace

class Transfer : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        nvf = program->nvf.get();
        nvf->show();
        const std::string path = dir + "/big.bmp";
        bmp::write(path, bmp::encode(stripes(800, 480), 1, false));
        outside.nextFiles << QString::fromStdString(path);
        click(nvf, "BitBtn1");
        ASSERT_TRUE(outside.errors.isEmpty());
        download = buildNvDownload(nvf->picture(), Dialect::Normal, 0, 0x00800000);
    }

    void cancelNow()
    {
        QWidget *d = transferDialog();
        ASSERT_NE(d, nullptr);
        auto *cancel = d->findChild<QAbstractButton *>(QStringLiteral("TransferCancel"));
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
    }

    QString clock() { return child<QLabel>(form1(), "StatusPanel1")->text(); }

    // Watches the dialog until it names what holds the transfer, then
    // cancels; the hold text it saw lands in `hold`.
    std::unique_ptr<WhileSending> cancelWhenHeld(QString &hold)
    {
        return std::make_unique<WhileSending>(100, [this, &hold] {
            if (!transferDialog() || !hold.isEmpty())
                return;
            hold = dialogText("TransferHold");
            if (!hold.isEmpty())
                cancelNow();
        });
    }

    // LPT1 as a FIFO whose reader takes only what the test reads: its
    // descriptor, or -1.
    int parallelPrinterOnAPipe()
    {
        fifo = dir + "/lp-fifo";
        if (::mkfifo(fifo.c_str(), 0600) != 0)
            return -1;
        outside.deviceNames().redirect("LPT1", fifo);
        return ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    }

    std::string fifo;
    Tnvf *nvf = nullptr;
    ByteString download;
};

TEST_F(Transfer, SlowSerialLogoArrivesExactWhileTheDialogAdvancesAndTheClockTicks)
{
    // The printer reads faster than a 57600 bit/s line could carry, as a
    // pseudo-terminal does: the rate told is the line's own, 5760 bytes/s.
    printer.setPace(9000);
    pick(form1()->dk(), "COM3");
    pick(form1()->sd(), "57600");
    const QString clockBefore = clock();
    QStringList counts;
    bool clockTicked = false, modal = false;
    QString rate;
    WhileSending watch(100, [&] {
        if (!transferDialog())
            return;
        modal = transferDialog()->windowModality() == Qt::ApplicationModal;
        counts << dialogText("TransferCount");
        if (const QString r = dialogText("TransferRate"); !r.isEmpty())
            rate = r;
        clockTicked = clockTicked || clock() != clockBefore;
    });
    click(nvf, "Button2");
    EXPECT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();
    // The write ends when the last bytes are in the pseudo-terminal, which
    // holds up to some tens of kilobytes: they reach the printer at its pace.
    const std::size_t inTheLine = download.size() - std::min(download.size(), printer.received().size());
    ASSERT_TRUE(printer.waitFor(download.size(), static_cast<int>(inTheLine * 1000 / 9000) + 5000));
    EXPECT_EQ(printer.received(), download);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(clockTicked);
    EXPECT_TRUE(rate.startsWith(QStringLiteral("速率 5760 字节/秒"))) << rate.toStdString();
    // The dialog stood while the write lasted (a pseudo-terminal takes up
    // to about 16 KB at once, so some 3 s of the line's 5) and its count
    // only advanced.
    ASSERT_GE(counts.size(), 5);
    counts.removeDuplicates();
    EXPECT_GE(counts.size(), 3);
    for (int i = 1; i < counts.size(); ++i)
        EXPECT_LT(counts[i - 1].section(' ', 0, 0).toULongLong(), counts[i].section(' ', 0, 0).toULongLong());
    EXPECT_TRUE(counts.last().endsWith(QStringLiteral(" / %1 字节").arg(download.size())));
    EXPECT_EQ(transferDialog(), nullptr);
}

TEST_F(Transfer, CancelEndsASlowSerialTransferWithinASecondAndTheNextCommandGoesThrough)
{
    printer.setPace(960);
    pick(form1()->dk(), "COM3");
    QElapsedTimer sinceCancel;
    QElapsedTimer running;
    running.start();
    WhileSending watch(100, [&] {
        if (transferDialog() && running.elapsed() > 1500 && !sinceCancel.isValid()) {
            sinceCancel.start();
            cancelNow();
        }
    });
    click(nvf, "Button2");
    ASSERT_TRUE(sinceCancel.isValid());
    EXPECT_LT(sinceCancel.elapsed(), 1000);
    EXPECT_TRUE(outside.errors.isEmpty());
    ASSERT_EQ(outside.messages.size(), 1);
    const auto m = kCancelled.match(outside.messages[0]);
    ASSERT_TRUE(m.hasMatch()) << outside.messages[0].toStdString();
    EXPECT_GT(m.captured(1).toULongLong(), 0u);
    EXPECT_LT(m.captured(1).toULongLong(), download.size());
    EXPECT_EQ(m.captured(2).toULongLong(), download.size());
    EXPECT_FALSE(form1()->cp().Connected());

    // What went out is the start of the command, nothing else.
    printer.setPace(0);
    ASSERT_TRUE(printer.waitQuiet(100)); // what was on its way has arrived
    const std::string got = printer.received();
    EXPECT_LE(got.size(), m.captured(1).toULongLong());
    EXPECT_EQ(got, download.substr(0, got.size()));
    printer.clearReceived();
    outside.clear();
    click("cut");
    ASSERT_TRUE(printer.waitFor(4));
    ASSERT_TRUE(printer.waitQuiet());
    EXPECT_EQ(hex(printer.received()), "1D 56 42 18");
    EXPECT_TRUE(outside.errors.isEmpty());
}

TEST_F(Transfer, XoffHeldIsToldAndCancelFreesThePort)
{
    pick(form1()->dk(), "COM3");
    click("cut"); // the line is configured once, so XOFF is understood
    ASSERT_TRUE(printer.waitFor(4));
    printer.clearReceived();
    printer.sendXoff();
    QString hold;
    const auto watch = cancelWhenHeld(hold);
    click("Button1"); // the 218-byte test print
    EXPECT_EQ(hold, QStringLiteral("打印机暂停了接收（XOFF），或没有在读取数据。"));
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("发送已取消：0 / 218 字节送到了打印机。")});
    EXPECT_FALSE(form1()->cp().Connected());
    printer.sendXon();
    outside.clear();
    click("Open");
    ASSERT_TRUE(printer.waitFor(6));
    ASSERT_TRUE(printer.waitQuiet());
    EXPECT_EQ(hex(printer.received()), "1B 70 00 32 32 0D");
    EXPECT_TRUE(outside.errors.isEmpty());
}

TEST_F(Transfer, StalledParallelPrinterIsToldAndCancelled)
{
    const int reader = parallelPrinterOnAPipe();
    ASSERT_GE(reader, 0);
    // The printer takes a thousand bytes, then stops.
    std::thread printerSide([reader] {
        char buf[1000];
        std::size_t got = 0;
        for (int i = 0; i < 1000 && got < sizeof buf; ++i) {
            const ssize_t n = ::read(reader, buf, sizeof buf - got);
            if (n > 0)
                got += static_cast<std::size_t>(n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    child<QLineEdit>(nvf, "Edit2")->setText("3000000");
    pick(form1()->dk(), "LPT1");
    QString hold;
    const auto watch = cancelWhenHeld(hold);
    click(nvf, "Button4");
    printerSide.join();
    ::close(reader);
    EXPECT_EQ(hold, QStringLiteral("并口打印机停止接收数据。"));
    ASSERT_EQ(outside.messages.size(), 1);
    const auto m = kCancelled.match(outside.messages[0]);
    ASSERT_TRUE(m.hasMatch()) << outside.messages[0].toStdString();
    EXPECT_GE(m.captured(1).toULongLong(), 1000u);
    EXPECT_LT(m.captured(1).toULongLong(), m.captured(2).toULongLong());
    EXPECT_TRUE(outside.errors.isEmpty());
}

// Left alone, a parallel printer that stopped taking bytes fails the write
// at the stall time-out, and one that went away (its reader closed) at
// once; each is told with what the printer took: a pipe's worth.
TEST_F(Transfer, StalledOrGoneParallelPrinterIsToldWithItsCount)
{
    int reader = parallelPrinterOnAPipe();
    child<QLineEdit>(nvf, "Edit2")->setText("3000000");
    pick(form1()->dk(), "LPT1");
    const struct {
        bool goesAway;
        int stallMs;
        const char *error, *why;
    } cases[] = {{false, 300, "I/O error 1460.", "打印机停止接收数据。"}, {true, 20000, "I/O error 232.", ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        outside.clear();
        if (reader < 0)
            reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        const int took = ::fcntl(reader, F_GETPIPE_SZ);
        form1()->sender().setParallelStallTimeout(c.stallMs);
        // The printer that goes away does so once the pipe is full. Nothing
        // tells when it is, so the pipe is looked at every millisecond, for
        // ten seconds at most.
        std::thread printerSide;
        if (c.goesAway)
            printerSide = std::thread([&] {
                int queued = 0;
                for (int i = 0; i < 10000 && queued < took; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    ::ioctl(reader, FIONREAD, &queued);
                }
                ::close(reader);
            });
        click(nvf, "Button4");
        if (printerSide.joinable())
            printerSide.join();
        else
            ::close(reader);
        reader = -1;
        const LogEntry &entry = form1()->sender().log().entries().back();
        EXPECT_EQ(entry.result, LogEntry::Result::Failed);
        ASSERT_EQ(outside.errors.size(), 1);
        EXPECT_EQ(firstLines(outside.errors), QStringList{c.error});
        EXPECT_EQ(detailOf(outside.errors[0]).section(QLatin1Char('\n'), 0, 0),
                  QStringLiteral("%1：%2已送到打印机 %3 / %4 字节。")
                      .arg(QString::fromStdString(fifo), QString::fromUtf8(c.why)).arg(took).arg(entry.bytes.size()));
        EXPECT_TRUE(outside.messages.isEmpty());
    }
}

// Cancelled on the network, the count told is what the printer got: the
// connection is reset, and the bytes already on the wire are counted.
TEST_F(Transfer, CancelledNetworkTransferTellsWhatThePrinterGot)
{
    TcpPrinter paced(TcpPrinter::Mode::Paced, 64 * 1024, 50);
    child<QLineEdit>(nvf, "Edit2")->setText("3000000");
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QString::fromStdString(paced.address()));
    QElapsedTimer shown;
    QString count, hold = QStringLiteral("unread");
    WhileSending watch(50, [&] {
        if (transferDialog() && !shown.isValid())
            shown.start();
        // Past the second after which a printer that takes nothing is said to hold.
        if (shown.isValid() && shown.elapsed() > 800 && transferDialog()) {
            count = dialogText("TransferCount");
            hold = dialogText("TransferHold");
            cancelNow();
        }
    });
    click(nvf, "Button4");
    // Once connected, the dialog counts the bytes the printer took, and a
    // printer that reads on is not said to hold anything.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[1-9][0-9]* / [0-9]+ 字节$")).match(count).hasMatch())
        << count.toStdString();
    EXPECT_EQ(hold, QString());
    ASSERT_EQ(outside.messages.size(), 1);
    const auto m = kCancelled.match(outside.messages[0]);
    ASSERT_TRUE(m.hasMatch()) << outside.messages[0].toStdString();
    ASSERT_TRUE(paced.waitForConnections(1, 10000));
    EXPECT_EQ(paced.receivedTotal(), m.captured(1).toULongLong());
    EXPECT_EQ(form1()->sender().log().entries().back().done, m.captured(1).toULongLong());
}

// A network printer that takes its connection but reads nothing is told as
// such once a second has passed without a byte.
TEST_F(Transfer, NetworkPrinterThatDoesNotReadIsToldAndCancelled)
{
    TcpPrinter deaf(TcpPrinter::Mode::NeverRead);
    child<QLineEdit>(nvf, "Edit2")->setText("3000000");
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QString::fromStdString(deaf.address()));
    QString hold;
    const auto watch = cancelWhenHeld(hold);
    click(nvf, "Button4");
    EXPECT_EQ(hold, QStringLiteral("网络打印机没有在接收数据。"));
    ASSERT_EQ(outside.messages.size(), 1);
    EXPECT_TRUE(kCancelled.match(outside.messages[0]).hasMatch()) << outside.messages[0].toStdString();
}

// A printer whose connection does not stand yet: the dialog says it is
// connecting (not that the printer takes no data); a Cancel then says that
// nothing reached it, and after the connect time-out the message says there
// was no answer.
TEST_F(Transfer, AConnectWithoutAnswerIsToldAsSuch)
{
    Listener deaf(AF_INET, 0);
    ASSERT_TRUE(deaf.fill());
    const QString address = QStringLiteral("127.0.0.1:%1").arg(deaf.port);
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), address);
    for (const bool cancel : {true, false}) {
        QString count, hold;
        WhileSending watch(100, [&] {
            if (transferDialog() && count.isEmpty()) {
                count = dialogText("TransferCount");
                hold = dialogText("TransferHold");
                if (cancel)
                    cancelNow();
            }
        });
        outside.messages.clear();
        click("cut");
        EXPECT_EQ(count, QStringLiteral("正在连接 %1……").arg(address));
        EXPECT_EQ(hold, QString());
        EXPECT_EQ(outside.messages, QStringList{cancel ? QStringLiteral("发送已取消：0 / 4 字节送到了打印机。") // GS V 66 24
                                                       : "Connect error\n" + address + " 在 5 秒内没有回答。"});
    }
}

TEST_F(Transfer, ShortCommandsShowNoDialog)
{
    bool seen = false;
    WhileSending watch(1, [&] { seen = seen || transferDialog(); });
    pick(form1()->dk(), "COM3");
    for (int i = 0; i < 20; ++i)
        click("cut");
    ASSERT_TRUE(printer.waitFor(80));
    EXPECT_FALSE(seen);
}

TEST(Pauses, AnEventThatTakesLongerThanThePauseDoesNotStallIt)
{
    // The event handled inside the pause outlasts it: the time left is
    // negative when the pause next sleeps.
    QTimer::singleShot(0, [] {
        QElapsedTimer busy;
        busy.start();
        while (busy.elapsed() < 45) {
        }
    });
    const FakeOutside windows;
    QElapsedTimer t;
    t.start();
    pauseKeepingWindowsAlive(windows, 30);
    EXPECT_LT(t.elapsed(), 1000);
}

// What the dialog and the messages say, exactly, for counts at their edges.
TEST(TransferTexts, TheDialogAndTheAdviceTellExactlyHowFarItGot)
{
    bool cancelled = false;
    TransferDialog dialog(nullptr, QStringLiteral("COM3"), cancelled);
    const QString xoff = QStringLiteral("打印机暂停了接收（XOFF），或没有在读取数据。");
    const struct {
        std::uint64_t done, total;
        double rate;
        TransferHold hold;
        const char *count, *rateText;
        QString holdText;
        int bar;
    } shows[] = {
        {1000, 5000, 400.0, TransferHold::None, "1000 / 5000 字节", "速率 400 字节/秒，剩余约 10 秒", {}, 200},
        // 10 bytes at 3 a second: 3.3 s, told as 3.
        {4990, 5000, 3.0, TransferHold::SerialHeld, "4990 / 5000 字节", "速率 3 字节/秒，剩余约 3 秒", xoff, 998},
        {7, 5000, 0.0, TransferHold::None, "7 / 5000 字节", "", {}, 1},
        {0, 5000, 0.0, TransferHold::Connecting, "正在连接 COM3……", "", {}, 0},
    };
    for (const auto &s : shows) {
        SCOPED_TRACE(s.count);
        dialog.update(s.done, s.total, s.rate, s.hold);
        EXPECT_EQ(dialog.findChild<QLabel *>("TransferCount")->text(), QString::fromUtf8(s.count));
        EXPECT_EQ(dialog.findChild<QLabel *>("TransferRate")->text(), QString::fromUtf8(s.rateText));
        EXPECT_EQ(dialog.findChild<QLabel *>("TransferHold")->text(), s.holdText);
        EXPECT_EQ(dialog.findChild<QProgressBar *>("TransferBar")->value(), s.bar);
    }
    // The advice belongs to a command cut off part-way, not to one that
    // never began or went out whole.
    const QString advice = QStringLiteral("打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。");
    for (const auto &[done, told] : {std::pair{0, false}, {1, true}, {9, true}, {10, false}})
        EXPECT_EQ(unfinishedCommandText(done, 10), told ? advice : QString()) << done;

    // The rate counts from the first byte the printer took, not from the
    // start: 1000 bytes after it, in half a second or more, is at most
    // 2000 a second, however many went before.
    struct Recorder : TransferView {
        double *rate;
        explicit Recorder(double *r) : rate(r) {}
        void update(std::uint64_t, std::uint64_t, double r, TransferHold) override { *rate = r; }
    };
    struct Recording : FakeOutside {
        double rate = -1;
        int shown = 0;
        std::unique_ptr<TransferView> showTransfer(QObject *, const QString &, bool &) override
        {
            ++shown;
            return std::make_unique<Recorder>(&rate);
        }
    } windows;
    TransferSession session(windows, nullptr, nullptr, 10000, 0);
    QElapsedTimer t;
    t.start();
    // The half seconds are the point: the dialog and the rate wait for
    // them. It looks every 10 ms, as a transfer's watch does, not in a busy
    // loop that would starve a test running beside this one.
    while (t.elapsed() < TransferSession::kDialogAfterMs) {
        session.waiting(0, TransferHold::None);
        QThread::msleep(10);
    }
    session.waiting(5000, TransferHold::None);
    EXPECT_EQ(windows.rate, 0); // too soon to tell a rate
    t.restart();
    while (t.elapsed() < TransferSession::kRateAfterMs) {
        session.waiting(5000, TransferHold::None);
        QThread::msleep(10);
    }
    session.waiting(6000, TransferHold::None);
    EXPECT_GT(windows.rate, 0);
    EXPECT_LE(windows.rate, 2000);
    EXPECT_EQ(windows.shown, 1); // one dialog the whole transfer
}

// Why a device would not open, as the operator reads it: whom to ask, which
// group to join (and when joining helps nothing), the mode in octal as ls
// shows it, who holds the port.
TEST(DeviceProblems, EachCauseIsToldInItsOwnWords)
{
    auto problem = [](DeviceProblem::Kind kind, const char *path) {
        DeviceProblem p;
        p.kind = kind;
        p.path = path;
        return p;
    };
    DeviceProblem dialout = problem(DeviceProblem::PermissionDenied, "/dev/ttyUSB0");
    dialout.owner = "root";
    dialout.ownerGroup = dialout.group = "dialout";
    dialout.mode = 0660;
    DeviceProblem rootOnly = problem(DeviceProblem::PermissionDenied, "/dev/lp0");
    rootOnly.owner = rootOnly.ownerGroup = "root";
    rootOnly.mode = 02640;
    DeviceProblem held = problem(DeviceProblem::HeldByOther, "/dev/ttyS0");
    held.pid = 4242;
    held.process = "minicom";
    const struct {
        DeviceProblem p;
        bool serial;
        const char *text;
    } rows[] = {
        {problem(DeviceProblem::Missing, "/dev/ttyUSB1"), true, "/dev/ttyUSB1：没有这个设备。"},
        {dialout, true, "/dev/ttyUSB0：没有权限打开（属主 root，组 dialout，权限 0660）。加入该组：sudo usermod -aG dialout $USER，然后重新登录。"},
        {rootOnly, false, "/dev/lp0：没有权限打开（属主 root，组 root，权限 2640）：只有 root 能读写它，加入哪个组都没有用。"
                          "请管理员改它的权限（例如用 udev 规则），或换一个有权限的用户。"},
        {problem(DeviceProblem::PermissionDenied, "/run/x/lp"), false, "/run/x/lp：没有权限打开它所在的文件夹。"},
        {problem(DeviceProblem::NoReader, "/tmp/fifo"), false, "/tmp/fifo：没有程序在读取它。"},
        {held, true, "/dev/ttyS0：正被另一个程序占用：minicom（PID 4242）。"},
        {problem(DeviceProblem::HeldByOther, "/dev/ttyS1"), true, "/dev/ttyS1：正被另一个程序占用。"},
        {problem(DeviceProblem::NotSerial, "/tmp/f"), true, "/tmp/f：不是串口。"},
        {problem(DeviceProblem::NoHardware, "/dev/ttyS3"), true, "/dev/ttyS3：后面没有串口硬件。"},
        {problem(DeviceProblem::NoHardware, "/dev/usb/lp1"), false, "/dev/usb/lp1：后面没有打印机。"},
        {problem(DeviceProblem::Unknown, "/dev/x"), true, "/dev/x"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(deviceProblemText(r.p, r.serial), QString::fromUtf8(r.text));
}

namespace {

// A network library that connects nowhere and tells what a row says.
struct ToldNet {
    static inline std::int32_t handed = 0, closed = 1, delivered = 0, error = TAVONET_OK;
    static std::uint8_t open(const char *, std::int32_t, std::int32_t) { return 1; }
    static std::int32_t send(const std::uint8_t *, std::int32_t n) { return std::min(n, handed); }
    static std::int32_t close() { return closed; }
    static std::int32_t lastError() { return error; }
    static std::int32_t deliveredBytes() { return delivered; }
    static void setWaitHook(NetWaitHook, void *) {}
    static NetPrinterApi api() { return {&open, &send, &close, &setWaitHook, &deliveredBytes, &lastError}; }
};

} // namespace

// A send is a success only when the library says every byte was taken and
// the connection closed cleanly: either alone is a failure with its count.
TEST(NetResults, SuccessNeedsEveryByteAcknowledgedAndACleanClose)
{
    const struct {
        std::int32_t handed, closed, delivered, error;
        const char *err;
    } rows[] = {
        {4, 1, 4, TAVONET_OK, ""},
        {4, 1, 3, TAVONET_OK, "网络打印机只收到 3 / 4 字节.\n127.0.0.1:9：打印机没有确认收到全部数据。\n"},
        {4, 0, 4, TAVONET_E_RESET, "网络打印机只收到 4 / 4 字节.\n127.0.0.1:9：打印机断开了连接。\n"},
        {2, 0, 2, TAVONET_E_TIMEOUT, "网络打印机只收到 2 / 4 字节.\n127.0.0.1:9：打印机在 7 秒内没有接收数据。\n"},
    };
    const QString advice = QStringLiteral("打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。\n");
    for (const auto &r : rows) {
        ToldNet::handed = r.handed;
        ToldNet::closed = r.closed;
        ToldNet::delivered = r.delivered;
        ToldNet::error = r.error;
        FakeOutside outside;
        QString out, err;
        QTextStream o(&out), e(&err);
        const int status = runCli({"--ip", "127.0.0.1:9", "cut"}, outside, o, e, nullptr, ToldNet::api());
        o.flush();
        e.flush();
        const QString expected = QString::fromUtf8(r.err) + (r.delivered > 0 && r.delivered < 4 ? advice : QString());
        EXPECT_EQ(err, r.err[0] ? expected : QString()) << r.delivered << " " << r.error;
        EXPECT_EQ(status, r.err[0] ? kCliError : kCliOk);
        EXPECT_EQ(out, r.err[0] ? QString() : QStringLiteral("sent 4 bytes to 127.0.0.1:9\n"));
    }
}
