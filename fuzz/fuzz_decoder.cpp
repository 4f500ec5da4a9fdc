// The command decoder on any bytes: no crash, no hang, and the commands it
// returns cover the input exactly, in order, each at least one byte long.
#include "escpos/decoder.h"
#include "fuzz/check.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ByteString bytes(reinterpret_cast<const char *>(data), size);
    for (bool chinese : {true, false}) {
        const auto commands = escpos::decode(bytes, escpos::Options{chinese});
        std::size_t at = 0;
        for (const escpos::Command &c : commands) {
            check(c.offset == at && c.length > 0 && !c.name.empty());
            at += c.length;
        }
        check(at == size);
        const QString text = escpos::listing(bytes, commands);
        check(commands.empty() == text.isEmpty());
    }
    return 0;
}
