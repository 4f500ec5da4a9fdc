// The serial port component against a pseudo-terminal printer.
#include "core/dispatch.h"
#include "tests/support/faultyhost.h"
#include "tests/support/linerate.h"
#include "tests/support/procentries.h"
#include "tests/support/ptyprinter.h"
#include "transport/comhost_posix.h"
#include "transport/comport.h"
#include "transport/devicenames.h"
#include "transport/ioerror.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <functional>

#include <atomic>
#include <chrono>
#include <QTest>

#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <tuple>

using namespace comhost;

namespace {

const char *const kCom3 = "\\\\.\\COM3";

// The settings the main window gives its port.
void configureLikeMainWindow(TComPort &port)
{
    port.SetBaudRate(br19200);
    port.FlowControl().SetControlDTR(dtrEnable);
    port.FlowControl().SetControlRTS(rtsDisable);
    port.FlowControl().SetXonXoffOut(true);
    port.FlowControl().SetXonXoffIn(true);
    port.SetPort("COM3");
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A watch that gives up on its third look, as Cancel in the transfer dialog does.
struct GiveUp : TransferWatch {
    int looks = 0;
    bool waiting(std::uint64_t, TransferHold) override { return ++looks < 3; }
};

// The window thread's queue as the port posts to it: the test runs what was
// posted where the window's event loop would.
class Posted {
public:
    UiPoster poster()
    {
        return [this](std::function<void()> fn) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(std::move(fn));
        };
    }
    // The next job posted, within two seconds; empty if none came.
    std::function<void()> next()
    {
        std::function<void()> job;
        (void)QTest::qWaitFor([&] {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_jobs.empty())
                return false;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            return true;
        }, 2000);
        return job;
    }
    void runAll()
    {
        std::deque<std::function<void()>> now;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            now.swap(m_jobs);
        }
        for (auto &job : now)
            job();
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_jobs;
};

template <class F> EComPort expectComError(F &&f)
{
    try {
        f();
    } catch (const EComPort &e) {
        return e;
    }
    ADD_FAILURE() << "no EComPort raised";
    return EComPort(0, -1);
}

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        names.setRoots(PortRoots{"/nonexistent/dev", "/nonexistent/sys", "", {}});
        names.redirect(kCom3, printer.slavePath());
    }

    PtyPrinter printer;
    DeviceNames names;
    std::unique_ptr<ComHost> host = makeSystemComHost(names);
    FaultyHost faulty{*host};
};

} // namespace

TEST(ComPortValues, BaudRateTextsAndDefaults)
{
    EXPECT_EQ(BaudRateFromText("115200"), br115200);
    EXPECT_EQ(BaudRateFromText("9600"), br9600);
    EXPECT_EQ(BaudRateFromText("custom"), brCustom);
    EXPECT_EQ(BaudRateFromText("CuStOm"), brCustom);
    EXPECT_EQ(BaudRateFromText(""), br9600);
    EXPECT_EQ(BaudRateFromText("12345"), br9600);
    EXPECT_EQ(BaudRateFromText(" 2400"), br9600);
    for (int r = brCustom; r <= br256000; ++r)
        EXPECT_EQ(BaudRateFromText(BaudRateText(static_cast<TBaudRate>(r))), r);
    EXPECT_EQ(BaudRateValue(brCustom, 9600), 9600u);
    EXPECT_EQ(EventsToMask(kAllComEvents), 0x05FFu);
    EXPECT_EQ(MaskToEvents(0x05FF), kAllComEvents);
    EXPECT_EQ(MaskToEvents(0x0004), eventBit(evTxEmpty));
}

TEST(ComPortValues, ErrorTexts)
{
    // What the host's errno becomes: a Win32 system error code for the port,
    // a run-time library I/O code for files and the parallel port.
    const struct {
        int err;
        std::uint32_t win;
        int io;
    } codes[] = {{ENOENT, 2, 2},   {ENXIO, 2, 2},    {ENODEV, 2, 2},     {EACCES, 5, 5},    {EPERM, 5, 5},
                 {EBUSY, 5, 32},   {EAGAIN, 5, 31},  {EBADF, 6, 31},     {ENOMEM, 8, 31},   {EINVAL, 87, 31},
                 {ENOTTY, 1, 31},  {ETIMEDOUT, 1460, 1460}, {EIO, 1117, 1117}, {EPIPE, 31, 232}, {ENOTDIR, 31, 3},
                 {ENAMETOOLONG, 31, 3}, {EISDIR, 31, 3}, {EMFILE, 31, 4}, {ENFILE, 31, 4}, {EROFS, 31, 5},
                 {ENOSPC, 31, 101}, {EFBIG, 31, 101}};
    for (const auto &c : codes) {
        EXPECT_EQ(comhost::posix::winErrorFromErrno(c.err), c.win) << c.err;
        EXPECT_EQ(ioCodeFromErrno(c.err), c.io) << c.err;
    }
    // A pseudo-terminal has no modem lines, so the lines' bits are checked
    // here: MS_CTS_ON 0x10, MS_DSR_ON 0x20, MS_RING_ON 0x40, MS_RLSD_ON 0x80;
    // DTR and RTS are the port's own outputs, not its status.
    const std::pair<int, std::uint32_t> lines[] = {{TIOCM_CTS, 0x10}, {TIOCM_DSR, 0x20}, {TIOCM_RNG, 0x40}, {TIOCM_CD, 0x80},
                                                   {TIOCM_DTR | TIOCM_RTS, 0}, {TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CD, 0xF0}};
    for (const auto &[bits, status] : lines)
        EXPECT_EQ(comhost::posix::modemStatusOf(bits), status) << bits;
    EXPECT_STREQ(EComPort(1, 5).what(), "Unable to open com port (win error code: 5)");
    EXPECT_STREQ(EComPort(14, -1).what(), "Cannot set property while connected");
    EXPECT_STREQ(ComErrorText(23), "Registry error");
    EXPECT_STREQ(ComErrorText(10), "ClearCommError function failed");
}

