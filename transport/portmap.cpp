#include "transport/portmap.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/serial.h>
#include <map>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string canonical(const std::string &path)
{
    char buf[4096];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return std::string();
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::string readLine(const std::string &path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return trim(line);
}

// "COM3" -> ("COM", 3); number 0 when it is no such name.
std::pair<std::string, int> splitName(const std::string &name)
{
    for (const char *prefix : {"COM", "LPT"}) {
        const std::string p(prefix);
        if (name.size() > p.size() && name.compare(0, p.size(), p) == 0) {
            int n = 0;
            for (std::size_t i = p.size(); i < name.size(); ++i) {
                if (name[i] < '0' || name[i] > '9' || n > 1000)
                    return {p, -1};
                n = n * 10 + (name[i] - '0');
            }
            return {p, n};
        }
    }
    return {std::string(), 0};
}

int serialTypeOf(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    serial_struct ss{};
    const int type = ::ioctl(fd, TIOCGSERIAL, &ss) == 0 ? ss.type : -1;
    ::close(fd);
    return type;
}

// A ttyS node the kernel says has no UART behind it; a node that cannot
// tell (a pseudo-terminal, say) is taken as present.
bool uartMissing(const PortRoots &roots, const std::string &node, const std::string &path)
{
    const std::string type = roots.sys + "/class/tty/" + node + "/type";
    if (exists(type))
        return readLine(type) == "0";
    return (roots.serialType ? roots.serialType(path) : serialTypeOf(path)) == PORT_UNKNOWN;
}

// The USB device behind a tty, from sysfs: manufacturer, product, serial.
std::string usbDescription(const PortRoots &roots, const std::string &node)
{
    std::string dir = canonical(roots.sys + "/class/tty/" + node + "/device");
    for (int up = 0; up < 4 && !dir.empty(); ++up) {
        if (exists(dir + "/product")) {
            std::string d = readLine(dir + "/manufacturer");
            const std::string product = readLine(dir + "/product");
            if (!product.empty())
                d += (d.empty() ? "" : " ") + product;
            const std::string serial = readLine(dir + "/serial");
            if (!serial.empty())
                d += (d.empty() ? "" : ", ") + std::string("serial ") + serial;
            return d;
        }
        dir = dir.substr(0, dir.rfind('/'));
    }
    return std::string();
}

// Every /dev/serial/by-id name by the device it leads to.
std::map<std::string, std::string> byIdNames(const PortRoots &roots)
{
    std::map<std::string, std::string> out;
    const std::string dir = roots.dev + "/serial/by-id";
    if (DIR *d = ::opendir(dir.c_str())) {
        while (dirent *e = ::readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            const std::string link = dir + "/" + e->d_name;
            out.emplace(canonical(link), link);
        }
        ::closedir(d);
    }
    return out;
}

} // namespace

PortRoots PortRoots::system()
{
    PortRoots r;
    if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        r.config = std::string(xdg) + "/tavo";
    else if (const char *home = std::getenv("HOME"); home && *home)
        r.config = std::string(home) + "/.config/tavo";
    return r;
}

namespace {

// The lines of the map file: the names it pins, and its bad lines.
void readMapFile(const PortRoots &roots, std::string &file, std::map<std::string, std::string> &named,
                 std::vector<PortMapProblem> &problems)
{
    if (roots.config.empty())
        return;
    file = roots.config + "/ports.conf";
    std::ifstream in(file);
    std::string raw;
    for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
        std::string line = raw;
        if (const auto hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        line = trim(line);
        if (line.empty())
            continue;
        auto bad = [&](const char *why) { problems.push_back({file, lineNo, trim(raw), why}); };
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            bad("no '='");
            continue;
        }
        std::string name = trim(line.substr(0, eq));
        for (char &c : name) // "com3" is COM3, as Windows reads it
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        std::string path = trim(line.substr(eq + 1));
        // The shell's "~/" is no part of a path the system opens.
        if (path.compare(0, 2, "~/") == 0) {
            const char *home = std::getenv("HOME");
            if (!home || !*home) {
                bad("'~/' but no home folder is set (HOME)");
                continue;
            }
            path = std::string(home) + path.substr(1);
        }
        const auto [prefix, n] = splitName(name);
        if (prefix.empty()) {
            bad("unknown name");
            continue;
        }
        // "COM03" would be kept under a name no port ever looks up.
        if (name.size() > prefix.size() && name[prefix.size()] == '0') {
            bad(prefix == "COM" ? "leading zero: write COM3, not COM03" : "leading zero: write LPT1, not LPT01");
            continue;
        }
        if (n < 1 || n > (prefix == "COM" ? PortMap::kComCount : PortMap::kLptCount)) {
            bad(prefix == "COM" ? "number outside COM1-COM8" : "number outside LPT1-LPT2");
            continue;
        }
        if (path.empty()) {
            bad("empty path");
            continue;
        }
        named[name] = path;
    }
}

} // namespace

