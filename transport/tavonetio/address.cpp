#include "transport/tavonetio/address.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif
#include <cctype>

namespace tavonet {

namespace {

bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trimmed(const std::string &text)
{
    // The ideographic space (U+3000, UTF-8 E3 80 80) is pasted as often as a plain one.
    static const std::string wide = "\xE3\x80\x80";
    std::size_t b = 0, e = text.size();
    for (;;) {
        if (b < e && isBlank(static_cast<unsigned char>(text[b])))
            ++b;
        else if (e - b >= 3 && text.compare(b, 3, wide) == 0)
            b += 3;
        else
            break;
    }
    for (;;) {
        if (e > b && isBlank(static_cast<unsigned char>(text[e - 1])))
            --e;
        else if (e - b >= 3 && text.compare(e - 3, 3, wide) == 0)
            e -= 3;
        else
            break;
    }
    return text.substr(b, e - b);
}

PortProblem readPort(const std::string &text, int &port)
{
    if (text.empty())
        return PortProblem::Missing;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return PortProblem::NotANumber;
    if (text.size() > 5)
        return PortProblem::OutOfRange;
    port = std::stoi(text);
    return port >= 1 && port <= 65535 ? PortProblem::None : PortProblem::OutOfRange;
}

bool isNumeric(int family, const std::string &host)
{
    unsigned char buf[16];
    return ::inet_pton(family, host.c_str(), buf) == 1;
}

// A host name as DNS and local name services take it: labels of letters,
// digits, '-' and '_', none empty, none starting or ending with '-'.
bool isHostName(const std::string &host)
{
    if (host.empty() || host.size() > 253)
        return false;
    bool onlyDigitsAndDots = true;
    std::size_t label = 0;
    for (std::size_t i = 0; i <= host.size(); ++i) {
        const char c = i < host.size() ? host[i] : '.';
        if (c == '.') {
            if (label == 0 || label > 63 || host[i - 1] == '-' || host[i - label] == '-')
                return false;
            label = 0;
            continue;
        }
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_')
            return false;
        if (!std::isdigit(static_cast<unsigned char>(c)))
            onlyDigitsAndDots = false;
        ++label;
    }
    // "1.2.3" is a mistyped address, not a name (a lookup would read it as 1.2.0.3).
    return !onlyDigitsAndDots;
}

} // namespace

AddressText readAddress(const std::string &original)
{
    const std::string text = trimmed(original);
    AddressText a;
    Endpoint &ep = a.endpoint;
    bool hasPort = false;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos) {
            a.hostText = text.substr(1);
            a.host = HostProblem::UnclosedBracket;
            return a;
        }
        a.hostText = text.substr(1, close - 1);
        ep.ipv6 = true;
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                a.host = HostProblem::TextAfterBracket;
            else {
                hasPort = true;
                a.portText = rest.substr(1);
            }
        }
        if (a.host == HostProblem::None && !isNumeric(AF_INET6, a.hostText))
            a.host = a.hostText.empty() ? HostProblem::Empty : HostProblem::NotAnAddress;
    } else if (text.find(':') != text.rfind(':') && isNumeric(AF_INET6, text)) {
        a.hostText = text; // a bare IPv6 address: its colons are no port
        ep.ipv6 = true;
    } else {
        const auto colon = text.find(':');
        a.hostText = text.substr(0, colon);
        if (colon != std::string::npos) {
            hasPort = true;
            a.portText = text.substr(colon + 1);
        }
        if (a.hostText.empty())
            a.host = HostProblem::Empty;
        else if (!isNumeric(AF_INET, a.hostText)) {
            if (isHostName(a.hostText))
                ep.numeric = false;
            else
                a.host = HostProblem::NotAnAddress;
        }
    }
    ep.host = a.hostText;
    if (hasPort)
        a.port = readPort(a.portText, ep.port);
    return a;
}

std::optional<Endpoint> parseAddress(const std::string &text)
{
    const AddressText a = readAddress(text);
    if (!a.ok())
        return std::nullopt;
    return a.endpoint;
}

const addrinfo *preferredAddress(const addrinfo *list)
{
    const addrinfo *pick = nullptr;
    for (const addrinfo *a = list; a != nullptr; a = a->ai_next)
        if ((a->ai_family == AF_INET && (pick == nullptr || pick->ai_family != AF_INET)) ||
            (a->ai_family == AF_INET6 && pick == nullptr))
            pick = a;
    return pick;
}

std::optional<Endpoint> lookUpName(const std::string &name, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    const addrinfo *pick = preferredAddress(found);
    std::optional<Endpoint> ep;
    char text[NI_MAXHOST];
    if (pick != nullptr && ::getnameinfo(pick->ai_addr, static_cast<socklen_t>(pick->ai_addrlen), text, sizeof text,
                                         nullptr, 0, NI_NUMERICHOST) == 0) {
        ep = Endpoint{text, port, pick->ai_family == AF_INET6, true};
        // A scoped IPv6 address ("fe80::1%eth0") keeps no scope here.
        const auto scope = ep->host.find('%');
        if (scope != std::string::npos)
            ep->host.erase(scope);
    }
    ::freeaddrinfo(found);
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