TEST(ComPortValues, LineRecipeForWhatAPseudoTerminalHides)
{
    // A pseudo-terminal keeps eight data bits, clears PARENB and always
    // receives, so what a real UART is told is read from the recipe: on a
    // line that had every flag set before, and on one that had none.
    const struct {
        const char *what;
        std::uint8_t byteSize, parity, stopBits; // Win32: parity 0-4 = N O E M S; stop 0 = 1, 1 = 1.5, 2 = 2
        std::uint32_t flags;
        tcflag_t cflag; // of CSIZE PARENB PARODD CMSPAR CSTOPB CRTSCTS
        tcflag_t iflag; // of IXON IXOFF IXANY INPCK
    } rows[] = {
        {"8N1", 8, 0, 0, 0x0001, CS8, 0},
        {"7E2, parity checked", 7, 2, 2, 0x0003, CS7 | PARENB | CSTOPB, INPCK},
        {"6O1.5", 6, 1, 1, 0x0001, CS6 | PARENB | PARODD | CSTOPB, 0},
        {"5 mark", 5, 3, 0, 0x0001, CS5 | PARENB | PARODD | CMSPAR, 0},
        {"8 space", 8, 4, 0, 0x0001, CS8 | PARENB | CMSPAR, 0},
        {"XON/XOFF both ways", 8, 0, 0, 0x0301, CS8, IXON | IXOFF},
        {"XON/XOFF out only", 8, 0, 0, 0x0101, CS8, IXON},
        {"CTS flow", 8, 0, 0, 0x0005, CS8 | CRTSCTS, 0},
        {"RTS handshake", 8, 0, 0, 0x2001, CS8 | CRTSCTS, 0},
        {"RTS raised, no handshake", 8, 0, 0, 0x1001, CS8, 0},
    };
    const tcflag_t framing = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
    for (const auto &r : rows) {
        for (const tcflag_t before : {tcflag_t(0), ~tcflag_t(0)}) {
            SCOPED_TRACE(std::string(r.what) + (before ? ", all set before" : ", none set before"));
            termios tio{};
            tio.c_iflag = tio.c_oflag = tio.c_cflag = tio.c_lflag = before;
            DCB dcb{};
            dcb.Flags = r.flags;
            dcb.ByteSize = r.byteSize;
            dcb.Parity = r.parity;
            dcb.StopBits = r.stopBits;
            dcb.XonChar = 0x11;
            dcb.XoffChar = 0x13;
            ASSERT_TRUE(comhost::posix::termiosFromDcb(dcb, B4800, tio));
            EXPECT_EQ(tio.c_cflag & framing, r.cflag);
            EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
            EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY | INPCK), r.iflag);
            EXPECT_EQ(tio.c_iflag & (IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL), 0u);
            EXPECT_EQ(tio.c_oflag & OPOST, 0u);
            EXPECT_EQ(tio.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN), 0u);
            EXPECT_EQ(cfgetospeed(&tio), B4800);
            EXPECT_EQ(cfgetispeed(&tio), B4800);
            EXPECT_EQ(tio.c_cc[VSTART], 0x11);
            EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
            EXPECT_EQ(tio.c_cc[VMIN], 0);
            EXPECT_EQ(tio.c_cc[VTIME], 0);
        }
    }
    // Framing no line can take.
    for (const auto &[bits, parity, stop] : {std::tuple{4, 0, 0}, {9, 0, 0}, {8, 5, 0}, {8, 0, 3}}) {
        DCB dcb{};
        dcb.ByteSize = static_cast<std::uint8_t>(bits);
        dcb.Parity = static_cast<std::uint8_t>(parity);
        dcb.StopBits = static_cast<std::uint8_t>(stop);
        termios tio{};
        EXPECT_FALSE(comhost::posix::termiosFromDcb(dcb, B4800, tio)) << bits << ' ' << parity << ' ' << stop;
    }
}

