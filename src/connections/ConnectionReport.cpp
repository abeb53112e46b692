// Placeholder until this engine is built; it refuses every run.
#include "connections/ConnectionReport.h"
namespace pel {
std::vector<bool> ReportedPointTypes(const AppState& state, const std::vector<std::string>&) {
    return std::vector<bool>(static_cast<std::size_t>(state.pointTypeCount), false);
}
Outcome MakeConnectionReport(AppState&, Feedback& feedback, const std::vector<bool>&) {
    feedback.message("Connection Report", "The connection report is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
