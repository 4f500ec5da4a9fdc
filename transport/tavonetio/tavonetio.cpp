// TavoNetIO: one raw TCP connection at a time to a printer's data port.
#include "transport/tavonetio/tavonetio.h"

#include "transport/deadline.h"
#include "transport/tavonetio/address.h"
#include "transport/tavonetio/netsocket.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// One connection at a time: every caller works on the window thread, one
// command after the other.
netsock::Socket g_socket = netsock::kNoSocket;
int g_sendTimeoutMs = 0;
bool g_broken = false;
bool g_cancelled = false;
int32_t g_handed = 0;
int32_t g_delivered = 0;
int32_t g_lastError = TAVONET_OK;
TavoNetWaitHook g_hook = nullptr;
void *g_hookContext = nullptr;

constexpr int kSliceMs = 50;

int clampSeconds(int32_t s) { return s < 0 ? 0 : (s > 600 ? 600 : s); }

int32_t fail(int32_t error)
{
    g_lastError = error;
    return 0;
}

// What the printer has taken so far, as well as the host can tell.
int32_t measureDelivered()
{
    if (g_socket != netsock::kNoSocket) {
        const long long acked = netsock::acknowledgedBytes(g_socket);
        if (acked >= 0)
            g_delivered = static_cast<int32_t>(std::min<long long>(acked, g_handed));
        else {
            const long unsent = netsock::unsentBytes(g_socket);
            g_delivered = unsent >= 0 ? g_handed - static_cast<int32_t>(std::min<long>(unsent, g_handed)) : g_handed;
        }
    }
    return g_delivered;
}

// Asks the hook whether to go on waiting; false once it said stop.
bool keepWaiting()
{
    if (g_cancelled)
        return false;
    if (g_hook && g_hook(g_hookContext, measureDelivered()) != 0)
        g_cancelled = true;
    return !g_cancelled;
}

// Waits in short slices until the socket is writable (1), the deadline has
// passed (0), the connection broke (-1) or the hook cancelled (-2).
int waitWritable(const Deadline &deadline)
{
    for (;;) {
        const int r = netsock::waitWritable(g_socket, g_hook ? deadline.pollSlice(kSliceMs) : deadline.pollTimeout());
        if (r != 0)
            return r;
        if (deadline.expired())
            return 0;
        if (!keepWaiting())
            return -2;
    }
}

// Looks a name up on a thread of its own, so that the wait stays bounded
// and the hook keeps being called: a name service that does not answer
// must not hold the caller past its connect time-out. The thread finishes
// on its own when the answer comes late.
std::optional<tavonet::Endpoint> lookUp(const tavonet::Endpoint &name, const Deadline &deadline)
{
    struct Lookup {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::optional<tavonet::Endpoint> found;
    };
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host = name.host, port = name.port] {
        auto found = netsock::lookupHost(host, port);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        lookup->found = std::move(found);
        lookup->done = true;
        lookup->ended.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    for (;;) {
        int sliceMs = g_hook ? deadline.pollSlice(kSliceMs) : deadline.pollTimeout();
        if (sliceMs < 0)
            sliceMs = kSliceMs;
        if (lookup->ended.wait_for(lock, std::chrono::milliseconds(sliceMs), [&] { return lookup->done; }))
            return lookup->found;
        if (deadline.expired())
            return std::nullopt;
        lock.unlock();
        const bool goOn = keepWaiting();
        lock.lock();
        if (!goOn)
            return std::nullopt;
    }
}

void dropConnection()
{
    if (g_socket != netsock::kNoSocket)
        netsock::shutdownAndClose(g_socket, 0);
    g_socket = netsock::kNoSocket;
}

int32_t connectError(netsock::ConnectFailure why)
{
    switch (why) {
    case netsock::ConnectFailure::Refused: return TAVONET_E_REFUSED;
    case netsock::ConnectFailure::NoRoute: return TAVONET_E_NO_ROUTE;
    case netsock::ConnectFailure::NoAnswer: return TAVONET_E_NO_ANSWER;
    case netsock::ConnectFailure::None:
    case netsock::ConnectFailure::Other: break;
    }
    return TAVONET_E_CONNECT;
}