TEST_F(ComPortTest, DeviceControlBlockOfTheMainWindowsPort)
{
    TComPort port(*host);
    configureLikeMainWindow(port);
    EXPECT_EQ(port.FlowControl().FlowControl(), fcSoftware);
    const DCB dcb = port.BuildDCB();
    EXPECT_EQ(dcb.DCBlength, 28u);
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.Flags, 0x0311u);
    EXPECT_EQ(dcb.XonLim, 256);
    EXPECT_EQ(dcb.XoffLim, 256);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.ErrorChar, 0);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
    EXPECT_EQ(dcb.wReserved, 0);
    EXPECT_EQ(dcb.wReserved1, 0);
    // The layout's own settings are these: COM1, 19200 8N1, DTR on, RTS
    // off, XON/XOFF both ways, every event.
    TComPort layout(*host);
    applyLayoutComSettings(layout);
    const DCB fromLayout = layout.BuildDCB();
    EXPECT_EQ(layout.Port(), "COM1");
    EXPECT_EQ(layout.Events(), kAllComEvents);
    EXPECT_EQ(std::vector<std::uint32_t>({fromLayout.BaudRate, fromLayout.Flags, fromLayout.ByteSize, fromLayout.Parity, fromLayout.StopBits}),
              std::vector<std::uint32_t>({19200, 0x0311, 8, 0, 0}));
    // fRtsControl, bits 12-13: disable, enable, handshake, toggle.
    const std::pair<TRTSFlowControl, std::uint32_t> rts[] = {
        {rtsEnable, 0x1000}, {rtsHandshake, 0x2000}, {rtsToggle, 0x3000}, {rtsDisable, 0}};
    for (const auto &[control, bits] : rts) {
        port.FlowControl().SetControlRTS(control);
        EXPECT_EQ(port.BuildDCB().Flags & 0x3000u, bits) << control;
    }

    // The Win32 DCB's bit fields from bit 0: fBinary, fParity, fOutxCtsFlow,
    // fOutxDsrFlow, fDtrControl (2), fDsrSensitivity, fTXContinueOnXoff,
    // fOutX, fInX, fErrorChar, fNull, fRtsControl (2). Each change is made to
    // the main window's port (0x0311), and the line gets what it asks, not
    // what the row before left on it.
    const struct {
        const char *what;
        std::function<void(TComPort &)> change;
        std::uint32_t flags;
        TFlowControl flow;
        std::uint8_t byteSize, errorChar;
        tcflag_t cflag, iflag; // of CRTSCTS | CSIZE, IXON | IXOFF
    } changes[] = {
        {"hardware", [](TComPort &p) { p.FlowControl().SetFlowControl(fcHardware); }, 0x2015, fcHardware, 8, 0, CRTSCTS | CS8, 0},
        {"none", [](TComPort &p) { p.FlowControl().SetFlowControl(fcNone); }, 0x0011, fcNone, 8, 0, CS8, 0},
        {"software", [](TComPort &p) { p.FlowControl().SetFlowControl(fcSoftware); }, 0x0311, fcSoftware, 8, 0, CS8, IXON | IXOFF},
        {"RTS on, no flow", [](TComPort &p) { p.FlowControl().SetFlowControl(fcNone); p.FlowControl().SetControlRTS(rtsEnable); },
         0x1011, fcCustom, 8, 0, CS8, 0},
        {"DSR flow, sensitivity, TX on XOFF", [](TComPort &p) {
             p.FlowControl().SetOutDSRFlow(true);
             p.FlowControl().SetDSRSensitivity(true);
             p.FlowControl().SetTxContinueOnXoff(true);
             p.FlowControl().SetControlDTR(dtrHandshake);
         }, 0x03E9, fcSoftware, 8, 0, CS8, IXON | IXOFF},
        {"parity replaced by ?", [](TComPort &p) { p.Parity().SetCheck(true); p.Parity().SetReplace(true); p.Parity().SetReplaceChar('?'); },
         0x0713, fcSoftware, 8, 0x3F, CS8, IXON | IXOFF},
        {"parity checked", [](TComPort &p) { p.Parity().SetCheck(true); p.Parity().SetReplaceChar('?'); }, 0x0313, fcSoftware, 8, 0, CS8, IXON | IXOFF},
        {"NUL discarded", [](TComPort &p) { p.SetDiscardNull(true); }, 0x0B11, fcSoftware, 8, 0, CS8, IXON | IXOFF},
        {"five bits", [](TComPort &p) { p.SetDataBits(dbFive); }, 0x0311, fcSoftware, 5, 0, CS5, IXON | IXOFF},
        {"seven bits", [](TComPort &p) { p.SetDataBits(dbSeven); }, 0x0311, fcSoftware, 7, 0, CS7, IXON | IXOFF},
    };
    for (const auto &c : changes) {
        SCOPED_TRACE(c.what);
        TComPort changed(*host);
        configureLikeMainWindow(changed);
        c.change(changed);
        const DCB built = changed.BuildDCB();
        EXPECT_EQ(built.Flags, c.flags);
        EXPECT_EQ(changed.FlowControl().FlowControl(), c.flow);
        EXPECT_EQ(built.ByteSize, c.byteSize);
        EXPECT_EQ(built.ErrorChar, c.errorChar);
        if (c.byteSize != 8)
            continue; // a pseudo-terminal keeps eight data bits, whatever it is told
        changed.OpenDevice();
        termios line{};
        ASSERT_EQ(tcgetattr(printer.slaveFd(), &line), 0);
        EXPECT_EQ(line.c_cflag & (CRTSCTS | CSIZE), c.cflag);
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), c.iflag);
        EXPECT_EQ((line.c_iflag & INPCK) != 0, (c.flags & 0x0002) != 0);
        changed.CloseDevice();
    }

    port.OpenDevice();
    DCB applied{};
    ASSERT_TRUE(host->GetCommState(port.DeviceHandle(), applied));
    EXPECT_EQ(std::memcmp(&applied, &dcb, sizeof dcb), 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B19200);
    EXPECT_EQ(cfgetispeed(&tio), B19200);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(tio.c_cflag & PARENB);
    EXPECT_FALSE(tio.c_cflag & CSTOPB);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_TRUE(tio.c_cflag & CLOCAL);
    EXPECT_TRUE(tio.c_cflag & CREAD);
    EXPECT_TRUE(tio.c_iflag & IXON);
    EXPECT_TRUE(tio.c_iflag & IXOFF);
    EXPECT_EQ(tio.c_cc[VSTART], 0x11);
    EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
    EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(tio.c_oflag & OPOST);
    EXPECT_FALSE(tio.c_iflag & (ICRNL | INLCR | IGNCR));
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);
    port.CloseDevice();

    // A rate assigned while closed is only stored, and the next open applies it.
    port.SetBaudRate(br2400);
    EXPECT_FALSE(port.Connected());
    port.OpenDevice();
    ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), B2400);
    port.CloseDevice();

    // Each parity and number of stop bits reaches the line as its own bits
    // (a pseudo-terminal keeps all but PARENB, which it always clears).
    const struct {
        TParityBits parity;
        TStopBits stop;
        tcflag_t bits;
    } framing[] = {
        {prOdd, sbOneStopBit, PARODD},
        {prEven, sbTwoStopBits, CSTOPB},
        {prMark, sbOneStopBit, PARODD | CMSPAR},
        {prSpace, sbOne5StopBits, CMSPAR | CSTOPB},
    };
    for (const auto &f : framing) {
        SCOPED_TRACE(f.parity);
        port.Parity().SetBits(f.parity);
        port.SetStopBits(f.stop);
        port.OpenDevice();
        ASSERT_EQ(tcgetattr(printer.slaveFd(), &tio), 0);
        EXPECT_EQ(tio.c_cflag & (PARODD | CMSPAR | CSTOPB), f.bits);
        port.CloseDevice();
    }
    port.Parity().SetBits(prNone);
    port.SetStopBits(sbOneStopBit);

    // Every rate of the list reaches the line, those without a B constant
    // too, and custom ones; the bytes after it are exact.
    const std::pair<TBaudRate, std::uint32_t> rates[] = {
        {br110, 110},     {br14400, 14400},    {br56000, 56000},    {br128000, 128000}, {br256000, 256000},
        {br115200, 115200}, {br57600, 57600}, {brCustom, 230400}, {brCustom, 460800}, {brCustom, 921600},
        {br300, 300},     {br600, 600},        {br1200, 1200},      {br4800, 4800},     {br19200, 19200},
        {br38400, 38400}};
    for (const auto &[rate, bits] : rates) {
        SCOPED_TRACE(bits);
        if (rate == brCustom)
            port.SetCustomBaudRate(bits);
        port.SetBaudRate(rate);
        port.OpenDevice();
        EXPECT_EQ(lineRate(printer.slaveFd()), bits);
        printer.clearReceived();
        EXPECT_EQ(port.WriteText(std::string("\x1B\x40\x00\xFF", 4)), 4);
        ASSERT_TRUE(printer.waitFor(4));
        EXPECT_EQ(printer.received(), std::string("\x1B\x40\x00\xFF", 4));
        port.CloseDevice();
    }
}

