#pragma once
// How a long transfer is watched and stopped. A transport that has to wait
// for the device calls waiting() between short slices of that wait; the
// watcher shows progress, keeps the windows painting, and answers false
// once the operator has cancelled. Nothing here is called while bytes flow
// freely, so a short command costs nothing extra.
#include <cstdint>

enum class TransferHold {
    None,
    SerialHeld,   // a serial printer stopped taking bytes: XOFF, or it does not read
    NotReading,   // a network printer takes no more bytes
    PortStalled,  // a parallel printer stopped taking bytes
    Connecting,   // the network connection does not stand yet
};

class TransferWatch {
public:
    virtual ~TransferWatch() = default;
    // `done` bytes of the command are with the device (or beyond it).
    // Returns false when the transfer is to stop now.
    virtual bool waiting(std::uint64_t done, TransferHold hold) = 0;
};

// How long no progress counts as "the printer holds the line". A paced line
// stops and starts all the time; only a second without a byte is news.
constexpr int kHoldAfterMs = 1000;
// The longest single wait between two looks at the watcher.
constexpr int kWatchSliceMs = 50;
