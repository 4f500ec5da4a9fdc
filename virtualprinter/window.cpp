#include "virtualprinter/window.h"

#include "virtualprinter/host.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vp {

PrinterWindow::PrinterWindow(Host &host) : m_host(host)
{
    setObjectName(QStringLiteral("VirtualPrinter"));
    setWindowTitle(tr("Tavo 虚拟打印机"));
    resize(980, 720);
    auto *row = new QHBoxLayout(this);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("Roll"));
    m_roll = new QLabel;
    m_roll->setObjectName(QStringLiteral("RollImage"));
    m_roll->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    scroll->setWidget(m_roll);
    scroll->setWidgetResizable(true);
    scroll->setMinimumWidth(620);
    row->addWidget(scroll, 3);
    auto *side = new QVBoxLayout;
    row->addLayout(side, 2);
    for (const QString &line : host.describeLines())
        side->addWidget(new QLabel(line, this));
    m_status = new QComboBox(this);
    m_status->setObjectName(QStringLiteral("Status"));
    for (Status s : {Status::Online, Status::Offline, Status::PaperEnd, Status::Silent})
        m_status->addItem(QString::fromLatin1(statusName(s)), static_cast<int>(s));
    m_status->setCurrentIndex(static_cast<int>(host.engine().status()));
    connect(m_status, &QComboBox::currentIndexChanged, this,
            [this](int i) { m_host.setStatus(static_cast<Status>(m_status->itemData(i).toInt())); });
    side->addWidget(new QLabel(tr("状态请求的回答："), this));
    side->addWidget(m_status);
    m_display = new QLabel(this);
    m_display->setObjectName(QStringLiteral("Display"));
    m_display->setVisible(modelById(host.options().model.toStdString())->display);
    side->addWidget(m_display);
    m_counts = new QLabel(this);
    side->addWidget(m_counts);
    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("Log"));
    m_log->setReadOnly(true);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    side->addWidget(m_log, 1);
    connect(&host, &Host::changed, this, [this] { refresh(); });
    refresh();
}

void PrinterWindow::refresh()
{
    // The roll: every receipt, a gap at each cut, then the paper still in.
    std::vector<QImage> parts(m_host.receipts().begin(), m_host.receipts().end());
    const QImage current = m_host.engine().currentReceipt();
    if (!current.isNull())
        parts.push_back(current);
    int width = m_host.engine().paperDots(), height = 0;
    for (const QImage &p : parts) {
        width = std::max(width, p.width());
        height += p.height() + 12;
    }
    QImage roll(width, std::max(height, 1), QImage::Format_RGB32);
    roll.fill(QColor(90, 90, 90));
    QPainter painter(&roll);
    int y = 0;
    for (const QImage &p : parts) {
        painter.drawImage(0, y, p);
        y += p.height() + 12;
    }
    painter.end();
    m_roll->setPixmap(QPixmap::fromImage(roll));
    m_display->setPixmap(QPixmap::fromImage(m_host.engine().display().render()));
    const Counts &c = m_host.engine().counts();
    m_counts->setText(tr("小票 %1，切纸 %2，钱箱 %3，蜂鸣 %4，不认识的命令 %5")
                          .arg(m_host.receiptCount())
                          .arg(c.cuts)
                          .arg(c.drawerPulses)
                          .arg(c.beeps)
                          .arg(c.unknown));
    const QStringList &log = m_host.log();
    for (; m_logShown < log.size(); ++m_logShown)
        m_log->appendPlainText(log[m_logShown]);
}

} // namespace vp
