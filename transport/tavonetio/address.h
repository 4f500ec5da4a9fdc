#pragma once
// Parsing of the printer address text of TavoNetIO, kept apart so that it can
// be tested and fuzzed without a network.
#include <optional>
#include <string>

struct addrinfo;

namespace tavonet {

struct Endpoint {
    std::string host; // numeric IPv4 or IPv6 address, or a host name
    int port = 9100;
    bool ipv6 = false;
    bool numeric = true; // false: `host` is a name still to be looked up
};

constexpr int kDefaultPort = 9100;

// What is wrong with the part before the port, and with the port.
enum class HostProblem { None, Empty, NotAnAddress, UnclosedBracket, TextAfterBracket };
enum class PortProblem { None, Missing, NotANumber, OutOfRange };

struct AddressText {
    Endpoint endpoint;
    std::string hostText; // as written, without brackets
    std::string portText;
    HostProblem host = HostProblem::None;
    PortProblem port = PortProblem::None;
    bool ok() const { return host == HostProblem::None && port == PortProblem::None; }
};

// "192.0.2.1", "192.0.2.1:9101", "[::1]", "[::1]:9101", "fe80::1",
// "printer", "localhost:9101". Blanks around the text (a pasted space)
// do not count.
AddressText readAddress(const std::string &text);
std::optional<Endpoint> parseAddress(const std::string &text);

// Looks a host name up, blocking: its first IPv4 address, else its first
// IPv6 one, with `port`. On Windows the socket layer must be started first.
std::optional<Endpoint> lookUpName(const std::string &name, int port);

// The address lookUpName takes from a lookup's answer list: the first IPv4
// one, else the first IPv6 one, else none.
const addrinfo *preferredAddress(const addrinfo *list);

// Fills `storage` (a sockaddr_storage) with a numeric endpoint's socket
// address and returns its length.
int toSocketAddress(const Endpoint &to, void *storage);

} // namespace tavonet
