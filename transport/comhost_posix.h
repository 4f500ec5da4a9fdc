#pragma once
// The Linux body of the host communication layer, in parts: device and
// line settings (comhost_posix_line.cpp), events and the device waits
// (comhost_posix_events.cpp), reads, writes and the I/O thread that carries
// a write the device could not take at once (comhost_posix_io.cpp), and
// opening and closing (comhost_posix.cpp). Private to transport/.
#include "transport/comhost.h"

#include "transport/deadline.h"
#include "transport/devicenames.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <vector>

namespace comhost::posix {

// The calling thread's last error, as GetLastError reports it.
extern thread_local std::uint32_t t_lastError;
bool fail(std::uint32_t err);

std::uint32_t winErrorFromErrno(int e);
// The modem lines TIOCMGET tells, as GetCommModemStatus's MS_*_ON bits.
std::uint32_t modemStatusOf(int lines);

bool failErrno(int e);

speed_t speedFor(std::uint32_t baud, bool &ok);

// The line's raw-mode recipe for the settings, on what the device had
// before; false for settings no line can take. Apart from the device
// because a pseudo-terminal hides some of what it is told: it keeps eight
// data bits, clears PARENB and always receives.
bool termiosFromDcb(const DCB &dcb, speed_t speed, termios &tio);

// Sets a rate that has no B constant; 0, or the errno of the refusal.
int setOtherRate(int fd, std::uint32_t baud);

struct Event {
    bool manual = true;
    bool signalled = false;
    int efd = -1;
};

struct PendingWait {
    OVERLAPPED *ov = nullptr;
    std::uint32_t *mask = nullptr;
};

// A write that did not finish at once: the host's I/O thread carries it on
// and completes its OVERLAPPED block, as a Windows driver would.
struct PendingWrite {
    const unsigned char *data = nullptr;
    std::uint32_t count = 0;
    std::atomic<std::uint32_t> done{0};
    OVERLAPPED *ov = nullptr;
    // The write time-out runs from the last byte the device took, for what
    // is still to go: a slow line that keeps moving never times out, one
    // that takes nothing for its time-out does.
    std::uint32_t multiplier = 0;
    std::uint32_t constant = 0;
    Deadline deadline = Deadline::never();
};

struct Device {
    int fd = -1;
    int abortFd = -1; // eventfd: PurgeComm's abort of a pending write
    std::atomic<bool> writing{false};
    PendingWrite write;
    std::uint32_t commMask = 0;
    COMMTIMEOUTS timeouts{};
    DCB dcb{};
    bool pending = false;
    PendingWait wait;
    std::uint32_t lastInCount = 0;
    bool txEmptyPending = false;
    bool unsentRemainder = false;
    bool hungUp = false;
    bool noModemLines = false; // a pseudo-terminal: no line to set or read
};

int inQueue(int fd);

// Calls `step(done)` while the device takes or gives bytes, up to `count`;
// stops where it would block. False, with `err` set, when the device failed.
template <class Step> bool stepWhileReady(std::uint32_t count, std::uint32_t &done, std::uint32_t &err, Step step)
{
    while (done < count) {
        const ssize_t n = step(done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            err = winErrorFromErrno(errno);
            return false;
        }
        break;
    }
    return true;
}

// Reads from the device until `count` bytes are in or the deadline has
// passed (writes go through writeNow and the I/O thread). Returns the count
// read, or -1 with `err` set when the device failed. `step(done)` reads what
// it can of the rest.
template <class Step>
long readFor(int fd, std::uint32_t count, const Deadline &deadline, std::uint32_t &err, Step step)
{
    std::uint32_t done = 0;
    for (;;) {
        if (!stepWhileReady(count, done, err, step))
            return -1;
        if (done >= count || deadline.expired())
            break;
        pollfd pf{fd, POLLIN, 0};
        const int r = ::poll(&pf, 1, deadline.pollTimeout());
        // A line that hung up (or a reader or writer that went away) would
        // otherwise be polled again at once until the deadline.
        if (r > 0 && (pf.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(pf.revents & POLLIN)) {
            err = kErrorIoDevice;
            return -1;
        }
    }
    return static_cast<long>(done);
}

// The time a transfer of `count` bytes may take: the multiplier per byte
// plus the constant; no time-out when both are 0.
Deadline transferDeadline(std::uint32_t multiplier, std::uint32_t constant, std::uint32_t count);

// Writes what the device takes now, without waiting. The count, or -1 with
// `err` set when the device failed.
long writeNow(int fd, const unsigned char *data, std::uint32_t count, std::uint32_t &err);

int outQueue(int fd);

bool drainEventFd(int efd);

class PosixComHost final : public ComHost {
public:
    explicit PosixComHost(const DeviceNames &names) : m_names(names) {}
    ~PosixComHost() override;
    Handle CreateFileA(const char *name) override;
    bool CloseHandle(Handle h) override;
    bool SetupComm(Handle h, std::uint32_t, std::uint32_t) override { return device(h) != nullptr; }
    bool SetCommState(Handle h, const DCB &dcb) override;
    bool GetCommState(Handle h, DCB &dcb) override;
    bool SetCommTimeouts(Handle h, const COMMTIMEOUTS &t) override;
    bool WriteFile(Handle h, const void *data, std::uint32_t count, OVERLAPPED *ov) override;
    bool ReadFile(Handle h, void *data, std::uint32_t count, OVERLAPPED *ov) override;
    bool GetOverlappedResult(Handle h, OVERLAPPED *ov, std::uint32_t *transferred, bool wait) override;
    bool SetCommMask(Handle h, std::uint32_t mask) override;
    bool WaitCommEvent(Handle h, std::uint32_t *mask, OVERLAPPED *ov) override;
    bool PurgeComm(Handle h, std::uint32_t flags) override;
    bool ClearCommError(Handle h, std::uint32_t *errors, COMSTAT *stat) override;
    bool GetCommModemStatus(Handle h, std::uint32_t *status) override;
    Handle CreateEventA(bool manualReset, bool initialState) override;
    bool SetEvent(Handle h) override;
    bool ResetEvent(Handle h) override;
    std::uint32_t WaitForSingleObject(Handle h, std::uint32_t ms) override;
    std::uint32_t WaitForMultipleObjects(std::uint32_t count, const Handle *handles, bool waitAll,
                                         std::uint32_t ms) override;
    std::uint32_t GetLastError() override { return t_lastError; }
    void SetLastError(std::uint32_t err) override { t_lastError = err; }

    // What the driver still holds to send comes from TIOCOUTQ, which a
    // pseudo-terminal always answers with 0; a test answers it instead.
    void answerOutputQueue(std::function<int(int fd)> probe) { m_queueProbe = std::move(probe); }
    // The modem lines (TIOCMGET, TIOCMBIS, TIOCMBIC), which a pseudo-terminal
    // does not have; a test answers them as a port with lines would.
    using ModemIoctl = std::function<int(int fd, unsigned long request, int *bits)>;
    void answerModemLines(ModemIoctl lines) { m_modemIoctl = std::move(lines); }

private:
    static bool contains(const Handle *handles, std::uint32_t count, Handle h);
    std::shared_ptr<Device> device(Handle h);
    std::shared_ptr<Event> eventLocked(Handle h);
    static void signalLocked(Event &ev);
    static void resetLocked(Event &ev);
    void completeLocked(OVERLAPPED *ov, std::uint32_t status, std::uint32_t count);
    bool failTransfer(OVERLAPPED *ov, std::uint32_t err);
    void completeWaitLocked(Device &dev, std::uint32_t mask, std::uint32_t status);

    // Completes a pending device wait when one of its events has happened.
    bool pollDeviceLocked(Device &dev);
    void markHungUpLocked(int fd);

    // Marks a write complete: the TX-empty event, what a purge may discard,
    // and the OVERLAPPED block. Under m_mutex.
    void finishWriteLocked(Device &dev, OVERLAPPED *ov, std::uint32_t status, std::uint32_t sent, std::uint32_t count);

    // The I/O thread: carries pending writes to their end, one at a time.
    void ioLoop();
    void carryWrite(Device &dev);

    // Ends a pending write at once, as PurgeComm's TX abort does, and waits
    // until the I/O thread has let go of it.
    void abortWrite(Device &dev);
    void closeDeviceFd(Device &dev);
    // Event descriptors are kept for the next command rather than made and
    // closed for each: a command costs fewer system calls.
    int takeEventFd();
    void keepEventFd(int efd, bool maySignal);
    std::mutex m_spareMutex;
    std::vector<int> m_spareEventFds;

    int queuedOut(int fd) const { return m_queueProbe ? m_queueProbe(fd) : outQueue(fd); }
    int modemIoctl(int fd, unsigned long request, int *bits) const;
    // Modem-line calls fail with ENOTTY or EINVAL on devices that have no
    // lines (pseudo-terminals); those count as "nothing to do", and the
    // device is not asked again.
    void setLine(Device &dev, int bit, bool on) const;

    const DeviceNames &m_names;
    std::function<int(int fd)> m_queueProbe;
    ModemIoctl m_modemIoctl;
    std::mutex m_mutex;
    std::condition_variable m_writeDone;
    std::mutex m_ioMutex;
    std::condition_variable m_ioCv;
    std::deque<std::shared_ptr<Device>> m_ioJobs;
    bool m_ioQuit = false;
    std::thread m_io;
    std::map<Handle, std::shared_ptr<Device>> m_devices;
    std::map<Handle, std::shared_ptr<Event>> m_events;
    Handle m_next = 1;
};

} // namespace comhost::posix
