#include "core/Feedback.h"

namespace pel {

std::string PointsToProcessText(const std::vector<std::string>& pointTypes) {
    std::string text = "Points to process: \r\n";
    for (const auto& t : pointTypes) text += "    " + t + "\r\n";
    return text;
}

}  // namespace pel
