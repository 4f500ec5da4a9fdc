#include "core/dispatch.h"

#include "core/errors.h"
#include "core/outside.h"
#include "core/transfer.h"
#include "transport/devicecheck.h"
#include "transport/ioerror.h"
#include "transport/parallelport.h"
#include "transport/tavonetio/address.h"
#include "transport/tavonetio/tavonetio.h"

#include <QCoreApplication>

#include <chrono>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(transfer)
};

QString path(const std::string &p) { return QString::fromLocal8Bit(p.c_str()); }

} // namespace

QString deviceProblemText(const DeviceProblem &p, bool serial)
{
    const QString where = path(p.path);
    switch (p.kind) {
    case DeviceProblem::Missing: return Text::tr("%1：没有这个设备。").arg(where);
    case DeviceProblem::PermissionDenied: {
        const QString owner = QString::fromStdString(p.owner), group = QString::fromStdString(p.ownerGroup);
        const QString mode = QStringLiteral("%1").arg(p.mode, 4, 8, QLatin1Char('0'));
        if (!p.group.empty())
            return Text::tr("%1：没有权限打开（属主 %2，组 %3，权限 %4）。加入该组：sudo usermod -aG %3 $USER，然后重新登录。")
                .arg(where, owner, group, mode);
        if (p.owner.empty())
            return Text::tr("%1：没有权限打开它所在的文件夹。").arg(where);
        return Text::tr("%1：没有权限打开（属主 %2，组 %3，权限 %4）：只有 %2 能读写它，加入哪个组都没有用。"
                        "请管理员改它的权限（例如用 udev 规则），或换一个有权限的用户。")
            .arg(where, owner, group, mode);
    }
    case DeviceProblem::NoReader: return Text::tr("%1：没有程序在读取它。").arg(where);
    case DeviceProblem::HeldByOther:
        if (p.pid > 0)
            return Text::tr("%1：正被另一个程序占用：%2（PID %3）。")
                .arg(where, QString::fromStdString(p.process))
                .arg(p.pid);
        return Text::tr("%1：正被另一个程序占用。").arg(where);
    case DeviceProblem::NotSerial: return Text::tr("%1：不是串口。").arg(where);
    case DeviceProblem::NoHardware:
        return serial ? Text::tr("%1：后面没有串口硬件。").arg(where) : Text::tr("%1：后面没有打印机。").arg(where);
    case DeviceProblem::Unknown: break;
    }
    return where;
}

