#include "transport/parallelport.h"

#include "transport/ioerror.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace parallel {

void writeDevice(const std::string &path, const std::string &data, int stallTimeoutMs)
{
    // No O_CREAT: a missing printer must read "File not found", and nothing may
    // ever leave a regular file under /dev. O_NONBLOCK keeps a FIFO without a
    // reader, or a printer that stopped, from hanging the window.
    int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | O_TRUNC);
    if (fd < 0)
        throw EInOutError(ioCodeFromErrno(errno));

    auto fail = [fd](int err) {
        ::close(fd);
        throw EInOutError(ioCodeFromErrno(err));
    };

    using Clock = std::chrono::steady_clock;
    auto lastProgress = Clock::now();
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            fail(errno);
        auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastProgress).count();
        if (waited >= stallTimeoutMs)
            fail(ETIMEDOUT);
        // Some printer drivers report "writable" from poll while still busy,
        // so the wait is bounded to a short nap either way.
        pollfd p{fd, POLLOUT, 0};
        int r = ::poll(&p, 1, 10);
        if (r > 0 && (p.revents & (POLLERR | POLLHUP)))
            fail(EPIPE);
        if (r > 0 && (p.revents & POLLOUT))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (::close(fd) != 0 && errno != EINTR)
        throw EInOutError(ioCodeFromErrno(errno));
}

} // namespace parallel
