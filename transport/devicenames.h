#pragma once
// The one table from the program's port names ("LPT1", "\\.\COM3") to device
// paths of the host. Tests point names at their own pseudo-terminals and files.
#include <map>
#include <mutex>
#include <string>

class DeviceNames {
public:
    // Makes `name` open `path` instead of the host's usual device.
    void redirect(const std::string &name, const std::string &path);
    void clear();
    // The host path for a port name; names without a mapping come back unchanged.
    std::string resolve(const std::string &name) const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::string> m_redirects;
};
