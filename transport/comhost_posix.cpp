// Opening and closing the devices of the Linux host layer, and the host itself.
#include "transport/comhost_posix.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace comhost::posix {

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

PosixComHost::~PosixComHost()
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
    for (int efd : m_spareEventFds)
        ::close(efd);
}

Handle PosixComHost::CreateFileA(const char *name)
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
    dev->abortFd = takeEventFd();
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

bool PosixComHost::CloseHandle(Handle h)
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
        const int efd = it->second->efd;
        const bool signalled = it->second->signalled;
        m_events.erase(it);
        lock.unlock();
        keepEventFd(efd, signalled);
        return true;
    }
    return fail(kErrorInvalidHandle);
}

std::shared_ptr<Device> PosixComHost::device(Handle h)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_devices.find(h);
    if (it == m_devices.end()) {
        fail(kErrorInvalidHandle);
        return nullptr;
    }
    return it->second;
}

void PosixComHost::closeDeviceFd(Device &dev)
{
    if (dev.abortFd >= 0) {
        keepEventFd(dev.abortFd, true); // an abort may have been written
        dev.abortFd = -1;
    }
    if (dev.fd < 0)
        return;
    // TIOCEXCL outlives the last close of a pseudo-terminal. The lock goes
    // with the descriptor's close.
    ::ioctl(dev.fd, TIOCNXCL);
    ::close(dev.fd);
    dev.fd = -1;
}

int PosixComHost::takeEventFd()
{
    {
        std::lock_guard<std::mutex> lock(m_spareMutex);
        if (!m_spareEventFds.empty()) {
            const int efd = m_spareEventFds.back();
            m_spareEventFds.pop_back();
            return efd;
        }
    }
    return ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

void PosixComHost::keepEventFd(int efd, bool maySignal)
{
    if (efd < 0)
        return;
    if (maySignal)
        drainEventFd(efd); // kept unsignalled
    std::lock_guard<std::mutex> lock(m_spareMutex);
    if (m_spareEventFds.size() < 8) {
        m_spareEventFds.push_back(efd);
        return;
    }
    ::close(efd);
}

} // namespace comhost::posix

namespace comhost {

std::unique_ptr<ComHost> makeSystemComHost(const DeviceNames &names)
{
    return std::make_unique<posix::PosixComHost>(names);
}

} // namespace comhost
