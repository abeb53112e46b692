#pragma once
// A line of an EB file or a report never holds a line break: a value, name or internal line
// that carries one (CR, LF or CR LF) is written with each break as one blank, and the writer
// says where.

#include <string>
#include <string_view>

namespace pel::eb {

inline bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Each CR LF, lone CR and lone LF becomes one blank.
std::string WithoutLineBreaks(std::string_view text);

}  // namespace pel::eb
