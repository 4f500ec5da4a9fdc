#include "devices/portscan.h"

#include "core/dispatch.h"
#include "core/errors.h"
#include "core/outside.h"
#include "core/transfer.h"
#include "devices/statuscheck.h"

#include "transport/netprobe.h"
#include "transport/tavonetio/address.h"
#include "transport/parallelport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(scan)
};

constexpr int kComPorts = 8;

} // namespace

namespace {

void scanSerial(Sender &sender, QObject *parent, ScanResult &result)
{
    const ByteString request = printerSeries(0).request; // DLE EOT 1
    // Only entries with a device behind them are asked.
    std::vector<Route> ports;
    for (int n = 1; n <= kComPorts; ++n) {
        Route r;
        r.kind = Route::Serial;
        r.port = "COM" + std::to_string(n);
        if (!sender.devicePath(r).empty())
            ports.push_back(r);
    }
    const QStringList &rates = baudRateEntries();
    TransferSession session(
        sender.outside(), parent, [] { return Text::tr("查找打印机：每个串口、每种波特率"); },
        static_cast<std::uint64_t>(ports.size() * static_cast<std::size_t>(rates.size()) * request.size()), 0);
    std::uint64_t done = 0;
    for (Route route : ports) {
        const QString port = QString::fromStdString(route.port);
        bool answered = false, opened = true;
        for (const QString &rate : rates) {
            if (session.cancelled())
                break;
            route.baud = BaudRateFromText(rate.toStdString());
            try {
                SerialExchange exchange(sender, session, route);
                exchange.write(request);
                ++result.probes;
                done += request.size();
                ByteString answer;
                QElapsedTimer clock;
                clock.start();
                while (answer.empty() && clock.elapsed() < kScanAnswerWaitMs) {
                    if (!session.waiting(done, TransferHold::None))
                        break;
                    exchange.pause(5);
                    answer = exchange.read(1);
                }
                exchange.close();
                if (!answer.empty() && looksLikeStatus(byteAt(answer, 0))) {
                    result.hits.push_back({ScanResult::Hit::Kind::Serial, port, rate, port, byteAt(answer, 0)});
                    answered = true;
                }
            } catch (const TransferCancelled &) {
                session.setDone(done);
                break;
            } catch (...) {
                // The port cannot be opened (held by another program, no
                // permission): the other rates would fail the same way.
                const QString text = describeError(std::current_exception());
                const QString why = text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 1) : text;
                result.skipped << Text::tr("%1：%2").arg(port, why);
                opened = false;
                break;
            }
        }
        if (session.cancelled()) {
            result.cancelled = true;
            break;
        }
        if (opened && !answered)
            result.silent << port;
    }
    result.cancelled = session.cancelled();
}


bool addressOf(const QString &text, std::uint32_t &out)
{
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch m = dotted.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    out = 0;
    for (int i = 1; i <= 4; ++i) {
        const int part = m.captured(i).toInt();
        if (part > 255)
            return false;
        out = (out << 8) | static_cast<std::uint32_t>(part);
    }
    return true;
}

// The hosts of a network: without its own address and its broadcast
// address when it has more than two.
void addHosts(std::vector<std::uint32_t> &out, std::uint32_t address, int prefix)
{
    const std::uint32_t mask = prefix == 0 ? 0 : ~std::uint32_t(0) << (32 - prefix);
    const std::uint32_t first = address & mask, last = first | ~mask;
    for (std::uint64_t a = first; a <= last; ++a)
        if (prefix >= 31 || (a != first && a != last))
            out.push_back(static_cast<std::uint32_t>(a));
}

struct DeviceToProbe {
    QString entry; // "LPT1", or empty
    std::string path;
};