namespace {

// What is wrong with an address text that the network library refused
// before it tried to connect; empty for any other failure.
QString addressProblem(const QString &address, std::int32_t cause)
{
    const tavonet::AddressText a = tavonet::readAddress(address.toStdString());
    const QString host = QString::fromStdString(a.hostText), port = QString::fromStdString(a.portText);
    if (cause == TAVONET_E_NAME)
        return Text::tr("找不到主机“%1”的地址。").arg(host);
    if (cause != TAVONET_E_ADDRESS && cause != TAVONET_E_PORT)
        return QString();
    if (a.hostText.empty() && a.portText.empty() && a.host == tavonet::HostProblem::Empty)
        return Text::tr("没有填写打印机的 IP 地址。");
    QStringList problems;
    switch (a.host) {
    case tavonet::HostProblem::None: break;
    case tavonet::HostProblem::Empty: problems << Text::tr("冒号前面没有 IP 地址"); break;
    case tavonet::HostProblem::NotAnAddress: problems << Text::tr("“%1”不是 IP 地址，也不是主机名").arg(host); break;
    case tavonet::HostProblem::UnclosedBracket: problems << Text::tr("IPv6 地址缺少右方括号“]”"); break;
    case tavonet::HostProblem::TextAfterBracket: problems << Text::tr("“]”后面只能是冒号和端口号"); break;
    }
    switch (a.port) {
    case tavonet::PortProblem::None: break;
    case tavonet::PortProblem::Missing: problems << Text::tr("冒号后面没有端口号"); break;
    case tavonet::PortProblem::NotANumber: problems << Text::tr("端口“%1”不是数字").arg(port); break;
    case tavonet::PortProblem::OutOfRange: problems << Text::tr("端口 %1 超出范围（1 到 65535）").arg(port); break;
    }
    if (problems.isEmpty())
        return {};
    // The problems are clauses of one sentence; in English its first word
    // takes a capital.
    QString sentence = problems.join(Text::tr("；")) + Text::tr("。");
    sentence[0] = sentence[0].toUpper();
    return sentence;
}

// What a refused or failed connect means, in the operator's words; empty
// where the host named no cause.
QString connectProblem(const QString &address, std::int32_t cause)
{
    switch (cause) {
    case TAVONET_E_REFUSED: return Text::tr("%1 拒绝了连接：那里没有程序在这个端口上接收。").arg(address);
    case TAVONET_E_NO_ANSWER: return Text::tr("%1 在 %2 秒内没有回答。").arg(address).arg(kNetConnectTimeoutS);
    case TAVONET_E_NO_ROUTE: return Text::tr("从这台电脑到不了 %1（没有路由）。").arg(address);
    default: break;
    }
    return QString();
}

// Two sentences of one detail line: Chinese runs them together, languages
// written with spaces keep one between them.
QString sentences(const QString &first, const QString &second)
{
    if (!first.isEmpty() && first.back().unicode() < 0x80 && !second.isEmpty())
        return first + QLatin1Char(' ') + second;
    return first + second;
}

QString countText(std::uint64_t done, std::uint64_t total)
{
    return Text::tr("已送到打印机 %1 / %2 字节。").arg(done).arg(total);
}

// A failure's detail with its count, and the advice for a command that the
// printer got only part of.
QString failedAt(const QString &what, std::uint64_t done, std::uint64_t total)
{
    return withUnfinishedCommandText(sentences(what, countText(done, total)), done, total);
}

// A serial printer that held the line past the write time-out got only
// part of the command: a failed write, told as the port tells one, with the
// device, the cause and the count below.
[[noreturn]] void raiseHeldLine(const std::string &device, int written, std::uint64_t total)
{
    try {
        throw EComPort(CError_WriteFailed, comhost::kErrorTimeout);
    } catch (...) {
        rethrowWithDetail(failedAt(path(device) + Text::tr("：打印机停止接收数据（XOFF，或没有在读取）。"),
                                   static_cast<std::uint64_t>(written), total));
    }
}

// Closes the serial port on every way out of a command that opened it.
class OpenPort {
public:
    explicit OpenPort(TComPort &port) : m_port(port) {}
    ~OpenPort()
    {
        if (m_port.Connected()) {
            try {
                m_port.CloseDevice();
            } catch (...) {
                // The first failure is the one the operator hears of.
            }
        }
    }
    void close() { m_port.CloseDevice(); }

private:
    TComPort &m_port;
};

// The network library's wait hook: progress, "not reading", and Cancel.
struct NetWatch {
    TransferSession &session;
    bool connecting = true;
    std::int32_t lastDelivered = 0;
    std::chrono::steady_clock::time_point lastChange = std::chrono::steady_clock::now();

    void connected()
    {
        connecting = false;
        lastChange = std::chrono::steady_clock::now();
    }

    static std::int32_t TAVONET_CALL hook(void *context, std::int32_t delivered)
    {
        auto &w = *static_cast<NetWatch *>(context);
        if (w.connecting)
            return w.session.waiting(0, TransferHold::Connecting) ? 0 : 1;
        const auto now = std::chrono::steady_clock::now();
        if (delivered != w.lastDelivered) {
            w.lastDelivered = delivered;
            w.lastChange = now;
        }
        const bool held = now - w.lastChange >= std::chrono::milliseconds(kHoldAfterMs);
        return w.session.waiting(static_cast<std::uint64_t>(delivered),
                                 held ? TransferHold::NotReading : TransferHold::None)
                   ? 0
                   : 1;
    }
};

// Ends the network connection and the hook on every way out.
class OpenConnection {
public:
    OpenConnection(const NetPrinterApi &net, NetWatch &watch) : m_net(net) { m_net.setWaitHook(&NetWatch::hook, &watch); }
    ~OpenConnection()
    {
        if (m_open)
            m_net.close();
        m_net.setWaitHook(nullptr, nullptr);
    }
    void opened() { m_open = true; }
    std::int32_t close()
    {
        m_open = false;
        return m_net.close();
    }

private:
    const NetPrinterApi &m_net;
    bool m_open = false;
};

std::uint32_t lineRate(const Route &route)
{
    // Eight data bits, no parity, one stop bit: ten bit times a byte.
    return route.kind == Route::Serial ? BaudRateValue(route.baud, 0) / 10 : 0;
}

} // namespace

