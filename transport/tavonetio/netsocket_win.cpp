#include "transport/tavonetio/netsocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace netsock {

namespace {

bool started()
{
    static const bool ok = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ok;
}

SOCKET raw(Socket s) { return static_cast<SOCKET>(s); }

} // namespace

std::optional<tavonet::Endpoint> lookupHost(const std::string &name, int port)
{
    if (!started())
        return std::nullopt;
    return tavonet::lookUpName(name, port);
}

Socket beginConnect(const tavonet::Endpoint &to)
{
    if (!started())
        return kNoSocket;
    sockaddr_storage addr{};
    const int len = tavonet::toSocketAddress(to, &addr);
    SOCKET s = ::socket(addr.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return kNoSocket;
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    BOOL one = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char *>(&one), sizeof one);
    if (::connect(s, reinterpret_cast<sockaddr *>(&addr), len) != 0 && ::WSAGetLastError() != WSAEWOULDBLOCK) {
        ::closesocket(s);
        return kNoSocket;
    }
    return static_cast<Socket>(s);
}

bool connected(Socket s)
{
    int soError = 0;
    int soLen = sizeof soError;
    return ::getsockopt(raw(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&soError), &soLen) == 0 &&
           soError == 0;
}

long sendSome(Socket s, const std::uint8_t *data, std::size_t count)
{
    const int chunk = count > 0x40000000 ? 0x40000000 : static_cast<int>(count);
    int n = ::send(raw(s), reinterpret_cast<const char *>(data), chunk, 0);
    if (n >= 0)
        return n;
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

int waitWritable(Socket s, int timeoutMs)
{
    WSAPOLLFD p{raw(s), POLLWRNORM, 0};
    int r = ::WSAPoll(&p, 1, timeoutMs);
    if (r == 0)
        return 0;
    if (r < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
        return -1;
    return 1;
}

bool broken(Socket s)
{
    WSAPOLLFD p{raw(s), POLLRDNORM, 0};
    return ::WSAPoll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL));
}

long unsentBytes(Socket) { return -1; }

long long acknowledgedBytes(Socket) { return -1; }

long receiveSome(Socket s, std::uint8_t *data, std::size_t count)
{
    const int n = ::recv(raw(s), reinterpret_cast<char *>(data), static_cast<int>(count), 0);
    if (n > 0)
        return n;
    return (n < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK) ? 0 : -1;
}

void drainInput(Socket s)
{
    char sink[512];
    while (::recv(raw(s), sink, sizeof sink, 0) > 0) {
    }
}

void shutdownAndClose(Socket s, int lingerMs)
{
    // Windows cannot tell what is still unsent; a blocking close with a
    // linger lets the bytes go out within the send time-out.
    u_long blocking = 0;
    ::ioctlsocket(raw(s), FIONBIO, &blocking);
    linger l{1, static_cast<u_short>(lingerMs / 1000)};
    ::setsockopt(raw(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&l), sizeof l);
    ::shutdown(raw(s), SD_SEND);
    ::closesocket(raw(s));
}

} // namespace netsock
