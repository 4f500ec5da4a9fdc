#pragma once
// What the four tool windows share: the main window whose port choice they
// use, guarded handlers, and the tool windows' way of sending (the texts that
// the port and baud lists show, no port prompt).
#include "app/dispatch.h"
#include "app/errors.h"
#include "app/outside.h"
#include "app/tform1.h"

#include <QAbstractButton>
#include <QWidget>

class ToolWindow : public QWidget {
public:
    ToolWindow(TForm1 &form1, const char *objectName, int width, int height)
        : QWidget(nullptr, Qt::Window), m_form1(form1)
    {
        setObjectName(QLatin1String(objectName));
        resize(width, height);
    }

protected:
    template <class T> void connectClick(QAbstractButton *button, void (T::*handler)())
    {
        connect(button, &QAbstractButton::clicked, this, [this, handler] {
            guarded(m_form1.outside(), this, [&] { (static_cast<T *>(this)->*handler)(); });
        });
    }

    // Puts `command` in the shared buffer and sends it along `route`;
    // true when the bytes went out.
    bool sendAlong(const Route &route, const ByteString &command, const NetPauses &pauses = {})
    {
        m_form1.CommandBuffer() = command;
        return m_form1.sender().send(this, route, m_form1.CommandBuffer(), pauses);
    }
    bool sendTool(const ByteString &command) { return sendAlong(m_form1.ToolRoute(), command); }

    void message(const QString &text) { m_form1.outside().showMessage(this, text); }

    TForm1 &m_form1;
};