void applyLayoutComSettings(TComPort &cp)
{
    cp.SetPort("COM1");
    cp.SetBaudRate(br19200);
    cp.SetDataBits(dbEight);
    cp.Parity().SetBits(prNone);
    cp.SetStopBits(sbOneStopBit);
    cp.FlowControl().SetOutCTSFlow(false);
    cp.FlowControl().SetOutDSRFlow(false);
    cp.FlowControl().SetControlDTR(dtrEnable);
    cp.FlowControl().SetControlRTS(rtsDisable);
    cp.FlowControl().SetXonXoffOut(true);
    cp.FlowControl().SetXonXoffIn(true);
    cp.SetEvents(kAllComEvents);
}

const QStringList &baudRateEntries()
{
    static const QStringList entries = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    return entries;
}

Route::Kind routeKindForIndex(int index)
{
    if (index == 0 || index == 1)
        return Route::Parallel;
    if (index >= 2 && index <= 9)
        return Route::Serial;
    if (index == 10)
        return Route::Network;
    return Route::None;
}

namespace {

Route routeOf(Route::Kind kind, const QString &port, const QString &baud, const QString &address)
{
    Route r;
    r.kind = kind;
    r.port = port.toStdString();
    r.baud = BaudRateFromText(baud.toStdString());
    r.address = address;
    return r;
}

} // namespace

Route mainRoute(const PortChoice &c)
{
    return routeOf(routeKindForIndex(c.index), c.entry, c.baudEntry, c.address);
}

Route toolRoute(const PortChoice &c)
{
    return routeOf(routeKindForIndex(c.index), c.shown, c.baudShown, c.address);
}

Route statusRoute(const PortChoice &c)
{
    return routeOf(routeKindForIndex(c.index), c.entry, c.baudShown, c.address);
}

bool ledPortAccepted(const PortChoice &c) { return c.shown.left(3) == QLatin1String("COM"); }

NetPrinterApi NetPrinterApi::library() { return {&TavoNetOpen, &TavoNetSend, &TavoNetClose}; }
void NetPrinterApi::defaultSetWaitHook(NetWaitHook hook, void *context) { TavoNetSetWaitHook(hook, context); }
std::int32_t NetPrinterApi::defaultDelivered() { return TavoNetDelivered(); }
std::int32_t NetPrinterApi::defaultLastError() { return TavoNetLastError(); }

Sender::Sender(Outside &outside, TComPort &port, NetPrinterApi net) : m_outside(outside), m_port(port), m_net(net) {}

std::string Sender::devicePath(const Route &route) const
{
    if (route.kind == Route::Serial)
        return m_outside.deviceNames().resolve("\\\\.\\" + route.port);
    return m_outside.deviceNames().resolve(route.port);
}

QString Sender::describe(const Route &route) const
{
    switch (route.kind) {
    case Route::Serial:
        return QStringLiteral("%1 @ %2")
            .arg(QString::fromStdString(m_outside.deviceNames().describe(route.port)))
            .arg(BaudRateValue(route.baud, 0));
    case Route::Parallel:
        return QString::fromStdString(m_outside.deviceNames().describe(route.port));
    case Route::Network: return route.address;
    case Route::None: break;
    }
    return QString();
}

bool Sender::send(QObject *parent, const Route &route, const ByteString &data, const NetPauses &pauses)
{
    if (route.kind == Route::None)
        return false;
    const std::uint64_t id = m_log.begin(describe(route), data);
    bool sent = false;
    try {
        m_refusal.clear();
        sent = sendLogged(parent, route, data, pauses);
    } catch (const TransferCancelled &c) {
        m_log.cancelled(id, c.done);
        throw;
    } catch (...) {
        m_log.failed(id, describeError(std::current_exception()));
        throw;
    }
    if (sent)
        m_log.sent(id);
    else
        m_log.failed(id, m_refusal);
    return sent;
}

