#pragma once
// The virtual printer's window: the receipt roll, the customer display, the
// status it answers with, and the decoded log of what arrived.
#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace vp {

class Host;

class PrinterWindow : public QWidget {
    Q_OBJECT
public:
    explicit PrinterWindow(Host &host);

private:
    void refresh();

    Host &m_host;
    QLabel *m_roll = nullptr;
    QLabel *m_display = nullptr;
    QLabel *m_counts = nullptr;
    QComboBox *m_status = nullptr;
    QPlainTextEdit *m_log = nullptr;
    int m_logShown = 0;
};

} // namespace vp
