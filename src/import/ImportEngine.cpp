// Placeholder until this engine is built; it refuses every run.
#include "import/ImportEngine.h"
namespace pel {
Outcome ImportEbFile(AppState&, Feedback& feedback, const std::optional<std::vector<std::string>>&,
                     ImportMode, ImportCounts*) {
    feedback.message(kProgramTitle, "The import is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