// The three input lines are told once as the port opens and fall as it
// closes; the handle is closed once, and a second close is refused.
TEST_F(ComPortTest, LineSignalsAreToldAtOpenAndFallAtClose)
{
    TComPort port(*host);
    configureLikeMainWindow(port);
    std::vector<std::string> told;
    auto tell = [&told](const char *line) { return [&told, line](bool on) { told.push_back(std::string(line) + (on ? " on" : " off")); }; };
    port.OnCTSChange = tell("CTS");
    port.OnDSRChange = tell("DSR");
    port.OnRLSDChange = tell("RLSD");
    const std::vector<std::string> allOff{"CTS off", "DSR off", "RLSD off"};
    port.OpenDevice();
    EXPECT_EQ(told, allOff); // no modem lines on a pseudo-terminal
    told.clear();
    port.CloseDevice();
    EXPECT_EQ(told, allOff);

    // So the host is given a port that has them, as a UART's driver answers
    // them: the lines the printer raises are told at the open, and DTR and
    // RTS, both raised by Linux's open, are left where the settings say.
    comhost::posix::PosixComHost lined(names);
    int lines = 0;
    lined.answerModemLines([&lines](int, unsigned long request, int *bits) {
        if (request == TIOCMGET)
            *bits = lines;
        else
            lines = request == TIOCMBIS ? lines | *bits : lines & ~*bits;
        return 0;
    });
    const struct {
        TDTRFlowControl dtr;
        TRTSFlowControl rts;
        int raised;
    } outputs[] = {{dtrEnable, rtsDisable, TIOCM_DTR}, {dtrDisable, rtsEnable, TIOCM_RTS}, {dtrDisable, rtsDisable, 0}};
    for (const auto &o : outputs) {
        TComPort withLines(lined);
        configureLikeMainWindow(withLines);
        withLines.FlowControl().SetControlDTR(o.dtr);
        withLines.FlowControl().SetControlRTS(o.rts);
        withLines.OnCTSChange = tell("CTS");
        withLines.OnDSRChange = tell("DSR");
        withLines.OnRLSDChange = tell("RLSD");
        lines = TIOCM_CTS | TIOCM_CD | TIOCM_DTR | TIOCM_RTS;
        told.clear();
        withLines.OpenDevice();
        EXPECT_EQ(lines & (TIOCM_DTR | TIOCM_RTS), o.raised) << o.dtr << o.rts;
        EXPECT_EQ(told, (std::vector<std::string>{"CTS on", "DSR off", "RLSD on"}));
        withLines.CloseDevice();
    }

    const comhost::Handle h = host->CreateFileA("\\\\.\\COM3");
    ASSERT_NE(h, comhost::kInvalidHandle);
    // A wait for events whose mask is changed under it ends at once, with
    // success and no event, as SetCommMask ends it on Windows.
    comhost::OVERLAPPED ov{};
    ov.hEvent = host->CreateEventA(true, false);
    std::uint32_t mask = 0xFFFF, n = 7;
    ASSERT_TRUE(host->SetCommMask(h, comhost::kEvRxChar));
    EXPECT_FALSE(host->WaitCommEvent(h, &mask, &ov));
    EXPECT_EQ(host->GetLastError(), static_cast<std::uint32_t>(comhost::kErrorIoPending));
    // Waiting costs no processor time: while nothing comes, a wait for an
    // event and for the line sleeps until its time is up.
    const comhost::Handle quiet = host->CreateEventA(true, false);
    const comhost::Handle both[] = {quiet, ov.hEvent};
    const auto cpuMs = [] {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1000 + t.tv_nsec / 1000000;
    };
    const long before = cpuMs();
    EXPECT_EQ(host->WaitForMultipleObjects(2, both, false, 300), comhost::kWaitTimeout);
    EXPECT_LT(cpuMs() - before, 100);
    EXPECT_EQ(host->WaitForMultipleObjects(0, both, false, 0), comhost::kWaitFailed); // nothing to wait for
    EXPECT_TRUE(host->CloseHandle(quiet));
    ASSERT_TRUE(host->SetCommMask(h, 0));
    EXPECT_TRUE(host->GetOverlappedResult(h, &ov, &n, true));
    EXPECT_EQ(mask, 0u);
    // TX empty is told once a write: a write done before the wait is told
    // at the wait, and the next wait waits for the next write.
    ASSERT_TRUE(host->SetCommMask(h, comhost::kEvTxEmpty));
    comhost::OVERLAPPED wov{};
    wov.hEvent = host->CreateEventA(true, false);
    const auto writeOneByte = [&] {
        return host->WriteFile(h, "x", 1, &wov) || host->GetOverlappedResult(h, &wov, &n, true);
    };
    ASSERT_TRUE(writeOneByte());
    if (!host->WaitCommEvent(h, &mask, &ov)) {
        ASSERT_TRUE(host->GetOverlappedResult(h, &ov, &n, true));
    }
    EXPECT_EQ(mask, comhost::kEvTxEmpty);
    EXPECT_FALSE(host->WaitCommEvent(h, &mask, &ov));
    EXPECT_EQ(host->GetLastError(), static_cast<std::uint32_t>(comhost::kErrorIoPending));
    // A write that ends under a wait is told there, and only there.
    ASSERT_TRUE(writeOneByte());
    EXPECT_TRUE(host->GetOverlappedResult(h, &ov, &n, true));
    EXPECT_EQ(mask, comhost::kEvTxEmpty);
    EXPECT_FALSE(host->WaitCommEvent(h, &mask, &ov));
    EXPECT_EQ(host->GetLastError(), static_cast<std::uint32_t>(comhost::kErrorIoPending));
    // A wait still under way when its port is closed ends aborted, as on
    // Windows: no event, nothing transferred.
    EXPECT_TRUE(host->CloseHandle(h));
    EXPECT_FALSE(host->GetOverlappedResult(h, &ov, &n, true));
    EXPECT_EQ(host->GetLastError(), 995u);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(mask, 0u);
    EXPECT_TRUE(host->CloseHandle(wov.hEvent));
    EXPECT_TRUE(host->CloseHandle(ov.hEvent));
    // Closed events' descriptors serve the next events: a second pair opens
    // none.
    const std::unique_ptr<ComHost> fresh = makeSystemComHost(names);
    for (const int opened : {2, 0}) {
        const int descriptors = openDescriptors();
        const comhost::Handle pair[] = {fresh->CreateEventA(true, false), fresh->CreateEventA(true, false)};
        EXPECT_EQ(openDescriptors(), descriptors + opened);
        for (const comhost::Handle e : pair)
            fresh->CloseHandle(e);
    }
    // Every call on the handle once it is closed fails with
    // ERROR_INVALID_HANDLE, as on Windows.
    DCB dcb{};
    const COMMTIMEOUTS timeouts{};
    COMSTAT stat{};
    char byte = 0;
    const std::pair<const char *, std::function<bool()>> calls[] = {
        {"CloseHandle", [&] { return host->CloseHandle(h); }},
        {"SetupComm", [&] { return host->SetupComm(h, 4096, 4096); }},
        {"SetCommState", [&] { return host->SetCommState(h, dcb); }},
        {"GetCommState", [&] { return host->GetCommState(h, dcb); }},
        {"SetCommTimeouts", [&] { return host->SetCommTimeouts(h, timeouts); }},
        {"WriteFile", [&] { return host->WriteFile(h, "x", 1, &ov); }},
        {"ReadFile", [&] { return host->ReadFile(h, &byte, 1, &ov); }},
        {"SetCommMask", [&] { return host->SetCommMask(h, 0); }},
        {"WaitCommEvent", [&] { return host->WaitCommEvent(h, &mask, &ov); }},
        {"PurgeComm", [&] { return host->PurgeComm(h, comhost::kPurgeTxClear); }},
        {"ClearCommError", [&] { return host->ClearCommError(h, &n, &stat); }},
        {"GetCommModemStatus", [&] { return host->GetCommModemStatus(h, &n); }},
    };
    for (const auto &[name, call] : calls) {
        host->SetLastError(0);
        EXPECT_FALSE(call()) << name;
        EXPECT_EQ(host->GetLastError(), 6u) << name;
    }
}

