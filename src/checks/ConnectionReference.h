#pragma once
// A connection parameter's value that names a point: POINT.PARAMETER.

#include <optional>
#include <string_view>

namespace pel {

struct ConnectionReference {
    std::string_view point;      // the text before the first "."
    std::string_view parameter;  // the rest, up to a second "." if any
};

// Blanks around the value are ignored. A value beginning with "!" or "$" (a hardware address,
// a system entity), without a ".", or with nothing before the "." names no point.
std::optional<ConnectionReference> ParseConnectionReference(std::string_view value);

}  // namespace pel
