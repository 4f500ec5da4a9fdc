#include "tests/support/tcpprinter.h"

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int listenLoopback(int &port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 16) != 0)
        throw std::runtime_error("cannot listen on loopback");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

} // namespace

TcpPrinter::TcpPrinter(Mode mode, std::size_t resetAfter) : m_mode(mode), m_resetAfter(resetAfter)
{
    m_listen = listenLoopback(m_port);
    if (m_mode == Mode::NeverRead) {
        // Small buffers, so that a printer that never reads fills up soon.
        int small = 4096;
        ::setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    if (::pipe2(m_wake, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    m_thread = std::thread([this] { run(); });
}

TcpPrinter::~TcpPrinter()
{
    m_stop = true;
    char c = 0;
    (void)!::write(m_wake[1], &c, 1);
    m_thread.join();
    ::close(m_listen);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

int TcpPrinter::unusedPort()
{
    int port = 0;
    int fd = listenLoopback(port);
    ::close(fd);
    return port;
}

void TcpPrinter::run()
{
    std::vector<int> held; // connections of a printer that never reads
    while (!m_stop) {
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_listen, POLLIN, 0}};
        ::poll(fds, 2, -1);
        if (m_stop)
            break;
        if (!(fds[1].revents & POLLIN))
            continue;
        int c = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            continue;
        ++m_accepted;
        if (m_mode == Mode::NeverRead) {
            held.push_back(c);
            continue;
        }
        std::string data;
        char buf[65536];
        for (;;) {
            pollfd p[2] = {{m_wake[0], POLLIN, 0}, {c, POLLIN, 0}};
            ::poll(p, 2, 10000);
            if (m_stop || !(p[1].revents & (POLLIN | POLLHUP | POLLERR)))
                break;
            ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0)
                break;
            data.append(buf, static_cast<std::size_t>(n));
            if (m_mode == Mode::ResetAfter && data.size() >= m_resetAfter) {
                linger l{1, 0}; // close with a reset
                ::setsockopt(c, SOL_SOCKET, SO_LINGER, &l, sizeof l);
                break;
            }
        }
        ::close(c);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_connections.push_back(data);
        }
        m_cv.notify_all();
    }
    for (int c : held)
        ::close(c);
}

std::vector<std::string> TcpPrinter::connections() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connections;
}

bool TcpPrinter::waitForConnections(std::size_t n, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_connections.size() >= n; });
}
