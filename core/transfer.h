#pragma once
// Watching one transfer: a handler still waits for its command, but while it
// waits every window repaints and the clock ticks. Every count shown or told
// is what the device took (serial: written less the driver's queue; network:
// acknowledged bytes; parallel: what the device accepted), and after a
// Cancel nothing more leaves (the write aborted, the queue flushed, the
// connection reset). A transfer that runs for
// more than half a second shows the seam's progress view with Cancel; in the
// windows that is a modal dialog that keeps every other button from working
// meanwhile. Without windows nothing shows and nothing is pumped.
#include "transport/transferwatch.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class Outside;
class QObject;
class TransferView;

class TransferSession : public TransferWatch {
public:
    // `where`: what the operator knows the connection by ("COM3 → /dev/ttyUSB0
    // @ 19200"); `lineBytesPerSecond`: the line's rate, 0 where it has none.
    // `where` is asked only when the view shows.
    TransferSession(Outside &outside, QObject *parent, std::function<QString()> where, std::uint64_t total,
                    std::uint32_t lineBytesPerSecond);
    ~TransferSession() override;
    TransferSession(const TransferSession &) = delete;
    TransferSession &operator=(const TransferSession &) = delete;

    bool waiting(std::uint64_t done, TransferHold hold) override;
    bool cancelled() const { return m_cancelled; }
    std::uint64_t total() const { return m_total; }
    std::uint64_t done() const { return m_done; }
    void setDone(std::uint64_t done) { m_done = done; }

    // A pause of the calling pattern that keeps the windows painting.
    void pause(int ms);

    // How long a transfer runs before the view shows.
    static constexpr int kDialogAfterMs = 500;
    // How long the rate is measured before it is shown.
    static constexpr int kRateAfterMs = 500;

private:
    void pump();

    Outside &m_outside;
    QObject *m_parent;
    std::function<QString()> m_where;
    std::uint64_t m_total;
    std::uint32_t m_rate;
    std::uint64_t m_done = 0;
    bool m_cancelled = false;
    QElapsedTimer m_clock;
    QElapsedTimer m_firstTaken; // since the first byte the printer took
    std::uint64_t m_doneAtFirst = 0;
    std::unique_ptr<TransferView> m_view;
};

// Keeps the windows painting for `ms` milliseconds, without user input;
// a plain sleep where there are no windows.
void pauseKeepingWindowsAlive(const Outside &outside, int ms);