// Waits until the printer has acknowledged every byte handed to the network.
// The send time-out runs from the last byte it took, so a slow printer that
// keeps reading is never cut off, and one that takes nothing for the
// time-out is. False, with the cause set, when not every byte was taken.
bool waitAllTaken()
{
    Deadline deadline = Deadline::in(static_cast<std::uint64_t>(g_sendTimeoutMs));
    int32_t last = measureDelivered();
    auto lastLook = Deadline::Clock::now();
    for (;;) {
        const int32_t taken = measureDelivered();
        if (taken >= g_handed)
            return true;
        if (g_broken || netsock::broken(g_socket)) {
            g_lastError = TAVONET_E_RESET;
            return false;
        }
        if (taken != last) {
            last = taken;
            deadline = Deadline::in(static_cast<std::uint64_t>(g_sendTimeoutMs));
        }
        if (deadline.expired()) {
            g_lastError = TAVONET_E_TIMEOUT;
            return false;
        }
        if (g_hook && Deadline::Clock::now() - lastLook >= std::chrono::milliseconds(kSliceMs)) {
            lastLook = Deadline::Clock::now();
            if (!keepWaiting()) {
                g_lastError = TAVONET_E_CANCELLED;
                return false;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

extern "C" TAVONET_API uint8_t TAVONET_CALL TavoNetOpen(const char *address, int32_t connectTimeoutS,
                                                       int32_t sendTimeoutS)
{
    dropConnection();
    g_broken = g_cancelled = false;
    g_handed = g_delivered = 0;
    g_lastError = TAVONET_OK;
    if (address == nullptr)
        return static_cast<uint8_t>(fail(TAVONET_E_ADDRESS));
    const tavonet::AddressText text = tavonet::readAddress(address);
    if (text.host != tavonet::HostProblem::None)
        return static_cast<uint8_t>(fail(TAVONET_E_ADDRESS));
    if (text.port != tavonet::PortProblem::None)
        return static_cast<uint8_t>(fail(TAVONET_E_PORT));
    const Deadline deadline = Deadline::in(static_cast<std::uint64_t>(clampSeconds(connectTimeoutS)) * 1000);
    tavonet::Endpoint ep = text.endpoint;
    if (!ep.numeric) {
        const auto found = lookUp(ep, deadline);
        if (!found)
            return static_cast<uint8_t>(fail(g_cancelled ? TAVONET_E_CANCELLED : TAVONET_E_NAME));
        ep = *found;
    }
    netsock::ConnectFailure why{};
    g_socket = netsock::beginConnect(ep, why);
    if (g_socket == netsock::kNoSocket)
        return static_cast<uint8_t>(fail(connectError(why)));
    const int r = waitWritable(deadline);
    if (r != 1 || !netsock::connected(g_socket)) {
        why = r == 0 ? netsock::ConnectFailure::NoAnswer : netsock::connectResult(g_socket);
        dropConnection();
        return static_cast<uint8_t>(fail(r == -2 ? TAVONET_E_CANCELLED : connectError(why)));
    }
    g_sendTimeoutMs = clampSeconds(sendTimeoutS) * 1000;
    return 1;
}

extern "C" TAVONET_API int32_t TAVONET_CALL TavoNetSend(const uint8_t *data, int32_t count)
{
    if (g_socket == netsock::kNoSocket)
        return fail(TAVONET_E_NOTOPEN);
    if (data == nullptr || count <= 0)
        return 0;
    // The send time-out runs from the last byte the printer took, so a slow
    // printer that keeps reading is not cut off.
    Deadline deadline = Deadline::in(static_cast<std::uint64_t>(g_sendTimeoutMs));
    int32_t done = 0;
    while (done < count) {
        const long n = netsock::sendSome(g_socket, data + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int32_t>(n);
            g_handed += static_cast<int32_t>(n);
            deadline = Deadline::in(static_cast<std::uint64_t>(g_sendTimeoutMs));
            continue;
        }
        const int r = n < 0 ? -1 : waitWritable(deadline);
        if (r == 1)
            continue;
        // Reset by the printer, no room within the time-out, or cancelled:
        // the rest cannot go out.
        g_broken = r == -1;
        g_lastError = r == -1 ? TAVONET_E_RESET : (r == -2 ? TAVONET_E_CANCELLED : TAVONET_E_TIMEOUT);
        measureDelivered();
        break;
    }
    return done;
}

extern "C" TAVONET_API int32_t TAVONET_CALL TavoNetClose(void)
{
    if (g_socket == netsock::kNoSocket)
        return fail(TAVONET_E_NOTOPEN);
    // After a send that failed or was cancelled nothing more may leave: the
    // connection is reset at once, so the count told is what the printer got.
    const bool whole = g_lastError == TAVONET_OK && !g_cancelled && !g_broken && waitAllTaken();
    measureDelivered();
    if (!whole) {
        // The reset follows every byte already on the wire, and those reach
        // the printer before it: they count, acknowledged or not yet.
        const long unsent = netsock::unsentBytes(g_socket);
        if (unsent >= 0 && !g_broken && !netsock::broken(g_socket))
            g_delivered = std::max(g_delivered, g_handed - static_cast<int32_t>(std::min<long>(unsent, g_handed)));
    }
    if (whole) {
        // Status bytes a printer may have sent are read away: closing with
        // unread input would answer the printer with a reset.
        netsock::drainInput(g_socket);
    }
    netsock::shutdownAndClose(g_socket, whole ? std::max(g_sendTimeoutMs, 1) : 0);
    g_socket = netsock::kNoSocket;
    return whole ? 1 : 0;
}

extern "C" TAVONET_API void TAVONET_CALL TavoNetSetWaitHook(TavoNetWaitHook hook, void *context)
{
    g_hook = hook;
    g_hookContext = context;
}

extern "C" TAVONET_API int32_t TAVONET_CALL TavoNetDelivered(void) { return g_delivered; }

extern "C" TAVONET_API int32_t TAVONET_CALL TavoNetLastError(void) { return g_lastError; }
