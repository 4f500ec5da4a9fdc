// The LED, status and black-mark windows and the rows that open them,
// clicked as an operator would, with real peers.
#include "tests/support/hex.h"
#include "tests/support/programfixture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include <termios.h>

using ToolWindows = ProgramTest;

namespace {

std::string dleEot() { return std::string("\x10\x04\x01", 3); }

// A printer that answers each status request with `each` bytes `answer`, at most `times` times.
auto answering(const std::string &request, char answer, int times = 1000, int each = 1)
{
    auto left = std::make_shared<int>(times);
    return [=](const std::string &chunk) {
        std::string reply;
        for (std::size_t at = chunk.find(request); at != std::string::npos && *left > 0;
             at = chunk.find(request, at + 1), --*left)
            reply.append(static_cast<std::size_t>(each), answer);
        return reply;
    };
}

} // namespace

TEST_F(ToolWindows, LedWindowOpensOnlyForASerialPortAt2400)
{
    click("lcb");
    EXPECT_EQ(form1()->dk()->currentText(), "COM1");
    EXPECT_EQ(form1()->sd()->currentText(), "2400");
    click("lb");
    EXPECT_TRUE(program->ledf->isVisible());
    EXPECT_TRUE(outside.messages.isEmpty());
    program->ledf->hide();

    pick(form1()->dk(), "COM3");
    pick(form1()->sd(), "9600");
    click("lb");
    EXPECT_EQ(outside.messages.last(), "You must select 2400bps for Tavo-K3's LED Display!!");
    for (const QString &port : {QStringLiteral("LPT1"), QStringLiteral("Ethernet")}) {
        pick(form1()->dk(), port);
        click("lb");
        EXPECT_EQ(outside.messages.last(), "You must select Serial Port for Tavo-K3's LED Display!!");
    }
    pick(form1()->sd(), "2400");
    type(form1()->dk(), "com1");
    click("lb");
    EXPECT_EQ(outside.messages.last(), "You must select Serial Port for Tavo-K3's LED Display!!");
    type(form1()->dk(), "COM77");
    click("lb");
    EXPECT_TRUE(program->ledf->isVisible());
}

TEST_F(ToolWindows, LedCommandsReachThePrinter)
{
    Tledf *led = program->ledf.get();
    led->show();
    pick(form1()->dk(), "COM2");
    pick(form1()->sd(), "2400");
    click(led, "Button4");
    ASSERT_TRUE(printer.waitFor(12));
    EXPECT_EQ(hex(printer.received()), "1B 51 41 31 32 33 34 35 36 37 38 0D");
    termios tio{};
    ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B2400);

    printer.clearReceived();
    auto *amount = child<QLineEdit>(led, "Edit1");
    EXPECT_EQ(amount->maxLength(), 9);
    type(amount, "");
    click(led, "Button4");
    ASSERT_TRUE(printer.waitFor(4));
    EXPECT_EQ(hex(printer.received()), "1B 51 41 0D");

    printer.clearReceived();
    type(form1()->sd(), "abc");
    click(led, "Button2");
    ASSERT_TRUE(printer.waitFor(3));
    ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);

    pick(form1()->dk(), "LPT1");
    const std::pair<const char *, const char *> buttons[] = {
        {"Button2", "1B 73 31"}, {"Button3", "1B 73 32"}, {"Button5", "0C"}, {"Button6", "18"}, {"Button7", "1B 40"}};
    for (const auto &b : buttons) {
        click(led, b.first);
        EXPECT_EQ(hex(lpt1Contents()), b.second) << b.first;
    }
    pick(form1()->dk(), "Ethernet");
    click(led, "Button2");
    EXPECT_EQ(outside.messages.last(), "You must select Serial Port for Tavo-K3's LED Display!!");
    EXPECT_EQ(NetCalls::opens, 0);
    click(led, "Button1");
    EXPECT_FALSE(led->isVisible());
}

