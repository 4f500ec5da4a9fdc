#pragma once
// The LED customer display window of the Tavo-K3.
#include "app/toolwindow.h"

class QLineEdit;

class Tledf : public ToolWindow {
    Q_OBJECT
public:
    explicit Tledf(ToolHost &host);

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
