#pragma once
// The confirmation that long runs show first: "Points to process: ", a line break, then a line
// per point type (four blanks, the name).

#include <string>
#include <vector>

namespace pel {

inline std::string PointsToProcessText(const std::vector<std::string>& pointTypes) {
    std::string text = "Points to process: \r\n";
    for (const auto& t : pointTypes) text += "    " + t + "\r\n";
    return text;
}

}  // namespace pel
