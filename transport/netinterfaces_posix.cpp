// The host's own IPv4 networks, from getifaddrs.
#include "transport/netprobe.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace netprobe {

std::vector<Network> localNetworks()
{
    std::vector<Network> out;
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) != 0)
        return out;
    for (const ifaddrs *i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) || !i->ifa_netmask)
            continue;
        Network n;
        n.address = ntohl(reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr.s_addr);
        const std::uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in *>(i->ifa_netmask)->sin_addr.s_addr);
        n.prefix = __builtin_popcount(mask);
        n.loopback = (i->ifa_flags & IFF_LOOPBACK) != 0;
        out.push_back(n);
    }
    ::freeifaddrs(list);
    return out;
}

} // namespace netprobe
