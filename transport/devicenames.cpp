#include "transport/devicenames.h"

#include <cctype>
#include <sys/stat.h>

#ifndef _WIN32
namespace {

// "COM3" -> 3, "LPT1" -> 1; 0 when the name is not prefix + number.
int portNumber(const std::string &name, const std::string &prefix)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    int n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || n > 1000)
            return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

bool exists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace
#endif

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

std::string DeviceNames::resolve(const std::string &name) const
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_redirects.find(name);
        if (it != m_redirects.end())
            return it->second;
    }
#ifdef _WIN32
    return name;
#else
    // Windows port names as the program uses them: "\\.\COMn" is the n-th
    // serial port, /dev/ttyS(n-1) here.
    if (int n = portNumber(name, "\\\\.\\COM"); n > 0)
        return "/dev/ttyS" + std::to_string(n - 1);
    if (int n = portNumber(name, "LPT"); n > 0) {
        const std::string classic = "/dev/lp" + std::to_string(n - 1);
        const std::string usb = "/dev/usb/lp" + std::to_string(n - 1);
        if (!exists(classic) && exists(usb))
            return usb;
        return classic;
    }
    return name;
#endif
}
