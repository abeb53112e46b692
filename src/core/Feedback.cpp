#include "core/Feedback.h"

namespace pel {

std::string PointsToProcessText(const std::vector<std::string>& pointTypes) {
    std::string text = "Points to process: \r\n";
    for (const auto& t : pointTypes) text += "    " + t + "\r\n";
    return text;
}

std::string CancelledWarning(std::string_view run, std::string_view done) {
    return std::string(run) + " was cancelled: " + std::string(done) +
           ". What was completed is kept.";
}

}  // namespace pel
