#pragma once
// The serial port component: one serial device, its line settings, and byte
// strings to and from it. Every call is made on the user-interface thread;
// while the port is open an event thread waits on the device and hands each
// event dispatch to that thread (smThreadSync).
#include "transport/comhost.h"
#include "transport/transferwatch.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent { evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full };
enum TSyncMethod { smThreadSync, smWindowSync, smNone };

// A set of TComEvent, one bit per member.
using TComEvents = std::uint16_t;
constexpr TComEvents eventBit(TComEvent e) { return static_cast<TComEvents>(1u << e); }
constexpr TComEvents kAllComEvents = 0x03FF;

// Line errors reported to OnError.
using TComErrors = std::uint32_t;

std::string BaudRateText(TBaudRate rate);
// Upper-cases a..z, then finds the rate whose text matches; br9600 otherwise.
TBaudRate BaudRateFromText(const std::string &text);
// The rate a TBaudRate stands for on the line (the custom rate for brCustom).
std::uint32_t BaudRateValue(TBaudRate rate, std::uint32_t customRate);

// Platform event mask of a set of events, and back.
std::uint32_t EventsToMask(TComEvents events);
TComEvents MaskToEvents(std::uint32_t mask);

class EComPort : public std::runtime_error {
public:
    // winCode -1: no system error applies.
    EComPort(int code, int winCode);
    int Code;
    int WinCode;
};

// The text of a library error code, 1 to 23.
const char *ComErrorText(int code);
// The full message: text, then " (win error code: %d)" when a system error applies.
std::string ComErrorMessage(int code, int winCode);

enum ComErrorCode {
    CError_OpenFailed = 1, CError_WriteFailed, CError_ReadFailed, CError_InvalidAsync, CError_PurgeFailed,
    CError_AsyncCheck, CError_SetStateFailed, CError_TimeoutsFailed, CError_SetupComFailed,
    CError_ClearComFailed, CError_ModemStatFailed, CError_EscapeComFailed, CError_TransmitFailed,
    CError_ConnChangeProp, CError_EnumPortsFailed, CError_StoreFailed, CError_LoadFailed,
    CError_RegFailed, CError_LedStateFailed, CError_ThreadCreated, CError_WaitFailed,
    CError_HasLink, CError_RegError
};

class TCustomComPort;

class TComTimeouts {
public:
    explicit TComTimeouts(TCustomComPort &port) : m_port(port) {}
    int ReadInterval() const { return m_readInterval; }
    int ReadTotalMultiplier() const { return m_readMult; }
    int ReadTotalConstant() const { return m_readConst; }
    int WriteTotalMultiplier() const { return m_writeMult; }
    int WriteTotalConstant() const { return m_writeConst; }
    void SetReadInterval(int v) { set(m_readInterval, v); }
    void SetReadTotalMultiplier(int v) { set(m_readMult, v); }
    void SetReadTotalConstant(int v) { set(m_readConst, v); }
    void SetWriteTotalMultiplier(int v) { set(m_writeMult, v); }
    void SetWriteTotalConstant(int v) { set(m_writeConst, v); }

private:
    void set(int &field, int v);
    TCustomComPort &m_port;
    int m_readInterval = -1;
    int m_readMult = 0;
    int m_readConst = 0;
    int m_writeMult = 100;
    int m_writeConst = 1000;
};

