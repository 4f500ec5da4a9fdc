// The serial component's values: rates and their texts, event masks, the
// error texts, and the setting objects that hand a change to an open port.
#include "transport/comport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

using namespace comhost;

namespace {

const char *const kBaudTexts[] = {"Custom", "110",   "300",   "600",   "1200",   "2400",   "4800",   "9600",
                                  "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
const std::uint32_t kBaudValues[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                     14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

const std::uint32_t kEventMasks[] = {kEvRxChar, kEvTxEmpty, kEvRxFlag, kEvRing, kEvBreak,
                                     kEvCts,    kEvDsr,     kEvErr,    kEvRlsd, kEvRx80Full};

const char *const kComErrorTexts[] = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

std::string upperAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

std::string BaudRateText(TBaudRate rate)
{
    int i = static_cast<int>(rate);
    return (i >= 0 && i <= br256000) ? kBaudTexts[i] : kBaudTexts[br9600];
}

TBaudRate BaudRateFromText(const std::string &text)
{
    const std::string upper = upperAscii(text);
    for (int i = brCustom; i <= br256000; ++i)
        if (upperAscii(kBaudTexts[i]) == upper)
            return static_cast<TBaudRate>(i);
    return br9600;
}

std::uint32_t BaudRateValue(TBaudRate rate, std::uint32_t customRate)
{
    if (rate == brCustom)
        return customRate;
    int i = static_cast<int>(rate);
    return (i > 0 && i <= br256000) ? kBaudValues[i] : 9600;
}

std::uint32_t EventsToMask(TComEvents events)
{
    std::uint32_t mask = 0;
    for (int e = evRxChar; e <= evRx80Full; ++e)
        if (events & eventBit(static_cast<TComEvent>(e)))
            mask |= kEventMasks[e];
    return mask;
}

TComEvents MaskToEvents(std::uint32_t mask)
{
    TComEvents events = 0;
    for (int e = evRxChar; e <= evRx80Full; ++e)
        if (mask & kEventMasks[e])
            events |= eventBit(static_cast<TComEvent>(e));
    return events;
}

const char *ComErrorText(int code)
{
    if (code < 1 || code > 23)
        return "";
    return kComErrorTexts[code - 1];
}

std::string ComErrorMessage(int code, int winCode)
{
    std::string text = ComErrorText(code);
    if (winCode != -1)
        text += " (win error code: " + std::to_string(winCode) + ")";
    return text;
}

EComPort::EComPort(int code, int winCode)
    : std::runtime_error(ComErrorMessage(code, winCode)), Code(code), WinCode(winCode)
{
}

// ---- value objects --------------------------------------------------------

void TComTimeouts::set(int &field, int v)
{
    if (field == v)
        return;
    field = v;
    m_port.ApplyTimeoutSettings();
}

template <class T> void TComFlowControl::set(T &field, T v)
{
    if (field == v)
        return;
    field = v;
    m_port.ApplyLineSettings();
}

TFlowControl TComFlowControl::FlowControl() const
{
    if (m_rts == rtsHandshake && m_outCTS && !m_xonOut && !m_xonIn)
        return fcHardware;
    if (m_rts == rtsDisable && !m_outCTS && m_xonOut && m_xonIn)
        return fcSoftware;
    if (m_rts == rtsDisable && !m_outCTS && !m_xonOut && !m_xonIn)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl v)
{
    if (v != fcCustom) {
        m_rts = rtsDisable;
        m_outCTS = false;
        m_xonOut = false;
        m_xonIn = false;
    }
    if (v == fcHardware) {
        m_rts = rtsHandshake;
        m_outCTS = true;
    } else if (v == fcSoftware) {
        m_xonOut = true;
        m_xonIn = true;
    }
    m_port.ApplyLineSettings();
}

template <class T> void TComParity::set(T &field, T v)
{
    if (field == v)
        return;
    field = v;
    m_port.ApplyLineSettings();
}

void TComBuffer::set(int &field, int v)
{
    if (v > 0 && (v % 2) == 1)
        --v;
    if (field == v)
        return;
    field = v;
    m_port.ApplyBufferSettings();
}

template void TComFlowControl::set<bool>(bool &, bool);
template void TComFlowControl::set<char>(char &, char);
template void TComFlowControl::set<TDTRFlowControl>(TDTRFlowControl &, TDTRFlowControl);
template void TComFlowControl::set<TRTSFlowControl>(TRTSFlowControl &, TRTSFlowControl);
template void TComParity::set<bool>(bool &, bool);
template void TComParity::set<char>(char &, char);
template void TComParity::set<TParityBits>(TParityBits &, TParityBits);