// Each event the device reports reaches its own handler, in one order, and a
// line's event carries that line's state as the modem status tells it
// (EV_CTS 0x08 with MS_CTS_ON 0x10, EV_DSR 0x10 with MS_DSR_ON 0x20, EV_RLSD
// 0x20 with MS_RLSD_ON 0x80). A pseudo-terminal has none of these: the host
// in between reports them.
TEST_F(ComPortTest, EachEventReachesItsHandlerWithItsLinesState)
{
    Posted posted;
    TComPort port(faulty, posted.poster());
    configureLikeMainWindow(port);
    std::vector<std::string> told;
    auto event = [&told](const char *name) { return [&told, name] { told.push_back(name); }; };
    auto line = [&told](const char *name) { return [&told, name](bool on) { told.push_back(std::string(name) + (on ? " on" : " off")); }; };
    port.OnBreak = event("break");
    port.OnRing = event("ring");
    port.OnRxFlag = event("rxflag");
    port.OnRx80Full = event("rx80full");
    port.OnTxEmpty = event("txempty");
    port.OnCTSChange = line("CTS");
    port.OnDSRChange = line("DSR");
    port.OnRLSDChange = line("RLSD");
    const struct {
        std::uint32_t mask, status;
        std::vector<std::string> told;
    } rows[] = {{0x0040, 0, {"break"}},       {0x0100, 0, {"ring"}},          {0x0002, 0, {"rxflag"}},
                {0x0400, 0, {"rx80full"}},    {0x0004, 0, {"txempty"}},       {0x0008, 0x10, {"CTS on"}},
                {0x0008, 0xE0, {"CTS off"}},  {0x0010, 0x20, {"DSR on"}},     {0x0010, 0xD0, {"DSR off"}},
                {0x0020, 0x80, {"RLSD on"}},  {0x0020, 0x70, {"RLSD off"}},
                {0x057C, 0xB0, {"txempty", "break", "ring", "CTS on", "DSR on", "RLSD on", "rx80full"}}};
    for (const auto &r : rows)
        faulty.reportEvents({r.mask});
    faulty.modemStatus = 0x90; // CTS and RLSD on as the port opens
    port.OpenDevice();
    EXPECT_EQ(told, (std::vector<std::string>{"CTS on", "DSR off", "RLSD on"}));
    told.clear();
    for (const auto &r : rows) {
        const std::function<void()> job = posted.next();
        ASSERT_TRUE(job) << r.mask;
        faulty.modemStatus = r.status;
        job(); // what the window's event loop would do
        EXPECT_EQ(told, r.told) << r.mask;
        told.clear();
    }
    port.CloseDevice();
    posted.runAll();
}

TEST_F(ComPortTest, WriteDeliversEveryByteUnchanged)
{
    TComPort port(*host);
    configureLikeMainWindow(port);
    std::string all;
    for (int round = 0; round < 80; ++round)
        for (int b = 0; b < 256; ++b)
            if (b != 0x11 && b != 0x13) // the flow-control characters belong to the line
                all.push_back(static_cast<char>(b));
    port.OpenDevice();
    EXPECT_EQ(port.WriteText(all), static_cast<int>(all.size()));
    EXPECT_EQ(port.WriteText(std::string()), 0);
    // Clearing the output after a completed write drops nothing: its bytes
    // may still wait for a printer that has not read them yet.
    printer.setReading(false);
    EXPECT_EQ(port.WriteText(std::string(100, 'N')), 100);
    ASSERT_TRUE(host->PurgeComm(port.DeviceHandle(), kPurgeTxClear));
    printer.setReading(true);
    port.CloseDevice();
    all += std::string(100, 'N');
    ASSERT_TRUE(printer.waitFor(all.size()));
    ASSERT_TRUE(printer.waitQuiet());
    EXPECT_EQ(printer.received(), all); // nothing lost at close, LF not turned into CR LF
}

