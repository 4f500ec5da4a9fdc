#include "transport/tavonetio/netsocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace netsock {

Socket connectTo(const tavonet::Endpoint &to, int timeoutMs)
{
    sockaddr_storage addr{};
    const auto len = static_cast<socklen_t>(tavonet::toSocketAddress(to, &addr));
    int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return kNoSocket;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), len) == 0)
        return fd;
    if (errno != EINPROGRESS) {
        ::close(fd);
        return kNoSocket;
    }
    if (waitWritable(fd, timeoutMs) != 1) {
        ::close(fd);
        return kNoSocket;
    }
    int soError = 0;
    socklen_t soLen = sizeof soError;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &soLen) != 0 || soError != 0) {
        ::close(fd);
        return kNoSocket;
    }
    return fd;
}

long sendSome(Socket s, const std::uint8_t *data, std::size_t count)
{
    for (;;) {
        ssize_t n = ::send(static_cast<int>(s), data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
    }
}

int waitWritable(Socket s, int timeoutMs)
{
    for (;;) {
        pollfd p{static_cast<int>(s), POLLOUT, 0};
        int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r == 0)
            return 0;
        if (r < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return -1;
        return 1;
    }
}

bool broken(Socket s)
{
    pollfd p{static_cast<int>(s), 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL));
}

long unsentBytes(Socket s)
{
    int unsent = 0;
    return ::ioctl(static_cast<int>(s), SIOCOUTQNSD, &unsent) == 0 ? unsent : -1;
}

void drainInput(Socket s)
{
    char sink[512];
    while (::recv(static_cast<int>(s), sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
}

void shutdownAndClose(Socket s, int)
{
    ::shutdown(static_cast<int>(s), SHUT_WR);
    ::close(static_cast<int>(s));
}

} // namespace netsock
