#pragma once
// Why a device could not be opened or written, in terms an operator can act
// on: it is missing, the user may not open it, another program holds it, it
// is no serial port. Asked only after a failure, so it may take its time.
#include <string>

struct DeviceProblem {
    enum Kind { Unknown, Missing, PermissionDenied, HeldByOther, NotSerial, NoHardware };
    Kind kind = Unknown;
    std::string path;
    std::string group;   // PermissionDenied: the group that may open it
    int pid = 0;         // HeldByOther: who holds it, where the system tells
    std::string process;
};

// `serial`: the device is meant as a serial port (else a printer device).
DeviceProblem diagnoseDevice(const std::string &path, bool serial);
