#include "core/printerlink.h"

#include "core/outside.h"

#include <QCoreApplication>
#include <QMetaObject>

PrinterLink::PrinterLink(Outside &outside, comhost::ComHost *host, NetPrinterApi net)
{
    if (!host) {
        m_ownHost = comhost::makeSystemComHost(outside.deviceNames());
        host = m_ownHost.get();
    }
    // Dispatches of the serial event thread run in the owner thread's loop.
    m_cp = std::make_unique<TComPort>(*host, [](std::function<void()> fn) {
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
    });
    applyLayoutComSettings(*m_cp);
    m_sender = std::make_unique<Sender>(outside, *m_cp, net);
}

PrinterLink::~PrinterLink() = default;
