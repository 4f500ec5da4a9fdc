#pragma once
// The host comm layer with one call made to fail on demand: everything else
// goes to the real layer underneath.
#include "transport/comhost.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class FaultyHost : public comhost::ComHost {
public:
    explicit FaultyHost(comhost::ComHost &inner) : m_inner(inner) {}

    // `call` is the name of the host call to fail ("SetCommState"), with `error`.
    void failNext(const std::string &call, std::uint32_t error, int times = 1000000)
    {
        m_call = call;
        m_error = error;
        m_times = times;
    }
    void heal() { m_call.clear(); }
    int createdHandles() const { return m_created; }
    int closedHandles() const { return m_closed; }

    using Handle = comhost::Handle;

    Handle CreateFileA(const char *name) override
    {
        if (fails("CreateFileA"))
            return comhost::kInvalidHandle;
        Handle h = m_inner.CreateFileA(name);
        if (h != comhost::kInvalidHandle)
            ++m_created;
        return h;
    }
    bool CloseHandle(Handle h) override
    {
        ++m_closed;
        return m_inner.CloseHandle(h);
    }
    bool SetupComm(Handle h, std::uint32_t i, std::uint32_t o) override
    {
        handedQueues = {i, o};
        return !fails("SetupComm") && m_inner.SetupComm(h, i, o);
    }
    bool SetCommState(Handle h, const comhost::DCB &d) override
    {
        return !fails("SetCommState") && m_inner.SetCommState(h, d);
    }
    bool GetCommState(Handle h, comhost::DCB &d) override { return m_inner.GetCommState(h, d); }
    bool SetCommTimeouts(Handle h, const comhost::COMMTIMEOUTS &t) override
    {
        handedTimeouts = t; // what the component handed down, for the tests to read
        return !fails("SetCommTimeouts") && m_inner.SetCommTimeouts(h, t);
    }
    comhost::COMMTIMEOUTS handedTimeouts{};
    std::pair<std::uint32_t, std::uint32_t> handedQueues{}; // SetupComm's input and output sizes
    bool WriteFile(Handle h, const void *d, std::uint32_t n, comhost::OVERLAPPED *ov) override
    {
        return !fails("WriteFile") && m_inner.WriteFile(h, d, n, ov);
    }
    bool ReadFile(Handle h, void *d, std::uint32_t n, comhost::OVERLAPPED *ov) override
    {
        return !fails("ReadFile") && m_inner.ReadFile(h, d, n, ov);
    }
    bool GetOverlappedResult(Handle h, comhost::OVERLAPPED *ov, std::uint32_t *n, bool w) override
    {
        return m_inner.GetOverlappedResult(h, ov, n, w);
    }
    bool SetCommMask(Handle h, std::uint32_t m) override { return m_inner.SetCommMask(h, m); }
    bool WaitCommEvent(Handle h, std::uint32_t *m, comhost::OVERLAPPED *ov) override
    {
        ++waitCommEventCalls;
        {
            // Events no pseudo-terminal has (a break, the modem lines) are
            // reported here, one a wait, before the device's own.
            std::lock_guard<std::mutex> lock(m_reportMutex);
            if (!m_reported.empty() && ov) {
                *m = m_reported.front();
                m_reported.pop_front();
                ov->Internal = 0;
                ov->InternalHigh = 0;
                m_inner.SetEvent(ov->hEvent);
                return true;
            }
        }
        return !fails("WaitCommEvent") && m_inner.WaitCommEvent(h, m, ov);
    }
    void reportEvents(std::initializer_list<std::uint32_t> masks)
    {
        std::lock_guard<std::mutex> lock(m_reportMutex);
        m_reported.insert(m_reported.end(), masks);
    }
    // The modem status to tell instead of the device's (-1: the device's).
    std::atomic<long long> modemStatus{-1};
    bool PurgeComm(Handle h, std::uint32_t f) override
    {
        purges.push_back(f); // a pseudo-terminal shows no queue a purge empties
        return !fails("PurgeComm") && m_inner.PurgeComm(h, f);
    }
    std::vector<std::uint32_t> purges;
    bool ClearCommError(Handle h, std::uint32_t *e, comhost::COMSTAT *s) override
    {
        return !fails("ClearCommError") && m_inner.ClearCommError(h, e, s);
    }
    bool GetCommModemStatus(Handle h, std::uint32_t *s) override
    {
        if (modemStatus >= 0 && s && !fails("GetCommModemStatus")) {
            *s = static_cast<std::uint32_t>(modemStatus);
            return true;
        }
        return !fails("GetCommModemStatus") && m_inner.GetCommModemStatus(h, s);
    }
    Handle CreateEventA(bool m, bool i) override
    {
        ++m_created;
        return m_inner.CreateEventA(m, i);
    }
    bool SetEvent(Handle h) override { return m_inner.SetEvent(h); }
    bool ResetEvent(Handle h) override { return m_inner.ResetEvent(h); }
    std::uint32_t WaitForSingleObject(Handle h, std::uint32_t ms) override { return m_inner.WaitForSingleObject(h, ms); }
    std::uint32_t WaitForMultipleObjects(std::uint32_t c, const Handle *h, bool a, std::uint32_t ms) override
    {
        return m_inner.WaitForMultipleObjects(c, h, a, ms);
    }
    std::uint32_t GetLastError() override { return m_inner.GetLastError(); }
    void SetLastError(std::uint32_t e) override { m_inner.SetLastError(e); }

    std::atomic<int> waitCommEventCalls{0};

private:
    bool fails(const char *call)
    {
        if (m_call != call || m_times <= 0)
            return false;
        --m_times;
        m_inner.SetLastError(m_error);
        return true;
    }

    comhost::ComHost &m_inner;
    std::mutex m_reportMutex;
    std::deque<std::uint32_t> m_reported;
    std::string m_call;
    std::uint32_t m_error = 0;
    int m_times = 0;
    std::atomic<int> m_created{0};
    std::atomic<int> m_closed{0};
};
