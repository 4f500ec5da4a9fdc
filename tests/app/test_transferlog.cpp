// The transfer log: what every window sent, how it ended, what came back,
// kept within its bounds; and its window, clicked as an operator would.
#include "app/tlogf.h"
#include "escpos/logtext.h"
#include "tests/support/hex.h"
#include "tests/support/programfixture.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <fstream>
#include <unistd.h>
#include <chrono>
#include <thread>
#include <sys/stat.h>
#include <poll.h>
#include <fcntl.h>

namespace {

const std::string kDrawer("\x1B\x70\x00\x32\x32\x0D", 6);

} // namespace

TEST(TransferLogModel, KeepsTheNewestWithinItsBounds)
{
    TransferLog log;
    for (std::size_t i = 0; i < TransferLog::kMaxEntries + 5; ++i)
        log.sent(log.begin(QStringLiteral("LPT1"), ByteString(1, static_cast<char>(i))));
    ASSERT_EQ(log.entries().size(), TransferLog::kMaxEntries);
    EXPECT_EQ(log.entries().front().id, 6u);
    EXPECT_EQ(log.find(5), nullptr);
    ASSERT_NE(log.find(6), nullptr);

    log.clear();
    const ByteString mega(1024 * 1024, '\x55');
    for (int i = 0; i < 20; ++i)
        log.begin(QStringLiteral("LPT1"), mega);
    EXPECT_EQ(log.bytesHeld(), TransferLog::kMaxBytes);
    EXPECT_EQ(log.entries().size(), 16u);
    // One command beyond the whole bound is still kept, alone.
    log.begin(QStringLiteral("LPT1"), ByteString(TransferLog::kMaxBytes + 1, 'x'));
    EXPECT_EQ(log.entries().size(), 1u);
    // An answer is held with its command, and goes with it.
    log.clear();
    log.answered(log.begin(QStringLiteral("COM3"), ByteString(3, 'q')), ByteString(1000, 'a'));
    EXPECT_EQ(log.bytesHeld(), 1003u);
    log.begin(QStringLiteral("LPT1"), ByteString(TransferLog::kMaxBytes, 'x'));
    EXPECT_EQ(log.entries().size(), 1u);
    EXPECT_EQ(log.bytesHeld(), TransferLog::kMaxBytes);

    LogEntry cancelled;
    cancelled.bytes = ByteString(1000, 'x');
    cancelled.result = LogEntry::Result::Cancelled;
    cancelled.done = 200;
    EXPECT_EQ(resultText(cancelled), QStringLiteral("已取消：送出 200 / 1000 字节"));

    // An entry's whole text: a drawer pulse cut off after two bytes, and a
    // status check that was answered 0x12.
    LogEntry pulse;
    pulse.time = QDateTime(QDate(2026, 12, 10), QTime(1, 2, 3, 4));
    pulse.where = QStringLiteral("COM3 → /dev/ttyS2 @ 9600");
    pulse.bytes = kDrawer;
    pulse.result = LogEntry::Result::Cancelled;
    pulse.done = 2;
    const QString listed = QStringLiteral("000000  ESC p       cash drawer pulse: pin 2, on 100 ms, off 100 ms  [1B 70 00 32 32]\n"
                                          "000005  CR          carriage return  [0D]\n");
    EXPECT_EQ(entryText(pulse, 0), QStringLiteral("时间：2026-12-10 01:02:03.004\n去向：COM3 → /dev/ttyS2 @ 9600\n长度：6 字节\n"
                                                  "结果：已取消：送出 2 / 6 字节\n"
                                                  "打印机可能还在等待这条命令的其余部分：发下一条命令之前，请先关闭打印机再打开。\n"
                                                  "字节：1B 70 00 32 32 0D\n\n") + listed);
    pulse.done = 6; // all of it went: nothing waits
    EXPECT_FALSE(entryText(pulse, 0).contains(QStringLiteral("等待")));
    LogEntry status = pulse;
    status.bytes = ByteString("\x10\x04\x01", 3);
    status.result = LogEntry::Result::Sent;
    status.exchange = true;
    EXPECT_EQ(resultText(status), QStringLiteral("已发送；没有回答"));
    status.answer = ByteString("\x12", 1);
    EXPECT_EQ(resultText(status), QStringLiteral("已发送；回答 12"));
    EXPECT_TRUE(entryText(status, 0).contains(QStringLiteral("结果：已发送；回答 12\n打印机的回答（1 字节）：12\n字节：10 04 01\n\n")));
    // An answer is told whole, however long: only a command's bytes are shortened.
    status.answer = ByteString(70, 'A');
    EXPECT_TRUE(entryText(status, 0).contains(QStringLiteral("（70 字节）：") + QStringList(70, QStringLiteral("41")).join(' ') + '\n'));
    status.bytes = ByteString(64, 'B'); // up to 64 bytes, whole
    EXPECT_TRUE(entryText(status, 0).contains(QStringLiteral("字节：") + QStringList(64, QStringLiteral("42")).join(' ') + "\n\n"));
    status.bytes += 'B';
    EXPECT_TRUE(entryText(status, 0).contains(QStringLiteral("42 … 42 42 42 42 (65 bytes)\n\n")));
    status.result = LogEntry::Result::Failed;
    status.error = QStringLiteral("Read error\nsecond line");
    EXPECT_EQ(resultText(status), QStringLiteral("失败：Read error"));
    EXPECT_TRUE(entryText(status, 0).contains(QStringLiteral("结果：失败：Read error\nsecond line\n")));
}

