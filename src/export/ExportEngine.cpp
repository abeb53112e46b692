// Placeholder until this engine is built; it refuses every run.
#include "export/ExportEngine.h"
namespace pel {
std::string GetQuotedParameters(AppState&, std::string_view) { return ","; }
std::string NextExportFileName(const std::string& firstFile, int) { return firstFile; }
Outcome ExportToEb(AppState&, Feedback& feedback, const std::vector<std::string>&, std::string_view,
                   const std::optional<std::vector<std::string>>&, std::string_view,
                   const std::string*) {
    feedback.message("Build EB File", "The export is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