std::vector<PortMapProblem> PortMap::mapFileProblems(const PortRoots &roots)
{
    std::string file;
    std::map<std::string, std::string> named;
    std::vector<PortMapProblem> problems;
    readMapFile(roots, file, named, problems);
    return problems;
}

PortMap PortMap::scan(const PortRoots &roots)
{
    PortMap map;
    std::map<std::string, std::string> named; // "COM3" -> path, from the map file
    readMapFile(roots, map.m_mapFile, named, map.m_problems);

    // The serial devices present, in Wine's order.
    std::vector<std::string> found; // paths
    std::map<std::string, std::string> nodeOf; // path -> node name
    for (const char *family : {"ttyS", "ttyUSB", "ttyACM"}) {
        for (int i = 0;; ++i) {
            const std::string node = family + std::to_string(i);
            const std::string path = roots.dev + "/" + node;
            if (!exists(path))
                break;
            if (std::string(family) == "ttyS" && uartMissing(roots, node, path))
                continue;
            found.push_back(path);
            nodeOf[path] = node;
        }
    }
    std::vector<std::string> mapped;
    for (const auto &n : named)
        mapped.push_back(canonical(n.second));

    const auto ids = byIdNames(roots);
    auto describeDevice = [&](PortEntry &e) {
        if (e.path.empty())
            return;
        const std::string real = canonical(e.path);
        if (auto it = ids.find(real); it != ids.end())
            e.byId = it->second;
        const std::string node = real.substr(real.rfind('/') + 1);
        e.description = usbDescription(roots, node);
    };

    std::size_t next = 0;
    for (int n = 1; n <= kComCount; ++n) {
        PortEntry e;
        e.name = "COM" + std::to_string(n);
        if (auto it = named.find(e.name); it != named.end()) {
            e.path = it->second;
            e.fromMap = true;
        } else {
            while (next < found.size()) {
                const std::string &candidate = found[next++];
                bool taken = false;
                for (const auto &m : mapped)
                    taken = taken || canonical(candidate) == m;
                if (!taken) {
                    e.path = candidate;
                    break;
                }
            }
        }
        describeDevice(e);
        map.m_entries.push_back(e);
    }
    for (int n = 1; n <= kLptCount; ++n) {
        PortEntry e;
        e.name = "LPT" + std::to_string(n);
        if (auto it = named.find(e.name); it != named.end()) {
            e.path = it->second;
            e.fromMap = true;
        } else {
            const std::string classic = roots.dev + "/lp" + std::to_string(n - 1);
            const std::string usb = roots.dev + "/usb/lp" + std::to_string(n - 1);
            e.path = (!exists(classic) && exists(usb)) ? usb : classic;
        }
        map.m_entries.push_back(e);
    }
    return map;
}

const PortEntry *PortMap::find(const std::string &name) const
{
    for (const PortEntry &e : m_entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

std::string PortMap::describe(const PortEntry &e)
{
    if (e.path.empty())
        return e.name + ": no device";
    std::string s = e.name + " → " + e.path;
    std::string extra = e.description;
    if (!e.byId.empty() && e.byId != e.path)
        extra += (extra.empty() ? "" : "; ") + e.byId;
    if (e.fromMap)
        extra += (extra.empty() ? "" : "; ") + std::string("ports.conf");
    if (!extra.empty())
        s += " (" + extra + ")";
    return s;
}
