// The main window driven through its real widgets, with real peers.
#include "core/errors.h"
#include "ui/application.h"
#include "ui/widgets.h"
#include "transport/comport.h"
#include "transport/ioerror.h"
#include "settings/settingspanel.h"
#include "tests/support/hex.h"
#include "tests/support/programfixture.h"

#include <QCheckBox>
#include <QFile>
#include <sys/stat.h>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <termios.h>
#include <unistd.h>

namespace {

const std::string kDrawer("\x1B\x70\x00\x32\x32\x0D", 6);

} // namespace

using MainWindow = ProgramTest;

TEST_F(MainWindow, StartsWithTheLayoutDefaults)
{
    TForm1 *f = form1();
    EXPECT_EQ(f->size(), QSize(765, 626));
    EXPECT_FALSE(f->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(f->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(f->dk()->currentText(), "LPT1");
    EXPECT_EQ(f->dk()->selectedIndex(), 0);
    EXPECT_EQ(f->dk()->count(), 11);
    EXPECT_EQ(f->sd()->currentText(), "9600");
    EXPECT_EQ(f->sd()->selectedIndex(), 2);
    EXPECT_EQ(f->IPE()->text(), "192.168.123.100");
    EXPECT_TRUE(child<QRadioButton>(f, "RadioButton1")->isChecked());
    EXPECT_EQ(child<QWidget>(f, "dk")->geometry(), QRect(18, 28, 159, 22));
    EXPECT_EQ(child<QWidget>(f, "Button1")->geometry(), QRect(16, 496, 135, 45));
    EXPECT_EQ(child<QLabel>(f, "Image2")->pixmap().size(), QSize(413, 38));
    EXPECT_EQ(child<QLabel>(f, "Label17")->text(), TForm1::webAddress());
    EXPECT_FALSE(child<QWidget>(f, "Memo1")->isVisible());
    EXPECT_EQ(child<QPlainTextEdit>(f, "Memo1")->toPlainText().count("\n"), 9);
    for (const PanelRow &row : panelRows()) {
        EXPECT_FALSE(child<QCheckBox>(f, row.box)->isChecked()) << row.box;
        EXPECT_FALSE(child<QWidget>(f, row.button)->isEnabled()) << row.button;
        if (row.dropDown) {
            EXPECT_FALSE(child<QWidget>(f, row.dropDown)->isEnabled()) << row.dropDown;
        }
    }
    for (const char *name : {"ph", "st", "cbs", "pt", "st0", "cst"})
        EXPECT_FALSE(child<QWidget>(f, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QAbstractButton>(f, "tb")->text().endsWith(QStringLiteral("波特率设置")));
    EXPECT_EQ(child<DropDown>(f, "tc")->currentText(), "1: 9600bps");
    EXPECT_EQ(child<DropDown>(f, "tc")->selectedIndex(), -1);
    EXPECT_EQ(f->PortPrompt(), "NOTICE:Please select the correct communication port!");
    EXPECT_EQ(f->cp().BaudRate(), br19200);
    EXPECT_EQ(f->cp().Port(), "COM1");
    // The tool windows exist, hidden.
    EXPECT_FALSE(program->bmf->isVisible());
    EXPECT_FALSE(program->ledf->isVisible());
    EXPECT_FALSE(program->nvf->isVisible());
    EXPECT_FALSE(program->form2->isVisible());
    EXPECT_EQ(program->bmf->size(), QSize(476, 337));
    EXPECT_EQ(program->nvf->size(), QSize(750, 539));
}

TEST_F(MainWindow, ClockTicksIntoTheStatusBar)
{
    auto *date = child<QLabel>(form1(), "StatusPanel0");
    auto *time = child<QLabel>(form1(), "StatusPanel1");
    EXPECT_TRUE(date->text().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!time->text().isEmpty(), 3000);
    EXPECT_EQ(date->text(), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_TRUE(child<QLabel>(form1(), "StatusPanel2")->text().isEmpty());
}

TEST_F(MainWindow, BaudTextThatNamesNoRateMeans9600)
{
    pick(form1()->sd(), "19200");
    EXPECT_EQ(form1()->cp().BaudRate(), br19200);
    type(form1()->sd(), "12345");
    EXPECT_EQ(form1()->cp().BaudRate(), br9600);
}

TEST_F(MainWindow, DrawerCommandArrivesWholeOnEveryTransport)
{
    click("Open");
    EXPECT_EQ(lpt1Contents(), kDrawer);

    pick(form1()->dk(), "COM3");
    click("Open");
    ASSERT_TRUE(printer.waitFor(6));
    EXPECT_EQ(printer.received(), kDrawer);

    TcpPrinter net;
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QString::fromStdString(net.address()));
    click("Open");
    ASSERT_TRUE(net.waitForConnections(1));
    EXPECT_EQ(net.connections()[0], kDrawer);
    EXPECT_TRUE(outside.messages.isEmpty());
    EXPECT_TRUE(outside.errors.isEmpty());
}

TEST_F(MainWindow, SerialCommandsGoOutAtTheChosenRate)
{
    pick(form1()->dk(), "COM3");
    pick(form1()->sd(), "2400");
    click("cut");
    ASSERT_TRUE(printer.waitFor(4));
    EXPECT_EQ(hex(printer.received()), "1D 56 42 18");
    termios tio{};
    ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B2400);

    // A typed rate is no entry: 9600.
    type(form1()->sd(), "fast");
    click("cut");
    ASSERT_TRUE(printer.waitFor(8));
    ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B9600);
    EXPECT_FALSE(form1()->cp().Connected());
}

TEST_F(MainWindow, EmptyPortShowsThePromptAndTypedPortSendsNothing)
{
    type(form1()->dk(), "");
    for (const char *button : {"Button1", "Open", "cut"})
        click(button);
    EXPECT_EQ(outside.messages, QStringList(3, "NOTICE:Please select the correct communication port!"));
    EXPECT_EQ(lpt1Contents(), "");

    outside.clear();
    type(form1()->dk(), "COM9");
    click("Open");
    EXPECT_TRUE(outside.messages.isEmpty());
    EXPECT_TRUE(outside.errors.isEmpty());
    EXPECT_EQ(printer.received(), "");
}

TEST_F(MainWindow, UnreachableNetworkPrinterIsAConnectError)
{
    pick(form1()->dk(), "Ethernet");
    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(TcpPrinter::unusedPort());
    type(form1()->IPE(), nobody);
    click("Button1");
    // The cause follows in its own words.
    EXPECT_EQ(outside.messages, QStringList{"Connect error\n" + nobody + " 拒绝了连接：那里没有程序在这个端口上接收。"});
    EXPECT_EQ(NetCalls::opens, 1);
    EXPECT_EQ(NetCalls::connectS, 5); // TavoNetOpen(address, 5, 7): connect, then send time-out
    EXPECT_EQ(NetCalls::sendS, 7);
    EXPECT_EQ(NetCalls::sends, 0);
    EXPECT_EQ(NetCalls::closes, 0);
    outside.clear();
    type(form1()->IPE(), QString());
    click("Button1");
    EXPECT_EQ(outside.messages, QStringList{"Connect error\n没有填写打印机的 IP 地址。"});
}

TEST_F(MainWindow, AddressTextsAsOperatorsTypeThem)
{
    TcpPrinter net;
    pick(form1()->dk(), "Ethernet");
    // Pasted blanks around the address, and the name "localhost".
    const QString port = QString::number(net.port());
    const QString texts[] = {" 127.0.0.1:" + port, "127.0.0.1:" + port + " ", "localhost:" + port};
    for (const QString &text : texts) {
        type(form1()->IPE(), text);
        click("Open");
    }
    ASSERT_TRUE(net.waitForConnections(3));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(net.connections()[i], kDrawer);
    EXPECT_TRUE(outside.messages.isEmpty()) << outside.messages.join("|").toStdString();

    // A text that is no address keeps its message and says what is wrong.
    const std::pair<QString, QString> bad[] = {
        {"127.0.0.1:abc", "端口“abc”不是数字。"},
        {":0", "冒号前面没有 IP 地址；端口 0 超出范围（1 到 65535）。"},
        {"127.0.0.1:70000", "端口 70000 超出范围（1 到 65535）。"},
        {"127.0.0.1:", "冒号后面没有端口号。"},
        {"1.2.3", "“1.2.3”不是 IP 地址，也不是主机名。"},
        {"[::1]9100", "“]”后面只能是冒号和端口号。"},
        {"[::1", "IPv6 地址缺少右方括号“]”。"},
    };
    for (const auto &b : bad) {
        outside.clear();
        type(form1()->IPE(), b.first);
        click("Open");
        EXPECT_EQ(outside.messages, QStringList{"Connect error\n" + b.second}) << b.first.toStdString();
    }
    EXPECT_EQ(net.connections().size(), 3u);
}

TEST_F(MainWindow, MissingParallelPortShowsTheErrorBox)
{
    pick(form1()->dk(), "LPT2");
    click("Button1");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"File not found."});
    // The detail line names the device and the cause.
    EXPECT_EQ(detailOf(outside.errors.value(0)), QString::fromStdString(dir) + "/missing-lp1：没有这个设备。");
    EXPECT_EQ(outside.errorTitles, QStringList{applicationTitle()});
    // A pipe with nobody reading it is there, but takes nothing.
    outside.clear();
    const std::string fifo = dir + "/unread-lp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    outside.deviceNames().redirect("LPT2", fifo);
    click("Button1");
    EXPECT_EQ(detailOf(outside.errors.value(0)), QString::fromStdString(fifo) + "：没有程序在读取它。");
    // A device that takes no byte at all is told by its write's failure,
    // never as a port that is no serial port.
    if (::access("/dev/full", W_OK) == 0) {
        outside.clear();
        outside.deviceNames().redirect("LPT2", "/dev/full");
        click("Button1");
        EXPECT_EQ(outside.errors, QStringList{"Disk full.\n/dev/full"});
    }
    // The window stays usable.
    pick(form1()->dk(), "LPT1");
    click("Button1");
    EXPECT_EQ(lpt1Contents().size(), 218u);
}

