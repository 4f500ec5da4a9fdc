// TavoNetIO: one raw TCP connection at a time to a printer's data port.
#include "transport/tavonetio/tavonetio.h"

#include "transport/tavonetio/address.h"
#include "transport/tavonetio/netsocket.h"

#include <chrono>
#include <thread>

namespace {

// One connection at a time: every caller works on the window thread, one
// command after the other.
netsock::Socket g_socket = netsock::kNoSocket;
int g_sendTimeoutMs = 0;
bool g_broken = false;

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

int clampSeconds(int32_t s) { return s < 0 ? 0 : (s > 600 ? 600 : s); }

void dropConnection()
{
    if (g_socket != netsock::kNoSocket)
        netsock::shutdownAndClose(g_socket, 0);
    g_socket = netsock::kNoSocket;
}

} // namespace

extern "C" TAVONET_API uint8_t TAVONET_CALL TavoNetOpen(const char *address, int32_t connectTimeoutS,
                                                       int32_t sendTimeoutS)
{
    dropConnection();
    if (address == nullptr)
        return 0;
    const auto ep = tavonet::parseAddress(address);
    if (!ep)
        return 0;
    g_socket = netsock::connectTo(*ep, clampSeconds(connectTimeoutS) * 1000);
    if (g_socket == netsock::kNoSocket)
        return 0;
    g_broken = false;
    g_sendTimeoutMs = clampSeconds(sendTimeoutS) * 1000;
    return 1;
}

extern "C" TAVONET_API int32_t TAVONET_CALL TavoNetSend(const uint8_t *data, int32_t count)
{
    if (g_socket == netsock::kNoSocket || data == nullptr || count <= 0)
        return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(g_sendTimeoutMs);
    int32_t done = 0;
    while (done < count) {
        const long n = netsock::sendSome(g_socket, data + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int32_t>(n);
            continue;
        }
        if (n < 0 || netsock::waitWritable(g_socket, msLeft(deadline)) != 1) {
            // Reset by the printer, or no room within the time-out: the
            // rest cannot go out.
            g_broken = n < 0;
            break;
        }
    }
    return done;
}

extern "C" TAVONET_API int32_t TAVONET_CALL TavoNetClose(void)
{
    if (g_socket == netsock::kNoSocket)
        return 0;
    // Closing while bytes still wait in the send queue would let a reset
    // from the printer throw them away, so wait, within the send time-out,
    // until every byte has gone out on the wire.
    const auto deadline = Clock::now() + std::chrono::milliseconds(g_sendTimeoutMs);
    int32_t allLeft = 0;
    for (;;) {
        if (g_broken || netsock::broken(g_socket))
            break;
        const long unsent = netsock::unsentBytes(g_socket);
        if (unsent <= 0) {
            allLeft = 1; // where the host cannot tell, the lingering close sees to it
            break;
        }
        if (msLeft(deadline) == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Status bytes a printer may have sent are read away: closing with
    // unread input would answer the printer with a reset.
    netsock::drainInput(g_socket);
    netsock::shutdownAndClose(g_socket, msLeft(deadline));
    g_socket = netsock::kNoSocket;
    return allLeft;
}
