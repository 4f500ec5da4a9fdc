// The Linux body of the host communication layer: Win32 comm semantics over
// termios, poll and eventfd. A write that the device takes at once completes
// inside WriteFile; one that has to wait goes on in the host's I/O thread and
// reports through its OVERLAPPED block, so the caller can watch it, and
// PurgeComm can abort it, as on Windows. Reads return what has arrived.
#include "transport/comhost.h"

#include "transport/deadline.h"
#include "transport/devicenames.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace comhost {

namespace {

thread_local std::uint32_t t_lastError = 0;

bool fail(std::uint32_t err)
{
    t_lastError = err;
    return false;
}

std::uint32_t winErrorFromErrno(int e)
{
    switch (e) {
    case ENOENT:
    case ENXIO:
    case ENODEV: return kErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK: return kErrorAccessDenied;
    case EBADF: return kErrorInvalidHandle;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EINVAL: return kErrorInvalidParameter;
    case ENOTTY: return kErrorInvalidFunction;
    case ETIMEDOUT: return kErrorTimeout;
    case EIO: return kErrorIoDevice;
    default: return kErrorGenFailure;
    }
}

bool failErrno(int e) { return fail(winErrorFromErrno(e)); }

speed_t speedFor(std::uint32_t baud, bool &ok)
{
    ok = true;
    switch (baud) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: ok = false; return B9600;
    }
}

// Modem-line calls fail with ENOTTY or EINVAL on devices that have no lines
// (pseudo-terminals); those count as "nothing to do".
void setLine(int fd, int bit, bool on)
{
    ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit);
}

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
};

int inQueue(int fd)
{
    int n = 0;
    return ::ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}

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
Deadline transferDeadline(std::uint32_t multiplier, std::uint32_t constant, std::uint32_t count)
{
    const std::uint64_t budget = std::uint64_t(multiplier) * count + constant;
    return budget == 0 ? Deadline::never() : Deadline::in(budget);
}

// Writes what the device takes now, without waiting. The count, or -1 with
// `err` set when the device failed.
long writeNow(int fd, const unsigned char *data, std::uint32_t count, std::uint32_t &err)
{
    std::uint32_t done = 0;
    if (!stepWhileReady(count, done, err, [&](std::uint32_t d) { return ::write(fd, data + d, count - d); }))
        return -1;
    return static_cast<long>(done);
}

int outQueue(int fd)
{
    int q = 0;
    return ::ioctl(fd, TIOCOUTQ, &q) == 0 ? q : 0;
}

bool drainEventFd(int efd)
{
    std::uint64_t v = 0;
    return ::read(efd, &v, sizeof v) == static_cast<ssize_t>(sizeof v);
}

class PosixComHost final : public ComHost {
public:
    explicit PosixComHost(const DeviceNames &names) : m_names(names) {}
    ~PosixComHost() override
    {
        for (auto &d : m_devices)
            abortWrite(*d.second);
        {
            std::lock_guard<std::mutex> lock(m_ioMutex);
            m_ioQuit = true;
        }
        m_ioCv.notify_all();
        if (m_io.joinable())
            m_io.join();
        for (auto &d : m_devices)
            closeDeviceFd(*d.second);
        for (auto &e : m_events)
            ::close(e.second->efd);
    }

