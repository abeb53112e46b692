#pragma once
// Windows code page 1252 <-> UTF-8. The five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) map to U+0081 and so on, so every byte read comes back out unchanged.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pel::eb {

// Appends the UTF-8 form of one code point to `out`.
void AppendUtf8(char32_t cp, std::string& out);

// Appends the UTF-8 form of the 1252 bytes to `out`.
void AppendCp1252AsUtf8(std::string_view bytes, std::string& out);
std::string Cp1252ToUtf8(std::string_view bytes);

// Appends the 1252 form of UTF-8 text to `out`; a character 1252 cannot hold (or a malformed
// UTF-8 sequence) becomes "?" and is counted in `unmappable`.
void AppendUtf8AsCp1252(std::string_view utf8, std::string& out, std::size_t& unmappable);

// Eight bytes at a time and without an early exit, so that the compiler can vectorise it: the
// text of a plant is almost all ASCII, and every line written or read is tested.
inline bool IsAscii(std::string_view s) {
    std::uint64_t bits = 0;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        bits |= word;
    }
    for (; i < s.size(); ++i) bits |= static_cast<unsigned char>(s[i]);
    return (bits & 0x8080808080808080ULL) == 0;
}

}  // namespace pel::eb
