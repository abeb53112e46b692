#pragma once
// When two value texts count as equal: both numeric, as single-precision numbers; otherwise as
// text with the blanks at their edges removed, exactly (letter case counts). Empty text is no
// number.

#include <string_view>

#include "db/Numeric.h"
#include "eb/EbLine.h"

namespace pel {

inline bool ValuesDiffer(std::string_view a, std::string_view b) {
    // Equal texts are equal either way (no text the number rule reads is NaN): the common
    // case, answered without parsing.
    if (a == b) return false;
    const auto x = db::ParseNumber(a), y = db::ParseNumber(b);
    if (x && y) return static_cast<float>(*x) != static_cast<float>(*y);
    return eb::TrimBlanks(a) != eb::TrimBlanks(b);
}

}  // namespace pel