TEST_F(ComPortTest, ReadReturnsAtOnceWithWhatHasArrived)
{
    printer.setResponder([](const std::string &chunk) { return chunk == std::string("\x10\x04\x01", 3) ? "\x12" : ""; });
    TComPort port(*host);
    configureLikeMainWindow(port);
    port.OpenDevice();
    std::string reply = "old";
    EXPECT_EQ(port.ReadText(reply, 1), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(port.ReadText(reply, 0), 0);
    port.WriteText(std::string("\x10\x04\x01", 3));
    ASSERT_TRUE(printer.waitFor(3));
    std::string got;
    for (int i = 0; i < 100 && got.empty(); ++i) {
        sleepMs(5);
        port.ReadText(got, 1);
    }
    EXPECT_EQ(got, "\x12");
    EXPECT_EQ(port.ReadText(got, 1), 0);
    port.CloseDevice();
}

TEST_F(ComPortTest, PrinterHoldingXoffMakesTheWriteShortWithoutError)
{
    TComPort port(*host);
    configureLikeMainWindow(port);
    port.Timeouts().SetWriteTotalMultiplier(10);
    port.Timeouts().SetWriteTotalConstant(200);
    port.OpenDevice();
    printer.sendXoff();
    const std::string command = "\x1B@ABCDEFGH";
    const int written = port.WriteText(command);
    EXPECT_LT(written, static_cast<int>(command.size()));
    port.CloseDevice();
    printer.sendXon();
    ASSERT_TRUE(printer.waitQuiet(100));
    EXPECT_EQ(printer.received().size(), static_cast<std::size_t>(written)); // the rest is not sent
}

// What a pseudo-terminal holds beyond what its reader has: the reader's own
// line buffer and the kernel's buffer for the line (64 KB at most).
constexpr std::size_t kPtyBufferBytes = 64 * 1024;

// The write time-out counts from the last byte the device took: a slow line
// that keeps moving outlasts it many times over, a line that takes nothing
// ends the write with the count that went out, and nothing else follows.
TEST_F(ComPortTest, TheWriteTimeOutRunsFromTheLastByteTaken)
{
    TComPort port(*host);
    configureLikeMainWindow(port);
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(300);
    port.OpenDevice();
    printer.setPace(100 * 1000); // about 1.5 s for the whole, five time-outs
    const std::string slow(150 * 1000, 'S');
    EXPECT_EQ(port.WriteText(slow), static_cast<int>(slow.size()));
    ASSERT_TRUE(printer.waitFor(slow.size(), 10000));
    ASSERT_TRUE(printer.waitQuiet());
    printer.clearReceived();
    printer.setPace(0);

    printer.setReading(false);
    const std::string stalled(300 * 1000, 'T');
    const int written = port.WriteText(stalled);
    EXPECT_GT(written, 0);
    EXPECT_LT(written, static_cast<int>(stalled.size()));
    port.CloseDevice();
    printer.setReading(true);
    ASSERT_TRUE(printer.waitQuiet(200, 10000));
    // The rest of a write that timed out is flushed at the close. A
    // pseudo-terminal reports no output queue (TIOCOUTQ reads 0), so what its
    // buffer held was counted as taken: the count is high by at most that
    // buffer, where a UART's queue would have been subtracted.
    const std::size_t got = printer.received().size();
    EXPECT_LE(got, static_cast<std::size_t>(written));
    EXPECT_LE(static_cast<std::size_t>(written) - got, kPtyBufferBytes);
    EXPECT_TRUE(printer.received() == stalled.substr(0, got));
}

// The count a write returns leaves out what the driver still holds. A
// pseudo-terminal reports no queue (TIOCOUTQ reads 0), so the host is told
// one here, as a UART's driver would report it.
TEST_F(ComPortTest, ACountLeavesOutWhatTheDriverStillHolds)
{
    comhost::posix::PosixComHost queued(names);
    // Once it drains, the driver holds 1,500 bytes (an earlier command's
    // too) for 20 ms, then 1,000 less a byte a millisecond.
    std::atomic<int> held{100};
    std::atomic<bool> draining{false};
    std::chrono::steady_clock::time_point drainFrom;
    queued.answerOutputQueue([&](int) {
        if (!draining)
            return held.load();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - drainFrom).count();
        return ms < 20 ? 1500 : std::max(0, 1020 - static_cast<int>(ms));
    });
    TComPort port(queued);
    configureLikeMainWindow(port);
    port.Timeouts().SetWriteTotalMultiplier(0);
    port.Timeouts().SetWriteTotalConstant(200);
    port.OpenDevice();
    // The last 100 bytes never leave: the write ends at its time-out, and
    // they are not counted.
    EXPECT_EQ(port.WriteText(std::string(1000, 'Q')), 900);
    // After the last progress the time-out is for the 100 bytes still to
    // go (1 ms each, and 200), not for the whole 10 s command.
    port.Timeouts().SetWriteTotalMultiplier(1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.WriteText(std::string(10000, 'q')), 9900);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(300));
    EXPECT_LT(took, std::chrono::seconds(5));
    // Cancelled while the driver holds them: the write ends at once, not at
    // its 10 s time-out, and still leaves them out.
    port.Timeouts().SetWriteTotalConstant(10000);
    GiveUp cancel;
    const auto cancelled = std::chrono::steady_clock::now();
    EXPECT_EQ(port.WriteText(std::string(1000, 'c'), &cancel), 900);
    EXPECT_EQ(cancel.looks, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(2));
    port.Timeouts().SetWriteTotalConstant(200);
    held = 0;
    EXPECT_EQ(port.WriteText(std::string(1000, 'R')), 1000);
    // With more held than this write gave, its count stays 0 until the
    // queue drains below it; from then on each byte that leaves is progress
    // that restarts the 200 ms time-out, over the second the drain takes.
    port.Timeouts().SetWriteTotalMultiplier(0);
    drainFrom = std::chrono::steady_clock::now();
    draining = true;
    EXPECT_EQ(port.WriteText(std::string(1000, 'S')), 1000);
    port.CloseDevice();
}

TEST_F(ComPortTest, PortHeldElsewhereIsAccessDenied)
{
    TComPort first(*host), second(*host);
    configureLikeMainWindow(first);
    configureLikeMainWindow(second);
    first.OpenDevice();
    EComPort e = expectComError([&] { second.OpenDevice(); });
    EXPECT_EQ(e.Code, 1);
    EXPECT_EQ(e.WinCode, 5);
    EXPECT_STREQ(e.what(), "Unable to open com port (win error code: 5)");
    EXPECT_FALSE(second.Connected());
    first.CloseDevice();
    second.OpenDevice(); // free again once closed
    second.CloseDevice();
}

TEST_F(ComPortTest, MissingDeviceLeavesThePortClosed)
{
    names.redirect("\\\\.\\COM4", "/nonexistent/tty-for-test");
    TComPort port(*host);
    port.SetPort("COM4");
    EComPort e = expectComError([&] { port.OpenDevice(); });
    EXPECT_EQ(e.Code, 1);
    EXPECT_EQ(e.WinCode, 2);
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortTest, LineSettingsRefusedCloseThePortAndReleaseTheHandle)
{
    TComPort port(faulty);
    configureLikeMainWindow(port);
    faulty.failNext("SetCommState", kErrorInvalidParameter);
    EComPort e = expectComError([&] { port.OpenDevice(); });
    EXPECT_EQ(e.Code, 7);
    EXPECT_EQ(e.WinCode, 87);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.DeviceHandle(), kInvalidHandle);
    EXPECT_EQ(faulty.createdHandles(), faulty.closedHandles());
    faulty.heal();
    port.OpenDevice(); // the device was really released
    port.CloseDevice();
}

