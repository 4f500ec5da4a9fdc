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

ConnectFailure failureOf(int e)
{
    switch (e) {
    case 0: return ConnectFailure::None;
    case WSAECONNREFUSED: return ConnectFailure::Refused;
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAENETDOWN:
    case WSAEHOSTDOWN: return ConnectFailure::NoRoute;
    case WSAETIMEDOUT: return ConnectFailure::NoAnswer;
    default: return ConnectFailure::Other;
    }
}

} // namespace

std::optional<tavonet::Endpoint> lookupHost(const std::string &name, int port)
{
    if (!started())
        return std::nullopt;
    return tavonet::lookUpName(name, port);
}

Socket beginConnect(const tavonet::Endpoint &to, ConnectFailure &why)
{
    why = ConnectFailure::Other;
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
        why = failureOf(::WSAGetLastError());
        ::closesocket(s);
        return kNoSocket;
    }
    why = ConnectFailure::None;
    return static_cast<Socket>(s);
}

ConnectFailure connectResult(Socket s)
{
    int soError = 0;
    int soLen = sizeof soError;
    if (::getsockopt(raw(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&soError), &soLen) != 0)
        return ConnectFailure::Other;
    return failureOf(soError);
}

bool connected(Socket s) { return connectResult(s) == ConnectFailure::None; }

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

namespace {

// SIO_TCP_INFO (Windows 10 1703 and later) and its version-0 answer, spelt
// out here because older SDK headers lack them.
constexpr DWORD kSioTcpInfo = 0xD8000027;
struct TcpInfoV0 {
    int State;
    ULONG Mss;
    ULONG64 ConnectionTimeMs;
    BOOLEAN TimestampsEnabled;
    ULONG RttUs;
    ULONG MinRttUs;
    ULONG BytesInFlight;
    ULONG Cwnd;
    ULONG SndWnd;
    ULONG RcvWnd;
    ULONG RcvBuf;
    ULONG64 BytesOut;
    ULONG64 BytesIn;
    ULONG BytesReordered;
    ULONG BytesRetrans;
    ULONG FastRetrans;
    ULONG DupAcksIn;
    ULONG TimeoutEpisodes;
    UCHAR SynRetrans;
};

} // namespace

long long acknowledgedBytes(Socket s)
{
    DWORD version = 0, got = 0;
    TcpInfoV0 info{};
    if (::WSAIoctl(raw(s), kSioTcpInfo, &version, sizeof version, &info, sizeof info, &got, nullptr, nullptr) != 0 ||
        got < sizeof info)
        return -1;
    // Sent, less what was sent twice and what still waits for its
    // acknowledgement.
    const ULONG64 unacked = ULONG64(info.BytesRetrans) + info.BytesInFlight;
    return info.BytesOut > unacked ? static_cast<long long>(info.BytesOut - unacked) : 0;
}

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
    if (lingerMs == 0) {
        // A reset: nothing still queued leaves after a Cancel.
        linger now{1, 0};
        ::setsockopt(raw(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&now), sizeof now);
        ::closesocket(raw(s));
        return;
    }
    // Where Windows cannot tell what is still unsent, a blocking close with a
    // linger lets the bytes go out within the send time-out.
    u_long blocking = 0;
    ::ioctlsocket(raw(s), FIONBIO, &blocking);
    linger l{1, static_cast<u_short>((lingerMs + 999) / 1000)};
    ::setsockopt(raw(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char *>(&l), sizeof l);
    ::shutdown(raw(s), SD_SEND);
    ::closesocket(raw(s));
}

} // namespace netsock
