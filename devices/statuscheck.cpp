#include "devices/statuscheck.h"

#include "core/dispatch.h"

#include <QCoreApplication>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(TForm2)
};

} // namespace

const PrinterSeries &printerSeries(int index)
{
    static const PrinterSeries dleEot{bytes({0x10, 0x04, 0x01}), 0x08, "00000", "88888"};
    static const PrinterSeries escV{bytes({0x1B, 0x76}), 0x04, "00000", "44444"};
    return index == 3 ? escV : dleEot;
}

std::string statusString(const ByteString &reply, int statusBit)
{
    std::string s;
    for (char c : reply)
        s += std::to_string(static_cast<std::uint8_t>(c) & statusBit);
    return s;
}

StatusVerdict judgeStatus(const std::string &status, const PrinterSeries &series)
{
    if (status == series.online)
        return StatusVerdict::Online;
    if (status == series.offline)
        return StatusVerdict::Offline;
    return StatusVerdict::NotFound;
}

QString statusNeedsSerialPort() { return Text::tr("You must select Serial Port!!"); }

QString verdictText(StatusVerdict verdict)
{
    switch (verdict) {
    case StatusVerdict::Online: return Text::tr("打印机 联机.");
    case StatusVerdict::Offline: return Text::tr("打印机 脱机!");
    case StatusVerdict::NotFound: break;
    }
    return Text::tr("未检测到 打印机!");
}

ByteString checkStatus(Sender &sender, QObject *parent, const Route &route, const PrinterSeries &series)
{
    SerialExchange exchange(sender, parent, route);
    ByteString reply;
    for (int i = 0; i < kStatusCycles; ++i) {
        exchange.write(series.request);
        exchange.pause(kPauseAfterRequestMs);
        reply += exchange.read(1);
        exchange.pause(kPauseAfterReadMs);
    }
    exchange.close();
    return reply;
}