void scanDevices(Sender &sender, TransferSession &session, ScanResult &result)
{
    const std::string request = printerSeries(0).request;
    std::vector<DeviceToProbe> devices;
    std::set<std::string> seen;
    auto add = [&](const QString &entry, const std::string &path) {
        if (path.empty() || !QFileInfo::exists(QString::fromStdString(path)) || !seen.insert(path).second)
            return;
        devices.push_back({entry, path});
    };
    for (const char *lpt : {"LPT1", "LPT2"}) {
        Route r;
        r.kind = Route::Parallel;
        r.port = lpt;
        add(QLatin1String(lpt), sender.devicePath(r));
    }
    const std::string usb = sender.outside().deviceNames().roots().dev + "/usb/lp";
    for (int n = 0; n < 16; ++n)
        add(QString(), usb + std::to_string(n));
    for (const DeviceToProbe &d : devices) {
        if (!session.waiting(session.done(), TransferHold::None))
            return;
        const QString where = QString::fromStdString(d.path);
        const QString shown = d.entry.isEmpty() ? where : Text::tr("%1 → %2").arg(d.entry, where);
        const parallel::StatusAnswer a = parallel::askStatus(d.path, request, kDeviceAnswerWaitMs);
        switch (a.outcome) {
        case parallel::StatusAnswer::Outcome::Answered:
            if (looksLikeStatus(byteAt(a.bytes, 0))) {
                result.hits.push_back({ScanResult::Hit::Kind::Device, d.entry, QString(), where, byteAt(a.bytes, 0)});
                break;
            }
            result.silent << shown;
            break;
        case parallel::StatusAnswer::Outcome::NoBackChannel: result.noBackChannel << shown; break;
        case parallel::StatusAnswer::Outcome::Silent: result.silent << shown; break;
        case parallel::StatusAnswer::Outcome::NotThere:
            result.skipped << Text::tr("%1：无法打开").arg(shown);
            break;
        }
    }
}

void scanNetwork(const Outside &outside, TransferSession &session, const ScanOptions &options,
                 std::vector<std::uint32_t> addresses, ScanResult &result)
{
    if (options.range.trimmed().isEmpty())
        addresses = localRange(outside.localNetworks(), &result.range);
    else
        result.range = options.range.trimmed();
    std::vector<netprobe::Target> targets;
    for (std::uint32_t a : addresses)
        targets.push_back({a, static_cast<std::uint16_t>(options.port)});
    result.addresses = static_cast<int>(targets.size());
    const std::uint64_t before = session.done();
    netprobe::Timing timing;
    timing.connectMs = kNetConnectWaitMs;
    timing.answerMs = kNetAnswerWaitMs;
    timing.atOnce = kNetAtOnce;
    const auto answers = netprobe::probe(targets, printerSeries(0).request, timing, [&](std::size_t done, std::size_t) {
        return session.waiting(before + done, TransferHold::None);
    });
    for (const netprobe::Answer &a : answers) {
        if (a.outcome != netprobe::Answer::Outcome::Answered)
            continue;
        const QString where =
            QStringLiteral("%1:%2").arg(QString::fromStdString(netprobe::addressText(a.target.address))).arg(a.target.port);
        if (looksLikeStatus(byteAt(a.bytes, 0)))
            result.hits.push_back({ScanResult::Hit::Kind::Network, QStringLiteral("Ethernet"), QString(), where,
                                   byteAt(a.bytes, 0)});
    }
}

} // namespace

