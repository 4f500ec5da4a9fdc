#include "transport/parallelport.h"

#include "transport/deadline.h"
#include "transport/ioerror.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace parallel {

long writeWithoutSigpipe(int fd, const void *data, std::size_t count)
{
    // A pipe's SIGPIPE goes to the writing thread: held back here, it is
    // taken before the mask is restored, and only the EPIPE remains.
    sigset_t pipe, old;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    const ssize_t n = ::write(fd, data, count);
    const int err = errno;
    if (n < 0 && err == EPIPE && !sigismember(&old, SIGPIPE)) {
        const timespec none{0, 0};
        while (sigtimedwait(&pipe, nullptr, &none) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = err;
    return static_cast<long>(n);
}

WriteResult writeDevice(const std::string &path, const std::string &data, int stallTimeoutMs, TransferWatch *watch)
{
    // No O_CREAT: a missing printer must read "File not found", and nothing may
    // ever leave a regular file under /dev. O_NONBLOCK keeps a FIFO without a
    // reader, or a printer that stopped, from hanging the window.
    int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | O_TRUNC);
    if (fd < 0)
        throw EInOutError(ioCodeFromErrno(errno));

    WriteResult result;
    auto fail = [&](int err) {
        ::close(fd);
        throw EInOutError(ioCodeFromErrno(err), result.written);
    };

    using Clock = std::chrono::steady_clock;
    Deadline stall = Deadline::in(static_cast<std::uint64_t>(stallTimeoutMs));
    auto lastProgress = Clock::now();
    std::size_t done = 0;
    while (done < data.size()) {
        result.written = done;
        const long n = writeWithoutSigpipe(fd, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            result.written = done;
            stall = Deadline::in(static_cast<std::uint64_t>(stallTimeoutMs));
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            fail(errno);
        if (stall.expired())
            fail(ETIMEDOUT);
        // Some printer drivers report "writable" from poll while still busy,
        // so the wait is bounded to a short nap either way.
        pollfd p{fd, POLLOUT, 0};
        int r = ::poll(&p, 1, stall.pollSlice(10));
        if (r > 0 && (p.revents & (POLLERR | POLLHUP)))
            fail(EPIPE);
        if (r > 0 && (p.revents & POLLOUT))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (watch) {
            const bool stalled = Clock::now() - lastProgress >= std::chrono::milliseconds(kHoldAfterMs);
            if (!watch->waiting(done, stalled ? TransferHold::PortStalled : TransferHold::None)) {
                result.cancelled = true;
                break;
            }
        }
    }
    if (::close(fd) != 0 && errno != EINTR && !result.cancelled)
        throw EInOutError(ioCodeFromErrno(errno), result.written);
    return result;
}

StatusAnswer askStatus(const std::string &path, const std::string &request, int waitMs)
{
    StatusAnswer a;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A printer that may only be written to still stands there.
        fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return a;
        ::close(fd);
        a.outcome = StatusAnswer::Outcome::NoBackChannel;
        return a;
    }
    const Deadline deadline = Deadline::in(static_cast<std::uint64_t>(waitMs));
    std::size_t sent = 0;
    while (sent < request.size() && !deadline.expired()) {
        const ssize_t n = ::write(fd, request.data() + sent, request.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            ::close(fd);
            return a; // it takes nothing: as good as not there
        } else {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, deadline.pollTimeout());
        }
    }
    a.outcome = sent == request.size() ? StatusAnswer::Outcome::Silent : StatusAnswer::Outcome::NotThere;
    while (a.outcome == StatusAnswer::Outcome::Silent && !deadline.expired()) {
        char buf[16];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            a.bytes.assign(buf, static_cast<std::size_t>(n));
            a.outcome = StatusAnswer::Outcome::Answered;
        } else if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            // Reading refused (usblp without a back channel says EINVAL), or
            // at its end at once (a file, /dev/null): nothing can come back.
            a.outcome = StatusAnswer::Outcome::NoBackChannel;
        } else {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, deadline.pollTimeout()) > 0 && (p.revents & (POLLERR | POLLNVAL)))
                a.outcome = StatusAnswer::Outcome::NoBackChannel;
        }
    }
    ::close(fd);
    return a;
}

} // namespace parallel
