#pragma once
// Case-insensitive comparison of ASCII letters, as point names, point types and parameter names
// compare everywhere (bytes outside A-Z and a-z compare as they are).

#include <cstddef>
#include <string>
#include <string_view>

namespace pel {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view s);

// Hash and equality of a map keyed without regard to case: looked up by a view, with no
// upper-case copy per look-up.
struct HashIgnoringCase {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const;
};
struct EqualIgnoringCase {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return EqualsIgnoreCase(a, b); }
};

}  // namespace pel
