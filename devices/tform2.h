#pragma once
// The serial status window: asks a serial printer for its status and shows
// online, offline or not found.
#include "devices/portscan.h"
#include "ui/toolwindow.h"
#include "devices/statuscheck.h"

#include <QColor>

class QButtonGroup;
class QLabel;
class QLineEdit;

class TForm2 : public ToolWindow {
    Q_OBJECT
public:
    explicit TForm2(ToolHost &host);

    // The status check of one series over a serial route: five requests,
    // the answers as they came.
    QColor lampColor() const { return m_lamp; }
    const ByteString &reply() const { return m_reply; }
    const ScanResult &lastScan() const { return m_scan; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void ScanButtonClick();

    QButtonGroup *m_series = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_scanResult = nullptr;
    QLineEdit *m_netRange = nullptr;
    ScanResult m_scan;
    ByteString m_reply;
    QColor m_lamp; // invalid until the first check
};