    Handle CreateFileA(const char *name) override
    {
        const std::string path = m_names.resolve(name ? name : "");
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            failErrno(errno);
            return kInvalidHandle;
        }
        // TIOCEXCL alone does not stop a second open by root, so the lock is
        // what makes the port ours alone.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            int e = errno;
            ::close(fd);
            fail(e == EWOULDBLOCK ? kErrorAccessDenied : winErrorFromErrno(e));
            return kInvalidHandle;
        }
        ::ioctl(fd, TIOCEXCL);
        auto dev = std::make_shared<Device>();
        dev->fd = fd;
        dev->abortFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (dev->abortFd < 0) {
            const int e = errno;
            closeDeviceFd(*dev);
            failErrno(e);
            return kInvalidHandle;
        }
        dev->lastInCount = static_cast<std::uint32_t>(inQueue(fd));
        std::lock_guard<std::mutex> lock(m_mutex);
        Handle h = m_next++;
        m_devices[h] = dev;
        return h;
    }

    bool CloseHandle(Handle h) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (auto it = m_devices.find(h); it != m_devices.end()) {
            auto dev = it->second;
            m_devices.erase(it);
            if (dev->pending)
                completeWaitLocked(*dev, 0, kErrorOperationAborted);
            lock.unlock();
            abortWrite(*dev);
            closeDeviceFd(*dev);
            return true;
        }
        if (auto it = m_events.find(h); it != m_events.end()) {
            ::close(it->second->efd);
            m_events.erase(it);
            return true;
        }
        return fail(kErrorInvalidHandle);
    }

    bool SetupComm(Handle h, std::uint32_t, std::uint32_t) override { return device(h) != nullptr; }

    bool SetCommState(Handle h, const DCB &dcb) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        termios tio{};
        if (::tcgetattr(dev->fd, &tio) != 0)
            return failErrno(errno);
        bool ok = false;
        speed_t speed = speedFor(dcb.BaudRate, ok);
        if (!ok)
            return fail(kErrorInvalidParameter);
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        tio.c_cflag &= ~CSIZE;
        switch (dcb.ByteSize) {
        case 5: tio.c_cflag |= CS5; break;
        case 6: tio.c_cflag |= CS6; break;
        case 7: tio.c_cflag |= CS7; break;
        case 8: tio.c_cflag |= CS8; break;
        default: return fail(kErrorInvalidParameter);
        }
        tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
        switch (dcb.Parity) {
        case 0: break;
        case 1: tio.c_cflag |= PARENB | PARODD; break;
        case 2: tio.c_cflag |= PARENB; break;
        case 3: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case 4: tio.c_cflag |= PARENB | CMSPAR; break;
        default: return fail(kErrorInvalidParameter);
        }
        if (dcb.Flags & kDcbParity)
            tio.c_iflag |= INPCK;
        switch (dcb.StopBits) {
        case 0: tio.c_cflag &= ~CSTOPB; break;
        case 1:
        case 2: tio.c_cflag |= CSTOPB; break;
        default: return fail(kErrorInvalidParameter);
        }
        if (dcb.Flags & kDcbOutX)
            tio.c_iflag |= IXON;
        if (dcb.Flags & kDcbInX)
            tio.c_iflag |= IXOFF;
        tio.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
        tio.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
        if ((dcb.Flags & kDcbOutxCtsFlow) || (dcb.Flags & kDcbRtsMask) == kDcbRtsHandshake)
            tio.c_cflag |= CRTSCTS;
        else
            tio.c_cflag &= ~CRTSCTS;
        if (::tcsetattr(dev->fd, TCSANOW, &tio) != 0)
            return failErrno(errno);
        // Opening a port raises DTR and RTS on Linux; put them where the
        // settings say.
        setLine(dev->fd, TIOCM_DTR, (dcb.Flags & kDcbDtrMask) != 0);
        setLine(dev->fd, TIOCM_RTS, (dcb.Flags & kDcbRtsMask) != 0);
        std::lock_guard<std::mutex> lock(m_mutex);
        dev->dcb = dcb;
        return true;
    }

    bool GetCommState(Handle h, DCB &dcb) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        dcb = dev->dcb;
        return true;
    }

    bool SetCommTimeouts(Handle h, const COMMTIMEOUTS &t) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        dev->timeouts = t;
        return true;
    }

    bool WriteFile(Handle h, const void *data, std::uint32_t count, OVERLAPPED *ov) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        if (!ov)
            return fail(kErrorInvalidParameter);
        if (dev->writing)
            return fail(kErrorInvalidParameter); // one write at a time
        COMMTIMEOUTS t;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            t = dev->timeouts;
        }
        const Deadline deadline =
            transferDeadline(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, count);
        std::uint32_t err = 0;
        const auto *bytes = static_cast<const unsigned char *>(data);
        const long moved = writeNow(dev->fd, bytes, count, err);
        if (moved < 0)
            return failTransfer(ov, err);
        const auto done = static_cast<std::uint32_t>(moved);
        // Written is not transmitted: a write is complete only once its bytes
        // have left the queue. What is still on its way the I/O thread sees to.
        if (done == count && outQueue(dev->fd) == 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            finishWriteLocked(*dev, ov, kErrorSuccess, count, count);
            return true;
        }
        drainEventFd(dev->abortFd);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (auto ev = eventLocked(ov->hEvent))
                resetLocked(*ev);
            ov->Internal = kErrorIoPending;
            ov->InternalHigh = 0;
        }
        dev->write.data = bytes;
        dev->write.count = count;
        dev->write.done = done;
        dev->write.ov = ov;
        dev->write.deadline = deadline;
        dev->writing = true;
        {
            std::lock_guard<std::mutex> lock(m_ioMutex);
            m_ioJobs.push_back(dev);
            if (!m_io.joinable())
                m_io = std::thread([this] { ioLoop(); });
        }
        m_ioCv.notify_all();
        return fail(kErrorIoPending);
    }

    bool ReadFile(Handle h, void *data, std::uint32_t count, OVERLAPPED *ov) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        if (!ov)
            return fail(kErrorInvalidParameter);
        COMMTIMEOUTS t;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            t = dev->timeouts;
        }
        const bool immediate = t.ReadIntervalTimeout == 0xFFFFFFFF && t.ReadTotalTimeoutMultiplier == 0 &&
                               t.ReadTotalTimeoutConstant == 0;
        // With these values a read takes what has arrived and returns at once.
        const Deadline deadline = immediate ? Deadline::in(0)
                                            : transferDeadline(t.ReadTotalTimeoutMultiplier,
                                                               t.ReadTotalTimeoutConstant, count);
        std::uint32_t err = 0;
        auto *bytes = static_cast<unsigned char *>(data);
        const long moved = readFor(dev->fd, count, deadline, err,
                                    [&](std::uint32_t done) { return ::read(dev->fd, bytes + done, count - done); });
        if (moved < 0)
            return failTransfer(ov, err);
        const auto done = static_cast<std::uint32_t>(moved);
        std::lock_guard<std::mutex> lock(m_mutex);
        dev->lastInCount = static_cast<std::uint32_t>(inQueue(dev->fd));
        completeLocked(ov, kErrorSuccess, done);
        return true;
    }

    bool GetOverlappedResult(Handle h, OVERLAPPED *ov, std::uint32_t *transferred, bool wait) override
    {
        if (!ov)
            return fail(kErrorInvalidParameter);
        (void)h;
        if (ov->Internal == kErrorIoPending) {
            if (!wait)
                return fail(kErrorIoIncomplete);
            if (WaitForSingleObject(ov->hEvent, kInfinite) != kWaitObject0)
                return false;
        }
        if (transferred)
            *transferred = static_cast<std::uint32_t>(ov->InternalHigh);
        if (ov->Internal != kErrorSuccess)
            return fail(static_cast<std::uint32_t>(ov->Internal));
        return true;
    }

    bool SetCommMask(Handle h, std::uint32_t mask) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        dev->commMask = mask;
        if (dev->pending)
            completeWaitLocked(*dev, 0, kErrorSuccess);
        return true;
    }

    bool WaitCommEvent(Handle h, std::uint32_t *mask, OVERLAPPED *ov) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        if (!ov || !mask)
            return fail(kErrorInvalidParameter);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (dev->pending)
            return fail(kErrorInvalidParameter);
        if (auto ev = eventLocked(ov->hEvent))
            resetLocked(*ev);
        dev->pending = true;
        dev->wait = {ov, mask};
        ov->Internal = kErrorIoPending;
        ov->InternalHigh = 0;
        if (pollDeviceLocked(*dev))
            return true;
        return fail(kErrorIoPending);
    }

    bool PurgeComm(Handle h, std::uint32_t flags) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        if (flags & kPurgeTxAbort)
            abortWrite(*dev);
        std::lock_guard<std::mutex> lock(m_mutex);
        if ((flags & kPurgeRxClear) && ::tcflush(dev->fd, TCIFLUSH) != 0 && errno != ENOTTY)
            return failErrno(errno);
        if (flags & kPurgeRxClear)
            dev->lastInCount = 0;
        // Only the remainder of a write that timed out may be thrown away:
        // bytes of a completed write can still sit with a peer that has not
        // read them yet, and a flush would lose them.
        if ((flags & kPurgeTxClear) && dev->unsentRemainder) {
            ::tcflush(dev->fd, TCOFLUSH);
            dev->unsentRemainder = false;
        }
        return true;
    }

    bool ClearCommError(Handle h, std::uint32_t *errors, COMSTAT *stat) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        int in = 0, out = 0;
        if (::ioctl(dev->fd, FIONREAD, &in) != 0)
            return failErrno(errno);
        if (::ioctl(dev->fd, TIOCOUTQ, &out) != 0)
            out = 0;
        // The part of a pending write not yet handed to the driver is output
        // still to go, as Windows counts it.
        if (dev->writing)
            out += static_cast<int>(dev->write.count - dev->write.done);
        if (errors)
            *errors = 0;
        if (stat) {
            stat->Flags = 0;
            stat->cbInQue = static_cast<std::uint32_t>(in);
            stat->cbOutQue = static_cast<std::uint32_t>(out);
        }
        return true;
    }

    bool GetCommModemStatus(Handle h, std::uint32_t *status) override
    {
        auto dev = device(h);
        if (!dev)
            return false;
        int lines = 0;
        if (::ioctl(dev->fd, TIOCMGET, &lines) != 0) {
            if (errno != ENOTTY && errno != EINVAL)
                return failErrno(errno);
            lines = 0; // no modem lines: all off
        }
        std::uint32_t s = 0;
        if (lines & TIOCM_CTS)
            s |= kMsCtsOn;
        if (lines & TIOCM_DSR)
            s |= kMsDsrOn;
        if (lines & TIOCM_RNG)
            s |= kMsRingOn;
        if (lines & TIOCM_CD)
            s |= kMsRlsdOn;
        if (status)
            *status = s;
        return true;
    }

    Handle CreateEventA(bool manualReset, bool initialState) override
    {
        int efd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (efd < 0) {
            failErrno(errno);
            return kInvalidHandle;
        }
        auto ev = std::make_shared<Event>();
        ev->manual = manualReset;
        ev->efd = efd;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (initialState)
            signalLocked(*ev);
        Handle h = m_next++;
        m_events[h] = ev;
        return h;
    }

    bool SetEvent(Handle h) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto ev = eventLocked(h);
        if (!ev)
            return fail(kErrorInvalidHandle);
        signalLocked(*ev);
        return true;
    }

    bool ResetEvent(Handle h) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto ev = eventLocked(h);
        if (!ev)
            return fail(kErrorInvalidHandle);
        resetLocked(*ev);
        return true;
    }

    std::uint32_t WaitForSingleObject(Handle h, std::uint32_t ms) override
    {
        return WaitForMultipleObjects(1, &h, false, ms);
    }

    std::uint32_t WaitForMultipleObjects(std::uint32_t count, const Handle *handles, bool waitAll,
                                         std::uint32_t ms) override
    {
        if (count == 0 || !handles || waitAll) {
            fail(kErrorInvalidParameter);
            return kWaitFailed;
        }
        Deadline deadline = ms == kInfinite ? Deadline::never() : Deadline::in(ms);
        std::vector<pollfd> fds;
        for (;;) {
            int cap = -1;
            fds.clear();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                // A device wait whose event is among the handles completes here
                // once its condition holds.
                for (auto &d : m_devices) {
                    Device &dev = *d.second;
                    if (!dev.pending || !contains(handles, count, dev.wait.ov->hEvent))
                        continue;
                    if (pollDeviceLocked(dev))
                        continue;
                    if (dev.hungUp || (dev.commMask & kEvRxChar) == 0 || inQueue(dev.fd) > 0)
                        cap = 20; // nothing new to wait for on the line: look again soon
                    else
                        fds.push_back({dev.fd, POLLIN, 0});
                }
                for (std::uint32_t i = 0; i < count; ++i) {
                    auto ev = eventLocked(handles[i]);
                    if (!ev) {
                        fail(kErrorInvalidHandle);
                        return kWaitFailed;
                    }
                    if (ev->signalled) {
                        if (!ev->manual)
                            resetLocked(*ev);
                        return kWaitObject0 + i;
                    }
                    fds.push_back({ev->efd, POLLIN, 0});
                }
            }
            if (deadline.expired())
                return kWaitTimeout;
            int timeout = deadline.pollTimeout();
            if (cap >= 0 && (timeout < 0 || timeout > cap))
                timeout = cap;
            int r = ::poll(fds.data(), fds.size(), timeout);
            if (r > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                for (auto &pf : fds)
                    if (pf.revents & (POLLHUP | POLLERR))
                        markHungUpLocked(pf.fd);
            }
        }
    }

    std::uint32_t GetLastError() override { return t_lastError; }
    void SetLastError(std::uint32_t err) override { t_lastError = err; }

