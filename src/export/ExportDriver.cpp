// Placeholder until this engine is built; it refuses every run.
#include "export/ExportDriver.h"
namespace pel {
std::optional<std::vector<std::string>> ReadSelectionList(const std::string&, std::string*) {
    return std::nullopt;
}
std::vector<std::string> SplitExportSelectionText(std::string_view) { return {}; }
Outcome RunExport(AppState&, Feedback& feedback, const ExportRequest&) {
    feedback.message(kProgramTitle, "The export is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