TEST_F(ComPortTest, TheTimeOutsAndQueueSizesAreHandedDownAsTheyAreSet)
{
    TComPort port(faulty);
    configureLikeMainWindow(port);
    port.Buffer().SetInputSize(2000);
    port.Buffer().SetOutputSize(6);
    port.Timeouts().SetReadInterval(-1);
    port.Timeouts().SetReadTotalMultiplier(3);
    port.Timeouts().SetReadTotalConstant(40);
    port.Timeouts().SetWriteTotalMultiplier(7);
    port.Timeouts().SetWriteTotalConstant(1234);
    port.OpenDevice();
    const comhost::COMMTIMEOUTS &t = faulty.handedTimeouts;
    EXPECT_EQ(t.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 3u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 40u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 7u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, 1234u);
    EXPECT_EQ(faulty.handedQueues, std::make_pair(2000u, 6u)); // input, output
    port.Timeouts().SetWriteTotalConstant(99); // while open: handed down at once
    EXPECT_EQ(faulty.handedTimeouts.WriteTotalTimeoutConstant, 99u);
    port.CloseDevice();
}

TEST_F(ComPortTest, EveryHostFailureRaisesItsCode)
{
    struct Case {
        const char *call;
        int code;
    } cases[] = {{"CreateFileA", 1}, {"SetupComm", 9}, {"SetCommTimeouts", 8}, {"WriteFile", 2},
                 {"ReadFile", 3},    {"ClearCommError", 10}, {"PurgeComm", 5}, {"GetCommModemStatus", 11}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.call);
        TComPort port(faulty);
        configureLikeMainWindow(port);
        faulty.failNext(c.call, kErrorGenFailure);
        EComPort e = expectComError([&] {
            port.OpenDevice();
            port.WriteText("x");
            std::string s;
            port.ReadText(s, 1);
            port.CloseDevice();
        });
        EXPECT_EQ(e.Code, c.code);
        EXPECT_EQ(e.WinCode, 31);
        faulty.heal();
        port.CloseDevice(); // whatever stayed open closes cleanly
        EXPECT_FALSE(port.Connected());
    }
    EXPECT_EQ(faulty.createdHandles(), faulty.closedHandles());
}

TEST_F(ComPortTest, OpenAndCloseAreIdempotentAndPortChangesReopen)
{
    names.redirect("\\\\.\\COM5", printer.slavePath());
    TComPort port(*host);
    configureLikeMainWindow(port);
    port.CloseDevice(); // closed: nothing happens
    port.OpenDevice();
    const Handle h = port.DeviceHandle();
    port.OpenDevice(); // open: nothing happens
    EXPECT_EQ(port.DeviceHandle(), h);
    port.SetPort("COM3");
    EXPECT_EQ(port.DeviceHandle(), h);
    port.SetPort("COM5"); // another name while open: closed and opened again
    EXPECT_TRUE(port.Connected());
    EXPECT_NE(port.DeviceHandle(), h);
    EXPECT_EQ(port.Port(), "COM5");
    EComPort e = expectComError([&] { port.SetSyncMethod(smNone); });
    EXPECT_EQ(e.Code, 14);
    EXPECT_EQ(e.WinCode, -1);
    port.CloseDevice();
    port.CloseDevice();
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortTest, BufferSizesAreEvenAndSetTheFlowLimits)
{
    TComPort port(*host);
    port.Buffer().SetInputSize(1025);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    port.Buffer().SetInputSize(2001);
    EXPECT_EQ(port.Buffer().InputSize(), 2000);
    port.Buffer().SetOutputSize(7);
    EXPECT_EQ(port.Buffer().OutputSize(), 6);
    EXPECT_EQ(port.BuildDCB().XonLim, 500);
    EXPECT_EQ(port.BuildDCB().XoffLim, 500);
}

TEST_F(ComPortTest, CloseRunsTheDispatchesTheEventThreadQueued)
{
    // No event loop here: the dispatch the event thread hands over waits
    // until CloseDevice runs it, on this thread.
    TComPort port(*host);
    configureLikeMainWindow(port);
    int rxCount = 0;
    std::thread::id ranOn;
    port.OnRxChar = [&](int count) {
        rxCount = count;
        ranOn = std::this_thread::get_id();
    };
    port.OpenDevice();
    EXPECT_TRUE(port.ThreadCreated());
    printer.send("hello");
    sleepMs(100); // the pause is the point: a tenth of a second in which nothing may run
    EXPECT_EQ(rxCount, 0); // nothing runs behind the caller's back
    port.CloseDevice();
    EXPECT_EQ(rxCount, 5);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(port.ThreadCreated());
    // A port that listens for no event starts no thread.
    port.SetEvents(0);
    port.OpenDevice();
    EXPECT_FALSE(port.ThreadCreated());
    port.CloseDevice();
}

TEST_F(ComPortTest, PostedDispatchRunsOnTheWindowThreadWhileTheEventThreadWaits)
{
    Posted posted;
    TComPort port(*host, posted.poster());
    configureLikeMainWindow(port);
    std::vector<int> counts;
    port.OnRxChar = [&](int count) { counts.push_back(count); };
    port.OpenDevice();
    printer.send("abc");
    const std::function<void()> job = posted.next();
    ASSERT_TRUE(job);
    job(); // what the event loop would do
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0], 3);
    std::string got;
    EXPECT_EQ(port.ReadText(got, 10), 3);
    EXPECT_EQ(got, "abc");
    port.CloseDevice();
    job(); // late runs of already handled dispatches do nothing
    posted.runAll();
    EXPECT_EQ(counts.size(), 1u);
}

TEST_F(ComPortTest, HangUpInTheMiddleOfALongWriteFails)
{
    TComPort port(*host);
    configureLikeMainWindow(port);
    port.OpenDevice();
    printer.setReading(false);
    std::thread cable([&] {
        // The hang-up must come while the write waits for the line, which
        // nothing on the program's side shows; 300 ms is well inside it.
        sleepMs(300);
        printer.hangUp();
    });
    const std::string big(200000, 'A');
    EComPort e = expectComError([&] { port.WriteText(big); });
    cable.join();
    EXPECT_EQ(e.Code, 2);
    port.CloseDevice();
    EXPECT_FALSE(port.Connected());
}