class TComFlowControl {
public:
    explicit TComFlowControl(TCustomComPort &port) : m_port(port) {}
    bool OutCTSFlow() const { return m_outCTS; }
    bool OutDSRFlow() const { return m_outDSR; }
    TDTRFlowControl ControlDTR() const { return m_dtr; }
    TRTSFlowControl ControlRTS() const { return m_rts; }
    bool XonXoffOut() const { return m_xonOut; }
    bool XonXoffIn() const { return m_xonIn; }
    bool DSRSensitivity() const { return m_dsrSens; }
    bool TxContinueOnXoff() const { return m_txCont; }
    char XonChar() const { return m_xonChar; }
    char XoffChar() const { return m_xoffChar; }
    void SetOutCTSFlow(bool v) { set(m_outCTS, v); }
    void SetOutDSRFlow(bool v) { set(m_outDSR, v); }
    void SetControlDTR(TDTRFlowControl v) { set(m_dtr, v); }
    void SetControlRTS(TRTSFlowControl v) { set(m_rts, v); }
    void SetXonXoffOut(bool v) { set(m_xonOut, v); }
    void SetXonXoffIn(bool v) { set(m_xonIn, v); }
    void SetDSRSensitivity(bool v) { set(m_dsrSens, v); }
    void SetTxContinueOnXoff(bool v) { set(m_txCont, v); }
    void SetXonChar(char v) { set(m_xonChar, v); }
    void SetXoffChar(char v) { set(m_xoffChar, v); }
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl v);

private:
    template <class T> void set(T &field, T v);
    TCustomComPort &m_port;
    bool m_outCTS = false;
    bool m_outDSR = false;
    TDTRFlowControl m_dtr = dtrDisable;
    TRTSFlowControl m_rts = rtsDisable;
    bool m_xonOut = false;
    bool m_xonIn = false;
    bool m_dsrSens = false;
    bool m_txCont = false;
    char m_xonChar = 0x11;
    char m_xoffChar = 0x13;
};

class TComParity {
public:
    explicit TComParity(TCustomComPort &port) : m_port(port) {}
    TParityBits Bits() const { return m_bits; }
    bool Check() const { return m_check; }
    bool Replace() const { return m_replace; }
    char ReplaceChar() const { return m_replaceChar; }
    void SetBits(TParityBits v) { set(m_bits, v); }
    void SetCheck(bool v) { set(m_check, v); }
    void SetReplace(bool v) { set(m_replace, v); }
    void SetReplaceChar(char v) { set(m_replaceChar, v); }

private:
    template <class T> void set(T &field, T v);
    TCustomComPort &m_port;
    TParityBits m_bits = prNone;
    bool m_check = false;
    bool m_replace = false;
    char m_replaceChar = 0;
};

class TComBuffer {
public:
    explicit TComBuffer(TCustomComPort &port) : m_port(port) {}
    int InputSize() const { return m_input; }
    int OutputSize() const { return m_output; }
    void SetInputSize(int v) { set(m_input, v); }
    void SetOutputSize(int v) { set(m_output, v); }

private:
    void set(int &field, int v);
    TCustomComPort &m_port;
    int m_input = 1024;
    int m_output = 1024;
};

class TComThread;

// Runs a function on the user-interface thread some time later. The
// component never waits on it alone: CloseDevice runs what is still queued.
using UiPoster = std::function<void(std::function<void()>)>;

