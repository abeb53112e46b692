// Placeholder until this engine is built; it refuses every run.
#include "compare/CompareEngine.h"
namespace pel {
Outcome CompareEbFiles(AppState&, Feedback& feedback, const std::vector<std::string>&,
                       const std::string&, bool) {
    feedback.message(kProgramTitle, "The comparison is not built yet.");
    return Outcome::LeftUndone;
}
}  // namespace pel
