#pragma once
// A line of an EB file or a report never holds a line break: a value, name or internal line
// that carries one (CR, LF or CR LF) is written with each break as one blank, and the writer
// says where.

#include <string>
#include <string_view>

namespace pel::eb {

// A plain loop: find_first_of with a set of two searches the set once per character, which
// made this test the export's largest cost.
inline bool HasLineBreak(std::string_view text) {
    for (char c : text)
        if (c == '\r' || c == '\n') return true;
    return false;
}

// Each CR LF, lone CR and lone LF becomes one blank.
std::string WithoutLineBreaks(std::string_view text);

}  // namespace pel::eb
