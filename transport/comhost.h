#pragma once
// The host's serial communication calls, in the shape of the Win32 comm API
// that the serial component is written against. On Windows the body passes
// every call to the real API; on Linux it is our own layer over termios with
// the same observable behaviour. Error numbers are the Win32 ones on every
// platform so that operators see the same messages everywhere.
#include <cstdint>
#include <memory>

class DeviceNames;

namespace comhost {

// The name of the Linux host layer's I/O thread, which carries a write the
// device could not take at once and lives as long as the host.
constexpr const char *kIoThreadName = "tavo-host-io";

using Handle = std::uintptr_t;
constexpr Handle kInvalidHandle = ~Handle(0);

// Win32 error numbers the component and its tests rely on.
enum : std::uint32_t {
    kErrorSuccess = 0,
    kErrorInvalidFunction = 1,
    kErrorFileNotFound = 2,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorGenFailure = 31,
    kErrorSharingViolation = 32,
    kErrorInvalidParameter = 87,
    kErrorOperationAborted = 995,
    kErrorIoIncomplete = 996,
    kErrorIoPending = 997,
    kErrorIoDevice = 1117,
    kErrorTimeout = 1460,
};

constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
constexpr std::uint32_t kWaitObject0 = 0;
constexpr std::uint32_t kWaitTimeout = 258;
constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;

// PurgeComm flags
constexpr std::uint32_t kPurgeTxAbort = 0x0001;
constexpr std::uint32_t kPurgeRxAbort = 0x0002;
constexpr std::uint32_t kPurgeTxClear = 0x0004;
constexpr std::uint32_t kPurgeRxClear = 0x0008;

// Comm event mask bits
constexpr std::uint32_t kEvRxChar = 0x0001;
constexpr std::uint32_t kEvRxFlag = 0x0002;
constexpr std::uint32_t kEvTxEmpty = 0x0004;
constexpr std::uint32_t kEvCts = 0x0008;
constexpr std::uint32_t kEvDsr = 0x0010;
constexpr std::uint32_t kEvRlsd = 0x0020;
constexpr std::uint32_t kEvBreak = 0x0040;
constexpr std::uint32_t kEvErr = 0x0080;
constexpr std::uint32_t kEvRing = 0x0100;
constexpr std::uint32_t kEvRx80Full = 0x0400;

// Modem status bits
constexpr std::uint32_t kMsCtsOn = 0x0010;
constexpr std::uint32_t kMsDsrOn = 0x0020;
constexpr std::uint32_t kMsRingOn = 0x0040;
constexpr std::uint32_t kMsRlsdOn = 0x0080;

// DCB flag bits
constexpr std::uint32_t kDcbBinary = 0x0001;
constexpr std::uint32_t kDcbParity = 0x0002;
constexpr std::uint32_t kDcbOutxCtsFlow = 0x0004;
constexpr std::uint32_t kDcbOutxDsrFlow = 0x0008;
constexpr std::uint32_t kDcbDtrMask = 0x0030;
constexpr std::uint32_t kDcbDtrEnable = 0x0010;
constexpr std::uint32_t kDcbDtrHandshake = 0x0020;
constexpr std::uint32_t kDcbDsrSensitivity = 0x0040;
constexpr std::uint32_t kDcbTxContinueOnXoff = 0x0080;
constexpr std::uint32_t kDcbOutX = 0x0100;
constexpr std::uint32_t kDcbInX = 0x0200;
constexpr std::uint32_t kDcbErrorChar = 0x0400;
constexpr std::uint32_t kDcbNull = 0x0800;
constexpr std::uint32_t kDcbRtsMask = 0x3000;
constexpr std::uint32_t kDcbRtsEnable = 0x1000;
constexpr std::uint32_t kDcbRtsHandshake = 0x2000;

#pragma pack(push, 4)
// Same layout as the Win32 DCB: 28 bytes, the bit fields as one flag word.
struct DCB {
    std::uint32_t DCBlength;
    std::uint32_t BaudRate;
    std::uint32_t Flags;
    std::uint16_t wReserved;
    std::uint16_t XonLim;
    std::uint16_t XoffLim;
    std::uint8_t ByteSize;
    std::uint8_t Parity;
    std::uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    std::uint16_t wReserved1;
};
#pragma pack(pop)
static_assert(sizeof(DCB) == 28, "DCB must keep the Win32 layout");

struct COMMTIMEOUTS {
    std::uint32_t ReadIntervalTimeout;
    std::uint32_t ReadTotalTimeoutMultiplier;
    std::uint32_t ReadTotalTimeoutConstant;
    std::uint32_t WriteTotalTimeoutMultiplier;
    std::uint32_t WriteTotalTimeoutConstant;
};

// COMSTAT.Flags: the bit fields of the Win32 structure, as bits.
constexpr std::uint32_t kComstatCtsHold = 0x01;
constexpr std::uint32_t kComstatDsrHold = 0x02;
constexpr std::uint32_t kComstatRlsdHold = 0x04;
constexpr std::uint32_t kComstatXoffHold = 0x08;

struct COMSTAT {
    std::uint32_t Flags;
    std::uint32_t cbInQue;
    std::uint32_t cbOutQue;
};

// An overlapped transfer block. Internal holds the completion status (a Win32
// error number, kErrorIoPending while running), InternalHigh the byte count.
struct OVERLAPPED {
    std::uintptr_t Internal;
    std::uintptr_t InternalHigh;
    std::uint32_t Offset;
    std::uint32_t OffsetHigh;
    Handle hEvent;
};

class ComHost {
public:
    virtual ~ComHost() = default;

    // Opens an existing device for reading and writing, unshared, overlapped.
    virtual Handle CreateFileA(const char *name) = 0;
    virtual bool CloseHandle(Handle h) = 0;
    virtual bool SetupComm(Handle h, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
    virtual bool SetCommState(Handle h, const DCB &dcb) = 0;
    virtual bool GetCommState(Handle h, DCB &dcb) = 0;
    virtual bool SetCommTimeouts(Handle h, const COMMTIMEOUTS &t) = 0;
    virtual bool WriteFile(Handle h, const void *data, std::uint32_t count, OVERLAPPED *ov) = 0;
    virtual bool ReadFile(Handle h, void *data, std::uint32_t count, OVERLAPPED *ov) = 0;
    virtual bool GetOverlappedResult(Handle h, OVERLAPPED *ov, std::uint32_t *transferred, bool wait) = 0;
    virtual bool SetCommMask(Handle h, std::uint32_t mask) = 0;
    virtual bool WaitCommEvent(Handle h, std::uint32_t *mask, OVERLAPPED *ov) = 0;
    virtual bool PurgeComm(Handle h, std::uint32_t flags) = 0;
    virtual bool ClearCommError(Handle h, std::uint32_t *errors, COMSTAT *stat) = 0;
    virtual bool GetCommModemStatus(Handle h, std::uint32_t *status) = 0;
    virtual Handle CreateEventA(bool manualReset, bool initialState) = 0;
    virtual bool SetEvent(Handle h) = 0;
    virtual bool ResetEvent(Handle h) = 0;
    virtual std::uint32_t WaitForSingleObject(Handle h, std::uint32_t ms) = 0;
    virtual std::uint32_t WaitForMultipleObjects(std::uint32_t count, const Handle *handles, bool waitAll,
                                                 std::uint32_t ms) = 0;
    // Error of the calling thread's last failed call.
    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t err) = 0;
};

// The host's own layer; port names are resolved through `names`.
std::unique_ptr<ComHost> makeSystemComHost(const DeviceNames &names);

} // namespace comhost
