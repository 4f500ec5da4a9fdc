#include "tests/support/ptyprinter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPrinter::PtyPrinter()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_slavePath = ::ptsname(m_master);
    m_slaveFd = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveFd < 0 || ::pipe2(m_wake, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot open the slave side");
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

PtyPrinter::~PtyPrinter()
{
    m_stop = true;
    char c = 0;
    (void)!::write(m_wake[1], &c, 1);
    m_thread.join();
    if (m_master >= 0)
        ::close(m_master);
    ::close(m_slaveFd);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void PtyPrinter::run()
{
    char buf[4096];
    while (!m_stop) {
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_master, static_cast<short>(m_reading ? POLLIN : 0), 0}};
        const int n = m_master >= 0 ? 2 : 1;
        ::poll(fds, n, m_reading ? 50 : 10);
        if (fds[0].revents & POLLIN) {
            char c;
            (void)!::read(m_wake[0], &c, 1);
            continue;
        }
        if (!m_reading || m_master < 0)
            continue;
        std::size_t room = sizeof buf;
        if (const int pace = m_pace; pace > 0) {
            // Take bytes no faster than a line at that rate would bring them.
            const auto now = std::chrono::steady_clock::now();
            if (m_paceRead == 0)
                m_paceStart = now;
            const double seconds = std::chrono::duration<double>(now - m_paceStart).count();
            const auto allowed = static_cast<long long>(seconds * pace) + pace / 100 + 1 -
                                 static_cast<long long>(m_paceRead);
            if (allowed <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            room = std::min<std::size_t>(room, static_cast<std::size_t>(allowed));
        }
        ssize_t got = ::read(m_master, buf, room);
        if (got > 0)
            m_paceRead += static_cast<std::size_t>(got);
        if (got <= 0)
            continue; // EAGAIN, or EIO while no slave is open
        std::string reply;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_received.append(buf, static_cast<std::size_t>(got));
            if (m_responder)
                reply = m_responder(std::string(buf, static_cast<std::size_t>(got)));
        }
        m_cv.notify_all();
        if (!reply.empty())
            (void)!::write(m_master, reply.data(), reply.size());
    }
}

std::string PtyPrinter::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void PtyPrinter::clearReceived()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received.clear();
}

bool PtyPrinter::waitFor(std::size_t n, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.size() >= n; });
}

bool PtyPrinter::waitQuiet(int quietMs, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t before = m_received.size();
        if (!m_cv.wait_for(lock, std::chrono::milliseconds(quietMs), [&] { return m_received.size() != before; }))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
    }
}

void PtyPrinter::setResponder(std::function<std::string(const std::string &)> responder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responder = std::move(responder);
}

void PtyPrinter::setPace(int bytesPerSecond)
{
    m_paceRead = 0;
    m_pace = bytesPerSecond;
}

void PtyPrinter::setReading(bool reading)
{
    m_reading = reading;
    char c = 0;
    (void)!::write(m_wake[1], &c, 1);
}

void PtyPrinter::send(const std::string &bytes)
{
    (void)!::write(m_master, bytes.data(), bytes.size());
}

void PtyPrinter::sendXoff()
{
    const char c = 0x13;
    (void)!::write(m_master, &c, 1);
    // The slave's line discipline stops its output only once its work queue
    // has taken the byte, and nothing on either side shows that moment; a
    // short pause here is what a printer's XOFF takes on a real line.
    std::this_thread::sleep_for(std::chrono::milliseconds(kXoffSettleMs));
}

void PtyPrinter::sendXon()
{
    const char c = 0x11;
    (void)!::write(m_master, &c, 1);
}

void PtyPrinter::hangUp()
{
    m_reading = false;
    char c = 0;
    (void)!::write(m_wake[1], &c, 1);
    // A moment for the reader thread to leave its poll on the master,
    // which it does not report, before the descriptor goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ::close(m_master);
    m_master = -1;
}
