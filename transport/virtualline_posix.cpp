#include "transport/virtualline.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vline {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

int bitsOf(speed_t s)
{
    static const struct {
        speed_t code;
        int bits;
    } table[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
                 {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
    for (const auto &t : table)
        if (t.code == s)
            return t.bits;
    return 0;
}

} // namespace

Pty openPty(const std::string &linkPath)
{
    Pty p;
    if (!linkPath.empty()) {
        // The link is ours only while we hold its lock: re-pointing a link
        // that another live printer serves would leave that one unreachable.
        const std::string lockPath = linkPath + ".lock";
        p.lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (p.lock < 0)
            fail("open " + lockPath);
        if (::flock(p.lock, LOCK_EX | LOCK_NB) != 0) {
            char pid[32] = {};
            (void)!::pread(p.lock, pid, sizeof pid - 1, 0);
            ::close(p.lock);
            errno = EBUSY;
            fail(linkPath + " is served by another virtual printer (PID " + std::string(pid) + ")");
        }
        const std::string me = std::to_string(::getpid());
        (void)!::ftruncate(p.lock, 0);
        (void)!::pwrite(p.lock, me.data(), me.size(), 0);
    }
    char name[256] = {};
    if (::openpty(&p.master, &p.slave, name, nullptr, nullptr) != 0)
        fail("openpty");
    p.slavePath = name;
    termios t{};
    ::tcgetattr(p.slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(p.slave, TCSANOW, &t);
    ::fcntl(p.master, F_SETFL, ::fcntl(p.master, F_GETFL) | O_NONBLOCK);
    ::fcntl(p.master, F_SETFD, FD_CLOEXEC);
    ::fcntl(p.slave, F_SETFD, FD_CLOEXEC);
    if (!linkPath.empty()) {
        struct stat st {};
        if (::lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                errno = EEXIST;
                fail(linkPath + " exists and is no symlink");
            }
            ::unlink(linkPath.c_str());
        }
        if (::symlink(name, linkPath.c_str()) != 0)
            fail("symlink " + linkPath);
    }
    return p;
}

int lineBits(const Pty &pty)
{
    termios t{};
    return ::tcgetattr(pty.slave, &t) == 0 ? bitsOf(::cfgetospeed(&t)) : 0;
}

void closePty(Pty &pty, const std::string &linkPath)
{
    if (!linkPath.empty()) {
        char target[256] = {};
        if (::readlink(linkPath.c_str(), target, sizeof target - 1) > 0 && pty.slavePath == target)
            ::unlink(linkPath.c_str());
    }
    closeFd(pty.master);
    closeFd(pty.slave);
    if (pty.lock >= 0) {
        ::unlink((linkPath + ".lock").c_str());
        closeFd(pty.lock);
    }
    pty.master = pty.slave = pty.lock = -1;
}

Fifo openFifo(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (::mkfifo(path.c_str(), 0660) != 0)
            fail("mkfifo " + path);
    } else if (!S_ISFIFO(st.st_mode)) {
        errno = EEXIST;
        fail(path + " exists and is no FIFO");
    }
    Fifo f;
    f.read = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (f.read < 0)
        fail("open " + path);
    f.hold = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (f.hold < 0) {
        closeFd(f.read);
        fail("open " + path + " for writing");
    }
    return f;
}

void closeFifo(Fifo &fifo)
{
    closeFd(fifo.hold);
    closeFd(fifo.read);
    fifo = Fifo();
}

long readSome(int fd, char *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        // EIO: the pseudo-terminal's other side closed; EAGAIN: nothing yet.
        return errno == EIO ? 0 : -1;
    }
}

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, 100) <= 0)
            return false;
    }
    return true;
}

void closeFd(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

} // namespace vline
