#pragma once
// The parallel printer port, written as a device file.
#include "transport/transferwatch.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace parallel {

// How long a printer may stop taking bytes before the write is given up.
constexpr int kStallTimeoutMs = 10000;

struct WriteResult {
    std::uint64_t written = 0;
    bool cancelled = false;
};

// Opens the existing device `path` (never creates a file), writes every byte
// unchanged and closes it. Raises EInOutError, with the count written so far;
// the device is closed before the error leaves. A watch sees every wait and
// can end the write early (then `cancelled`).
WriteResult writeDevice(const std::string &path, const std::string &data, int stallTimeoutMs = kStallTimeoutMs,
                        TransferWatch *watch = nullptr);

// What a printer device said to a status request written to it.
struct StatusAnswer {
    enum class Outcome {
        NotThere,      // no such device, or it cannot be opened at all
        NoBackChannel, // it takes bytes but cannot be read back
        Silent,        // it can be read, but nothing came within the wait
        Answered,      // `bytes` came back
    };
    Outcome outcome = Outcome::NotThere;
    std::string bytes;
};

// Writes `request` to the existing device `path` and reads what comes back
// within `waitMs` (USB printers answer over their back channel). Never
// waits longer than that, and never creates a file.
StatusAnswer askStatus(const std::string &path, const std::string &request, int waitMs);

#ifndef _WIN32
// write(2) to a device that fails with EPIPE where a FIFO's reader has gone
// (a virtual printer that quit), rather than raising SIGPIPE, which would
// end the program.
long writeWithoutSigpipe(int fd, const void *data, std::size_t count);
#endif

} // namespace parallel
