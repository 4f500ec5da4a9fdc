#include "transport/parallelport.h"

#include "transport/ioerror.h"

#include <windows.h>

#include <algorithm>

namespace parallel {

WriteResult writeDevice(const std::string &path, const std::string &data, int stallTimeoutMs, TransferWatch *watch)
{
    // The parallel driver applies its own printer time-outs on Windows.
    (void)stallTimeoutMs;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw EInOutError(static_cast<int>(::GetLastError()));
    WriteResult result;
    // Small pieces when watched, so that progress shows and Cancel is heard
    // between them.
    const std::size_t piece = watch ? 4096 : (1u << 20);
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, piece));
        if (!::WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) {
            const DWORD err = ::GetLastError();
            ::CloseHandle(h);
            throw EInOutError(static_cast<int>(err ? err : ERROR_WRITE_FAULT), done);
        }
        done += written;
        result.written = done;
        if (watch && done < data.size() && !watch->waiting(done, TransferHold::None)) {
            result.cancelled = true;
            ::CloseHandle(h);
            return result;
        }
    }
    const bool flushed = ::FlushFileBuffers(h) != 0;
    const DWORD flushError = flushed ? 0 : ::GetLastError();
    if (!::CloseHandle(h))
        throw EInOutError(static_cast<int>(::GetLastError()), done);
    if (!flushed && flushError != ERROR_INVALID_FUNCTION) // devices without buffers
        throw EInOutError(static_cast<int>(flushError), done);
    return result;
}

StatusAnswer askStatus(const std::string &path, const std::string &request, int waitMs)
{
    // Windows' parallel and USB printer drivers are written to only here: a
    // printer that takes the request counts as one without a back channel.
    (void)waitMs;
    StatusAnswer a;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return a;
    DWORD written = 0;
    if (::WriteFile(h, request.data(), static_cast<DWORD>(request.size()), &written, nullptr) &&
        written == request.size())
        a.outcome = StatusAnswer::Outcome::NoBackChannel;
    ::CloseHandle(h);
    return a;
}

} // namespace parallel