TEST_F(ComPortTest, NoThreadOutlivesThePort)
{
    auto threads = [] { return countEntries("/proc/self/task"); };
    // A write the pseudo-terminal does not take at once (now and then on a
    // busy machine) starts the host's I/O thread, which lives as long as the
    // host: the port's own threads are counted without it, and a host of the
    // test's own is gone at the end with every thread of both.
    auto portThreads = [] { return threadsBut(comhost::kIoThreadName); };
    const int before = threads();
    {
        const std::unique_ptr<ComHost> ownHost = makeSystemComHost(names);
        TComPort port(*ownHost);
        configureLikeMainWindow(port);
        for (int i = 0; i < 3; ++i) {
            port.OpenDevice();
            EXPECT_EQ(portThreads(), before + 1); // the event thread
            port.WriteText("x");
            port.CloseDevice();
        }
        port.OpenDevice(); // destroyed while open
    }
    // A joined thread leaves the process's task list a moment after the join.
    (void)QTest::qWaitFor([&] { return threads() == before; }, 1000);
    EXPECT_EQ(threads(), before);
}

TEST_F(ComPortTest, EventThreadWhoseWaitCannotStartDoesNotSpin)
{
    TComPort port(faulty);
    configureLikeMainWindow(port);
    faulty.failNext("WaitCommEvent", kErrorInvalidHandle);
    port.OpenDevice();
    sleepMs(200);
    // One failed start ends the loop; a spinning one would call it thousands
    // of times in this while.
    EXPECT_LE(faulty.waitCommEventCalls.load(), 2);
    port.WriteText("x");
    port.CloseDevice();
    EXPECT_FALSE(port.Connected());
}

namespace {

// A device that ends a wait some time after the event mask was cleared, as
// Wine's does: the block and mask of that wait stay the device's until then.
class LateWaitEndHost : public FaultyHost {
public:
    using FaultyHost::FaultyHost;
    ~LateWaitEndHost() override { waitForTheEnd(); }
    bool SetCommMask(Handle h, std::uint32_t m) override
    {
        if (m != 0 || m_ender.joinable())
            return FaultyHost::SetCommMask(h, m);
        m_ender = std::thread([this, h] {
            sleepMs(30); // the lateness is the point
            closedBeforeTheWaitEnded = closed.load();
            FaultyHost::SetCommMask(h, 0);
        });
        return true;
    }
    void waitForTheEnd()
    {
        if (m_ender.joinable())
            m_ender.join();
    }
    std::atomic<bool> closed{false}, closedBeforeTheWaitEnded{false};

private:
    std::thread m_ender;
};

} // namespace

TEST_F(ComPortTest, CloseWaitsUntilTheDeviceHasEndedThePendingWait)
{
    LateWaitEndHost late(*host);
    {
        TComPort port(late);
        configureLikeMainWindow(port);
        port.OpenDevice();
        for (int i = 0; i < 1000 && late.waitCommEventCalls == 0; ++i)
            sleepMs(1); // until the event thread waits
        ASSERT_GT(late.waitCommEventCalls.load(), 0);
        port.CloseDevice();
        late.closed = true;
    }
    late.waitForTheEnd();
    EXPECT_FALSE(late.closedBeforeTheWaitEnded);
}

TEST_F(ComPortTest, CloseFromInsideAnEventHandlerReturnsAndTheNextOpenWorks)
{
    Posted posted;
    TComPort port(*host, posted.poster());
    configureLikeMainWindow(port);
    const int before = threadsBut(comhost::kIoThreadName);
    int calls = 0;
    port.OnRxChar = [&](int) {
        ++calls;
        port.CloseDevice(); // the event thread is waiting for this very handler
    };
    // Three rounds, so that the earlier loops have long ended by a later open.
    for (int round = 1; round <= 3; ++round) {
        port.OpenDevice();
        printer.send("z");
        // Run what is posted, as the window thread's loop would, until the
        // handler has run.
        (void)QTest::qWaitFor([&] {
            posted.runAll();
            return calls == round;
        }, 2000);
        ASSERT_EQ(calls, round);
        EXPECT_FALSE(port.Connected());
        EXPECT_FALSE(port.ThreadCreated());
    }
    // The port opens again and carries bytes. An open takes away each old
    // loop that has ended: one event thread is left, not four.
    port.OnRxChar = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        port.OpenDevice();
        if (threadsBut(comhost::kIoThreadName) == before + 1)
            return true;
        port.CloseDevice();
        return false;
    }, 2000));
    printer.clearReceived();
    EXPECT_EQ(port.WriteText("ok"), 2);
    ASSERT_TRUE(printer.waitFor(2));
    port.CloseDevice();
}

TEST_F(ComPortTest, CancelledWriteIsAbortedAtOnceWithItsCount)
{
    // Given up on the third look: the pending write ends, its queued rest is
    // purged, and the count that left comes back.
    GiveUp watch;
    TComPort port(faulty);
    configureLikeMainWindow(port);
    port.OpenDevice();
    faulty.purges.clear();
    printer.setPace(2000);
    const std::string big(60000, 'B');
    const auto start = std::chrono::steady_clock::now();
    const int n = port.WriteText(big, &watch);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(watch.looks, 3);
    EXPECT_GT(n, 0);
    EXPECT_LT(n, 60000);
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(faulty.purges, std::vector<std::uint32_t>{kPurgeTxAbort | kPurgeTxClear});
    port.CloseDevice();
    // The port is free again at once.
    port.OpenDevice();
    port.CloseDevice();
}

TEST_F(ComPortTest, XoffHeldWriteIsReportedAsHeldToItsWatch)
{
    struct Recorder : TransferWatch {
        std::vector<TransferHold> holds;
        std::uint64_t most = 0;
        bool waiting(std::uint64_t done, TransferHold h) override
        {
            holds.push_back(h);
            most = std::max(most, done);
            return holds.size() < 40; // about two seconds
        }
    } watch;
    TComPort port(*host);
    configureLikeMainWindow(port);
    port.OpenDevice();
    printer.sendXoff();
    EXPECT_EQ(port.WriteText(std::string(1036, 'C'), &watch), 0);
    ASSERT_FALSE(watch.holds.empty());
    EXPECT_EQ(watch.holds.front(), TransferHold::None);
    EXPECT_EQ(watch.holds.back(), TransferHold::SerialHeld);
    EXPECT_EQ(watch.most, 0u); // not a byte went, and none was shown as gone
    port.CloseDevice();
    printer.sendXon();
}
