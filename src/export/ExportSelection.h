#pragma once
// The point names an export is limited to, from a selection list file or a typed text.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pel {

// One name per line (CR LF or lone CR; LF accepted too), blanks trimmed, empty lines skipped.
// A file without names gives one empty name. nullopt when the file cannot be read.
std::optional<std::vector<std::string>> ReadSelectionList(const std::string& path,
                                                          std::string* error = nullptr);
// CR LF and blanks become ","; split; non-empty pieces in order; all empty: one empty name.
std::vector<std::string> SplitExportSelectionText(std::string_view text);

}  // namespace pel