bool Sender::sendLogged(QObject *parent, const Route &route, const ByteString &data, const NetPauses &pauses)
{
    tellPortMapProblems(parent);
    TransferSession session(m_outside, parent, [this, &route] { return describe(route); }, data.size(), lineRate(route));
    switch (route.kind) {
    case Route::Parallel: sendParallel(session, route, data); return true;
    case Route::Serial: sendSerial(session, route, data); return true;
    case Route::Network: return sendNetwork(parent, session, route, data, pauses);
    case Route::None: break;
    }
    return false;
}

void Sender::sendParallel(TransferSession &session, const Route &route, const ByteString &data)
{
    const std::string device = devicePath(route);
    parallel::WriteResult result;
    try {
        result = parallel::writeDevice(device, data, m_parallelStallMs, &session);
    } catch (const EInOutError &e) {
        if (e.ErrorCode == 1460)
            rethrowWithDetail(failedAt(path(device) + Text::tr("：打印机停止接收数据。"), e.Written, data.size()));
        if (e.Written == 0 && e.ErrorCode != 232)
            rethrowWithDetail(deviceProblemText(diagnoseDevice(device, false), false));
        rethrowWithDetail(failedAt(path(device) + QStringLiteral("："), e.Written, data.size()));
    }
    if (result.cancelled)
        throw TransferCancelled(result.written, data.size());
}

void Sender::tellPortMapProblems(QObject *parent)
{
    for (const PortMapProblem &p : m_outside.deviceNames().takeNewProblems())
        m_outside.showMessage(parent, Text::tr("端口映射文件 %1 第 %2 行无效，已忽略：%3（%4）")
                                          .arg(path(p.file))
                                          .arg(p.line)
                                          .arg(QString::fromStdString(p.text), QString::fromStdString(p.why)));
}

void Sender::openSerial(const Route &route)
{
    m_port.SetPort(route.port);
    m_port.SetBaudRate(route.baud);
    try {
        m_port.OpenDevice();
    } catch (const EComPort &e) {
        const std::string device = devicePath(route);
        if (e.Code == CError_OpenFailed && device.empty())
            rethrowWithDetail(Text::tr("%1：没有对应的串口设备。").arg(QString::fromStdString(route.port)));
        if (e.Code == CError_OpenFailed)
            rethrowWithDetail(deviceProblemText(diagnoseDevice(device, true), true));
        DeviceProblem p = diagnoseDevice(device, true);
        rethrowWithDetail(p.kind == DeviceProblem::NotSerial ? deviceProblemText(p, true) : path(device));
    }
}

void Sender::sendSerial(TransferSession &session, const Route &route, const ByteString &data)
{
    OpenPort port(m_port);
    openSerial(route);
    int written = 0;
    try {
        written = m_port.WriteText(data, &session);
    } catch (const EComPort &) {
        rethrowWithDetail(failedAt(path(devicePath(route)) + QStringLiteral("："), session.done(), data.size()));
    }
    if (session.cancelled())
        throw TransferCancelled(static_cast<std::uint64_t>(written), data.size());
    // A printer that held the line past the write time-out got only part
    // of the command: that is a failed write, not a sent command.
    if (written < static_cast<int>(data.size()))
        raiseHeldLine(devicePath(route), written, data.size());
    port.close();
}

