#include "devices/portscan.h"

#include "core/dispatch.h"
#include "core/errors.h"
#include "core/transfer.h"
#include "devices/statuscheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(scan)
};

constexpr int kComPorts = 8;

} // namespace

ScanResult scanForPrinters(Sender &sender, QObject *parent)
{
    ScanResult result;
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
                    result.hits.push_back({port, rate, byteAt(answer, 0)});
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
    return result;
}

QString scanReport(const ScanResult &r)
{
    QStringList lines;
    for (const ScanResult::Hit &h : r.hits)
        lines << Text::tr("%1 @ %2：打印机%3（状态字节 %4）")
                     .arg(h.port, h.baud, statusOnline(h.status) ? Text::tr("联机") : Text::tr("脱机"))
                     .arg(h.status, 2, 16, QLatin1Char('0'));
    if (r.hits.empty())
        lines << Text::tr("没有找到打印机。");
    for (const QString &port : r.silent)
        lines << Text::tr("%1：任何波特率都没有回答").arg(port);
    lines << r.skipped;
    if (r.cancelled)
        lines << Text::tr("查找已取消（问过 %1 个端口和波特率）。").arg(r.probes);
    return lines.join(QLatin1Char('\n'));
}
