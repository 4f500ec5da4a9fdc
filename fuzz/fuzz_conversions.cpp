// The integer and decimal conversions of the input fields.
#include "core/rtl.h"
#include "fuzz/check.h"

#include <QString>

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (auto v = parseInteger(text)) {
        // What converts once converts the same written back in decimal.
        const auto again = parseInteger(std::to_string(*v));
        check(again && *again == *v);
    }
    for (char separator : {'.', ','})
        if (auto d = parseDecimal(text, separator))
            check(*d == *d);
    const QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    try {
        (void)StrToInt(q);
    } catch (const EConvertError &) {
    }
    try {
        (void)StrToFloat(q, QChar('.'));
    } catch (const EConvertError &) {
    }
    (void)RoundHalfEven(parseDecimal(text, '.').value_or(0.0) / 0.1764);
    return 0;
}
