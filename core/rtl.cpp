#include "core/rtl.h"

#include <QCoreApplication>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>

EConvertError::EConvertError(const QString &message) : std::runtime_error(message.toStdString()) {}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    std::uint64_t value = 0;
    if (text[i] == '$') {
        ++i;
        if (i >= text.size() || text.size() - i > 8)
            return std::nullopt;
        for (; i < text.size(); ++i) {
            char c = text[i];
            int d = (c >= '0' && c <= '9') ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (d < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(d);
        }
        auto v = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v)) : v;
    }
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > 2147483648ULL)
            return std::nullopt;
    }
    if (!negative && value > 2147483647ULL)
        return std::nullopt;
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
}

std::optional<double> parseDecimal(std::string_view text, char separator)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    std::string plain;
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        plain.push_back(text[i++]);
    bool digits = false, point = false;
    for (; i < end; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            plain.push_back(c);
            digits = true;
        } else if (c == separator && !point) {
            plain.push_back('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        plain.push_back('e');
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            plain.push_back(text[i++]);
        bool expDigits = false;
        for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
            plain.push_back(text[i]);
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    const char *first = plain.data();
    if (*first == '+')
        ++first;
    double value = 0;
    auto res = std::from_chars(first, plain.data() + plain.size(), value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int StrToInt(const QString &text)
{
    // Anything beyond Latin-1 is no digit; keep it out of the ASCII parser.
    auto v = parseInteger(text.toLatin1().toStdString());
    if (!v || text.toLatin1() != text.toUtf8())
        throw EConvertError(QCoreApplication::translate("rtl", "'%1' is not a valid integer value").arg(text));
    return *v;
}

double StrToFloat(const QString &text, QChar separator)
{
    std::optional<double> v;
    if (text.toLatin1() == text.toUtf8() && separator.unicode() < 128)
        v = parseDecimal(text.toLatin1().toStdString(), static_cast<char>(separator.unicode()));
    if (!v)
        throw EConvertError(
            QCoreApplication::translate("rtl", "'%1' is not a valid floating point value").arg(text));
    return *v;
}

double StrToFloat(const QString &text)
{
    const QString sep = QLocale::system().decimalPoint();
    return StrToFloat(text, sep.isEmpty() ? QChar('.') : sep.at(0));
}

std::int64_t RoundHalfEven(double value)
{
    double r = std::nearbyint(value); // the default rounding mode: to nearest, ties to even
    if (!(r > -9.0e18))
        return static_cast<std::int64_t>(-9.0e18);
    if (!(r < 9.0e18))
        return static_cast<std::int64_t>(9.0e18);
    return static_cast<std::int64_t>(r);
}
