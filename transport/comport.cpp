#include "transport/comport.h"

#include "transport/comthread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

using namespace comhost;

TCustomComPort::TCustomComPort(ComHost &host, UiPoster poster) : m_host(host), m_poster(std::move(poster)) {}

TCustomComPort::~TCustomComPort()
{
    try {
        CloseDevice();
    } catch (...) {
        // A destructor cannot report; make sure nothing outlives the port.
        if (m_threadCreated)
            stopEventThread();
        ReleaseDeviceHandle();
        m_connected = false;
    }
    m_thread.reset(); // the parked carrier thread ends with the port
    m_retired.clear();
}

void TCustomComPort::raise(int code) { throw EComPort(code, static_cast<int>(m_host.GetLastError())); }

void TCustomComPort::raiseNoSystemError(int code) { throw EComPort(code, -1); }

void TCustomComPort::SetBaudRate(TBaudRate v)
{
    if (m_baudRate == v)
        return;
    m_baudRate = v;
    ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(std::uint32_t v)
{
    if (m_customBaudRate == v)
        return;
    m_customBaudRate = v;
    ApplyLineSettings();
}

void TCustomComPort::SetPort(const std::string &v)
{
    if (m_port == v)
        return;
    m_port = v;
    if (m_connected) {
        CloseDevice();
        OpenDevice();
    }
}

void TCustomComPort::SetStopBits(TStopBits v)
{
    if (m_stopBits == v)
        return;
    m_stopBits = v;
    ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits v)
{
    if (m_dataBits == v)
        return;
    m_dataBits = v;
    ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool v)
{
    if (m_discardNull == v)
        return;
    m_discardNull = v;
    ApplyLineSettings();
}

void TCustomComPort::SetEventChar(char v)
{
    if (m_eventChar == v)
        return;
    m_eventChar = v;
    ApplyLineSettings();
}

void TCustomComPort::SetSyncMethod(TSyncMethod v)
{
    if (m_syncMethod == v)
        return;
    if (m_connected)
        raiseNoSystemError(CError_ConnChangeProp);
    m_syncMethod = v;
}

DCB TCustomComPort::BuildDCB() const
{
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = BaudRateValue(m_baudRate, m_customBaudRate);
    std::uint32_t flags = kDcbBinary;
    if (m_discardNull)
        flags |= kDcbNull;
    if (m_flowControl.OutCTSFlow())
        flags |= kDcbOutxCtsFlow;
    if (m_flowControl.OutDSRFlow())
        flags |= kDcbOutxDsrFlow;
    static const std::uint32_t dtrBits[] = {0x0000, 0x0010, 0x0020};
    static const std::uint32_t rtsBits[] = {0x0000, 0x1000, 0x2000, 0x3000};
    flags |= dtrBits[m_flowControl.ControlDTR()];
    flags |= rtsBits[m_flowControl.ControlRTS()];
    if (m_flowControl.XonXoffOut())
        flags |= kDcbOutX;
    if (m_flowControl.XonXoffIn())
        flags |= kDcbInX;
    if (m_flowControl.DSRSensitivity())
        flags |= kDcbDsrSensitivity;
    if (m_flowControl.TxContinueOnXoff())
        flags |= kDcbTxContinueOnXoff;
    const TComParity &parity = m_parity;
    if (parity.Check()) {
        flags |= kDcbParity;
        if (parity.Replace()) {
            flags |= kDcbErrorChar;
            dcb.ErrorChar = parity.ReplaceChar();
        }
    }
    dcb.Flags = flags;
    dcb.XonLim = static_cast<std::uint16_t>(m_buffer.InputSize() / 4);
    dcb.XoffLim = static_cast<std::uint16_t>(m_buffer.InputSize() / 4);
    dcb.ByteSize = static_cast<std::uint8_t>(5 + m_dataBits);
    dcb.Parity = static_cast<std::uint8_t>(parity.Bits());
    dcb.StopBits = static_cast<std::uint8_t>(m_stopBits);
    dcb.XonChar = m_flowControl.XonChar();
    dcb.XoffChar = m_flowControl.XoffChar();
    dcb.EofChar = 0;
    dcb.EvtChar = m_eventChar;
    return dcb;
}

void TCustomComPort::ApplyLineSettings()
{
    if (!m_connected || m_updateCount > 0)
        return;
    if (!m_host.SetCommState(m_handle, BuildDCB()))
        raise(CError_SetStateFailed);
}

void TCustomComPort::ApplyTimeoutSettings()
{
    if (!m_connected || m_updateCount > 0)
        return;
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = static_cast<std::uint32_t>(m_timeouts.ReadInterval());
    t.ReadTotalTimeoutMultiplier = static_cast<std::uint32_t>(m_timeouts.ReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = static_cast<std::uint32_t>(m_timeouts.ReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = static_cast<std::uint32_t>(m_timeouts.WriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = static_cast<std::uint32_t>(m_timeouts.WriteTotalConstant());
    if (!m_host.SetCommTimeouts(m_handle, t))
        raise(CError_TimeoutsFailed);
}

void TCustomComPort::ApplyBufferSettings()
{
    if (!m_connected || m_updateCount > 0)
        return;
    if (!m_host.SetupComm(m_handle, static_cast<std::uint32_t>(m_buffer.InputSize()),
                          static_cast<std::uint32_t>(m_buffer.OutputSize())))
        raise(CError_SetupComFailed);
}

void TCustomComPort::CreateDeviceHandle()
{
    const std::string path = "\\\\.\\" + m_port;
    m_handle = m_host.CreateFileA(path.c_str());
    if (m_handle == kInvalidHandle)
        raise(CError_OpenFailed);
}

void TCustomComPort::ReleaseDeviceHandle()
{
    if (m_handle != kInvalidHandle) {
        m_host.CloseHandle(m_handle);
        m_handle = kInvalidHandle;
    }
}

void TCustomComPort::ConfigureDevice()
{
    ApplyBufferSettings();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

void TCustomComPort::reapRetiredThreads()
{
    for (auto it = m_retired.begin(); it != m_retired.end();)
        it = (*it)->finished ? m_retired.erase(it) : it + 1;
}

void TCustomComPort::OpenDevice()
{
    if (m_connected)
        return;
    reapRetiredThreads();
    DoBeforeOpen();
    CreateDeviceHandle();
    m_connected = true;
    try {
        ConfigureDevice();
    } catch (...) {
        ReleaseDeviceHandle();
        m_connected = false;
        throw;
    }
    if (m_events == 0) {
        m_threadCreated = false;
    } else {
        if (!m_thread)
            m_thread = std::make_unique<TComThread>(*this);
        m_thread->Start();
        m_threadCreated = true;
    }
    DoAfterOpen();
    checkSignals();
}

void TCustomComPort::CloseDevice()
{
    if (!m_connected)
        return;
    callSignal(OnCTSChange, false);
    callSignal(OnDSRChange, false);
    callSignal(OnRLSDChange, false);
    DoBeforeClose();
    // The purge error is kept until the thread and the handle are gone, so a
    // failed close never leaves a thread or a descriptor behind.
    const bool purged = m_host.PurgeComm(m_handle, kPurgeTxAbort | kPurgeRxAbort);
    const int purgeError = purged ? 0 : static_cast<int>(m_host.GetLastError());
    if (m_threadCreated) {
        if (m_dispatchDepth > 0) {
            // Closed from an event handler: the event thread is waiting for
            // this very dispatch, so waiting for it here would never end. It
            // ends by itself when the handler returns.
            m_thread->detached = true;
            m_thread->StopWaiting();
            m_retired.push_back(std::move(m_thread));
        } else {
            stopEventThread();
        }
        m_threadCreated = false;
    }
    ReleaseDeviceHandle();
    m_connected = false;
    DoAfterClose();
    if (!purged)
        throw EComPort(CError_PurgeFailed, purgeError);
}

bool TCustomComPort::readModemLine(std::uint32_t bit)
{
    std::uint32_t status = 0;
    if (!m_host.GetCommModemStatus(m_handle, &status))
        raise(CError_ModemStatFailed);
    return (status & bit) != 0;
}

void TCustomComPort::checkSignals()
{
    // One look at the lines tells all three.
    std::uint32_t status = 0;
    if (!m_host.GetCommModemStatus(m_handle, &status))
        raise(CError_ModemStatFailed);
    callSignal(OnCTSChange, (status & kMsCtsOn) != 0);
    callSignal(OnDSRChange, (status & kMsDsrOn) != 0);
    callSignal(OnRLSDChange, (status & kMsRlsdOn) != 0);
}

int TCustomComPort::WriteText(const std::string &text, TransferWatch *watch)
{
    TIoRequest req(m_host);
    if (!text.empty()) {
        req.data = text;
        if (!m_host.WriteFile(m_handle, req.data.data(), static_cast<std::uint32_t>(req.data.size()), &req.ov) &&
            m_host.GetLastError() != kErrorIoPending)
            raise(CError_WriteFailed);
    }
    bool aborted = false;
    if (watch)
        aborted = !watchWrite(req.ov.hEvent, req.data.size(), *watch);
    std::uint32_t n = 0;
    if (m_host.WaitForSingleObject(req.ov.hEvent, kInfinite) != kWaitObject0)
        raise(CError_WriteFailed);
    if (!m_host.GetOverlappedResult(m_handle, &req.ov, &n, false)) {
        if (!aborted || m_host.GetLastError() != kErrorOperationAborted)
            raise(CError_WriteFailed);
        n = static_cast<std::uint32_t>(req.ov.InternalHigh);
    }
    return static_cast<int>(n);
}

bool TCustomComPort::watchWrite(Handle done, std::size_t size, TransferWatch &watch)
{
    using Clock = std::chrono::steady_clock;
    std::uint64_t lastDone = 0;
    auto lastChange = Clock::now();
    for (;;) {
        const std::uint32_t r = m_host.WaitForSingleObject(done, kWatchSliceMs);
        if (r != kWaitTimeout)
            return true;
        COMSTAT stat{};
        std::uint32_t errors = 0;
        std::uint64_t sent = lastDone;
        if (m_host.ClearCommError(m_handle, &errors, &stat))
            sent = size - std::min<std::uint64_t>(size, stat.cbOutQue);
        const auto now = Clock::now();
        if (sent != lastDone) {
            lastDone = sent;
            lastChange = now;
        }
        // A paced line is in XOFF half the time; only a second without a
        // byte is worth the operator's attention.
        const bool held = now - lastChange >= std::chrono::milliseconds(kHoldAfterMs);
        if (!watch.waiting(sent, held ? TransferHold::SerialHeld : TransferHold::None)) {
            // Abort the pending write and throw away what is still queued;
            // the write then completes at once with its count.
            m_host.PurgeComm(m_handle, kPurgeTxAbort | kPurgeTxClear);
            return false;
        }
    }
}

int TCustomComPort::ReadText(std::string &text, int count)
{
    if (count <= 0) {
        text.clear();
        return 0;
    }
    TIoRequest req(m_host);
    text.assign(static_cast<std::size_t>(count), '\0');
    if (!m_host.ReadFile(m_handle, &text[0], static_cast<std::uint32_t>(count), &req.ov) &&
        m_host.GetLastError() != kErrorIoPending)
        raise(CError_ReadFailed);
    std::uint32_t n = 0;
    if (m_host.WaitForSingleObject(req.ov.hEvent, kInfinite) != kWaitObject0 ||
        !m_host.GetOverlappedResult(m_handle, &req.ov, &n, false))
        raise(CError_ReadFailed);
    COMSTAT stat{};
    std::uint32_t errors = 0;
    if (!m_host.ClearCommError(m_handle, &errors, &stat))
        raise(CError_ClearComFailed);
    text.resize(n);
    return static_cast<int>(n);
}

void TCustomComPort::DispatchEvents(TComEvents events)
{
    auto has = [events](TComEvent e) { return (events & eventBit(e)) != 0; };
    if (has(evError)) {
        std::uint32_t errors = 0;
        if (!m_host.ClearCommError(m_handle, &errors, nullptr))
            raise(CError_ClearComFailed);
        if (errors != 0 && OnError)
            OnError(errors);
    }
    if (has(evRxChar)) {
        COMSTAT stat{};
        std::uint32_t errors = 0;
        if (!m_host.ClearCommError(m_handle, &errors, &stat))
            raise(CError_ClearComFailed);
        if (stat.cbInQue > 0 && OnRxChar)
            OnRxChar(static_cast<int>(stat.cbInQue));
    }
    if (has(evTxEmpty))
        call(OnTxEmpty);
    if (has(evBreak))
        call(OnBreak);
    if (has(evRing))
        call(OnRing);
    if (has(evCTS))
        callSignal(OnCTSChange, readModemLine(kMsCtsOn));
    if (has(evDSR))
        callSignal(OnDSRChange, readModemLine(kMsDsrOn));
    if (has(evRxFlag))
        call(OnRxFlag);
    if (has(evRLSD))
        callSignal(OnRLSDChange, readModemLine(kMsRlsdOn));
    if (has(evRx80Full))
        call(OnRx80Full);
}

void TCustomComPort::synchronize(const std::function<void()> &fn)
{
    auto req = std::make_shared<SyncRequest>();
    req->fn = fn;
    {
        std::lock_guard<std::mutex> lock(m_syncMutex);
        m_syncQueue.push_back(req);
    }
    m_syncCv.notify_all();
    if (m_poster)
        m_poster([req] { SyncRequest::run(req); });
    std::unique_lock<std::mutex> lock(req->mutex);
    req->cv.wait(lock, [&] { return req->done; });
    if (req->error)
        std::rethrow_exception(req->error);
}

void TCustomComPort::runQueuedDispatches()
{
    std::deque<std::shared_ptr<SyncRequest>> queued;
    {
        std::lock_guard<std::mutex> lock(m_syncMutex);
        queued.swap(m_syncQueue);
    }
    for (auto &req : queued)
        SyncRequest::run(req);
}

void TCustomComPort::stopEventThread()
{
    if (!m_thread)
        return;
    m_thread->StopWaiting();
    // Keep running the dispatches the thread hands over, so that a thread
    // waiting for this thread cannot block the close. Only these run here:
    // no other handler may run inside a close.
    for (;;) {
        runQueuedDispatches();
        // No spin: thousands of sched_yield calls a command cost more than
        // the one wake-up the thread's end brings.
        std::unique_lock<std::mutex> lock(m_syncMutex);
        m_syncCv.wait(lock, [&] { return m_thread->finished || !m_syncQueue.empty(); });
        if (m_thread->finished && m_syncQueue.empty())
            break;
    }
}

// The setters of the value objects are declared in the header.