TEST_F(MainWindow, SerialFailuresAreToldAndThePortIsFreedAgain)
{
    outside.deviceNames().redirect("\\\\.\\COM4", dir + "/no-such-tty");
    pick(form1()->dk(), "COM4");
    click("Open");
    // ")" sorts before ".": no full stop is added.
    EXPECT_EQ(firstLines(outside.errors), QStringList{"Unable to open com port (win error code: 2)"});
    EXPECT_EQ(detailOf(outside.errors.value(0)), QString::fromStdString(dir) + "/no-such-tty：没有这个设备。");
    EXPECT_FALSE(form1()->cp().Connected());

    // A printer that holds the line past the write time-out: the command is
    // reported as failed, not as sent, and the port is closed.
    outside.clear();
    pick(form1()->dk(), "COM3");
    click("cut"); // opens and configures the line once, so XOFF is understood
    ASSERT_TRUE(printer.waitFor(4));
    printer.sendXoff();
    click("cut");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"WriteFile function failed (win error code: 1460)"});
    // It also says how far the command got and what held it.
    EXPECT_EQ(detailOf(outside.errors.value(0)), QString::fromStdString(printer.slavePath()) +
                                                     "：打印机停止接收数据（XOFF，或没有在读取）。已送到打印机 0 / 4 字节。");
    EXPECT_FALSE(form1()->cp().Connected());
    printer.sendXon();
}

