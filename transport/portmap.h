#pragma once
// Where "COM1" … "COM8" and "LPT1", "LPT2" go on this host. Numbers named
// in the port map file come first; the remaining COM numbers, lowest first,
// go to the serial devices present in the order Wine numbers them: ttyS0,
// ttyS1, … up to the first missing number (skipping those the kernel says
// have no UART), then ttyUSB0 …, then ttyACM0 …. The roots it scans are
// parameters, so that tests build a tree of their own.
#include <functional>
#include <string>
#include <vector>

struct PortRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string config; // the folder of ports.conf; empty: no map file
    // What the kernel says of a ttyS node that sysfs gives no type for: its
    // serial type (0, PORT_UNKNOWN: no UART behind it), or -1 where it
    // cannot tell. Empty: ask the node itself. Tests answer for UARTs that
    // no test machine has.
    std::function<int(const std::string &path)> serialType;
    // The program's own: $XDG_CONFIG_HOME/tavo, else ~/.config/tavo.
    static PortRoots system();
};

struct PortEntry {
    std::string name;        // "COM1", "LPT1"
    std::string path;        // the device it opens; empty: no device
    bool fromMap = false;    // named in the map file
    std::string description; // "FTDI FT232R USB UART, serial A12345"
    std::string byId;        // its /dev/serial/by-id name, where it has one
};

struct PortMapProblem {
    std::string file;
    int line = 0;
    std::string text; // the line as written
    std::string why;
};

class PortMap {
public:
    static constexpr int kComCount = 8;
    static constexpr int kLptCount = 2;

    static PortMap scan(const PortRoots &roots);
    // Only the map file's bad lines, without looking at any device.
    static std::vector<PortMapProblem> mapFileProblems(const PortRoots &roots);

    // COM1 … COM8, then LPT1, LPT2.
    const std::vector<PortEntry> &entries() const { return m_entries; }
    // The entry of "COM3" or "LPT1"; null for other names.
    const PortEntry *find(const std::string &name) const;
    const std::vector<PortMapProblem> &problems() const { return m_problems; }
    std::string mapFile() const { return m_mapFile; }

    // "COM1 → /dev/ttyUSB0 (FTDI FT232R USB UART, serial A12345; by-id …)" or
    // "COM4: no device".
    static std::string describe(const PortEntry &entry);

private:
    std::vector<PortEntry> m_entries;
    std::vector<PortMapProblem> m_problems;
    std::string m_mapFile;
};
