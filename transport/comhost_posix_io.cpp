// Reads and writes of the Linux host layer. A write that the device takes at
// once completes inside WriteFile; one that has to wait goes on in the I/O
// thread and reports through its OVERLAPPED block, so the caller can watch
// it, and PurgeComm can abort it, as on Windows.
#include "transport/comhost_posix.h"

#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace comhost::posix {

int inQueue(int fd)
{
    int n = 0;
    return ::ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
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

namespace {

// How often a write that waits for the device looks at its progress.
constexpr int kProgressLookMs = 100;

} // namespace

bool PosixComHost::WriteFile(Handle h, const void *data, std::uint32_t count, OVERLAPPED *ov)
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
    if (done == count && queuedOut(dev->fd) == 0) {
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
    dev->write.multiplier = t.WriteTotalTimeoutMultiplier;
    dev->write.constant = t.WriteTotalTimeoutConstant;
    dev->write.deadline = done > 0 ? transferDeadline(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant,
                                                      count - done)
                                   : deadline;
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

bool PosixComHost::ReadFile(Handle h, void *data, std::uint32_t count, OVERLAPPED *ov)
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

bool PosixComHost::GetOverlappedResult(Handle h, OVERLAPPED *ov, std::uint32_t *transferred, bool wait)
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

bool PosixComHost::PurgeComm(Handle h, std::uint32_t flags)
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

void PosixComHost::completeLocked(OVERLAPPED *ov, std::uint32_t status, std::uint32_t count)
{
    ov->Internal = status;
    ov->InternalHigh = count;
    if (auto ev = eventLocked(ov->hEvent))
        signalLocked(*ev);
}

bool PosixComHost::failTransfer(OVERLAPPED *ov, std::uint32_t err)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ov->Internal = err;
    ov->InternalHigh = 0;
    return fail(err);
}

// Marks a write complete: the TX-empty event, what a purge may discard,
// and the OVERLAPPED block. Under m_mutex.
void PosixComHost::finishWriteLocked(Device &dev, OVERLAPPED *ov, std::uint32_t status, std::uint32_t sent, std::uint32_t count)
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
void PosixComHost::ioLoop()
{
    // Named, so that a look at the process tells the host's thread from a port's.
    ::pthread_setname_np(::pthread_self(), kIoThreadName);
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

void PosixComHost::carryWrite(Device &dev)
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
    // The device's progress: bytes handed to the driver, less what it still
    // holds. Every step forward restarts the time-out for the rest.
    std::uint32_t taken = 0;
    auto progress = [&](std::uint32_t queued) {
        const std::uint32_t now = w.done > queued ? w.done - queued : 0;
        if (now > taken) {
            taken = now;
            w.deadline = transferDeadline(w.multiplier, w.constant, w.count - taken);
        }
    };
    while (w.done < w.count && !aborted) {
        std::uint32_t err = 0;
        const long n = writeNow(dev.fd, w.data + w.done, w.count - w.done, err);
        if (n < 0) {
            status = err;
            break;
        }
        w.done += static_cast<std::uint32_t>(n);
        progress(static_cast<std::uint32_t>(queuedOut(dev.fd)));
        if (w.done == w.count || w.deadline.expired())
            break;
        const short rev = waitWritable(w.deadline.pollSlice(kProgressLookMs));
        if ((rev & (POLLERR | POLLHUP | POLLNVAL)) && !(rev & POLLOUT)) {
            status = kErrorIoDevice; // the line hung up
            break;
        }
    }
    std::uint32_t queued = 0;
    while (status == kErrorSuccess && !aborted) {
        queued = static_cast<std::uint32_t>(queuedOut(dev.fd));
        progress(queued);
        if (queued == 0 || w.deadline.expired())
            break;
        pollfd a{dev.abortFd, POLLIN, 0};
        if (::poll(&a, 1, 1) > 0)
            aborted = true;
    }
    if (aborted) {
        status = kErrorOperationAborted;
        queued = static_cast<std::uint32_t>(queuedOut(dev.fd));
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
void PosixComHost::abortWrite(Device &dev)
{
    if (!dev.writing)
        return;
    std::uint64_t one = 1;
    (void)!::write(dev.abortFd, &one, sizeof one);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_writeDone.wait(lock, [&] { return !dev.writing; });
}

} // namespace comhost::posix