class TransferLogWindow : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        logf = program->logf.get();
    }
    // Opens the log as an operator would: Ctrl+L on the main window.
    void openLog()
    {
        form1()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form1()));
        QTest::keyClick(form1(), Qt::Key_L, Qt::ControlModifier);
        ASSERT_TRUE(logf->isVisible());
    }
    QTreeWidget *list() { return child<QTreeWidget>(logf, "LogList"); }
    QString detail() { return child<QPlainTextEdit>(logf, "LogDetail")->toPlainText(); }
    QString cell(int row, int column) { return list()->topLevelItem(row)->text(column); }

    Tlogf *logf = nullptr;
};

TEST_F(TransferLogWindow, ListsEachCommandWithWhereItWentAndHowItEnded)
{
    pick(form1()->dk(), "COM3");
    click("Open");
    ASSERT_TRUE(printer.waitFor(6));
    openLog();
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(cell(0, 1), QStringLiteral("COM3 → %1 @ 9600").arg(QString::fromStdString(printer.slavePath())));
    EXPECT_EQ(cell(0, 2), "6");
    EXPECT_EQ(cell(0, 3), QStringLiteral("已发送"));
    // The newest entry is selected, its bytes and decoded listing shown.
    EXPECT_TRUE(detail().contains(QStringLiteral("字节：1B 70 00 32 32 0D"))) << detail().toStdString();
    EXPECT_TRUE(detail().contains(QStringLiteral("ESC p       cash drawer pulse: pin 2, on 100 ms, off 100 ms")));

    // Sent while the log is open: a failure with its error, then LPT1.
    pick(form1()->dk(), "LPT2");
    click("Open");
    pick(form1()->dk(), "LPT1");
    click("cut");
    ASSERT_EQ(list()->topLevelItemCount(), 3);
    EXPECT_EQ(cell(1, 3), QStringLiteral("失败：File not found."));
    EXPECT_EQ(cell(2, 1), QStringLiteral("LPT1 → %1").arg(QString::fromStdString(lpt1)));
    EXPECT_TRUE(detail().contains(QStringLiteral("partial cut after feeding 24 units")));

    // A network printer that is not there: the message it got, nothing sent.
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort()));
    click("Open");
    ASSERT_EQ(list()->topLevelItemCount(), 4);
    EXPECT_EQ(cell(3, 3), QStringLiteral("失败：Connect error"));

    list()->clearSelection();
    list()->topLevelItem(0)->setSelected(true);
    click(logf, "LogCopy");
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("1B 70 00 32 32 0D")));
    click(logf, "LogClear");
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