TEST_F(MainWindow, MemoOnlyForAnExactCodeWord)
{
    auto *memo = child<QWidget>(form1(), "Memo1");
    const QString word = TForm1::codeWords().first();
    for (const QString &near : {word.toLower(), word.left(word.size() - 1), word + "x"}) {
        type(form1()->IPE(), near);
        QTest::mouseClick(form1(), Qt::LeftButton, Qt::NoModifier, QPoint(700, 450));
        EXPECT_FALSE(memo->isVisible()) << near.toStdString();
    }
    type(form1()->IPE(), word);
    QTest::mouseClick(form1(), Qt::LeftButton, Qt::NoModifier, QPoint(700, 450));
    EXPECT_TRUE(memo->isVisible());
}

TEST_F(MainWindow, WebLinkAndQuit)
{
    click("Button8");
    click("Label17");
    EXPECT_EQ(outside.urls, QStringList(2, TForm1::webAddress()));
    EXPECT_TRUE(QUrl(TForm1::webAddress()).host().endsWith(".example"));
    click("QButton");
    EXPECT_FALSE(form1()->isVisible());
}

TEST_F(MainWindow, DotMatrixRows)
{
    click("szt");
    for (const char *name : {"ph", "st", "cbs"})
        EXPECT_TRUE(child<QWidget>(form1(), name)->isEnabled()) << name;
    EXPECT_EQ(lpt1Contents(), ""); // ticking sends nothing
    click("ph");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F FB 1B 64 06");
    click("st");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F FC 05");
    auto *cbs = child<DropDown>(form1(), "cbs");
    type(cbs, "a");
    click("st");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F FC 0A");

    // The H value is converted before the port is looked at.
    type(cbs, "");
    type(form1()->dk(), "");
    click("st");
    EXPECT_EQ(outside.errors, QStringList{"'$' is not a valid integer value."});
    EXPECT_TRUE(outside.messages.isEmpty());

    // The code page value only after the port check.
    outside.clear();
    click("szt0");
    auto *cst = child<QLineEdit>(form1(), "cst");
    type(cst, "x");
    click("st0");
    EXPECT_EQ(outside.messages, QStringList{form1()->PortPrompt()});
    EXPECT_TRUE(outside.errors.isEmpty());
    pick(form1()->dk(), "LPT1");
    click("st0");
    EXPECT_EQ(outside.errors, QStringList{"'x' is not a valid integer value."});
    type(cst, "256");
    click("st0");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F FF 00 0A 0A");
    type(cst, "$1F");
    click("st0");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F FF 1F 0A 0A");
    click("pt");
    EXPECT_EQ(lpt1Contents().size(), 277u);
    click("szt");
    EXPECT_FALSE(child<QWidget>(form1(), "ph")->isEnabled());
}

