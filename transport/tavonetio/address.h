#pragma once
// Parsing of the printer address text of TavoNetIO, kept apart so that it can
// be tested and fuzzed without a network.
#include <optional>
#include <string>

namespace tavonet {

struct Endpoint {
    std::string host; // numeric IPv4 or IPv6 address
    int port = 9100;
    bool ipv6 = false;
};

constexpr int kDefaultPort = 9100;

// "192.0.2.1", "192.0.2.1:9101", "[::1]", "[::1]:9101". Only numeric
// addresses: a name lookup could hang far past the connect time-out.
std::optional<Endpoint> parseAddress(const std::string &text);

// Fills `storage` (a sockaddr_storage) with the endpoint's socket address and
// returns its length.
int toSocketAddress(const Endpoint &to, void *storage);

} // namespace tavonet