TEST_F(TransferLogWindow, StatusCheckShowsTheAnswers)
{
    printer.setResponder([](const std::string &chunk) {
        return chunk.size() % 3 == 0 && chunk.compare(chunk.size() - 3, 3, "\x10\x04\x01", 3) == 0 ? std::string("\x12")
                                                                                                  : std::string();
    });
    pick(form1()->dk(), "COM1");
    TForm2 *status = program->form2.get();
    status->show();
    click(status, "Button2");
    openLog();
    ASSERT_EQ(list()->topLevelItemCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(cell(i, 3), QStringLiteral("已发送；回答 12")) << i;
    EXPECT_TRUE(detail().contains(QStringLiteral("打印机的回答（1 字节）：12")));
    EXPECT_TRUE(detail().contains(QStringLiteral("real-time status request: printer status")));
}

TEST_F(TransferLogWindow, SavedBytesAndTextAndReplayOfTheBytes)
{
    pick(form1()->dk(), "COM3");
    click("Open");
    ASSERT_TRUE(printer.waitFor(6));
    openLog();
    const std::string bin = dir + "/drawer.bin", text = dir + "/drawer.txt";
    outside.nextSaveFiles << QString::fromStdString(bin) << QString::fromStdString(text);
    click(logf, "LogSaveBin");
    click(logf, "LogSaveText");
    auto read = [](const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    EXPECT_EQ(read(bin), kDrawer);
    EXPECT_NE(read(text).find("cash drawer pulse"), std::string::npos);
    EXPECT_TRUE(outside.errors.isEmpty()) << outside.errors.join("|").toStdString();

    // Replayed to the port chosen now, the main window's way.
    pick(form1()->dk(), "LPT1");
    outside.nextFiles << QString::fromStdString(bin);
    click(logf, "LogReplay");
    EXPECT_EQ(lpt1Contents(), kDrawer);
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(cell(1, 1), QStringLiteral("LPT1 → %1").arg(QString::fromStdString(lpt1)));
    // Refused before a byte is sent: an empty file, one a byte past 16 MiB, one that cannot be opened.
    const QString empty = QString::fromStdString(dir + "/empty.bin"), huge = QString::fromStdString(dir + "/huge.bin");
    std::ofstream(empty.toStdString()).close();
    std::ofstream(huge.toStdString()).close();
    ASSERT_EQ(::truncate(huge.toLocal8Bit().constData(), 16 * 1024 * 1024 + 1), 0);
    outside.nextFiles << empty << huge << QString::fromStdString(dir + "/gone.bin");
    for (int i = 0; i < 3; ++i)
        click(logf, "LogReplay");
    EXPECT_EQ(outside.messages, QStringList{"文件 \"" + empty + "\" 是空的，没有可发送的字节。"});
    EXPECT_EQ(outside.errors.value(0), "文件 \"" + huge + "\" 太大（16777217 字节），不是一条打印机命令.");
    EXPECT_TRUE(outside.errors.value(1).startsWith(QString::fromStdString("无法打开文件 \"" + dir + "/gone.bin\"：")))
        << outside.errors.value(1).toStdString();
    EXPECT_EQ(lpt1Contents(), kDrawer);
    EXPECT_EQ(list()->topLevelItemCount(), 2);
    outside.clear();

    // With no port the main window's prompt answers, and nothing is logged.
    type(form1()->dk(), QString());
    outside.nextFiles << QString::fromStdString(bin);
    click(logf, "LogReplay");
    EXPECT_EQ(outside.messages.last(), form1()->PortPrompt());
    EXPECT_EQ(list()->topLevelItemCount(), 2);
    // A file that cannot be written is named.
    outside.nextSaveFiles << QString::fromStdString(dir);
    click(logf, "LogSaveBin");
    EXPECT_EQ(detailOf(outside.errors.value(0)), QStringLiteral("文件 %1 无法写入。").arg(QString::fromStdString(dir)));
}

TEST_F(TransferLogWindow, ALongCommandIsNotHeldUpByItsListingAndTheListSaysWhatItLeftOut)
{
    // 2 MB of a byte the decoder does not know: two million commands, the
    // longest listing a command of this size can have.
    const std::string bin = dir + "/garbage.bin", fifo = dir + "/lp-fifo";
    std::ofstream(bin, std::ios::binary) << std::string(2 * 1024 * 1024, '\x10');
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    outside.deviceNames().redirect("LPT1", fifo);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    using Clock = std::chrono::steady_clock;
    Clock::time_point firstByte{};
    std::size_t got = 0;
    std::thread printerSide([&] {
        char buf[65536];
        const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(60);
        while (got < 2 * 1024 * 1024 && Clock::now() < giveUp) {
            pollfd p{reader, POLLIN, 0};
            ::poll(&p, 1, 10);
            const ssize_t n = ::read(reader, buf, sizeof buf);
            if (n > 0 && got == 0)
                firstByte = Clock::now();
            if (n > 0)
                got += static_cast<std::size_t>(n);
        }
    });
    openLog();
    pick(form1()->dk(), "LPT1");
    outside.nextFiles << QString::fromStdString(bin);
    const Clock::time_point press = Clock::now();
    click(logf, "LogReplay");
    printerSide.join();
    ::close(reader);
    ASSERT_EQ(got, 2u * 1024 * 1024);
    // Before, the window listed all of it first: 9.7 s. The bound is a guard
    // against listing the whole command again, not a measurement: a tenth of
    // that, so that a sanitizer's build on a busy machine stays well inside it.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(firstByte - press).count(), 1000);
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(cell(0, 3), QStringLiteral("已发送"));
    EXPECT_EQ(detail().count(QStringLiteral("DLE         unknown command  [10]")), 1000);
    EXPECT_TRUE(detail().endsWith(QStringLiteral("……还有 2096152 字节没有列出（“保存文本”保存完整的列表）\n")))
        << detail().right(200).toStdString();
}

TEST_F(TransferLogWindow, ItsButtonCoversNoControlOfTheLayout)
{
    auto *button = child<QWidget>(form1(), "LogButton");
    for (QWidget *other : form1()->findChildren<QWidget *>()) {
        if (other != button && other->parentWidget() == form1() && other->isVisible()) {
            EXPECT_FALSE(button->geometry().intersects(other->geometry())) << other->objectName().toStdString();
        }
    }
    click("LogButton");
    EXPECT_TRUE(logf->isVisible());
    EXPECT_FALSE(logf->isModal());
}
