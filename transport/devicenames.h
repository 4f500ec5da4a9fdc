#pragma once
// The one table from the program's port names ("LPT1", "\\.\COM3") to device
// paths of the host. On Linux the COM and LPT names go through the port map
// (transport/portmap.h), worked out afresh for every command; tests point
// names at their own pseudo-terminals and files, or give the map a tree of
// their own.
#include "transport/portmap.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class DeviceNames {
public:
    DeviceNames();

    // Makes `name` open `path` instead of the host's usual device.
    void redirect(const std::string &name, const std::string &path);
    void clear();
    // The roots the port map scans: the host's own unless a test says else.
    void setRoots(const PortRoots &roots);
    PortRoots roots() const;

    // The host path for a port name; empty for a COM number with no device;
    // other names come back unchanged.
    std::string resolve(const std::string &name) const;
    // Where "COM3" or "LPT1" goes, for the operator: "COM1 → /dev/ttyUSB0
    // (FTDI FT232R USB UART, serial A12345)", "COM4: no device".
    std::string describe(const std::string &portName) const;
    // Bad lines of the port map file not told before, each once.
    std::vector<PortMapProblem> takeNewProblems();

private:
    std::string redirected(const std::string &name) const;

    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_redirects;
    PortRoots m_roots;
    std::set<std::string> m_told;
};
