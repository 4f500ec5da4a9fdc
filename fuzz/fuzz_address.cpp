// The printer address text of the network library. Only loopback addresses
// are ever connected to: a fuzzer must never reach a real printer.
#include "transport/tavonetio/address.h"
#include "transport/tavonetio/tavonetio.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const auto ep = tavonet::parseAddress(text);
    if (!ep)
        return 0;
    if (ep->port < 1 || ep->port > 65535)
        __builtin_trap();
    // Names are never looked up here: only numeric loopback addresses connect.
    const bool loopback = ep->numeric && (ep->host.rfind("127.", 0) == 0 || ep->host == "::1");
    if (loopback && text.find('\0') == std::string::npos) {
        if (TavoNetOpen(text.c_str(), 1, 1) == 1)
            TavoNetSend(reinterpret_cast<const uint8_t *>("x"), 1);
        TavoNetClose();
    }
    return 0;
}
