#include "ui/transferdialog.h"

#include "core/errors.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(transfer)
};

QString holdText(TransferHold hold)
{
    switch (hold) {
    case TransferHold::SerialHeld: return Text::tr("打印机暂停了接收（XOFF），或没有在读取数据。");
    case TransferHold::NotReading: return Text::tr("网络打印机没有在接收数据。");
    case TransferHold::PortStalled: return Text::tr("并口打印机停止接收数据。");
    case TransferHold::Connecting:
    case TransferHold::None: break;
    }
    return QString();
}

} // namespace

TransferDialog::TransferDialog(QWidget *parent, const QString &where, bool &cancelled)
    : QDialog(parent ? parent->window() : nullptr), m_cancelled(cancelled), m_where(where)
{
    setObjectName(QStringLiteral("TransferDialog"));
    setWindowTitle(applicationTitle());
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    auto *column = new QVBoxLayout(this);
    auto *to = new QLabel(Text::tr("正在发送到 %1").arg(where), this);
    to->setObjectName(QStringLiteral("TransferWhere"));
    column->addWidget(to);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("TransferBar"));
    m_bar->setRange(0, 1000);
    column->addWidget(m_bar);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("TransferCount"));
    column->addWidget(m_count);
    m_rate = new QLabel(this);
    m_rate->setObjectName(QStringLiteral("TransferRate"));
    column->addWidget(m_rate);
    m_hold = new QLabel(this);
    m_hold->setObjectName(QStringLiteral("TransferHold"));
    m_hold->setStyleSheet(QStringLiteral("color: #b00000;"));
    column->addWidget(m_hold);
    auto *cancel = new QPushButton(Text::tr("取消"), this);
    cancel->setObjectName(QStringLiteral("TransferCancel"));
    column->addWidget(cancel, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
    setMinimumWidth(420);
}

void TransferDialog::update(std::uint64_t done, std::uint64_t total, double rate, TransferHold hold)
{
    m_bar->setValue(total ? static_cast<int>(done * 1000 / total) : 0);
    if (hold == TransferHold::Connecting) {
        // Nothing can be taken before the connection stands: no count, no
        // rate, and no word of a printer that does not read.
        m_count->setText(Text::tr("正在连接 %1……").arg(m_where));
        m_rate->clear();
        m_hold->clear();
        return;
    }
    m_count->setText(Text::tr("%1 / %2 字节").arg(done).arg(total));
    if (rate > 0) {
        const auto left = static_cast<long long>((total - done) / rate + 0.5);
        m_rate->setText(Text::tr("速率 %1 字节/秒，剩余约 %2 秒").arg(static_cast<long long>(rate)).arg(left));
    } else {
        m_rate->clear();
    }
    m_hold->setText(holdText(hold));
}
