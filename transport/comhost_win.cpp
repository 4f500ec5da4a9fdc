// The Windows body of the host communication layer: the real comm API.
#include "transport/comhost.h"

#include "transport/devicenames.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <mutex>

namespace comhost {

static_assert(sizeof(DCB) == sizeof(::DCB), "DCB must match the Win32 record");
static_assert(sizeof(COMMTIMEOUTS) == sizeof(::COMMTIMEOUTS), "COMMTIMEOUTS must match");
static_assert(sizeof(OVERLAPPED) == sizeof(::OVERLAPPED), "OVERLAPPED must match");
static_assert(offsetof(OVERLAPPED, hEvent) == offsetof(::OVERLAPPED, hEvent), "OVERLAPPED must match");

namespace {

HANDLE raw(Handle h) { return reinterpret_cast<HANDLE>(h); }
Handle ours(HANDLE h) { return reinterpret_cast<Handle>(h); }
::OVERLAPPED *raw(OVERLAPPED *ov) { return reinterpret_cast<::OVERLAPPED *>(ov); }
LPDWORD raw(std::uint32_t *p) { return reinterpret_cast<LPDWORD>(p); }

class WinComHost final : public ComHost {
public:
    explicit WinComHost(const DeviceNames &names) : m_names(names) {}

    Handle CreateFileA(const char *name) override
    {
        const std::string path = m_names.resolve(name ? name : "");
        return ours(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr));
    }
    bool CloseHandle(Handle h) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_writes.erase(h);
        }
        return ::CloseHandle(raw(h)) != 0;
    }
    bool SetupComm(Handle h, std::uint32_t in, std::uint32_t out) override { return ::SetupComm(raw(h), in, out) != 0; }
    bool SetCommState(Handle h, const DCB &dcb) override
    {
        ::DCB d;
        std::memcpy(&d, &dcb, sizeof d);
        return ::SetCommState(raw(h), &d) != 0;
    }
    bool GetCommState(Handle h, DCB &dcb) override
    {
        ::DCB d;
        d.DCBlength = sizeof d;
        if (!::GetCommState(raw(h), &d))
            return false;
        std::memcpy(&dcb, &d, sizeof d);
        return true;
    }
    bool SetCommTimeouts(Handle h, const COMMTIMEOUTS &t) override
    {
        ::COMMTIMEOUTS c;
        std::memcpy(&c, &t, sizeof c);
        return ::SetCommTimeouts(raw(h), &c) != 0;
    }
    bool WriteFile(Handle h, const void *data, std::uint32_t count, OVERLAPPED *ov) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_writes[h] = WriteState{ov, count, true, false};
        }
        const BOOL ok = ::WriteFile(raw(h), data, count, nullptr, raw(ov));
        const DWORD err = ::GetLastError();
        if (!ok && err != ERROR_IO_PENDING) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_writes[h].pending = false;
        }
        ::SetLastError(err);
        return ok != 0;
    }
    bool ReadFile(Handle h, void *data, std::uint32_t count, OVERLAPPED *ov) override
    {
        return ::ReadFile(raw(h), data, count, nullptr, raw(ov)) != 0;
    }
    bool GetOverlappedResult(Handle h, OVERLAPPED *ov, std::uint32_t *transferred, bool wait) override
    {
        DWORD n = 0;
        const BOOL ok = ::GetOverlappedResult(raw(h), raw(ov), &n, wait ? TRUE : FALSE);
        const DWORD err = ::GetLastError();
        if (transferred)
            *transferred = n;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto w = m_writes.find(h);
            if (w != m_writes.end() && w->second.pending && w->second.ov == ov && (ok || err != ERROR_IO_INCOMPLETE)) {
                w->second.pending = false;
                w->second.unsent = !ok || n < w->second.count;
            }
        }
        ::SetLastError(err);
        return ok != 0;
    }
    bool SetCommMask(Handle h, std::uint32_t mask) override { return ::SetCommMask(raw(h), mask) != 0; }
    bool WaitCommEvent(Handle h, std::uint32_t *mask, OVERLAPPED *ov) override
    {
        return ::WaitCommEvent(raw(h), raw(mask), raw(ov)) != 0;
    }
    // A write that completed has its bytes with the driver, which may still
    // be sending them (a USB adapter reports completion once they are in
    // its buffer): purging TX then would cut off the end of a command that
    // was reported sent. Only a pending write, or the rest of one that was
    // aborted or timed out, is thrown away.
    bool PurgeComm(Handle h, std::uint32_t flags) override
    {
        constexpr std::uint32_t tx = kPurgeTxAbort | kPurgeTxClear;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto w = m_writes.find(h);
            const bool mayDrop = w != m_writes.end() && (w->second.pending || w->second.unsent);
            if (!mayDrop)
                flags &= ~tx;
            else if ((flags & tx) && !w->second.pending)
                w->second.unsent = false;
        }
        return flags == 0 || ::PurgeComm(raw(h), flags) != 0;
    }
    bool ClearCommError(Handle h, std::uint32_t *errors, COMSTAT *stat) override
    {
        ::COMSTAT s{};
        DWORD e = 0;
        if (!::ClearCommError(raw(h), &e, &s))
            return false;
        if (errors)
            *errors = e;
        if (stat) {
            stat->Flags = (s.fCtsHold ? kComstatCtsHold : 0) | (s.fDsrHold ? kComstatDsrHold : 0) |
                          (s.fRlsdHold ? kComstatRlsdHold : 0) | (s.fXoffHold ? kComstatXoffHold : 0);
            stat->cbInQue = s.cbInQue;
            stat->cbOutQue = s.cbOutQue;
        }
        return true;
    }
    bool GetCommModemStatus(Handle h, std::uint32_t *status) override
    {
        return ::GetCommModemStatus(raw(h), raw(status)) != 0;
    }
    Handle CreateEventA(bool manualReset, bool initialState) override
    {
        HANDLE e = ::CreateEventA(nullptr, manualReset, initialState, nullptr);
        return e ? ours(e) : kInvalidHandle;
    }
    bool SetEvent(Handle h) override { return ::SetEvent(raw(h)) != 0; }
    bool ResetEvent(Handle h) override { return ::ResetEvent(raw(h)) != 0; }
    std::uint32_t WaitForSingleObject(Handle h, std::uint32_t ms) override
    {
        return ::WaitForSingleObject(raw(h), ms);
    }
    std::uint32_t WaitForMultipleObjects(std::uint32_t count, const Handle *handles, bool waitAll,
                                         std::uint32_t ms) override
    {
        HANDLE hs[MAXIMUM_WAIT_OBJECTS];
        if (count > MAXIMUM_WAIT_OBJECTS)
            count = MAXIMUM_WAIT_OBJECTS;
        for (std::uint32_t i = 0; i < count; ++i)
            hs[i] = raw(handles[i]);
        return ::WaitForMultipleObjects(count, hs, waitAll, ms);
    }
    std::uint32_t GetLastError() override { return ::GetLastError(); }
    void SetLastError(std::uint32_t err) override { ::SetLastError(err); }

private:
    struct WriteState {
        OVERLAPPED *ov = nullptr;
        std::uint32_t count = 0;
        bool pending = false;
        bool unsent = false;
    };
    const DeviceNames &m_names;
    std::mutex m_mutex;
    std::map<Handle, WriteState> m_writes; // the last write on each handle
};

} // namespace

std::unique_ptr<ComHost> makeSystemComHost(const DeviceNames &names) { return std::make_unique<WinComHost>(names); }

} // namespace comhost
