#include "db/ColumnConversion.h"

#include <cmath>

#include "db/Database.h"
#include "db/Numeric.h"
#include "db/TypeCodes.h"

namespace pel::db {

namespace {

Conversion Stored(Value v) {
    return Conversion{Conversion::Outcome::Stored, std::move(v), {}};
}
Conversion DoesNotFit(std::string reason) {
    return Conversion{Conversion::Outcome::DoesNotFit, Value::null(), std::move(reason)};
}
// A numeric column keeps Null for an empty value without a word; any other text that is no
// number is Null too, but the user's value is lost, so it is said.
Conversion NoNumber(std::string_view text) {
    if (text.find_first_not_of(' ') == std::string_view::npos) return Stored(Value::null());
    return Conversion{Conversion::Outcome::NotANumber, Value::null(),
                      "it is not a number; the column keeps no value"};
}

struct Range {
    std::int64_t low, high;
};
Range WholeNumberRange(int code) {
    switch (code) {
        case kSmallInt:
            return {-32768, 32767};
        case kTinyInt:
            return {-128, 127};
        case kUnsignedInt:
            return {0, 2147483647};
        default:
            return {-2147483648LL, 2147483647LL};
    }
}

std::string OutOfRange(Range range) {
    return "the number is out of the column's range (" + std::to_string(range.low) + " to " +
           std::to_string(range.high) + ")";
}

constexpr const char* kByteRange = "a Byte column takes a whole number from 0 to 255";

}  // namespace

bool StoresTextAsIs(int typeCode) {
    return !IsWholeNumberType(typeCode) && !IsFloatingType(typeCode) && typeCode != kBoolean &&
           typeCode != kByte;
}

Conversion ConvertForColumn(int typeCode, std::string_view text) {
    if (StoresTextAsIs(typeCode)) return Stored(Value::text(std::string(text)));
    if (IsWholeNumberType(typeCode)) {
        auto number = ParseNumber(text);
        if (!number) return NoNumber(text);
        auto rounded = RoundHalfEvenToInt32(*number);
        Range range = WholeNumberRange(typeCode);
        if (!rounded || *rounded < range.low || *rounded > range.high)
            return DoesNotFit(OutOfRange(range));
        return Stored(Value::integer(*rounded));
    }
    if (IsFloatingType(typeCode)) {
        auto number = ParseNumber(text);
        if (!number) return NoNumber(text);
        double single = ToSinglePrecision(*number);
        if (!std::isfinite(single))
            return DoesNotFit("the number is too large for single precision");
        return Stored(Value::real(single));
    }
    if (typeCode == kBoolean) {
        std::string word = ToUpperAscii(text);
        std::size_t b = word.find_first_not_of(' '), e = word.find_last_not_of(' ');
        word = b == std::string::npos ? std::string() : word.substr(b, e - b + 1);
        if (word == "TRUE" || word == "YES" || word == "ON") return Stored(Value::integer(1));
        if (word == "FALSE" || word == "NO" || word == "OFF") return Stored(Value::integer(0));
        if (auto number = ParseNumber(text); number && std::isfinite(*number))
            return Stored(Value::integer(*number != 0 ? 1 : 0));
        return DoesNotFit("a Yes/No column takes True, False, Yes, No, On, Off or a number");
    }
    // What is left is a Byte column.
    auto number = ParseNumber(text);
    if (number && std::floor(*number) == *number && *number >= 0 && *number <= 255)
        return Stored(Value::integer(static_cast<std::int64_t>(*number)));
    return DoesNotFit(kByteRange);
}

std::string WhyValueDoesNotFit(int typeCode, const Value& value) {
    if (value.kind() != Value::Kind::Integer) return {};
    const std::int64_t n = value.asInteger();
    if (typeCode == kByte) return n < 0 || n > 255 ? kByteRange : "";
    if (!IsWholeNumberType(typeCode)) return {};
    const Range range = WholeNumberRange(typeCode);
    return n < range.low || n > range.high ? OutOfRange(range) : "";
}

}  // namespace pel::db
