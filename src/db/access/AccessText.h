#pragma once
// Text as Access files hold it, into UTF-8: Jet 4 and later keep UCS-2 (UTF-16) little-endian
// text, optionally "compressed" (a leading FF FE, then runs of one-byte Latin-1 characters and
// of two-byte characters, each run ended by a zero byte); Jet 3 keeps one byte per character in
// Windows code page 1252.

#include <string>
#include <string_view>

namespace pel::db {

enum class AccessTextForm { Jet3Cp1252, Utf16 };

// Appends the UTF-8 form of the stored bytes to `out`. Unpaired surrogates become U+FFFD.
void AppendAccessText(AccessTextForm form, std::string_view stored, std::string& out);

}  // namespace pel::db
