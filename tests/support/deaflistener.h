#pragma once
// A loopback listener of the test's own that accepts nobody: a printer that
// never answers a connect.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

// With a queue of one place taken by `fill()`, the host drops every further
// SYN.
struct Listener {
    Listener(int family, int backlog)
    {
        fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_storage a{};
        socklen_t len = 0;
        if (family == AF_INET6) {
            auto *a6 = reinterpret_cast<sockaddr_in6 *>(&a);
            a6->sin6_family = AF_INET6;
            a6->sin6_addr = in6addr_loopback;
            len = sizeof *a6;
        } else {
            auto *a4 = reinterpret_cast<sockaddr_in *>(&a);
            a4->sin_family = AF_INET;
            a4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            len = sizeof *a4;
        }
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), len) != 0 || ::listen(fd, backlog) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) != 0) {
            ::close(fd);
            fd = -1;
            return;
        }
        port = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6 *>(&a)->sin6_port
                                        : reinterpret_cast<sockaddr_in *>(&a)->sin_port);
    }
    ~Listener()
    {
        if (filler >= 0)
            ::close(filler);
        if (fd >= 0)
            ::close(fd);
    }
    // Takes the queue's one place, and waits until the host has queued it.
    bool fill()
    {
        filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        pollfd queued{fd, POLLIN, 0};
        return ::connect(filler, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::poll(&queued, 1, 5000) == 1;
    }
    int fd = -1, port = 0, filler = -1;
};
