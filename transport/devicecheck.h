#pragma once
// Why a device could not be opened or written, in terms an operator can act
// on: it is missing, the user may not open it, another program holds it, it
// is no serial port, nobody reads the other end. Asked only after a failure, so it may take its time.
#include <string>

struct DeviceProblem {
    enum Kind { Unknown, Missing, PermissionDenied, HeldByOther, NotSerial, NoHardware, NoReader };
    Kind kind = Unknown;
    std::string path;
    // PermissionDenied: who may open it. `group` is set only where joining
    // that group would help: the group may read and write the device.
    std::string owner;
    std::string ownerGroup;
    unsigned mode = 0;   // the permission bits, as ls shows them in octal
    std::string group;
    int pid = 0;         // HeldByOther: who holds it, where the system tells
    std::string process;
};

// `serial`: the device is meant as a serial port (else a printer device).
DeviceProblem diagnoseDevice(const std::string &path, bool serial);
