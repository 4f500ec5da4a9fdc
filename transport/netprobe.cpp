#include "transport/netprobe.h"

#include "transport/tavonetio/netsocket.h"

#include <chrono>
#include <algorithm>
#include <thread>

namespace netprobe {

namespace {

using Clock = std::chrono::steady_clock;

// One address on its way through connect, request and answer.
struct Probe {
    std::size_t index = 0;
    netsock::Socket socket = netsock::kNoSocket;
    enum class Step { Connecting, Sending, Waiting } step = Step::Connecting;
    std::size_t sent = 0;
    Clock::time_point deadline;
};

} // namespace

std::string addressText(std::uint32_t a)
{
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." + std::to_string((a >> 8) & 0xFF) +
           "." + std::to_string(a & 0xFF);
}

namespace {

tavonet::Endpoint endpointOf(const Target &t)
{
    tavonet::Endpoint e;
    e.host = addressText(t.address);
    e.port = t.port;
    return e;
}

} // namespace

std::vector<Answer> probe(const std::vector<Target> &targets, const std::string &request, const Timing &timing,
                          const std::function<bool(std::size_t, std::size_t)> &goOn)
{
    std::vector<Answer> answers(targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i)
        answers[i].target = targets[i];
    std::vector<Probe> running;
    std::size_t next = 0, done = 0;
    auto finish = [&](Probe &p, Answer::Outcome outcome) {
        if (p.socket != netsock::kNoSocket)
            netsock::shutdownAndClose(p.socket, 0);
        p.socket = netsock::kNoSocket;
        answers[p.index].outcome = outcome;
        ++done;
    };
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(request.data());
    while (done < targets.size()) {
        if (goOn && !goOn(done, targets.size()))
            break;
        while (next < targets.size() && running.size() < static_cast<std::size_t>(timing.atOnce)) {
            Probe p;
            p.index = next++;
            netsock::ConnectFailure why{};
            p.socket = netsock::beginConnect(endpointOf(targets[p.index]), why);
            p.deadline = Clock::now() + std::chrono::milliseconds(timing.connectMs);
            if (p.socket == netsock::kNoSocket)
                finish(p, Answer::Outcome::Closed);
            else
                running.push_back(p);
        }
        const auto now = Clock::now();
        for (Probe &p : running) {
            if (p.step == Probe::Step::Connecting) {
                const int w = netsock::waitWritable(p.socket, 0);
                if (w < 0 || (w > 0 && !netsock::connected(p.socket))) {
                    finish(p, Answer::Outcome::Closed);
                    continue;
                }
                if (w > 0) {
                    p.step = Probe::Step::Sending;
                    p.deadline = now + std::chrono::milliseconds(timing.answerMs);
                }
            }
            if (p.step == Probe::Step::Sending) {
                const long n = netsock::sendSome(p.socket, bytes + p.sent, request.size() - p.sent);
                if (n < 0) {
                    finish(p, Answer::Outcome::Silent);
                    continue;
                }
                if ((p.sent += static_cast<std::size_t>(n)) == request.size())
                    p.step = Probe::Step::Waiting;
            }
            if (p.step == Probe::Step::Waiting) {
                std::uint8_t got[16];
                const long n = netsock::receiveSome(p.socket, got, sizeof got);
                if (n > 0) {
                    answers[p.index].bytes.assign(reinterpret_cast<const char *>(got), static_cast<std::size_t>(n));
                    finish(p, Answer::Outcome::Answered);
                    continue;
                }
                if (n < 0) {
                    finish(p, Answer::Outcome::Silent);
                    continue;
                }
            }
            // Nobody there within the connect time, or no answer within the answer time.
            if (now >= p.deadline)
                finish(p, p.step == Probe::Step::Connecting ? Answer::Outcome::Closed : Answer::Outcome::Silent);
        }
        running.erase(std::remove_if(running.begin(), running.end(),
                                     [](const Probe &p) { return p.socket == netsock::kNoSocket; }),
                      running.end());
        if (done < targets.size())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (Probe &p : running) // stopped early: the rest count as closed
        netsock::shutdownAndClose(p.socket, 0);
    return answers;
}

} // namespace netprobe
