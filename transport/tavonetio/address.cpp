#include "transport/tavonetio/address.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
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

} // namespace tavonet