TEST_F(ToolWindows, StatusCheckJudgesTheAnswers)
{
    TForm2 *status = program->form2.get();
    status->show();
    auto *label2 = child<QLabel>(status, "Label2");
    pick(form1()->dk(), "COM1");

    struct Case {
        int series;
        std::string request;
        char answer;
        int answers;
        const char *text;
        QColor colour;
        int each = 1;
    } cases[] = {
        {2, dleEot(), 0x12, 5, "打印机 联机.", QColor(0, 128, 0)},
        {2, dleEot(), 0x1A, 5, "打印机 脱机!", QColor(255, 255, 0)},
        {3, "\x1B\x76", 0x0C, 5, "打印机 脱机!", QColor(255, 255, 0)},
        {3, "\x1B\x76", 0x00, 5, "打印机 联机.", QColor(0, 128, 0)},
        {0, dleEot(), 0x12, 4, "未检测到 打印机!", QColor(255, 0, 0)},
        {1, dleEot(), 0x12, 0, "未检测到 打印机!", QColor(255, 0, 0)},
        // One byte is read a request, whatever more the printer sends.
        {2, dleEot(), 0x12, 5, "打印机 联机.", QColor(0, 128, 0), 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        printer.clearReceived();
        printer.setResponder(answering(c.request, c.answer, c.answers, c.each));
        QTest::mouseClick(child<QRadioButton>(status, QStringLiteral("RadioGroup1Item%1").arg(c.series).toLatin1()),
                          Qt::LeftButton);
        click(status, "Button2");
        EXPECT_EQ(label2->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(label2->palette().color(QPalette::WindowText), c.colour);
        EXPECT_EQ(status->lampColor(), c.colour);
        EXPECT_EQ(status->reply().size(), static_cast<std::size_t>(c.answers));
        std::string five;
        for (int i = 0; i < 5; ++i)
            five += c.request;
        EXPECT_EQ(printer.received(), five);
        EXPECT_FALSE(form1()->cp().Connected());
    }

    const QString before = label2->text();
    for (const QString &port : {QStringLiteral("LPT1"), QStringLiteral("Ethernet")}) {
        pick(form1()->dk(), port);
        click(status, "Button2");
        EXPECT_EQ(outside.messages.last(), "You must select Serial Port!!");
        EXPECT_EQ(label2->text(), before);
    }
    type(form1()->dk(), "");
    click(status, "Button2");
    EXPECT_EQ(outside.messages.last(), "You must select Serial Port!!");
}

TEST_F(ToolWindows, StatusCheckOnAMissingPortOrAHeldLineReportsAndFreesThePort)
{
    outside.deviceNames().redirect("\\\\.\\COM5", dir + "/nothing-here");
    pick(form1()->dk(), "COM5");
    click(program->form2.get(), "Button2");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"Unable to open com port (win error code: 2)"});
    EXPECT_FALSE(form1()->cp().Connected());

    // A request the printer does not take is a failed write, logged as
    // such with its count, not a request sent and left unanswered.
    outside.clear();
    pick(form1()->dk(), "COM1");
    click("cut"); // the line is configured once, so XOFF is understood
    ASSERT_TRUE(printer.waitFor(4));
    printer.sendXoff();
    click(program->form2.get(), "Button2");
    printer.sendXon();
    EXPECT_EQ(firstLines(outside.errors), QStringList{"WriteFile function failed (win error code: 1460)"});
    EXPECT_TRUE(detailOf(outside.errors.value(0)).endsWith("：打印机停止接收数据（XOFF，或没有在读取）。已送到打印机 0 / 3 字节。"))
        << outside.errors.value(0).toStdString();
    const LogEntry &last = form1()->sender().log().entries().back();
    EXPECT_EQ(last.result, LogEntry::Result::Failed);
    EXPECT_TRUE(last.exchange);
    EXPECT_FALSE(form1()->cp().Connected());
}