std::vector<std::uint32_t> addressesOfRange(const QString &range, int limit)
{
    const QString text = range.trimmed();
    std::vector<std::uint32_t> out;
    std::uint32_t from = 0, to = 0;
    static const QRegularExpression cidr(QStringLiteral("^([0-9.]+)/(\\d{1,2})$"));
    static const QRegularExpression span(QStringLiteral("^([0-9.]+)\\s*[-–]\\s*([0-9.]+)$"));
    if (const QRegularExpressionMatch m = cidr.match(text); m.hasMatch()) {
        const int prefix = m.captured(2).toInt();
        if (!addressOf(m.captured(1), from) || prefix > 32)
            throw AppError(Text::tr("“%1”不是网段（例如 192.168.1.0/24）").arg(text));
        if (prefix < 32 && (std::uint64_t(1) << (32 - prefix)) > static_cast<std::uint64_t>(limit) + 2)
            throw AppError(Text::tr("网段 %1 太大：最多 %2 个地址").arg(text).arg(limit));
        addHosts(out, from, prefix);
        return out;
    }
    if (const QRegularExpressionMatch m = span.match(text); m.hasMatch()) {
        if (!addressOf(m.captured(1), from) || !addressOf(m.captured(2), to) || to < from)
            throw AppError(Text::tr("“%1”不是地址范围（例如 192.168.1.10-192.168.1.40）").arg(text));
        if (std::uint64_t(to) - from + 1 > static_cast<std::uint64_t>(limit))
            throw AppError(Text::tr("地址范围 %1 太大：最多 %2 个地址").arg(text).arg(limit));
        for (std::uint64_t a = from; a <= to; ++a)
            out.push_back(static_cast<std::uint32_t>(a));
        return out;
    }
    if (addressOf(text, from))
        return {from};
    throw AppError(Text::tr("“%1”不是网段（例如 192.168.1.0/24）").arg(text));
}