TEST_F(MainWindow, SettingsRowsEnableOnlyAndSendTheirValue)
{
    auto *dc = child<DropDown>(form1(), "dc");
    click("CheckBox1");
    EXPECT_TRUE(child<QWidget>(form1(), "sdb")->isEnabled());
    EXPECT_TRUE(dc->isEnabled());
    EXPECT_EQ(lpt1Contents(), "");
    const std::pair<const char *, const char *> choices[] = {{"Light", "33"}, {"Normal", "55"}, {"Dark", "77"}};
    for (const auto &c : choices) {
        pick(dc, c.first);
        click("sdb");
        EXPECT_EQ(hex(lpt1Contents()), std::string("1F 1B 1F 60 04 05 06 ") + c.second);
    }
    type(dc, "Medium");
    click("sdb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F 60 04 05 06 77");

    // Clearing only greys the row; ticking again finds the same choice.
    pick(dc, "Light");
    click("CheckBox1");
    EXPECT_FALSE(dc->isEnabled());
    click("CheckBox1");
    EXPECT_EQ(dc->currentText(), "Light");

    click("CheckBox2");
    click("crb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F 58 14 15 16 22");
    click("CheckBox8");
    click("paperb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F F4 01 09 43");
    click("CheckBox4");
    pick(child<DropDown>(form1(), "msc"), "STAR(Line/T)");
    click("msb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F DC 10 11 12 15 16 17 33");
    click("CheckBox5");
    pick(child<DropDown>(form1(), "bc"), QStringLiteral("禁用"));
    click("bb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F 42 65 65 70 06");
    click("CheckBox3");
    pick(child<DropDown>(form1(), "cdc"), QStringLiteral("禁用"));
    click("cdb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F F4 11 22 33 33");
    click("CheckBox6");
    pick(child<DropDown>(form1(), "fontc"), QStringLiteral("禁用小字体(9*17)"));
    click("fontb");
    EXPECT_EQ(hex(lpt1Contents()), "1F 1B 1F E5 09 06 03 77");

    // With the port field emptied the operator is told.
    type(form1()->dk(), "");
    click("fontb");
    EXPECT_EQ(outside.messages, QStringList{form1()->PortPrompt()});
}

