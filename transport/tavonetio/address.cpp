#include "transport/tavonetio/address.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif
#include <cctype>

namespace tavonet {

namespace {

std::optional<int> parsePort(const std::string &text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int port = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

} // namespace

std::optional<Endpoint> parseAddress(const std::string &text)
{
    Endpoint ep;
    std::string portText;
    if (!text.empty() && text.front() == '[') {
        auto close = text.find(']');
        if (close == std::string::npos)
            return std::nullopt;
        ep.host = text.substr(1, close - 1);
        ep.ipv6 = true;
        std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            portText = rest.substr(1);
            if (portText.empty())
                return std::nullopt;
        }
    } else {
        auto colon = text.find(':');
        ep.host = text.substr(0, colon);
        if (colon != std::string::npos) {
            portText = text.substr(colon + 1);
            if (portText.empty())
                return std::nullopt;
        }
    }
    if (!portText.empty()) {
        auto port = parsePort(portText);
        if (!port)
            return std::nullopt;
        ep.port = *port;
    }
    unsigned char buf[16];
    if (::inet_pton(ep.ipv6 ? AF_INET6 : AF_INET, ep.host.c_str(), buf) != 1)
        return std::nullopt;
    return ep;
}

int toSocketAddress(const Endpoint &to, void *storage)
{
    auto *addr = static_cast<sockaddr_storage *>(storage);
    *addr = sockaddr_storage{};
    if (to.ipv6) {
        auto *a6 = reinterpret_cast<sockaddr_in6 *>(addr);
        a6->sin6_family = AF_INET6;
        a6->sin6_port = htons(static_cast<unsigned short>(to.port));
        ::inet_pton(AF_INET6, to.host.c_str(), &a6->sin6_addr);
        return static_cast<int>(sizeof(sockaddr_in6));
    }
    auto *a4 = reinterpret_cast<sockaddr_in *>(addr);
    a4->sin_family = AF_INET;
    a4->sin_port = htons(static_cast<unsigned short>(to.port));
    ::inet_pton(AF_INET, to.host.c_str(), &a4->sin_addr);
    return static_cast<int>(sizeof(sockaddr_in));
}

} // namespace tavonet
