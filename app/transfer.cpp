#include "app/transfer.h"

#include "app/errors.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

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
    case TransferHold::None: break;
    }
    return QString();
}

bool haveWindows() { return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr; }

} // namespace

class TransferDialog : public QDialog {
public:
    TransferDialog(QWidget *parent, const QString &where, bool &cancelled)
        : QDialog(parent ? parent->window() : nullptr), m_cancelled(cancelled)
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

    void update(std::uint64_t done, std::uint64_t total, double rate, TransferHold hold)
    {
        m_bar->setValue(total ? static_cast<int>(done * 1000 / total) : 0);
        m_count->setText(Text::tr("%1 / %2 字节").arg(done).arg(total));
        if (rate > 0) {
            const auto left = static_cast<long long>((total - done) / rate + 0.5);
            m_rate->setText(Text::tr("速率 %1 字节/秒，剩余约 %2 秒").arg(static_cast<long long>(rate)).arg(left));
        }
        m_hold->setText(holdText(hold));
    }

    void reject() override { m_cancelled = true; } // Escape cancels the transfer

private:
    bool &m_cancelled;
    QProgressBar *m_bar;
    QLabel *m_count, *m_rate, *m_hold;
};

TransferSession::TransferSession(QWidget *parent, std::function<QString()> where, std::uint64_t total,
                                 std::uint32_t lineBytesPerSecond)
    : m_parent(parent), m_where(std::move(where)), m_total(total), m_rate(lineBytesPerSecond)
{
    m_clock.start();
}

TransferSession::~TransferSession() = default;

bool TransferSession::waiting(std::uint64_t done, TransferHold hold)
{
    m_done = done;
    if (!haveWindows()) {
        QThread::msleep(0);
        return !m_cancelled;
    }
    const qint64 elapsed = m_clock.elapsed();
    if (!m_dialog && elapsed >= kDialogAfterMs) {
        m_dialog = std::make_unique<TransferDialog>(m_parent, m_where ? m_where() : QString(), m_cancelled);
        m_dialog->show();
    }
    if (m_dialog) {
        // The line's own rate where it has one, else what has been measured.
        const double rate = m_rate ? double(m_rate) : (elapsed > 0 ? done * 1000.0 / double(elapsed) : 0.0);
        m_dialog->update(done, m_total, rate, hold);
    }
    pump();
    return !m_cancelled;
}

void TransferSession::pump()
{
    // Until the modal dialog stands, no input may reach the windows: a
    // second command must not start inside this one.
    QCoreApplication::processEvents(m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

namespace {

// Handles events in 10 ms slices until `ms` have passed. The sleep is
// clamped at 0: handling the events can take the time left below zero, and
// as an unsigned sleep that would never end.
void pumpFor(int ms, QEventLoop::ProcessEventsFlags flags)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(flags);
        QThread::msleep(static_cast<unsigned long>(std::clamp<qint64>(ms - t.elapsed(), 0, 10)));
    }
}

} // namespace

void TransferSession::pause(int ms)
{
    if (m_dialog) {
        pumpFor(ms, QEventLoop::AllEvents);
        return;
    }
    pauseKeepingWindowsAlive(ms);
}

void pauseKeepingWindowsAlive(int ms)
{
    if (ms <= 0)
        return;
    // Short pauses are plain sleeps: nothing shows the difference.
    if (ms <= 20 || !haveWindows()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    pumpFor(ms, QEventLoop::ExcludeUserInputEvents);
}
