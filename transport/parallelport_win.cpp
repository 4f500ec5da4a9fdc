#include "transport/parallelport.h"

#include "transport/ioerror.h"

#include <windows.h>

#include <algorithm>

namespace parallel {

void writeDevice(const std::string &path, const std::string &data, int stallTimeoutMs)
{
    // The parallel driver applies its own printer time-outs on Windows.
    (void)stallTimeoutMs;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw EInOutError(static_cast<int>(::GetLastError()));
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        if (!::WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) {
            const DWORD err = ::GetLastError();
            ::CloseHandle(h);
            throw EInOutError(static_cast<int>(err ? err : ERROR_WRITE_FAULT));
        }
        done += written;
    }
    const bool flushed = ::FlushFileBuffers(h) != 0;
    const DWORD flushError = flushed ? 0 : ::GetLastError();
    if (!::CloseHandle(h))
        throw EInOutError(static_cast<int>(::GetLastError()));
    if (!flushed && flushError != ERROR_INVALID_FUNCTION) // devices without buffers
        throw EInOutError(static_cast<int>(flushError));
}

} // namespace parallel