TEST_F(MainWindow, SerialSpeedRow)
{
    click("tb"); // disabled: nothing happens
    EXPECT_TRUE(outside.messages.isEmpty());
    click("tcb");
    EXPECT_EQ(form1()->dk()->currentText(), "COM1");
    EXPECT_EQ(form1()->sd()->currentText(), "9600");
    click("tb");
    ASSERT_TRUE(printer.waitFor(5));
    EXPECT_EQ(hex(printer.received()), "1F 1B 1F FD 01");

    auto *tc = child<DropDown>(form1(), "tc");
    printer.clearReceived();
    pick(tc, "5:115200bps");
    click("tb");
    pick(tc, "6:2400bps");
    click("tb");
    type(tc, "9");
    click("tb");
    ASSERT_TRUE(printer.waitFor(15));
    EXPECT_EQ(hex(printer.received()), "1F 1B 1F FD 05 1F 1B 1F FD 06 1F 1B 1F FD 09");

    type(tc, "");
    click("tb");
    EXPECT_EQ(outside.errors, QStringList{"'' is not a valid integer value."});
    type(tc, "x9");
    click("tb");
    EXPECT_EQ(outside.errors.last(), "'x' is not a valid integer value.");

    pick(form1()->dk(), "LPT1");
    type(tc, "1");
    click("tb");
    EXPECT_EQ(outside.messages, QStringList{"You must select Serial Port for Tavo-K1 with serial port!!"});
    EXPECT_EQ(lpt1Contents(), "");

    // Ethernet goes to the network printer.
    TcpPrinter net;
    pick(form1()->dk(), "Ethernet");
    type(form1()->IPE(), QString::fromStdString(net.address()));
    click("tb");
    ASSERT_TRUE(net.waitForConnections(1));
    EXPECT_EQ(hex(net.connections()[0]), "1F 1B 1F FD 01");

    // Clearing the row leaves port and rate as they are.
    click("tcb");
    EXPECT_FALSE(child<QWidget>(form1(), "tb")->isEnabled());
    EXPECT_EQ(form1()->dk()->currentText(), "Ethernet");
}

namespace {

// An object whose event handler fails outside any guarded handler.
class Throwing : public QObject {
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("raised inside the event loop");
        return QObject::event(e);
    }
};

} // namespace

TEST_F(MainWindow, NoExceptionLeavesThroughTheEventLoop)
{
    auto *app = static_cast<TavoApplication *>(QCoreApplication::instance());
    app->setOutside(&outside);
    Throwing target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    app->setOutside(nullptr);
    EXPECT_EQ(outside.errors, QStringList{"raised inside the event loop."});
    EXPECT_EQ(outside.errorTitles, QStringList{applicationTitle()});
    // The window goes on working.
    click("cut");
    EXPECT_EQ(hex(lpt1Contents()), "1D 56 42 18");
}

TEST(DesktopEntry, TheWindowsClassAndTheEntryAgree)
{
    auto *app = static_cast<TavoApplication *>(QCoreApplication::instance());
    const QString name = QCoreApplication::applicationName(), shown = QGuiApplication::applicationDisplayName();
    app->nameForDesktop();
    QFile entry(QStringLiteral(TAVO_SOURCE_DIR "/packaging/%1.desktop").arg(QLatin1String(TavoApplication::kDesktopEntry)));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << entry.fileName().toStdString();
    const QString text = QString::fromUtf8(entry.readAll());
    // X11 takes the windows' class from the application name, Wayland the
    // entry from the desktop file name; the titles stay the program's.
    EXPECT_TRUE(text.contains(QStringLiteral("\nStartupWMClass=%1\n").arg(QCoreApplication::applicationName())));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QLatin1String(TavoApplication::kDesktopEntry));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), applicationTitle());
    QCoreApplication::setApplicationName(name);
    QGuiApplication::setApplicationDisplayName(shown);
}

TEST(ErrorBox, FullStopOnlyAfterALetterOrDigitOrAnythingBeyond)
{
    auto text = [](auto error) { return describeError(std::make_exception_ptr(error)); };
    EXPECT_EQ(text(EInOutError(2)), "File not found.");
    EXPECT_EQ(text(EInOutError(77)), "I/O error 77.");
    EXPECT_EQ(text(EComPort(1, 5)), "Unable to open com port (win error code: 5)");
    EXPECT_EQ(text(EComPort(14, -1)), "Cannot set property while connected.");
    EXPECT_EQ(text(AppError(QStringLiteral("已结束!"))), QStringLiteral("已结束!"));
    EXPECT_EQ(text(AppError(QStringLiteral("位图太大"))), QStringLiteral("位图太大."));
    EXPECT_EQ(text(std::runtime_error("ends.")), "ends.");
    // Each I/O code of the run-time library with its own words.
    const std::pair<int, const char *> io[] = {{3, "Invalid filename."}, {4, "Too many open files."}, {5, "File access denied."},
                                               {100, "Read beyond end of file."}, {101, "Disk full."}, {106, "Invalid numeric input."}};
    for (const auto &[code, words] : io)
        EXPECT_EQ(text(EInOutError(code)), words);
    EXPECT_EQ(text(std::bad_alloc()), "Out of memory.");
    EXPECT_EQ(text(42), "Unknown error.");
}