class TCustomComPort {
public:
    TCustomComPort(comhost::ComHost &host, UiPoster poster = nullptr);
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort &) = delete;
    TCustomComPort &operator=(const TCustomComPort &) = delete;

    bool Connected() const { return m_connected; }
    void SetConnected(bool v) { v ? OpenDevice() : CloseDevice(); }
    TBaudRate BaudRate() const { return m_baudRate; }
    void SetBaudRate(TBaudRate v);
    std::uint32_t CustomBaudRate() const { return m_customBaudRate; }
    void SetCustomBaudRate(std::uint32_t v);
    const std::string &Port() const { return m_port; }
    void SetPort(const std::string &v);
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits v);
    TDataBits DataBits() const { return m_dataBits; }
    void SetDataBits(TDataBits v);
    bool DiscardNull() const { return m_discardNull; }
    void SetDiscardNull(bool v);
    char EventChar() const { return m_eventChar; }
    void SetEventChar(char v);
    TComEvents Events() const { return m_events; }
    void SetEvents(TComEvents v) { m_events = v; }
    TSyncMethod SyncMethod() const { return m_syncMethod; }
    void SetSyncMethod(TSyncMethod v);

    TComParity &Parity() { return m_parity; }
    TComBuffer &Buffer() { return m_buffer; }
    TComFlowControl &FlowControl() { return m_flowControl; }
    TComTimeouts &Timeouts() { return m_timeouts; }

    void OpenDevice();
    void CloseDevice();
    // Writes and waits until the bytes have left, or the write time-out has
    // passed; returns the count that left. With a watch, the wait reports
    // progress; when the watch cancels, the write is aborted, the queued rest
    // purged, and the count that left so far returned.
    int WriteText(const std::string &text, TransferWatch *watch = nullptr);
    int ReadText(std::string &text, int count);

    // The device-control block the line settings would set now.
    comhost::DCB BuildDCB() const;
    comhost::Handle DeviceHandle() const { return m_handle; }
    bool ThreadCreated() const { return m_threadCreated; }

    // Event properties; none is assigned by the program itself.
    std::function<void()> OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
    std::function<void(int)> OnRxChar;
    std::function<void()> OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    std::function<void(bool)> OnCTSChange, OnDSRChange, OnRLSDChange;
    std::function<void(TComErrors)> OnError;

    void ApplyLineSettings();
    void ApplyTimeoutSettings();
    void ApplyBufferSettings();

protected:
    virtual void CreateDeviceHandle();
    virtual void ReleaseDeviceHandle();
    virtual void ConfigureDevice();
    virtual void DoAfterClose() { call(OnAfterClose); }
    virtual void DoAfterOpen() { call(OnAfterOpen); }
    virtual void DoBeforeClose() { call(OnBeforeClose); }
    virtual void DoBeforeOpen() { call(OnBeforeOpen); }

private:
    friend class TComThread;
    struct SyncRequest;

    static void call(const std::function<void()> &f)
    {
        if (f)
            f();
    }
    static void callSignal(const std::function<void(bool)> &f, bool on)
    {
        if (f)
            f(on);
    }
    void DispatchEvents(TComEvents events);
    // Reads CTS, DSR and RLSD once each and tells the change events.
    void checkSignals();
    bool readModemLine(std::uint32_t bit);
    [[noreturn]] void raise(int code);
    [[noreturn]] void raiseNoSystemError(int code);

    // Hands `fn` to the user-interface thread and waits until it has run;
    // rethrows what it raised. Called on the event thread.
    void synchronize(const std::function<void()> &fn);
    // Runs the dispatches queued by the event thread. UI thread only.
    void runQueuedDispatches();
    void stopEventThread();
    void reapRetiredThreads();
    // Waits for the pending write whose event is `done`; false when the
    // watch cancelled it.
    bool watchWrite(comhost::Handle done, std::size_t size, TransferWatch &watch);

    comhost::ComHost &m_host;
    UiPoster m_poster;
    comhost::Handle m_handle = comhost::kInvalidHandle;
    bool m_connected = false;
    TBaudRate m_baudRate = br9600;
    std::uint32_t m_customBaudRate = 9600;
    std::string m_port = "COM1";
    TStopBits m_stopBits = sbOneStopBit;
    TDataBits m_dataBits = dbEight;
    bool m_discardNull = false;
    char m_eventChar = 0;
    TComEvents m_events = kAllComEvents;
    TSyncMethod m_syncMethod = smThreadSync;
    TComParity m_parity{*this};
    TComBuffer m_buffer{*this};
    TComFlowControl m_flowControl{*this};
    TComTimeouts m_timeouts{*this};
    int m_updateCount = 0;

    std::unique_ptr<TComThread> m_thread;
    bool m_threadCreated = false;
    // Event loops of ports closed from inside their own dispatch, still
    // finishing that dispatch.
    std::vector<std::unique_ptr<TComThread>> m_retired;
    std::atomic<int> m_dispatchDepth{0};

    std::mutex m_syncMutex;
    std::condition_variable m_syncCv;
    std::deque<std::shared_ptr<SyncRequest>> m_syncQueue;
};

class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};
