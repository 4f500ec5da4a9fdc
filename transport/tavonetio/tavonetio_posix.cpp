#include "transport/tavonetio/tavonetio.h"

#include "transport/tavonetio/address.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// One connection at a time: every caller works on the window thread, one
// command after the other.
int g_socket = -1;
int g_sendTimeoutMs = 0;
bool g_broken = false;

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

int clampSeconds(int32_t s) { return s < 0 ? 0 : (s > 600 ? 600 : s); }

void dropConnection()
{
    if (g_socket >= 0)
        ::close(g_socket);
    g_socket = -1;
}

} // namespace

extern "C" uint8_t TavoNetOpen(const char *address, int32_t connectTimeoutS, int32_t sendTimeoutS)
{
    dropConnection();
    if (address == nullptr)
        return 0;
    auto ep = tavonet::parseAddress(address);
    if (!ep)
        return 0;

    sockaddr_storage addr{};
    socklen_t len = 0;
    if (ep->ipv6) {
        auto *a6 = reinterpret_cast<sockaddr_in6 *>(&addr);
        a6->sin6_family = AF_INET6;
        a6->sin6_port = htons(static_cast<uint16_t>(ep->port));
        ::inet_pton(AF_INET6, ep->host.c_str(), &a6->sin6_addr);
        len = sizeof(sockaddr_in6);
    } else {
        auto *a4 = reinterpret_cast<sockaddr_in *>(&addr);
        a4->sin_family = AF_INET;
        a4->sin_port = htons(static_cast<uint16_t>(ep->port));
        ::inet_pton(AF_INET, ep->host.c_str(), &a4->sin_addr);
        len = sizeof(sockaddr_in);
    }

    int fd = ::socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

    const auto deadline = Clock::now() + std::chrono::seconds(clampSeconds(connectTimeoutS));
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), len) != 0) {
        if (errno != EINPROGRESS) {
            ::close(fd);
            return 0;
        }
        for (;;) {
            pollfd p{fd, POLLOUT, 0};
            int r = ::poll(&p, 1, msLeft(deadline));
            if (r < 0 && errno == EINTR)
                continue;
            int soError = 0;
            socklen_t soLen = sizeof soError;
            if (r <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &soLen) != 0 || soError != 0) {
                ::close(fd);
                return 0;
            }
            break;
        }
    }
    g_socket = fd;
    g_broken = false;
    g_sendTimeoutMs = clampSeconds(sendTimeoutS) * 1000;
    return 1;
}

extern "C" int32_t TavoNetSend(const uint8_t *data, int32_t count)
{
    if (g_socket < 0 || data == nullptr || count <= 0)
        return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(g_sendTimeoutMs);
    int32_t done = 0;
    while (done < count) {
        ssize_t n = ::send(g_socket, data + done, static_cast<size_t>(count - done), MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<int32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            g_broken = true; // reset by the printer: the rest cannot go out
            break;
        }
        pollfd p{g_socket, POLLOUT, 0};
        int r = ::poll(&p, 1, msLeft(deadline));
        if (r == 0 || (r > 0 && (p.revents & (POLLERR | POLLHUP))))
            break;
    }
    return done;
}

extern "C" int32_t TavoNetClose(void)
{
    if (g_socket < 0)
        return 0;
    // Closing while bytes still wait in the send queue would let a reset
    // from the printer throw them away, so wait, within the send time-out,
    // until every byte has gone out on the wire.
    const auto deadline = Clock::now() + std::chrono::milliseconds(g_sendTimeoutMs);
    int32_t allLeft = 0;
    for (;;) {
        // A connection the printer has reset or closed takes no more bytes.
        pollfd p{g_socket, 0, 0};
        if (g_broken || (::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP))))
            break;
        int unsent = 0;
        if (::ioctl(g_socket, SIOCOUTQNSD, &unsent) != 0)
            break;
        if (unsent == 0) {
            allLeft = 1;
            break;
        }
        if (msLeft(deadline) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Status bytes a printer may have sent are read away: closing with
    // unread input would answer the printer with a reset.
    char sink[512];
    while (::recv(g_socket, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
    ::shutdown(g_socket, SHUT_WR);
    dropConnection();
    return allLeft;
}
