#include "db/Numeric.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace pel::db {

namespace {

// The power of ten just above the number's first significant digit, for a text that already
// passed the grammar below (digits, an optional point, an optional exponent); 0 for a zero.
long long DecimalMagnitude(std::string_view s) {
    long long position = 0;  // digits before the point, less leading zeros
    bool seenPoint = false, significant = false;
    std::size_t i = 0;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            seenPoint = true;
        } else if (!significant && s[i] == '0') {
            if (seenPoint) --position;
        } else if (!significant) {
            significant = true;
            if (!seenPoint) ++position;
        } else if (!seenPoint) {
            ++position;
        }
    }
    if (!significant) return 0;
    long long exponent = 0;
    bool negative = false;
    if (i < s.size()) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    for (; i < s.size() && exponent < 1000000; ++i) exponent = exponent * 10 + (s[i] - '0');
    return position + (negative ? -exponent : exponent);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::string_view s = text.substr(b, e - b);
    // Check the grammar by hand: from_chars alone would also take "inf", "nan" and hex forms.
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j, ++expDigits;
        if (expDigits == 0) return std::nullopt;
        i = j;
    }
    if (i != s.size()) return std::nullopt;
    double value = 0;
    auto body = s.substr(mantissaStart);
    // Most values are short whole numbers: those digits make the double exactly.
    if (i == mantissaStart + digits && digits <= 15) {
        std::int64_t whole = 0;
        for (char c : body) whole = whole * 10 + (c - '0');
        value = static_cast<double>(whole);
        return negative ? -value : value;
    }
    auto [ptr, ec] =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here, so the magnitude decides: too large is
        // infinity (it fits no column and marks no node), too small is zero.
        value = DecimalMagnitude(body) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || ptr != body.data() + body.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> RoundHalfEvenToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // Halves go to the even neighbour: 2.5 gives 2, 3.5 gives 4.
    double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5 && std::fmod(r, 2.0) != 0.0)
        r -= std::copysign(1.0, value);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

double ToSinglePrecision(double value) {
    return static_cast<double>(static_cast<float>(value));
}

namespace {

// %.<p>G through to_chars, which never looks at the locale; printf's exponent is upper case.
std::string FormatGeneral(double value, int precision) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    char buf[64];
    auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    if (ec != std::errc()) return "0";
    std::string s(buf, ptr);
    for (char& c : s)
        if (c == 'e') c = 'E';
    if (s == "-0") s = "0";
    return s;
}

}  // namespace

std::string FormatSingle(double value) {
    return FormatGeneral(static_cast<double>(static_cast<float>(value)), 7);
}
std::string FormatDouble(double value) {
    return FormatGeneral(value, 15);
}

}  // namespace pel::db
