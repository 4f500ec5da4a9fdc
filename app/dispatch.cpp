#include "app/dispatch.h"

#include "app/outside.h"
#include "transport/parallelport.h"
#include "transport/tavonetio/tavonetio.h"

#include <QCoreApplication>
#include <QThread>

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

NetPrinterApi NetPrinterApi::library() { return {&TavoNetOpen, &TavoNetSend, &TavoNetClose}; }

Sender::Sender(Outside &outside, TComPort &port, NetPrinterApi net) : m_outside(outside), m_port(port), m_net(net) {}

bool Sender::send(QWidget *parent, const Route &route, const ByteString &data, const NetPauses &pauses)
{
    switch (route.kind) {
    case Route::Parallel: sendParallel(route, data); return true;
    case Route::Serial: sendSerial(route, data); return true;
    case Route::Network: return sendNetwork(parent, route, data, pauses);
    case Route::None: break;
    }
    return false;
}

void Sender::sendParallel(const Route &route, const ByteString &data)
{
    parallel::writeDevice(m_outside.deviceNames().resolve(route.port), data);
}

void Sender::sendSerial(const Route &route, const ByteString &data)
{
    m_port.SetPort(route.port);
    m_port.SetBaudRate(route.baud);
    try {
        m_port.OpenDevice();
        const int written = m_port.WriteText(data);
        // A printer that held the line past the write time-out got only part
        // of the command: that is a failed write, not a sent command.
        if (written < static_cast<int>(data.size()))
            throw EComPort(CError_WriteFailed, comhost::kErrorTimeout);
    } catch (...) {
        // Close before the error is shown, so the port is free for the next try.
        try {
            m_port.CloseDevice();
        } catch (...) {
        }
        throw;
    }
    m_port.CloseDevice();
}

bool Sender::sendNetwork(QWidget *parent, const Route &route, const ByteString &data, const NetPauses &pauses)
{
    const QByteArray address = route.address.toLocal8Bit();
    if (m_net.open(address.constData(), kNetConnectTimeoutS, kNetSendTimeoutS) != 1) {
        m_outside.showMessage(parent, QCoreApplication::translate("dispatch", "Connect error"));
        return false;
    }
    QThread::msleep(static_cast<unsigned long>(pauses.afterOpen));
    m_net.send(reinterpret_cast<const std::uint8_t *>(data.data()), static_cast<std::int32_t>(data.size()));
    QThread::msleep(static_cast<unsigned long>(pauses.afterSend));
    m_net.close();
    if (pauses.afterClose > 0)
        QThread::msleep(static_cast<unsigned long>(pauses.afterClose));
    return true;
}
