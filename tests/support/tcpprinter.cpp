#include "tests/support/tcpprinter.h"

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <algorithm>
#include <map>
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
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 128) != 0)
        throw std::runtime_error("cannot listen on loopback");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

} // namespace

TcpPrinter::TcpPrinter(Mode mode, std::size_t amount, int intervalMs)
    : m_mode(mode), m_amount(amount), m_intervalMs(intervalMs)
{
    m_listen = listenLoopback(m_port);
    if (m_mode == Mode::NeverRead || m_mode == Mode::Paced) {
        // Small buffers, as a printer has: one that never reads fills up
        // soon, and a slow one acknowledges only what it has room for.
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
    struct Conn {
        std::size_t index;
        std::string data;
    };
    std::map<int, Conn> open; // every connection at once, as a printer's network card would
    std::size_t nextIndex = 0;
    std::vector<pollfd> fds;
    char buf[65536];
    while (!m_stop) {
        fds.assign({{m_wake[0], POLLIN, 0}, {m_listen, POLLIN, 0}});
        if (m_mode != Mode::NeverRead)
            for (auto &c : open)
                fds.push_back({c.first, POLLIN, 0});
        ::poll(fds.data(), fds.size(), -1);
        if (m_stop)
            break;
        if (fds[1].revents & POLLIN) {
            int c = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                ++m_accepted;
                open[c] = Conn{nextIndex++, {}};
                std::lock_guard<std::mutex> lock(m_mutex);
                m_connections.resize(nextIndex);
                m_finished.resize(nextIndex, false);
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const int c = fds[i].fd;
            Conn &conn = open[c];
            const bool paced = m_mode == Mode::Paced;
            ssize_t n = ::read(c, buf, paced ? std::min(sizeof buf, m_amount) : sizeof buf);
            if (n > 0) {
                conn.data.append(buf, static_cast<std::size_t>(n));
                m_total += static_cast<std::size_t>(n);
                if (paced) // the pace is the point: a printer busy printing
                    std::this_thread::sleep_for(std::chrono::milliseconds(m_intervalMs));
            }
            const bool reset = m_mode == Mode::ResetAfter && conn.data.size() >= m_amount;
            if (n > 0 && !reset)
                continue;
            if (reset) {
                linger l{1, 0}; // close with a reset
                ::setsockopt(c, SOL_SOCKET, SO_LINGER, &l, sizeof l);
            }
            ::close(c);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_connections[conn.index] = conn.data;
                m_finished[conn.index] = true;
            }
            open.erase(c);
            m_cv.notify_all();
        }
    }
    for (auto &c : open)
        ::close(c.first);
}

std::vector<std::string> TcpPrinter::connections() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> done;
    for (std::size_t i = 0; i < m_connections.size() && m_finished[i]; ++i)
        done.push_back(m_connections[i]);
    return done;
}

bool TcpPrinter::waitForConnections(std::size_t n, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        std::size_t done = 0;
        while (done < m_finished.size() && m_finished[done])
            ++done;
        return done >= n;
    });
}
