#include "transport/devicenames.h"

namespace {

const std::string kComPrefix = "\\\\.\\";

} // namespace

DeviceNames::DeviceNames()
#ifndef _WIN32
    : m_roots(PortRoots::system())
#endif
{
}

void DeviceNames::redirect(const std::string &name, const std::string &path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_redirects[name] = path;
}

void DeviceNames::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_redirects.clear();
}

void DeviceNames::setRoots(const PortRoots &roots)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_roots = roots;
}

PortRoots DeviceNames::roots() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_roots;
}

std::string DeviceNames::redirected(const std::string &name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_redirects.find(name);
    return it == m_redirects.end() ? std::string() : it->second;
}

std::string DeviceNames::resolve(const std::string &name) const
{
    if (std::string r = redirected(name); !r.empty())
        return r;
#ifdef _WIN32
    return name;
#else
    const std::string port = name.compare(0, kComPrefix.size(), kComPrefix) == 0 ? name.substr(kComPrefix.size()) : name;
    const PortMap map = PortMap::scan(roots());
    if (const PortEntry *e = map.find(port))
        return e->path;
    return name;
#endif
}

std::string DeviceNames::describe(const std::string &portName) const
{
#ifdef _WIN32
    return portName;
#else
    const std::string viaComName = redirected(kComPrefix + portName);
    const std::string r = viaComName.empty() ? redirected(portName) : viaComName;
    const PortMap map = PortMap::scan(roots());
    const PortEntry *found = map.find(portName);
    if (!found)
        return portName;
    PortEntry e = *found;
    if (!r.empty()) {
        e = PortEntry{};
        e.name = portName;
        e.path = r;
    }
    return PortMap::describe(e);
#endif
}

std::vector<PortMapProblem> DeviceNames::takeNewProblems()
{
#ifdef _WIN32
    return {};
#else
    std::vector<PortMapProblem> fresh;
    for (const PortMapProblem &p : PortMap::mapFileProblems(roots())) {
        const std::string key = p.file + ":" + std::to_string(p.line) + ":" + p.text;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_told.insert(key).second)
            fresh.push_back(p);
    }
    return fresh;
#endif
}
