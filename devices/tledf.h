#pragma once
// The LED customer display window of the Tavo-K3.
#include "ui/toolwindow.h"

class QLineEdit;

class Tledf : public ToolWindow {
    Q_OBJECT
public:
    explicit Tledf(ToolHost &host);

    // The display hangs on a serial or parallel line.

private:
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void sendLed(const ByteString &command);

    QLineEdit *m_edit1 = nullptr;
};
