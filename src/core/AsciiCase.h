#pragma once
// Case-insensitive comparison of ASCII letters, as point names, point types and parameter names
// compare everywhere (bytes outside A-Z and a-z compare as they are).

#include <cstddef>
#include <string>
#include <string_view>

namespace pel {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// -1, 0 or 1 as `a` sorts before, with or after `b`: bytes compared with the ASCII capitals
// folded to small letters, then length. This is SQLite's NOCASE order, except that NOCASE stops
// at a NUL both texts hold at the same place.
int CompareIgnoringCase(std::string_view a, std::string_view b);
// The byte that order compares: capitals folded to small letters (so "_" sorts before letters).
inline unsigned char LowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}
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
