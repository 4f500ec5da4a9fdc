#pragma once
// The black-mark window: print-start and cut offsets after a black mark, in
// millimetres, and the two feeds to the next mark.
#include "ui/toolwindow.h"
#include "logo/blackmark.h"

class QLineEdit;

class Tbmf : public ToolWindow {
    Q_OBJECT
public:
    explicit Tbmf(ToolHost &host);

    // Why an offset of `mm` cannot be sent that way; empty when it can.
    // The two feeds to the next mark, with their demonstration texts.

private:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void sendOffset(QLineEdit *field, MarkTarget target, MarkDirection direction);

    QLineEdit *m_edit[7] = {}; // Edit1 .. Edit6 at [1] .. [6]
};