bool Sender::sendNetwork(QObject *parent, TransferSession &session, const Route &route, const ByteString &data,
                         const NetPauses &pauses)
{
    NetWatch watch{session};
    OpenConnection connection(m_net, watch);
    const QByteArray address = route.address.toLocal8Bit();
    if (m_net.open(address.constData(), kNetConnectTimeoutS, kNetSendTimeoutS) != 1) {
        if (session.cancelled())
            throw TransferCancelled(0, data.size());
        QString text = QCoreApplication::translate("dispatch", "Connect error");
        const std::int32_t cause = m_net.lastError();
        QString detail = addressProblem(route.address, cause);
        if (detail.isEmpty())
            detail = connectProblem(route.address, cause);
        if (!detail.isEmpty())
            text += QLatin1Char('\n') + detail;
        m_refusal = text;
        m_outside.showMessage(parent, text);
        return false;
    }
    connection.opened();
    watch.connected();
    session.pause(pauses.afterOpen);
    const std::int32_t handed =
        m_net.send(reinterpret_cast<const std::uint8_t *>(data.data()), static_cast<std::int32_t>(data.size()));
    const std::int32_t cause = handed < static_cast<std::int32_t>(data.size()) ? m_net.lastError() : TAVONET_OK;
    session.pause(pauses.afterSend);
    const std::int32_t closed = connection.close();
    const std::int32_t closeCause = cause != TAVONET_OK ? cause : (closed == 1 ? TAVONET_OK : m_net.lastError());
    const auto delivered = static_cast<std::uint64_t>(std::max<std::int32_t>(0, m_net.delivered()));
    if (session.cancelled())
        throw TransferCancelled(delivered, data.size());
    if (closeCause != TAVONET_OK || delivered < data.size()) {
        QString why;
        switch (closeCause) {
        case TAVONET_E_RESET: why = Text::tr("打印机断开了连接。"); break;
        case TAVONET_E_TIMEOUT: why = Text::tr("打印机在 %1 秒内没有接收数据。").arg(kNetSendTimeoutS); break;
        default: why = Text::tr("打印机没有确认收到全部数据。"); break;
        }
        try {
            throw AppError(Text::tr("网络打印机只收到 %1 / %2 字节").arg(delivered).arg(data.size()));
        } catch (...) {
            rethrowWithDetail(withUnfinishedCommandText(route.address + QStringLiteral("：") + why, delivered, data.size()));
        }
    }
    if (pauses.afterClose > 0)
        session.pause(pauses.afterClose);
    return true;
}

// ---- the status check's exchange ----

SerialExchange::SerialExchange(Sender &sender, QObject *parent, const Route &route)
    : m_sender(sender), m_route(route),
      m_ownSession(std::make_unique<TransferSession>(
          sender.outside(), parent, [this] { return m_sender.describe(m_route); }, 0, lineRate(route))),
      m_session(m_ownSession.get())
{
    m_sender.openSerial(route);
    m_open = true;
}

SerialExchange::SerialExchange(Sender &sender, TransferSession &session, const Route &route)
    : m_sender(sender), m_route(route), m_session(&session)
{
    m_sender.openSerial(route);
    m_open = true;
}

SerialExchange::~SerialExchange()
{
    if (m_open) {
        try {
            m_sender.m_port.CloseDevice();
        } catch (...) {
        }
    }
}

void SerialExchange::write(const ByteString &data)
{
    TransferLog &log = m_sender.m_log;
    m_lastWrite = log.begin(m_sender.describe(m_route), data, true);
    int written = 0;
    try {
        try {
            written = m_sender.m_port.WriteText(data, m_session);
        } catch (const EComPort &) {
            rethrowWithDetail(path(m_sender.devicePath(m_route)));
        }
        if (m_session->cancelled()) {
            log.cancelled(m_lastWrite, static_cast<std::uint64_t>(written));
            throw TransferCancelled(static_cast<std::uint64_t>(written), data.size());
        }
        // A request the printer took only part of gets no answer worth
        // reading; it is a failed write, told with its count.
        if (written < static_cast<int>(data.size()))
            raiseHeldLine(m_sender.devicePath(m_route), written, data.size());
    } catch (const TransferCancelled &) {
        throw;
    } catch (...) {
        log.failed(m_lastWrite, describeError(std::current_exception()));
        throw;
    }
    log.sent(m_lastWrite);
}

ByteString SerialExchange::read(int count)
{
    ByteString answer;
    try {
        m_sender.m_port.ReadText(answer, count);
    } catch (const EComPort &) {
        rethrowWithDetail(path(m_sender.devicePath(m_route)));
    }
    m_sender.m_log.answered(m_lastWrite, answer);
    return answer;
}

void SerialExchange::pause(int ms) { m_session->pause(ms); }

void SerialExchange::close()
{
    m_open = false;
    m_sender.m_port.CloseDevice();
}