private:
    static bool contains(const Handle *handles, std::uint32_t count, Handle h)
    {
        for (std::uint32_t i = 0; i < count; ++i)
            if (handles[i] == h)
                return true;
        return false;
    }

    std::shared_ptr<Device> device(Handle h)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_devices.find(h);
        if (it == m_devices.end()) {
            fail(kErrorInvalidHandle);
            return nullptr;
        }
        return it->second;
    }

    std::shared_ptr<Event> eventLocked(Handle h)
    {
        auto it = m_events.find(h);
        return it == m_events.end() ? nullptr : it->second;
    }

    static void signalLocked(Event &ev)
    {
        if (ev.signalled)
            return;
        ev.signalled = true;
        std::uint64_t one = 1;
        (void)!::write(ev.efd, &one, sizeof one);
    }

    static void resetLocked(Event &ev)
    {
        if (!ev.signalled)
            return;
        ev.signalled = false;
        std::uint64_t v = 0;
        (void)!::read(ev.efd, &v, sizeof v);
    }

    void completeLocked(OVERLAPPED *ov, std::uint32_t status, std::uint32_t count)
    {
        ov->Internal = status;
        ov->InternalHigh = count;
        if (auto ev = eventLocked(ov->hEvent))
            signalLocked(*ev);
    }

    bool failTransfer(OVERLAPPED *ov, std::uint32_t err)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ov->Internal = err;
        ov->InternalHigh = 0;
        return fail(err);
    }

    void completeWaitLocked(Device &dev, std::uint32_t mask, std::uint32_t status)
    {
        *dev.wait.mask = mask;
        dev.pending = false;
        completeLocked(dev.wait.ov, status, 0);
        dev.wait = {};
    }

    // Completes a pending device wait when one of its events has happened.
    bool pollDeviceLocked(Device &dev)
    {
        if (!dev.pending)
            return false;
        if (dev.txEmptyPending && (dev.commMask & kEvTxEmpty)) {
            dev.txEmptyPending = false;
            completeWaitLocked(dev, kEvTxEmpty, kErrorSuccess);
            return true;
        }
        auto in = static_cast<std::uint32_t>(inQueue(dev.fd));
        if (in > dev.lastInCount && (dev.commMask & kEvRxChar)) {
            dev.lastInCount = in;
            completeWaitLocked(dev, kEvRxChar, kErrorSuccess);
            return true;
        }
        if (in < dev.lastInCount)
            dev.lastInCount = in;
        return false;
    }

    void markHungUpLocked(int fd)
    {
        for (auto &d : m_devices)
            if (d.second->fd == fd)
                d.second->hungUp = true;
    }

    // Marks a write complete: the TX-empty event, what a purge may discard,
    // and the OVERLAPPED block. Under m_mutex.
    void finishWriteLocked(Device &dev, OVERLAPPED *ov, std::uint32_t status, std::uint32_t sent, std::uint32_t count)
    {
        dev.unsentRemainder = sent < count;
        dev.txEmptyPending = true;
        if (dev.pending && (dev.commMask & kEvTxEmpty)) {
            dev.txEmptyPending = false;
            completeWaitLocked(dev, kEvTxEmpty, kErrorSuccess);
        }
        completeLocked(ov, status, sent);
    }

    // The I/O thread: carries pending writes to their end, one at a time.
    void ioLoop()
    {
        for (;;) {
            std::shared_ptr<Device> dev;
            {
                std::unique_lock<std::mutex> lock(m_ioMutex);
                m_ioCv.wait(lock, [this] { return m_ioQuit || !m_ioJobs.empty(); });
                if (m_ioJobs.empty())
                    return;
                dev = m_ioJobs.front();
                m_ioJobs.pop_front();
            }
            carryWrite(*dev);
        }
    }

    void carryWrite(Device &dev)
    {
        PendingWrite &w = dev.write;
        std::uint32_t status = kErrorSuccess;
        bool aborted = false;
        // Waits until the device takes bytes again, or the write is aborted.
        auto waitWritable = [&](int ms) {
            pollfd fds[2] = {{dev.fd, POLLOUT, 0}, {dev.abortFd, POLLIN, 0}};
            const int r = ::poll(fds, 2, ms);
            if (r > 0 && (fds[1].revents & POLLIN))
                aborted = true;
            return r > 0 ? fds[0].revents : short(0);
        };
        while (w.done < w.count && !aborted) {
            std::uint32_t err = 0;
            const long n = writeNow(dev.fd, w.data + w.done, w.count - w.done, err);
            if (n < 0) {
                status = err;
                break;
            }
            w.done += static_cast<std::uint32_t>(n);
            if (w.done == w.count || w.deadline.expired())
                break;
            const short rev = waitWritable(w.deadline.pollTimeout());
            if ((rev & (POLLERR | POLLHUP | POLLNVAL)) && !(rev & POLLOUT)) {
                status = kErrorIoDevice; // the line hung up
                break;
            }
        }
        std::uint32_t queued = 0;
        while (status == kErrorSuccess && !aborted) {
            queued = static_cast<std::uint32_t>(outQueue(dev.fd));
            if (queued == 0 || w.deadline.expired())
                break;
            pollfd a{dev.abortFd, POLLIN, 0};
            if (::poll(&a, 1, 1) > 0)
                aborted = true;
        }
        if (aborted) {
            status = kErrorOperationAborted;
            queued = static_cast<std::uint32_t>(outQueue(dev.fd));
        }
        const std::uint32_t done = w.done;
        const std::uint32_t sent = status == kErrorIoDevice ? 0 : (done > queued ? done - queued : 0);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            finishWriteLocked(dev, w.ov, status, sent, w.count);
            dev.writing = false;
        }
        m_writeDone.notify_all();
    }

    // Ends a pending write at once, as PurgeComm's TX abort does, and waits
    // until the I/O thread has let go of it.
    void abortWrite(Device &dev)
    {
        if (!dev.writing)
            return;
        std::uint64_t one = 1;
        (void)!::write(dev.abortFd, &one, sizeof one);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_writeDone.wait(lock, [&] { return !dev.writing; });
    }

    static void closeDeviceFd(Device &dev)
    {
        if (dev.abortFd >= 0) {
            ::close(dev.abortFd);
            dev.abortFd = -1;
        }
        if (dev.fd < 0)
            return;
        // TIOCEXCL outlives the last close of a pseudo-terminal.
        ::ioctl(dev.fd, TIOCNXCL);
        ::flock(dev.fd, LOCK_UN);
        ::close(dev.fd);
        dev.fd = -1;
    }

    const DeviceNames &m_names;
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

} // namespace

std::unique_ptr<ComHost> makeSystemComHost(const DeviceNames &names)
{
    return std::make_unique<PosixComHost>(names);
}

} // namespace comhost
