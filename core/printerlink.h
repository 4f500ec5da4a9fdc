#pragma once
// What every command of a run goes through, window or command line: the
// host's serial layer, the one serial port component `cp` set up as the
// layout has it, the sender with the run's transfer log, and the one
// command string of the program.
#include "core/bytestring.h"
#include "core/dispatch.h"
#include "transport/comport.h"

#include <memory>

class Outside;

class PrinterLink {
public:
    // `host` replaces the host's serial layer (tests); null uses the system's.
    explicit PrinterLink(Outside &outside, comhost::ComHost *host = nullptr,
                         NetPrinterApi net = NetPrinterApi::library());
    ~PrinterLink();
    PrinterLink(const PrinterLink &) = delete;
    PrinterLink &operator=(const PrinterLink &) = delete;

    TComPort &cp() { return *m_cp; }
    Sender &sender() { return *m_sender; }
    // Every command overwrites it.
    ByteString &commandBuffer() { return m_command; }

private:
    std::unique_ptr<comhost::ComHost> m_ownHost;
    std::unique_ptr<TComPort> m_cp;
    std::unique_ptr<Sender> m_sender;
    ByteString m_command;
};
