// Events and waits of the Linux host layer: Win32 events over eventfd, and
// WaitCommEvent's device events found by poll.
#include "transport/comhost_posix.h"

#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace comhost::posix {

bool drainEventFd(int efd)
{
    std::uint64_t v = 0;
    return ::read(efd, &v, sizeof v) == static_cast<ssize_t>(sizeof v);
}

bool PosixComHost::SetCommMask(Handle h, std::uint32_t mask)
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

bool PosixComHost::WaitCommEvent(Handle h, std::uint32_t *mask, OVERLAPPED *ov)
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

Handle PosixComHost::CreateEventA(bool manualReset, bool initialState)
{
    const int efd = takeEventFd();
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

bool PosixComHost::SetEvent(Handle h)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto ev = eventLocked(h);
    if (!ev)
        return fail(kErrorInvalidHandle);
    signalLocked(*ev);
    return true;
}

bool PosixComHost::ResetEvent(Handle h)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto ev = eventLocked(h);
    if (!ev)
        return fail(kErrorInvalidHandle);
    resetLocked(*ev);
    return true;
}

std::uint32_t PosixComHost::WaitForSingleObject(Handle h, std::uint32_t ms)
{
    return WaitForMultipleObjects(1, &h, false, ms);
}

std::uint32_t PosixComHost::WaitForMultipleObjects(std::uint32_t count, const Handle *handles, bool waitAll,
                                     std::uint32_t ms)
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

bool PosixComHost::contains(const Handle *handles, std::uint32_t count, Handle h)
{
    for (std::uint32_t i = 0; i < count; ++i)
        if (handles[i] == h)
            return true;
    return false;
}

std::shared_ptr<Event> PosixComHost::eventLocked(Handle h)
{
    auto it = m_events.find(h);
    return it == m_events.end() ? nullptr : it->second;
}

void PosixComHost::signalLocked(Event &ev)
{
    if (ev.signalled)
        return;
    ev.signalled = true;
    std::uint64_t one = 1;
    (void)!::write(ev.efd, &one, sizeof one);
}

void PosixComHost::resetLocked(Event &ev)
{
    if (!ev.signalled)
        return;
    ev.signalled = false;
    std::uint64_t v = 0;
    (void)!::read(ev.efd, &v, sizeof v);
}

void PosixComHost::completeWaitLocked(Device &dev, std::uint32_t mask, std::uint32_t status)
{
    *dev.wait.mask = mask;
    dev.pending = false;
    completeLocked(dev.wait.ov, status, 0);
    dev.wait = {};
}

// Completes a pending device wait when one of its events has happened.
bool PosixComHost::pollDeviceLocked(Device &dev)
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

void PosixComHost::markHungUpLocked(int fd)
{
    for (auto &d : m_devices)
        if (d.second->fd == fd)
            d.second->hungUp = true;
}

} // namespace comhost::posix
