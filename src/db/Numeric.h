#pragma once
// The one test for "is this text a number" and the number formats of value text. Independent of
// the process locale (the window's toolkit sets one).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pel::db {

// C-locale decimal: blanks around, optional sign, digits with an optional decimal point (at least
// one digit), optional exponent. No hexadecimal, no separators, no inf or nan.
std::optional<double> ParseNumber(std::string_view text);
inline bool IsNumericText(std::string_view text) {
    return ParseNumber(text).has_value();
}

// Rounds half to even into a signed 32-bit integer; nullopt when the result is out of range.
std::optional<std::int32_t> RoundHalfEvenToInt32(double value);

// Nearest single-precision number, as a double.
double ToSinglePrecision(double value);

// %.7G and %.15G without the locale: "0.1", "100", "1E+20", "1.5E-05".
std::string FormatSingle(double value);
std::string FormatDouble(double value);

}  // namespace pel::db
