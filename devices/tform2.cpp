#include "devices/tform2.h"

#include "ui/dropdown.h"
#include "devices/portscan.h"
#include "ui/widgets.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QGroupBox>
#include <QGridLayout>
#include <QPainter>

#include <algorithm>

TForm2::TForm2(ToolHost &host) : ToolWindow(host, "Form2", 476, 337)
{
    move(265, 173);
    auto *group = place<QGroupBox>(this, "RadioGroup1", 8, 8, 449, 73);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(13);
    group->setFont(arial);
    auto *grid = new QGridLayout(group);
    m_series = new QButtonGroup(this);
    for (int i = 0; i < kSeriesCount; ++i) {
        auto *radio = new QRadioButton(group);
        radio->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        grid->addWidget(radio, i / 2, i % 2);
        m_series->addButton(radio, i);
    }
    m_series->button(2)->setChecked(true);
    makeButton(this, "Button1", tr("关闭"), 168, 240, 113, 34)->setFont(songti(13));
    makeButton(this, "Button2", tr("打印机状态检测"), 168, 168, 113, 34)->setFont(songti(13));
    makeEdit(this, "Edit1", QString(), 8, 88, 449, 21);
    auto *label1 = makeLabel(this, "Label1", tr("打印机状态:"), 8, 120);
    label1->setFont(songti(13));
    label1->adjustSize();
    m_label2 = place<QLabel>(this, "Label2", 136, 120, 201, 16);
    m_label2->setFont(songti(13));

    // The scan: right of the check button, and its report below the close
    // button, where the layout leaves room.
    makeButton(this, "ScanButton", tr("查找打印机"), 296, 168, 161, 34)->setFont(songti(13));
    // The network range the scan asks; empty: this machine's own networks.
    m_netRange = makeEdit(this, "NetRange", QString(), 296, 210, 161, 22);
    m_netRange->setPlaceholderText(QStringLiteral("192.168.1.0/24"));
    m_netRange->setToolTip(tr("查找网络打印机的地址范围：网段（192.168.1.0/24）或“起–止”地址；空着就查本机所在的网络"));
    m_scanResult = place<QLabel>(this, "ScanResult", 8, 280, 460, 52);
    m_scanResult->setFont(songti(12));
    m_scanResult->setWordWrap(true);
    m_scanResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connectClick(findChild<QAbstractButton *>(QStringLiteral("ScanButton")), &TForm2::ScanButtonClick);
    connectClick(findChild<QAbstractButton *>(QStringLiteral("Button1")), &TForm2::Button1Click);
    connectClick(findChild<QAbstractButton *>(QStringLiteral("Button2")), &TForm2::Button2Click);
    FormCreate();
}

void TForm2::FormCreate()
{
    setWindowTitle(tr("Tavo 串口型号打印机状态检测"));
    findChild<QGroupBox *>(QStringLiteral("RadioGroup1"))->setTitle(tr("打印机型号"));
    const QString names[kSeriesCount] = {tr("Tavo-76XX系列"), tr("Tavo-58K系列"), tr("Tavo-80XXX/Tavo-Q80XXX系列"),
                                         tr("Tavo-58XX系列")};
    for (int i = 0; i < kSeriesCount; ++i)
        m_series->button(i)->setText(names[i]);
}

void TForm2::Button1Click() { close(); }

void TForm2::Button2Click()
{
    const int seriesIndex = m_series->checkedId();
    const PrinterSeries &series = printerSeries(seriesIndex < 0 ? 2 : seriesIndex);
    const Route route = statusRoute(m_host.portChoice());
    if (route.kind != Route::Serial) {
        message(statusNeedsSerialPort());
        return;
    }
    m_reply.clear();
    m_reply = checkStatus(m_host.sender(), this, route, series);

    const StatusVerdict verdict = judgeStatus(statusString(m_reply, series.statusBit), series);
    const QString text = verdictText(verdict);
    QColor colour;
    switch (verdict) {
    case StatusVerdict::Online: colour = QColor(0, 128, 0); break;
    case StatusVerdict::Offline: colour = QColor(255, 255, 0); break;
    case StatusVerdict::NotFound: colour = QColor(255, 0, 0); break;
    }
    QPalette pal = m_label2->palette();
    pal.setColor(QPalette::WindowText, colour);
    m_label2->setPalette(pal);
    m_label2->setText(text);
    m_lamp = colour;
    update(QRect(100, 115, 21, 21));
}

void TForm2::ScanButtonClick()
{
    ScanOptions options;
    options.range = m_netRange->text();
    m_scan = scanForPrinters(m_host.sender(), this, options);
    const QString report = scanReport(m_scan);
    m_scanResult->setText(report);
    m_scanResult->setToolTip(report);
    if (m_scan.hits.empty()) {
        message(report);
        return;
    }
    // The first printer the main window can reach: a USB printer that no
    // LPT entry opens cannot be chosen there.
    const auto first = std::find_if(m_scan.hits.begin(), m_scan.hits.end(),
                                    [](const ScanResult::Hit &h) { return !h.port.isEmpty(); });
    if (first == m_scan.hits.end()) {
        message(report);
        return;
    }
    QString question;
    switch (first->kind) {
    case ScanResult::Hit::Kind::Serial: question = tr("把主窗口的端口和波特率设为 %1 @ %2？").arg(first->port, first->baud); break;
    case ScanResult::Hit::Kind::Device: question = tr("把主窗口的端口设为 %1？").arg(first->port); break;
    case ScanResult::Hit::Kind::Network: question = tr("把主窗口的端口设为以太网，IP 地址设为 %1？").arg(first->where); break;
    }
    if (m_host.outside().askYesNo(this, report + QStringLiteral("\n\n") + question))
        m_host.choosePort(first->port, first->baud, first->kind == ScanResult::Hit::Kind::Network ? first->where : QString());
}

void TForm2::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!m_lamp.isValid())
        return;
    QPainter p(this);
    p.setPen(m_lamp);
    p.setBrush(m_lamp);
    p.drawEllipse(QRect(100, 115, 20, 20));
}
