#pragma once
// Case-insensitive comparison of ASCII letters, as point names, point types and parameter names
// compare everywhere (bytes outside A-Z and a-z compare as they are).

#include <string>
#include <string_view>

namespace pel {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view s);

}  // namespace pel