TEST_F(ToolWindows, BlackMarkOffsets)
{
    Tbmf *bm = program->bmf.get();
    click("dcb");
    click("db");
    EXPECT_TRUE(bm->isVisible());
    auto *nL = child<QLineEdit>(bm, "Edit5");
    auto *nH = child<QLineEdit>(bm, "Edit6");

    type(child<QLineEdit>(bm, "Edit1"), "10");
    click(bm, "Button2");
    EXPECT_EQ(hex(lpt1Contents()), "1D 54 1D 28 46 04 00 01 00 39 00");
    EXPECT_EQ(nL->text(), "57");
    EXPECT_EQ(nH->text(), "0");

    type(child<QLineEdit>(bm, "Edit2"), "100");
    click(bm, "Button3");
    EXPECT_EQ(hex(lpt1Contents()), "1D 54 1D 28 46 04 00 01 01 37 02");
    type(child<QLineEdit>(bm, "Edit2"), "100.1");
    click(bm, "Button3");
    EXPECT_EQ(outside.messages, QStringList{QStringLiteral("最大退纸长度不能 超过 100 毫米！！")});
    EXPECT_EQ(hex(lpt1Contents()), "1D 54 1D 28 46 04 00 01 01 37 02"); // nothing new sent
    EXPECT_EQ(nL->text(), "55");

    type(child<QLineEdit>(bm, "Edit3"), "300");
    click(bm, "Button4");
    EXPECT_EQ(hex(lpt1Contents()), "1D 54 1D 28 46 04 00 02 00 A5 06");
    type(child<QLineEdit>(bm, "Edit4"), "50");
    click(bm, "Button5");
    EXPECT_EQ(hex(lpt1Contents()), "1D 54 1D 28 46 04 00 02 01 1B 01");
    EXPECT_EQ(nL->text(), "27");
    EXPECT_EQ(nH->text(), "1");

    // A negative distance is refused rather than sent as its low bits.
    outside.clear();
    type(child<QLineEdit>(bm, "Edit1"), "-5");
    click(bm, "Button2");
    EXPECT_EQ(outside.messages.size(), 1);
    EXPECT_EQ(hex(lpt1Contents()), "1D 54 1D 28 46 04 00 02 01 1B 01");
    type(child<QLineEdit>(bm, "Edit1"), "20000");
    click(bm, "Button2");
    EXPECT_EQ(outside.messages.size(), 2); // beyond what nL nH can carry
    type(child<QLineEdit>(bm, "Edit1"), "abc");
    click(bm, "Button2");
    EXPECT_EQ(outside.errors, QStringList{"'abc' is not a valid floating point value."});

    click(bm, "Button6");
    const std::string demo = lpt1Contents();
    EXPECT_EQ(hex(demo.substr(0, 9)), "BF AA CA BC B4 F2 D3 A1 0A"); // 开始打印 in GB2312
    EXPECT_EQ(hex(demo.substr(demo.size() - 6)), "0A 1D 54 1D 0C 0D");
    click(bm, "Button7");
    EXPECT_EQ(hex(lpt1Contents().substr(lpt1Contents().size() - 7)), "0A 1D 54 1D 56 42 0D");

    // No port entry: nothing is sent and nothing is said.
    outside.clear();
    type(form1()->dk(), "");
    click(bm, "Button6");
    EXPECT_TRUE(outside.messages.isEmpty());
    EXPECT_TRUE(outside.errors.isEmpty());
}

TEST_F(ToolWindows, RowsShowTheirWindowsWithoutResettingThem)
{
    click("CheckBox7");
    click("Button3"); // whatever port is chosen
    EXPECT_TRUE(program->form2->isVisible());
    click("nvcb");
    click("nvd");
    EXPECT_TRUE(program->nvf->isVisible());

    click("dcb");
    click("db");
    Tbmf *bm = program->bmf.get();
    type(child<QLineEdit>(bm, "Edit1"), "42");
    click("db");
    EXPECT_EQ(child<QLineEdit>(bm, "Edit1")->text(), "42");
    click(bm, "Button1");
    EXPECT_FALSE(bm->isVisible());
    click("db");
    EXPECT_TRUE(bm->isVisible());
    EXPECT_EQ(child<QLineEdit>(bm, "Edit1")->text(), "42");
    // Clearing the row greys the button; the open window stays.
    click("dcb");
    EXPECT_FALSE(child<QWidget>(form1(), "db")->isEnabled());
    EXPECT_TRUE(bm->isVisible());
}
