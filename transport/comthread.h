#pragma once
// The serial component's overlapped requests and its event thread, which
// waits for the device's events and hands them to the owner's thread.
// Private to comport.cpp.
#include "transport/comport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

using namespace comhost;

// One overlapped transfer: its block, its event (manual reset, created
// signalled) and, for a write, its own copy of the bytes. Freed whatever
// happens to the transfer.
struct TIoRequest {
    explicit TIoRequest(ComHost &h) : host(h)
    {
        std::memset(&ov, 0, sizeof ov);
        ov.hEvent = host.CreateEventA(true, true);
    }
    ~TIoRequest()
    {
        if (ov.hEvent != kInvalidHandle)
            host.CloseHandle(ov.hEvent);
    }
    TIoRequest(const TIoRequest &) = delete;
    TIoRequest &operator=(const TIoRequest &) = delete;

    ComHost &host;
    OVERLAPPED ov;
    std::string data;
};

// How long the loop waits for the device to end a wait that the cleared
// event mask has ended: at once on Windows, a few milliseconds under Wine.
constexpr std::uint32_t kWaitEndMs = 5000;

// The event loop of an open port runs on a carrier thread that the port
// keeps parked while it is closed: starting a thread costs far more than the
// rest of a short serial command, and every command opens and closes.
class TComThread {
public:
    explicit TComThread(TCustomComPort &port) : m_port(port), m_host(port.m_host)
    {
        m_stop = m_host.CreateEventA(true, false);
        m_thread = std::thread([this] { Run(); });
    }
    ~TComThread()
    {
        {
            std::lock_guard<std::mutex> lock(m_port.m_syncMutex);
            m_quit = true;
        }
        m_jobCv.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        if (m_stop != kInvalidHandle)
            m_host.CloseHandle(m_stop);
    }

    // Starts waiting for events of the port's device, which is open now.
    void Start()
    {
        m_host.ResetEvent(m_stop);
        detached = false;
        m_host.SetCommMask(m_port.m_handle, EventsToMask(m_port.m_events));
        {
            std::lock_guard<std::mutex> lock(m_port.m_syncMutex);
            m_device = m_port.m_handle;
            m_job = true;
            finished = false;
        }
        m_jobCv.notify_all();
    }

    void StopWaiting() { m_host.SetEvent(m_stop); }

    // True while no event loop runs; written under the port's sync mutex.
    std::atomic<bool> finished{true};
    // Set when the port was closed from inside one of this loop's
    // dispatches: the loop ends when the dispatch returns, without touching
    // the device again.
    std::atomic<bool> detached{false};

private:
    void Run()
    {
        for (;;) {
            Handle device;
            {
                std::unique_lock<std::mutex> lock(m_port.m_syncMutex);
                m_jobCv.wait(lock, [this] { return m_job || m_quit; });
                if (m_quit)
                    return;
                m_job = false;
                device = m_device;
            }
            Execute(device);
        }
    }

    void Execute(Handle device)
    {
        // The device writes the event mask and the transfer block when a
        // wait ends, which can be after the loop has stopped waiting; they
        // live on the heap so that a wait that never ends cannot write into
        // a frame that has gone.
        struct PendingWait {
            OVERLAPPED ov;
            std::uint32_t mask;
        };
        auto wait = std::make_unique<PendingWait>();
        std::memset(wait.get(), 0, sizeof *wait);
        Handle ovEvent = m_host.CreateEventA(true, true);
        wait->ov.hEvent = ovEvent;
        bool pending = false;
        bool clean = true;
        try {
            for (;;) {
                wait->mask = 0;
                // A wait that cannot even start (the device went away, say)
                // would complete at once forever: the loop ends instead.
                if (!m_host.WaitCommEvent(device, &wait->mask, &wait->ov) && m_host.GetLastError() != kErrorIoPending)
                    break;
                pending = true;
                const Handle handles[2] = {m_stop, ovEvent};
                std::uint32_t which = m_host.WaitForMultipleObjects(2, handles, false, kInfinite);
                if (which != kWaitObject0 + 1)
                    break;
                pending = false;
                std::uint32_t n = 0;
                if (m_host.GetOverlappedResult(device, &wait->ov, &n, false))
                    dispatch(MaskToEvents(wait->mask));
                if (detached)
                    break;
            }
        } catch (...) {
            // A dispatch that failed ends the loop without the device
            // clean-up; the error itself was shown on the window thread.
            clean = false;
        }
        // Ending the mask ends a wait still pending, also after a failed
        // dispatch; the loop then waits until the device has written its
        // end. A port closed from inside a dispatch has released the device
        // already, and no wait was pending then.
        bool ended = true;
        if (!detached) {
            m_host.SetCommMask(device, 0);
            if (pending)
                ended = m_host.WaitForSingleObject(ovEvent, kWaitEndMs) == kWaitObject0;
            if (clean)
                m_host.PurgeComm(device, kPurgeTxClear | kPurgeRxClear);
        }
        if (ended) {
            m_host.CloseHandle(ovEvent);
        } else {
            // The device still holds the block and the event: both are left
            // to it rather than freed under it.
            (void)wait.release();
        }
        {
            std::lock_guard<std::mutex> lock(m_port.m_syncMutex);
            finished = true;
        }
        m_port.m_syncCv.notify_all();
    }

    void dispatch(TComEvents events)
    {
        auto run = [this, events] {
            ++m_port.m_dispatchDepth;
            try {
                m_port.DispatchEvents(events);
            } catch (...) {
                --m_port.m_dispatchDepth;
                throw;
            }
            --m_port.m_dispatchDepth;
        };
        if (m_port.m_syncMethod == smNone)
            run();
        else
            m_port.synchronize(run);
    }

    TCustomComPort &m_port;
    ComHost &m_host;
    Handle m_stop = kInvalidHandle;
    Handle m_device = kInvalidHandle;
    bool m_job = false;
    bool m_quit = false;
    std::condition_variable m_jobCv;
    std::thread m_thread;
};

struct TCustomComPort::SyncRequest {
    std::function<void()> fn;
    std::mutex mutex;
    std::condition_variable cv;
    bool claimed = false;
    bool done = false;
    std::exception_ptr error;

    // Runs the request once, whoever gets to it first: the poster's
    // callback in the event loop or CloseDevice.
    static void run(const std::shared_ptr<SyncRequest> &req)
    {
        {
            std::lock_guard<std::mutex> lock(req->mutex);
            if (req->claimed)
                return;
            req->claimed = true;
        }
        try {
            req->fn();
        } catch (...) {
            req->error = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(req->mutex);
            req->done = true;
        }
        req->cv.notify_all();
    }
};
