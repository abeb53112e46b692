// Placeholder until this engine is built; it refuses every run.
#include "compare/CompareDbEngine.h"
namespace pel {
Outcome CompareDatabases(AppState&, Feedback& feedback, const std::vector<std::string>&,
                         std::string_view, const std::string&) {
    feedback.message("Compare DB", "The database comparison is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