TEST_F(MainWindow, AdapterInTheTreeIsReachedByItsComNumberAndTheListSaysWhereEachEntryGoes)
{
    // Four UART-less ttyS nodes and a pseudo-terminal standing as the
    // adapter /dev/ttyUSB0: the adapter is COM1.
    outside.deviceNames().clear();
    const PortRoots roots = outside.deviceNames().roots();
    std::system(("mkdir -p '" + roots.dev + "'").c_str());
    for (int i = 0; i < 4; ++i) {
        const std::string node = "ttyS" + std::to_string(i);
        std::ofstream(roots.dev + "/" + node).close();
        std::system(("mkdir -p '" + roots.sys + "/class/tty/" + node + "'").c_str());
        std::ofstream(roots.sys + "/class/tty/" + node + "/type") << "0\n";
    }
    ASSERT_EQ(::symlink(printer.slavePath().c_str(), (roots.dev + "/ttyUSB0").c_str()), 0);

    pick(form1()->dk(), "COM1");
    click("Open");
    ASSERT_TRUE(printer.waitFor(6));
    EXPECT_EQ(hex(printer.received()), "1B 70 00 32 32 0D");
    EXPECT_TRUE(outside.errors.isEmpty());
    const QString tip = QString::fromStdString("COM1 → " + roots.dev + "/ttyUSB0");
    EXPECT_EQ(form1()->dk()->itemData(2, Qt::ToolTipRole).toString(), tip);
    EXPECT_EQ(form1()->dk()->toolTip(), tip);
    EXPECT_EQ(form1()->dk()->itemData(3, Qt::ToolTipRole).toString(), "COM2: no device");

    pick(form1()->dk(), "COM2");
    click("Open");
    EXPECT_EQ(firstLines(outside.errors), QStringList{"Unable to open com port (win error code: 2)"});
    EXPECT_EQ(detailOf(outside.errors.value(0)), "COM2：没有对应的串口设备。");
}

TEST_F(MainWindow, FieldsShowTheirStartAndReturnPressesAFocusedButton)
{
    EXPECT_EQ(form1()->IPE()->cursorPosition(), 0);
    auto *open = child<QAbstractButton>(form1(), "Open");
    open->setFocus();
    QTest::keyClick(open, Qt::Key_Return);
    EXPECT_EQ(lpt1Contents(), kDrawer);
    std::ofstream(lpt1).close();
    QTest::keyClick(open, Qt::Key_Enter);
    EXPECT_EQ(lpt1Contents(), kDrawer);
    EXPECT_TRUE(outside.errors.isEmpty());
}

TEST_F(MainWindow, EveryCaptionFitsItsControl)
{
    const auto controls = form1()->findChildren<QWidget *>();
    for (QAbstractButton *box : form1()->findChildren<QAbstractButton *>()) {
        if (!qobject_cast<QCheckBox *>(box) && !qobject_cast<QRadioButton *>(box))
            continue;
        SCOPED_TRACE(box->objectName().toStdString() + " " + box->text().toStdString());
        EXPECT_LE(captionWidth(box), box->width());
        if (!qobject_cast<QCheckBox *>(box))
            continue;
        // The caption is drawn centred in the box's height.
        const int textHeight = box->fontMetrics().height();
        const QRect caption(box->x(), box->y() + (box->height() - textHeight) / 2, captionWidth(box), textHeight);
        for (QWidget *other : controls) {
            if (other != box && other->parentWidget() == box->parentWidget() && other->isVisible()) {
                EXPECT_FALSE(caption.intersects(other->geometry())) << other->objectName().toStdString();
            }
        }
    }
}

TEST(WindowPlacement, CentredWhereItFitsAndNeverAboveTheScreen)
{
    EXPECT_EQ(placeOnScreen(QRect(0, 0, 1920, 1040), QSize(773, 660)), QPoint(573, 189));
    // A scale factor of 2 on a 1920 x 1080 screen leaves 960 x 520 to place in.
    EXPECT_EQ(placeOnScreen(QRect(0, 0, 960, 520), QSize(773, 660)), QPoint(93, 0));
    EXPECT_EQ(placeOnScreen(QRect(100, 30, 700, 500), QSize(773, 660)), QPoint(100, 30));
}
