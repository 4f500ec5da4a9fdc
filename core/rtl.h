#pragma once
// Run-time conversions of the input fields: integers as the operator types
// them (decimal with a sign, "$" for hexadecimal), decimal fractions with the
// system's separator, and rounding. A field that does not convert raises
// EConvertError with the text the operator sees.
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString &message);
};

// Pure parsers, no Qt: nullopt when the text is no number.
// Integers: leading blanks, an optional sign, then decimal digits or "$" and
// up to eight hexadecimal digits; 32-bit range (hexadecimal wraps like a
// 32-bit register: "$FFFFFFFF" is -1).
std::optional<std::int32_t> parseInteger(std::string_view text);
// Decimals: blanks around, sign, digits with at most one separator, optional
// exponent. `separator` is the system's decimal separator.
std::optional<double> parseDecimal(std::string_view text, char separator);

// Raise "'%s' is not a valid integer value" / "... floating point value".
int StrToInt(const QString &text);
double StrToFloat(const QString &text);
double StrToFloat(const QString &text, QChar separator);

// Rounds to the nearest integer, a half to the even neighbour.
std::int64_t RoundHalfEven(double value);
