#pragma once
// Asking many network printers at once for their status: a connect with a
// short time-out to each address, the request, and what comes back. Only
// the request is ever sent, and only to the port named.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace netprobe {

struct Target {
    std::uint32_t address = 0; // IPv4, host order
    std::uint16_t port = 9100;
};

struct Answer {
    enum class Outcome {
        Closed,   // refused, or nobody there within the connect time-out
        Silent,   // connected, but no answer within the answer time-out
        Answered, // `bytes` came back
    };
    Target target;
    Outcome outcome = Outcome::Closed;
    std::string bytes;
};

struct Timing {
    int connectMs = 400;
    int answerMs = 300;
    int atOnce = 64; // connections under way at the same time
};

// Asks every target in turn, `timing.atOnce` at a time, and returns one
// answer a target in the order given. `goOn(done, total)` is asked between
// short slices; false stops the probe (the rest count as closed).
std::vector<Answer> probe(const std::vector<Target> &targets, const std::string &request, const Timing &timing,
                          const std::function<bool(std::size_t done, std::size_t total)> &goOn);

// "192.168.1.20"
std::string addressText(std::uint32_t address);

// The host's own IPv4 networks, one an interface address that is up.
struct Network {
    std::uint32_t address = 0; // host order
    int prefix = 32;
    bool loopback = false;
};
std::vector<Network> localNetworks();

} // namespace netprobe
