#include "core/transfer.h"

#include "core/outside.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

TransferSession::TransferSession(Outside &outside, QObject *parent, std::function<QString()> where,
                                 std::uint64_t total, std::uint32_t lineBytesPerSecond)
    : m_outside(outside), m_parent(parent), m_where(std::move(where)), m_total(total), m_rate(lineBytesPerSecond)
{
    m_clock.start();
}

TransferSession::~TransferSession() = default;

bool TransferSession::waiting(std::uint64_t done, TransferHold hold)
{
    m_done = done;
    if (!m_outside.hasWindows()) {
        QThread::msleep(0);
        return !m_cancelled;
    }
    const qint64 elapsed = m_clock.elapsed();
    if (!m_view && elapsed >= kDialogAfterMs) {
        m_view = m_outside.showTransfer(m_parent, m_where ? m_where() : QString(), m_cancelled);
    }
    if (done > 0 && !m_firstTaken.isValid()) {
        m_firstTaken.start();
        m_doneAtFirst = done;
    }
    if (m_view) {
        // The rate the printer has shown since it first took bytes; a line
        // can go no faster than its own rate, however its buffers fill.
        double rate = 0;
        if (m_firstTaken.isValid() && m_firstTaken.elapsed() >= kRateAfterMs)
            rate = double(done - m_doneAtFirst) * 1000.0 / double(m_firstTaken.elapsed());
        if (m_rate && rate > m_rate)
            rate = m_rate;
        m_view->update(done, m_total, rate, hold);
    }
    pump();
    return !m_cancelled;
}

void TransferSession::pump()
{
    // Until the modal view stands, no input may reach the windows: a
    // second command must not start inside this one.
    QCoreApplication::processEvents(m_view ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
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
    if (m_view) {
        pumpFor(ms, QEventLoop::AllEvents);
        return;
    }
    pauseKeepingWindowsAlive(m_outside, ms);
}

void pauseKeepingWindowsAlive(const Outside &outside, int ms)
{
    if (ms <= 0)
        return;
    // Short pauses are plain sleeps: nothing shows the difference.
    if (ms <= 20 || !outside.hasWindows()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    pumpFor(ms, QEventLoop::ExcludeUserInputEvents);
}