std::vector<std::uint32_t> localRange(const std::vector<netprobe::Network> &networks, QString *described)
{
    std::vector<std::uint32_t> out;
    QStringList parts;
    for (const netprobe::Network &n : networks) {
        if (n.loopback)
            continue;
        const int prefix = std::max(n.prefix, 24);
        std::vector<std::uint32_t> hosts;
        addHosts(hosts, n.address, prefix);
        hosts.erase(std::remove(hosts.begin(), hosts.end(), n.address), hosts.end()); // not this machine itself
        if (out.size() + hosts.size() > static_cast<std::size_t>(kMaxDefaultAddresses))
            break;
        out.insert(out.end(), hosts.begin(), hosts.end());
        const std::uint32_t net = n.address & (~std::uint32_t(0) << (32 - prefix));
        parts << QStringLiteral("%1/%2").arg(QString::fromStdString(netprobe::addressText(net))).arg(prefix);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    if (described)
        *described = parts.join(QStringLiteral(", "));
    return out;
}

ScanResult scanForPrinters(Sender &sender, QObject *parent, const ScanOptions &options)
{
    ScanResult result;
    std::vector<std::uint32_t> given;
    if (options.network && !options.range.trimmed().isEmpty())
        given = addressesOfRange(options.range); // a bad range is told before anything is asked
    if (options.serial)
        scanSerial(sender, parent, result);
    if (result.cancelled || (!options.devices && !options.network))
        return result;
    TransferSession session(
        sender.outside(), parent, [] { return Text::tr("查找打印机：USB 和并口打印机、网络打印机"); }, 0, 0);
    if (options.devices)
        scanDevices(sender, session, result);
    if (options.network && !session.cancelled())
        scanNetwork(sender.outside(), session, options, given, result);
    result.cancelled = session.cancelled();
    return result;
}

QString scanReport(const ScanResult &r)
{
    QStringList lines;
    for (const ScanResult::Hit &h : r.hits) {
        const QString state = statusOnline(h.status) ? Text::tr("联机") : Text::tr("脱机");
        if (h.kind == ScanResult::Hit::Kind::Serial)
            lines << Text::tr("%1 @ %2：打印机%3（状态字节 %4）").arg(h.port, h.baud, state).arg(h.status, 2, 16, QLatin1Char('0'));
        else
            lines << Text::tr("%1：打印机%2（状态字节 %3）")
                         .arg(h.kind == ScanResult::Hit::Kind::Device && !h.port.isEmpty()
                                  ? Text::tr("%1 → %2").arg(h.port, h.where)
                                  : h.where,
                              state)
                         .arg(h.status, 2, 16, QLatin1Char('0'));
    }
    if (r.hits.empty())
        lines << Text::tr("没有找到打印机。");
    for (const QString &port : r.silent)
        lines << (port.startsWith(QLatin1String("COM")) ? Text::tr("%1：任何波特率都没有回答").arg(port)
                                                       : Text::tr("%1：没有回答").arg(port));
    for (const QString &device : r.noBackChannel)
        lines << Text::tr("%1：有打印机，但没有状态回传通道").arg(device);
    if (r.addresses > 0)
        lines << Text::tr("网络：问过 %1 个地址（%2）").arg(r.addresses).arg(r.range);
    lines << r.skipped;
    if (r.cancelled)
        lines << Text::tr("查找已取消（问过 %1 个端口和波特率）。").arg(r.probes);
    return lines.join(QLatin1Char('\n'));
}

OneStatus askOnce(Sender &sender, const Route &route)
{
    OneStatus one;
    const std::string request = printerSeries(0).request;
    if (route.kind == Route::Parallel) {
        const std::string path = sender.devicePath(route);
        one.where = Text::tr("%1 → %2").arg(QString::fromStdString(route.port), QString::fromStdString(path));
        const parallel::StatusAnswer a = parallel::askStatus(path, request, kDeviceAnswerWaitMs);
        one.noBackChannel = a.outcome == parallel::StatusAnswer::Outcome::NoBackChannel;
        one.answered = a.outcome == parallel::StatusAnswer::Outcome::Answered && looksLikeStatus(byteAt(a.bytes, 0));
        one.status = one.answered ? byteAt(a.bytes, 0) : 0;
        return one;
    }
    const tavonet::AddressText text = tavonet::readAddress(route.address.toStdString());
    std::optional<tavonet::Endpoint> at = text.ok() ? std::optional<tavonet::Endpoint>(text.endpoint) : std::nullopt;
    if (at && !at->numeric)
        at = tavonet::lookUpName(at->host, at->port);
    std::uint32_t v4 = 0;
    if (!at || at->ipv6 || !addressOf(QString::fromStdString(at->host), v4))
        throw AppError(Text::tr("“%1”不是 IPv4 地址").arg(route.address));
    one.where = QStringLiteral("%1:%2").arg(QString::fromStdString(netprobe::addressText(v4))).arg(at->port);
    netprobe::Timing timing;
    timing.connectMs = kNetConnectWaitMs * 5; // one printer: the connect may take the time a real network needs
    timing.answerMs = kNetAnswerWaitMs;
    const auto answers = netprobe::probe({{v4, static_cast<std::uint16_t>(at->port)}}, request, timing, {});
    one.answered = answers[0].outcome == netprobe::Answer::Outcome::Answered && looksLikeStatus(byteAt(answers[0].bytes, 0));
    one.status = one.answered ? byteAt(answers[0].bytes, 0) : 0;
    return one;
}

QString statusMeaning(std::uint8_t status)
{
    if (!looksLikeStatus(status))
        return QStringLiteral("no status byte");
    return statusOnline(status) ? QStringLiteral("online") : QStringLiteral("offline");
}

namespace {

// A JSON string, escaped as JSON wants it.
QString jsonText(const QString &s)
{
    const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

QString printerJson(const QString &where, const QString *port, int status, const QString &meaning)
{
    // One line a printer, the keys in the order a reader expects.
    QString line = QStringLiteral("{\"where\": %1").arg(jsonText(where));
    if (port)
        line += QStringLiteral(", \"port\": %1").arg(jsonText(*port));
    line += QStringLiteral(", \"status\": %1, \"meaning\": %2}\n")
                .arg(status < 0 ? QStringLiteral("null") : QString::number(status), jsonText(meaning));
    return line;
}

QString scanJson(const ScanResult &r)
{
    QString out;
    for (const ScanResult::Hit &h : r.hits) {
        const QString where = h.kind == ScanResult::Hit::Kind::Serial ? h.port + QStringLiteral(" @ ") + h.baud : h.where;
        out += printerJson(where, &h.port, h.status, statusMeaning(h.status));
    }
    return out;
}
