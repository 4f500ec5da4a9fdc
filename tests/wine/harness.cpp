// The Linux side of the Windows transport tests: pseudo-terminal printers
// behind Wine's COM1 to COM3, and a line-based control service on loopback
// through which the Windows test program asks them what arrived, makes them
// hold the line with XOFF, or answer. Usage:
//   tavo-wine-harness PREFIX PROGRAM [ARGS...]
// It points PREFIX's dosdevices at the printers, starts PROGRAM (with
// TAVO_HARNESS_PORT set), serves it until it ends and exits with its status.
#include "tests/support/ptyprinter.h"
#include "tests/wine/hexline.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPrinters = 3;

unsigned speedOf(speed_t s)
{
    switch (s) {
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

// The line settings as the printer's side of the line sees them.
std::string termiosOf(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return std::string("error ") + std::strerror(errno);
    std::ostringstream out;
    const bool raw = !(t.c_lflag & (ICANON | ECHO | ISIG)) && !(t.c_oflag & OPOST) &&
                     !(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
    out << "ospeed=" << speedOf(::cfgetospeed(&t)) << " ispeed=" << speedOf(::cfgetispeed(&t))
        << " cs8=" << ((t.c_cflag & CSIZE) == CS8) << " parenb=" << !!(t.c_cflag & PARENB)
        << " cstopb=" << !!(t.c_cflag & CSTOPB) << " crtscts=" << !!(t.c_cflag & CRTSCTS)
        << " ixon=" << !!(t.c_iflag & IXON) << " ixoff=" << !!(t.c_iflag & IXOFF)
        << " vstart=" << int(t.c_cc[VSTART]) << " vstop=" << int(t.c_cc[VSTOP]) << " raw=" << raw;
    return out.str();
}

// One request a line: "VERB PRINTER [ARGS]"; one answer a line.
std::string answer(std::vector<std::unique_ptr<PtyPrinter>> &printers, const std::string &line)
{
    std::istringstream in(line);
    std::string verb;
    int n = 0;
    in >> verb >> n;
    if (n < 1 || n > kPrinters)
        return "error no printer " + std::to_string(n);
    PtyPrinter &p = *printers[static_cast<std::size_t>(n - 1)];
    if (verb == "received")
        return hexOf(p.received());
    if (verb == "clear") {
        p.clearReceived();
        return "ok";
    }
    if (verb == "waitfor") {
        std::size_t count = 0;
        int ms = 5000;
        in >> count >> ms;
        return p.waitFor(count, ms) ? "ok" : "timeout";
    }
    if (verb == "quiet") {
        int ms = 50;
        in >> ms;
        return p.waitQuiet(ms) ? "ok" : "busy";
    }
    if (verb == "xoff") {
        p.sendXoff();
        return "ok";
    }
    if (verb == "xon") {
        p.sendXon();
        return "ok";
    }
    if (verb == "send") {
        std::string hex;
        in >> hex;
        p.send(bytesOf(hex));
        return "ok";
    }
    if (verb == "respond") { // answer REQUEST with REPLY from now on
        std::string request, reply;
        in >> request >> reply;
        const std::string req = bytesOf(request), rep = bytesOf(reply);
        p.setResponder([req, rep](const std::string &chunk) { return chunk == req ? rep : std::string(); });
        return "ok";
    }
    if (verb == "reading") {
        int on = 1;
        in >> on;
        p.setReading(on != 0);
        return "ok";
    }
    if (verb == "termios")
        return termiosOf(p.slaveFd());
    return "error unknown request " + verb;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tavo-wine-harness PREFIX PROGRAM [ARGS...]\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const std::string prefix = argv[1];
    std::vector<std::unique_ptr<PtyPrinter>> printers;
    for (int i = 1; i <= kPrinters; ++i) {
        printers.push_back(std::make_unique<PtyPrinter>());
        const std::string link = prefix + "/dosdevices/com" + std::to_string(i);
        ::unlink(link.c_str());
        if (::symlink(printers.back()->slavePath().c_str(), link.c_str()) != 0) {
            std::perror(link.c_str());
            return 2;
        }
        std::printf("harness: COM%d -> %s\n", i, printers.back()->slavePath().c_str());
    }
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(server, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(server, 4) != 0 ||
        ::getsockname(server, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        std::perror("harness: control socket");
        return 2;
    }
    const std::string port = std::to_string(ntohs(addr.sin_port));
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("TAVO_HARNESS_PORT", port.c_str(), 1);
        ::execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    // One client at a time (the test program keeps one connection open).
    std::vector<pollfd> fds{{server, POLLIN, 0}};
    std::vector<std::string> pending(1);
    int status = 0;
    for (;;) {
        if (::waitpid(child, &status, WNOHANG) == child)
            break;
        if (::poll(fds.data(), fds.size(), 100) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            const int c = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                fds.push_back({c, POLLIN, 0});
                pending.emplace_back();
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[4096];
            const ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
            if (got <= 0) {
                ::close(fds[i].fd);
                fds.erase(fds.begin() + static_cast<long>(i));
                pending.erase(pending.begin() + static_cast<long>(i));
                --i;
                continue;
            }
            pending[i].append(buf, static_cast<std::size_t>(got));
            for (std::size_t nl; (nl = pending[i].find('\n')) != std::string::npos;) {
                std::string line = pending[i].substr(0, nl);
                pending[i].erase(0, nl + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                const std::string reply = answer(printers, line) + "\n";
                (void)!::write(fds[i].fd, reply.data(), reply.size());
            }
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
