#pragma once
// What the four tool windows share: the host whose port choice they use,
// guarded handlers, and the tool windows' way of sending (the texts that the
// port and baud lists show, no port prompt).
#include "core/dispatch.h"
#include "core/errors.h"
#include "core/outside.h"
#include "ui/toolhost.h"

#include <QAbstractButton>
#include <QWidget>

class ToolWindow : public QWidget {
public:
    ToolWindow(ToolHost &host, const char *objectName, int width, int height)
        : QWidget(nullptr, Qt::Window), m_host(host)
    {
        setObjectName(QLatin1String(objectName));
        resize(width, height);
    }

protected:
    template <class T> void connectClick(QAbstractButton *button, void (T::*handler)())
    {
        connect(button, &QAbstractButton::clicked, this, [this, handler] {
            guarded(m_host.outside(), this, [&] { (static_cast<T *>(this)->*handler)(); });
        });
    }

    Route toolRoute() const { return ::toolRoute(m_host.portChoice()); }

    // Puts `command` in the shared buffer and sends it along `route`;
    // true when the bytes went out.
    bool sendAlong(const Route &route, const ByteString &command, const NetPauses &pauses = {})
    {
        m_host.CommandBuffer() = command;
        return m_host.sender().send(this, route, m_host.CommandBuffer(), pauses);
    }
    bool sendTool(const ByteString &command) { return sendAlong(toolRoute(), command); }

    void message(const QString &text) { m_host.outside().showMessage(this, text); }

    ToolHost &m_host;
};
