#include "transport/tavonetio/netsocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstddef>
#include <linux/sockios.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace netsock {

std::optional<tavonet::Endpoint> lookupHost(const std::string &name, int port)
{
    return tavonet::lookUpName(name, port);
}

namespace {

ConnectFailure failureOf(int e)
{
    switch (e) {
    case 0: return ConnectFailure::None;
    case ECONNREFUSED: return ConnectFailure::Refused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN: return ConnectFailure::NoRoute;
    case ETIMEDOUT: return ConnectFailure::NoAnswer;
    default: return ConnectFailure::Other;
    }
}

} // namespace

Socket beginConnect(const tavonet::Endpoint &to, ConnectFailure &why)
{
    sockaddr_storage addr{};
    const auto len = static_cast<socklen_t>(tavonet::toSocketAddress(to, &addr));
    int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        why = ConnectFailure::Other;
        return kNoSocket;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), len) == 0 || errno == EINPROGRESS) {
        why = ConnectFailure::None;
        return fd;
    }
    why = failureOf(errno);
    ::close(fd);
    return kNoSocket;
}

ConnectFailure connectResult(Socket s)
{
    int soError = 0;
    socklen_t soLen = sizeof soError;
    if (::getsockopt(static_cast<int>(s), SOL_SOCKET, SO_ERROR, &soError, &soLen) != 0)
        return ConnectFailure::Other;
    return failureOf(soError);
}

bool connected(Socket s) { return connectResult(s) == ConnectFailure::None; }

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

long long acknowledgedBytes(Socket s)
{
    struct tcp_info info {};
    socklen_t len = sizeof info;
    if (::getsockopt(static_cast<int>(s), IPPROTO_TCP, TCP_INFO, &info, &len) != 0 ||
        len < offsetof(struct tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked)
        return -1;
    // The counter starts at 1: the peer's acknowledgement of our SYN.
    return info.tcpi_bytes_acked > 0 ? static_cast<long long>(info.tcpi_bytes_acked) - 1 : 0;
}

long receiveSome(Socket s, std::uint8_t *data, std::size_t count)
{
    for (;;) {
        const ssize_t n = ::recv(static_cast<int>(s), data, count, MSG_DONTWAIT);
        if (n > 0)
            return static_cast<long>(n);
        if (n < 0 && errno == EINTR)
            continue;
        return (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) ? 0 : -1;
    }
}

void drainInput(Socket s)
{
    char sink[512];
    while (::recv(static_cast<int>(s), sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
}

void shutdownAndClose(Socket s, int lingerMs)
{
    const int fd = static_cast<int>(s);
    if (lingerMs == 0) {
        // A graceful close would leave the kernel sending its whole queue
        // (megabytes on a fast link) after the operator's Cancel.
        const linger now{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    } else {
        ::shutdown(fd, SHUT_WR);
    }
    ::close(fd);
}

} // namespace netsock
