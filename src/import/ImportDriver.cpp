// Placeholder until this engine is built; it refuses every run.
#include "import/ImportDriver.h"
namespace pel {
std::vector<std::string> SplitSelectionList(std::string_view) { return {}; }
Outcome RunImport(AppState&, Feedback& feedback, const ImportRequest&) {
    feedback.message(kProgramTitle, "The import is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
